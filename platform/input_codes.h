#pragma once

namespace lirako {

// The device's input vocabulary shared by the view and the window hosts that feed it.

// Virtual keys.
constexpr unsigned kVkLeft = 0x25;
constexpr unsigned kVkUp = 0x26;
constexpr unsigned kVkRight = 0x27;
constexpr unsigned kVkDown = 0x28;
constexpr unsigned kVkAction = 0x86;  // VK_F23, the action key
constexpr unsigned kVkApp1 = 0xC1;    // application buttons 1..5 are 0xC1..0xC5
constexpr unsigned kVkApp5 = 0xC5;
constexpr int kAppButtonCount = 5;

// Keys a desktop user expects, as virtual keys (the Windows codes; letters and digits are
// their upper-case ASCII codes), which come with KeyModifier bits.
constexpr unsigned kVkBack = 0x08;
constexpr unsigned kVkEscape = 0x1B;
constexpr unsigned kVkSpace = 0x20;
constexpr unsigned kVkPrior = 0x21;  // Page Up
constexpr unsigned kVkNext = 0x22;   // Page Down
constexpr unsigned kVkEnd = 0x23;
constexpr unsigned kVkHome = 0x24;
constexpr unsigned kVkDigit0 = 0x30;
constexpr unsigned kVkLetterB = 0x42;
constexpr unsigned kVkLetterF = 0x46;
constexpr unsigned kVkLetterG = 0x47;
constexpr unsigned kVkAdd = 0x6B;       // "+" on the keypad
constexpr unsigned kVkSubtract = 0x6D;  // "-" on the keypad
constexpr unsigned kVkF3 = 0x72;
constexpr unsigned kVkF11 = 0x7A;
constexpr unsigned kVkOemPlus = 0xBB;  // the "=" / "+" key
constexpr unsigned kVkOemComma = 0xBC;
constexpr unsigned kVkOemMinus = 0xBD;

// Modifier bits that come with a desktop key or a wheel turn.
enum KeyModifier : unsigned {
  kModNone = 0x0,
  kModShift = 0x1,
  kModCtrl = 0x2,
};

// The Windows-key modifier of a hot key.
constexpr unsigned kModWin = 8;

// Scroll-bar notification codes.
constexpr int kSbLineUp = 0;
constexpr int kSbLineDown = 1;
constexpr int kSbPageUp = 2;
constexpr int kSbPageDown = 3;
constexpr int kSbThumbPosition = 4;
constexpr int kSbThumbTrack = 5;

}  // namespace lirako
