#pragma once

#include <string>

namespace test_dvd {

// Encodes the titles' program streams into `work`, adds the subtitle with
// spumux and authors the DVD with dvdauthor into discFolder (VIDEO_TS inside).
void AuthorDisc(const std::string& work, const std::string& discFolder);

// Authors the WideSubtitles disc (see TestDvd.h) the same way.
void AuthorWideSubtitleDisc(const std::string& work, const std::string& discFolder);

// Authors the Interlaced disc (see TestDvd.h) the same way.
void AuthorInterlacedDisc(const std::string& work, const std::string& discFolder);

// Authors the TwoSubtitles disc (see TestDvd.h) the same way.
void AuthorTwoSubtitlesDisc(const std::string& work, const std::string& discFolder);

// Authors the Film disc (see TestDvd.h) the same way.
void AuthorFilmDisc(const std::string& work, const std::string& discFolder);

}  // namespace test_dvd
