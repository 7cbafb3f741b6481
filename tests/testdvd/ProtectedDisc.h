#pragma once

#include <string>

namespace test_dvd {

// Authors the Protected disc (see TestDvd.h): dvdauthor writes every title but
// the bonus as its own copy of the main title's stream, then the fakes'
// program chains are rewritten to play the main title's cells (IFO and backup).
void AuthorProtectedDisc(const std::string& work, const std::string& discFolder);

}  // namespace test_dvd
