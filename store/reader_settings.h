#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lirako {

// Which bar the reader shows beside the page, with the value the settings file stores; the
// file may hold any other value, which shows no bar and is kept.
enum class BarMode : int32_t {
  kNone = 1,
  kScrollBar = 2,
  kPositionBar = 3,
};

// An extension linked while it already had a file class, with that previous class.
struct SavedFileClass {
  std::u16string extension;  // with its leading dot
  std::u16string fileClass;  // may be empty
  bool operator==(const SavedFileClass&) const = default;
};

// Every user choice that survives a restart, with its default. Nothing is clamped here: the
// settings pages offer the ranges, the file keeps what it is given.
struct ReaderSettings {
  static constexpr size_t kFontFaceUnits = 32;
  static constexpr size_t kButtonFunctionCount = 20;
  static constexpr size_t kApplicationButtons = 5;  // entries used of buttonFunctions
  static constexpr uint32_t kCodePageAsked = 0x1;   // stateFlags bit

  uint32_t stateFlags = 0;
  int32_t marginX = 6;
  int32_t marginY = 5;
  int32_t lineGap = 1;
  int32_t sharedLines = 2;
  int32_t fontSize = 15;
  int32_t fontBold = 0;
  uint32_t textColor = 0x00FFFFFF;  // 0x00BBGGRR
  uint32_t backColor = 0x00000000;
  int32_t clearType = 0;
  int32_t landscape = 0;
  BarMode barMode = BarMode::kPositionBar;
  int32_t screenKeys = 1;
  int32_t justify = 1;
  // The face name, NUL-terminated within the 32 units; the rest is kept as read.
  std::array<char16_t, kFontFaceUnits> fontFace = {u'T', u'a', u'h', u'o', u'm', u'a'};
  int32_t hardwareButtons = 0;
  // Entry i (0..4) is the function of application button i + 1; 5..19 are only kept.
  std::array<int32_t, kButtonFunctionCount> buttonFunctions = {5, 12, 0, 13, 2};
  int32_t smoothRefresh = 0;
  int32_t refreshInterval = 1600;  // milliseconds
  int32_t tableConversion = 0;
  int32_t dialDevice = 0;
  std::vector<std::u16string> unlinkedExtensions = {u".txt", u".cap"};
  std::vector<std::u16string> linkedExtensions;
  std::vector<SavedFileClass> savedFileClasses;

  // The face name: the units of fontFace before its first NUL.
  std::u16string FontFaceName() const;
  // Stores `name` cut to 31 units, NUL-terminated, with zeros after it.
  void SetFontFaceName(std::u16string_view name);

  bool operator==(const ReaderSettings&) const = default;
};

}  // namespace lirako
