#pragma once

#include <string>

namespace test_dvd {

// Authors the Protected disc (see TestDvd.h): dvdauthor makes every title but
// the bonus play the main title's stream (one copy of it, the same cells), then
// the fakes' cell tables are rewritten in the IFO and its backup to play those
// cells out of order, looped or claiming hours.
void AuthorProtectedDisc(const std::string& work, const std::string& discFolder);

}  // namespace test_dvd
