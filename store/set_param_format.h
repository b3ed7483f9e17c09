#pragma once

#include <cstdint>

// Byte layout of the settings file SetParam.Dat (little-endian, after the record header).
namespace lirako::set_param {

inline constexpr char16_t kFileName[] = u"SetParam.Dat";
inline constexpr char kHeaderName[] = "default";
inline constexpr int32_t kVersion = 538;

// Offsets of the fixed fields, from the start of the file.
inline constexpr int64_t kStateFlags = 132;
inline constexpr int64_t kMarginX = 136;
inline constexpr int64_t kMarginY = 140;
inline constexpr int64_t kLineGap = 144;
inline constexpr int64_t kSharedLines = 148;
inline constexpr int64_t kFontSize = 152;
inline constexpr int64_t kFontBold = 156;
inline constexpr int64_t kTextColor = 160;
inline constexpr int64_t kBackColor = 164;
inline constexpr int64_t kClearType = 168;
inline constexpr int64_t kLandscape = 172;
inline constexpr int64_t kBarMode = 176;
inline constexpr int64_t kScreenKeys = 180;
inline constexpr int64_t kJustify = 184;
inline constexpr int64_t kFontFace = 188;  // 32 UTF-16LE units
inline constexpr int64_t kHardwareButtons = 252;
inline constexpr int64_t kButtonFunctions = 256;  // 20 ints
inline constexpr int64_t kSmoothRefresh = 336;
inline constexpr int64_t kRefreshInterval = 340;
inline constexpr int64_t kTableConversion = 344;
inline constexpr int64_t kDialDevice = 348;

// The fixed fields of `settings` (a ReaderSettings, const or not) in file order: calls
// `visit(offset, field)` once per field. This one table serves the reader and the writer; a
// field is a 32-bit integer, the font face (32 UTF-16LE units) or the button functions (20
// 32-bit integers), and each field starts where the one before it ends.
template <class Settings, class Visit>
void ForEachFixedField(Settings& settings, Visit&& visit) {
  visit(kStateFlags, settings.stateFlags);
  visit(kMarginX, settings.marginX);
  visit(kMarginY, settings.marginY);
  visit(kLineGap, settings.lineGap);
  visit(kSharedLines, settings.sharedLines);
  visit(kFontSize, settings.fontSize);
  visit(kFontBold, settings.fontBold);
  visit(kTextColor, settings.textColor);
  visit(kBackColor, settings.backColor);
  visit(kClearType, settings.clearType);
  visit(kLandscape, settings.landscape);
  visit(kBarMode, settings.barMode);
  visit(kScreenKeys, settings.screenKeys);
  visit(kJustify, settings.justify);
  visit(kFontFace, settings.fontFace);
  visit(kHardwareButtons, settings.hardwareButtons);
  visit(kButtonFunctions, settings.buttonFunctions);
  visit(kSmoothRefresh, settings.smoothRefresh);
  visit(kRefreshInterval, settings.refreshInterval);
  visit(kTableConversion, settings.tableConversion);
  visit(kDialDevice, settings.dialDevice);
}

// The three lists follow: unlinked extensions, linked extensions, saved file classes. Each
// is a count, then its strings as a length n (UTF-16 units with the NUL) and 2n bytes.
inline constexpr int64_t kLists = 352;

// A string holds 1 to 260 units including its terminating NUL.
inline constexpr int32_t kMaxStringUnits = 260;

// The file written from the defaults, and one with three empty lists.
inline constexpr int64_t kDefaultFileSize = 392;
inline constexpr int64_t kEmptyListsFileSize = 364;

}  // namespace lirako::set_param
