/* The DVD plug-in's C interface: title listing for the program's DVD job list
 * and a title reader for "opendvd:" sources. Built as LibAV/libdvddec.so.
 * All functions use the C calling convention; strings are UTF-8. */
#ifndef OXBEL_DVDDEC_H
#define OXBEL_DVDDEC_H

#include <stddef.h>
#include <stdint.h>

/* The one initialisation string DVDInitialize accepts; a caller built
 * against another interface is refused. */
#define DVDDEC_INITIALISATION "Oxbel dvddec interface 1"

#ifdef __cplusplus
extern "C" {
#endif

/* One audio or subtitle stream of a title. */
typedef struct DvdAudioEntry {
  int32_t reserved0;
  int32_t ID;              /* 0x80+n AC-3, 0x88+n DTS, 0xA0+n LPCM, 0xC0+n MPEG audio */
  int32_t reserved1[3];
  char Description[64];    /* e.g. "English AC3 2ch", zero-terminated when shorter */
} DvdAudioEntry;           /* 84 bytes */

typedef struct DvdSubtitleEntry {
  int32_t reserved0;
  int32_t ID;              /* 0x20+n */
  int32_t reserved1;
  char Description[64];
} DvdSubtitleEntry;        /* 76 bytes */

/* Chapters whose start times a title record holds; a title may list more. */
#define DVDDEC_MAX_CHAPTER_TIMES 99

typedef struct DvdTitleInfo {
  double Duration;                 /* 0: seconds */
  int32_t VideoType;               /* 8: 1 MPEG-1, 2 MPEG-2 */
  int32_t reserved0;               /* 12 */
  int32_t Width;                   /* 16 */
  int32_t Height;                  /* 20 */
  int32_t reserved1[2];            /* 24 */
  int32_t AudioCount;              /* 32 */
  DvdAudioEntry Audio[8];          /* 36 */
  int32_t SubtitleCount;           /* 708 */
  DvdSubtitleEntry Subtitles[32];  /* 712 */
  int32_t ChapterCount;            /* 3144 */
  uint8_t DisplayAspect;           /* 3148: the IFO's display aspect, 0 for 4:3, 3 for 16:9 */
  uint8_t MainFeature;             /* 3149: 1 for the disc's main feature (one title at most) */
  uint8_t FakeReason;              /* 3150: DVDDEC_FAKE_*; a fake title is best left unconverted */
  uint8_t reserved3;               /* 3151 */
  int32_t FakeDetail;              /* 3152: the title (from 1) a copy repeats; the plays of a looped part */
  char AudioLanguage[8][4];        /* 3156: ISO 639-2 code of Audio[i] ("eng"), "" when the disc names none */
  char SubtitleLanguage[32][4];    /* 3188: the same for Subtitles[i] */
  uint32_t Palette[16];            /* 3316: the subpicture colours of the title's program chain, 0x00YYCrCb */
  uint32_t ChapterStart[DVDDEC_MAX_CHAPTER_TIMES]; /* 3380: chapter i's start from the title's, 1/90000 s */
  uint8_t reserved2[184];          /* 3776: up to 3960 bytes */
} DvdTitleInfo;

/* Why a title is taken for one of the fake titles structure-protected discs
 * list around the real one. */
#define DVDDEC_FAKE_NONE 0    /* a real title */
#define DVDDEC_FAKE_COPY 1    /* plays the main feature's cells again, whole or out of order */
#define DVDDEC_FAKE_LOOP 2    /* plays one of its cells several times */
#define DVDDEC_FAKE_LENGTH 3  /* claims a length no disc holds */

typedef struct DvdParam {
  int32_t Title;          /* 0-based title index */
  int32_t FromChapter;    /* 0: from the first chapter */
  int32_t ToChapter;      /* beyond the last: to the last chapter */
  int32_t AudioID;
  int32_t SubtitleID;
  int32_t AudioChannels;
  int32_t Deinterlace;
} DvdParam;               /* 28 bytes */

/* --- The exports the program's binding resolves by name --- */
int32_t DVDInitialize(const char* initialisation);            /* non-zero: success */
int32_t DVDEnumTitle(const char* path);                       /* number of titles; < 1 none */
int32_t DVDGetTitle(int32_t index, DvdTitleInfo* info);       /* non-zero: valid title, record filled */
int32_t DVDSetParam(const DvdParam* param);                   /* remembers the parameters */
int32_t DVDGetLibVersion(void);

/* --- Title reader for "opendvd:" sources --- */
typedef struct DvdTitleReader DvdTitleReader;

/* Routes libdvdread's and the plug-in's messages; level 16 error, 24 warning, 32 info. */
typedef void (*DvdLogCallback)(int level, const char* message);
void DVDSetLogCallback(DvdLogCallback callback);

/* Opens the chapters param names (NULL: the last DVDSetParam) of the title on the
 * DVD at path (a device, a folder holding VIDEO_TS, or a UDF .iso). NULL on failure,
 * with the reason in DVDLastErrorText(). */
DvdTitleReader* DVDOpenTitleReader(const char* path, const DvdParam* param);
void DVDCloseTitleReader(DvdTitleReader* reader);
/* Reads the title's program stream: the chosen chapters' cells in PGC order, then a few
 * VOBUs of the cells that continue the last one in its VOB (the sound stored ahead of
 * the last pictures; the caller ends at DVDTitleDuration). Returns the bytes read, 0 at
 * the end, < 0 when nothing could be read at all. Unreadable blocks are skipped to the
 * next VOBU with a logged warning. */
int32_t DVDReadTitle(DvdTitleReader* reader, uint8_t* buffer, int32_t size);
/* Byte position within the title's stream; returns the new position or -1. */
int64_t DVDSeekTitle(DvdTitleReader* reader, int64_t position);
int64_t DVDTitleSize(DvdTitleReader* reader);                 /* bytes, with the VOBUs read on */
double DVDTitleDuration(DvdTitleReader* reader);              /* seconds of the chosen chapters (IFO) */
/* Byte position of the VOBU at or just before the given time (seconds from the start of
 * the chosen chapters), from the IFO's cell times and VOBU map; -1 when out of range. */
int64_t DVDTitleTimeToPosition(DvdTitleReader* reader, double seconds);
/* The parameters the reader was opened with. */
void DVDTitleReaderParam(DvdTitleReader* reader, DvdParam* param);
/* The record of the reader's title read from its tables: DVDGetTitle's without
 * the fake title verdicts and the picture size read from the video stream. */
void DVDTitleReaderInfo(DvdTitleReader* reader, DvdTitleInfo* info);
const char* DVDLastErrorText(void);

#ifdef __cplusplus
}

/* The records cross the library boundary byte for byte. */
static_assert(sizeof(DvdAudioEntry) == 84 && offsetof(DvdAudioEntry, ID) == 4 &&
              offsetof(DvdAudioEntry, Description) == 20);
static_assert(sizeof(DvdSubtitleEntry) == 76 && offsetof(DvdSubtitleEntry, ID) == 4 &&
              offsetof(DvdSubtitleEntry, Description) == 12);
static_assert(sizeof(DvdTitleInfo) == 3960 && offsetof(DvdTitleInfo, Duration) == 0 &&
              offsetof(DvdTitleInfo, VideoType) == 8 && offsetof(DvdTitleInfo, Width) == 16 &&
              offsetof(DvdTitleInfo, Height) == 20 && offsetof(DvdTitleInfo, AudioCount) == 32 &&
              offsetof(DvdTitleInfo, Audio) == 36 && offsetof(DvdTitleInfo, SubtitleCount) == 708 &&
              offsetof(DvdTitleInfo, Subtitles) == 712 && offsetof(DvdTitleInfo, ChapterCount) == 3144 &&
              offsetof(DvdTitleInfo, DisplayAspect) == 3148 && offsetof(DvdTitleInfo, MainFeature) == 3149 &&
              offsetof(DvdTitleInfo, FakeReason) == 3150 && offsetof(DvdTitleInfo, FakeDetail) == 3152 &&
              offsetof(DvdTitleInfo, AudioLanguage) == 3156 && offsetof(DvdTitleInfo, SubtitleLanguage) == 3188 &&
              offsetof(DvdTitleInfo, Palette) == 3316 && offsetof(DvdTitleInfo, ChapterStart) == 3380);
static_assert(sizeof(DvdParam) == 28);
#endif

#endif
