#pragma once

// Sections and keys of the settings file, in one place.
namespace settings_keys {

constexpr const char* kSettings = "settings";
constexpr const char* kLstFormat = "lstformat";

constexpr const char* kSkinIndex = "skinIndex";
constexpr const char* kOutPutFormat = "OutPutFormat";
constexpr const char* kOutPutDir = "OutPutDir";
constexpr const char* kFormatCode = "FormatCode";
constexpr const char* kFormatName = "FormatName";
constexpr const char* kVolume = "volume";
constexpr const char* kMute = "mute";
constexpr const char* kPriority = "priority";
constexpr const char* kSnapOutPutDir = "SnapOutPutDir";
constexpr const char* kSnapFullSize = "snapFullSize";
constexpr const char* kSnapSmallSize = "snapSmallSize";
constexpr const char* kSnapBmp = "snapBmp";
constexpr const char* kSnapJpg = "snapJpg";
constexpr const char* kJpgCmp = "jpgCmp";
constexpr const char* kCheckUpdates = "checkUpdates";  // 0: no update check at start-up
constexpr const char* kDeinterlace = "deinterlace";    // "auto" (default), "always" or "never"
constexpr const char* kUpdateUrl = "UpdateUrl";        // replaces the built-in update address

// Defaults the main window uses when it shows.
constexpr int kSkinIndexAtStartup = 0;
constexpr int kSkinIndexInMenu = 1;
constexpr const char* kFormatCodeDefault = "1";
constexpr const char* kFormatNameDefault = "iPod Video MPEG-4";

}  // namespace settings_keys
