#pragma once

#include <string>

// Test DVDs authored on first request by dvdauthor from program streams the
// test media generator encodes, kept in a folder of the build tree.
//
// The disc has three titles in two title sets:
// - Title 1 (set 1, PAL 720x576 MPEG-2): chapters of 1.2, 1.2 and 0.6 s (one
//   cell each); audio 0x80 English AC-3 (tone kEnglishHz) and 0x81 German AC-3
//   (kGermanHz); subtitle 0x20 English, a box shown from kSubtitleStart to kSubtitleEnd.
// - Title 2 (set 1, PAL): two chapters whose cells come from two VOBs,
//   1.8 s and 1.2 s; the same streams as title 1.
// - Title 3 (set 2, NTSC 720x480 MPEG-2): two chapters of 36 frames at 29.97
//   (1.2012 s each); audio 0xC0 French MPEG audio (kFrenchHz); no subtitle.
namespace test_dvd {

enum class Disc {
  Folder,        // the authored folder (holding VIDEO_TS)
  Iso,           // a UDF image of it
  Damaged,       // the folder with zeroed sectors inside title 1 and title 3's VOB cut in half
  TruncatedIfo,  // the folder with title set 2's IFO and BUP cut short: title 3 is invalid
  BadChapterTable,  // the folder with title 1's chapter 2 sent to a missing program chain: title 1 is invalid
  LibraryCrash,     // the folder with title set 1 tables that crash libdvdread: titles 1 and 2 are invalid
  Wide,             // the folder with title set 1 marked 16:9 and title 1's subtitle in the 16:9 field;
                    // title 3 without audio
  WideSubtitles,    // a disc of its own with two late subtitle tracks on a 16:9 title (below)
  Interlaced,       // a disc of its own: one PAL title of kInterlacedTitleSeconds whose fields show a
                    // moving bar at two moments (truly interlaced), English AC-3
  Film,             // an NTSC disc of its own: titles 1 and 2 film of kFilmTitleSeconds (media/Telecine.h),
                    // soft and hard telecined, English AC-3; title 3 the 29.97 flash-and-beep clip
                    // (media/FlashBeep.h) of kFlashBeepTitleSeconds, 352x240 with MPEG audio
  Protected,        // a structure-protected disc of its own (below)
  TwoSubtitles,     // a small disc of its own: title 1 with two audio and two subtitle tracks (below)
};

constexpr double kEnglishHz = 440, kGermanHz = 880, kFrenchHz = 660;
constexpr double kSubtitleStart = 0.5, kSubtitleEnd = 2.0;  // seconds into title 1

constexpr int kSectorBytes = 2048;
constexpr int kWideSubtitleStream = 1;  // the 16:9 field of the Wide disc's title 1 subtitle
// The WideSubtitles disc: one title of kLateTitleSeconds (PAL 352x288, 16:9,
// chapters from 0, 10 and 20 s, English AC-3 at kEnglishHz, VOBUs of 0.6 s)
// with two subtitle tracks on streams
// 0 and 1, named by the control words' 16:9 field (their 4:3 field is 0). Each
// is a box at its own place, kTopBox for stream 0 and kBottomBox for stream 1,
// both shown only from kLateSubtitleStart to kLateSubtitleEnd, so the demuxer
// meets their streams long after it read the stream information.
struct Box {
  int x, y, width, height;
};
constexpr Box kTopBox{56, 16, 240, 48}, kBottomBox{56, 224, 240, 48};
constexpr double kLateTitleSeconds = 32, kLateSubtitleStart = 30, kLateSubtitleEnd = 31.5;
constexpr int kWideWidth = 352, kWideHeight = 288;

// The TwoSubtitles disc: one PAL 352x288 4:3 title of kTwoSubtitlesSeconds in
// chapters starting at kTwoSubtitlesChapters (one cell each), audio 0x80
// English AC-3 (kEnglishHz) and 0x81 German AC-3 (kGermanHz), subtitle 0x20
// English kTopBox shown from kEnglishSubtitle.start to .end, 0x21 German
// kBottomBox from kGermanSubtitle.start to .end.
struct Shown {
  double start, end;  // seconds into the title
};
constexpr double kTwoSubtitlesSeconds = 3.0;
constexpr double kTwoSubtitlesChapters[] = {0, 1.2, 2.4};
constexpr Shown kEnglishSubtitle{0.4, 1.4}, kGermanSubtitle{1.6, 2.6};

constexpr double kInterlacedTitleSeconds = 4;
constexpr double kFilmTitleSeconds = 2, kFlashBeepTitleSeconds = 8;

// The Protected disc: kProtectedTitleCount PAL 352x288 titles in one title set,
// English AC-3. Title kProtectedMainTitle (from 1) is the main feature of
// kProtectedMainSeconds in four chapters of one cell each; title
// kProtectedBonusTitle a bonus of kProtectedBonusSeconds with a cell of its own.
// Every other title is a fake playing the main title's four cells again:
// title 1 out of order, title 2 the first cell four times, title 3 in order but
// claiming more than eight hours, title 6 exactly as the main title, the rest
// out of order or looped.
constexpr int kProtectedTitleCount = 16, kProtectedMainTitle = 4, kProtectedBonusTitle = 5;
constexpr double kProtectedMainSeconds = 4.8, kProtectedBonusSeconds = 1.2;

constexpr int kDamagedFirstSector = 200, kDamagedSectorCount = 4;  // in VTS_01_1.VOB

// The disc's path; authors every disc first when they do not exist yet. Safe to
// call from several threads and processes at once. Throws std::runtime_error
// when a tool fails.
std::string Path(Disc disc);

}  // namespace test_dvd
