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
