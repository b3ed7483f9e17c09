#pragma once

#include "platform/input_codes.h"

namespace lirako {

// Command ids carried by the menu, the tool bar and the accelerators.
constexpr int kCmdFileNew = 57600;
constexpr int kCmdFileOpen = 57601;
constexpr int kCmdFileSave = 57603;
constexpr int kCmdEditCopy = 57634;
constexpr int kCmdEditCut = 57635;
constexpr int kCmdEditPaste = 57637;
constexpr int kCmdEditUndo = 57643;
constexpr int kCmdAbout = 57664;
constexpr int kCmdExit = 57665;
// "열어본" ▸ recent file 1..10.
constexpr int kCmdRecentFirst = 57616;
constexpr int kCmdRecentLast = 57625;
constexpr int kCmdGoStart = 32783;
constexpr int kCmdGoEnd = 32784;
constexpr int kCmdJump = 32785;
constexpr int kCmdSettings = 32787;
constexpr int kCmdFind = 32788;
constexpr int kCmdAutoRefresh = 32776;
constexpr int kCmdSetBookmark = 32791;
// "책갈피" ▸ bookmark 1..10.
constexpr int kCmdBookmarkFirst = 32792;
constexpr int kCmdBookmarkLast = 32801;
// "인코딩" ▸ "자동 감지", then code page 949, UTF-8, UTF-16 LE and UTF-16 BE.
constexpr int kCmdEncodingAuto = 32810;
constexpr int kCmdEncodingCp949 = 32811;
constexpr int kCmdEncodingUtf8 = 32812;
constexpr int kCmdEncodingUtf16Le = 32813;
constexpr int kCmdEncodingUtf16Be = 32814;
// The table of contents and the chapter steps.
constexpr int kCmdToc = 32820;
constexpr int kCmdNextChapter = 32821;
constexpr int kCmdPreviousChapter = 32822;
// "서재": every book read.
constexpr int kCmdLibrary = 32823;
// Between a light and a dark page.
constexpr int kCmdNightToggle = 32824;

// How many recent files and bookmarks the menus show.
constexpr int kMenuListLimit = 10;

// Positions of the sub-menus inside the top pop-up "메뉴" (separators count).
constexpr int kMenuPosRecent = 1;
constexpr int kMenuPosMove = 3;
constexpr int kMenuPosBookmark = 4;
constexpr int kMenuPosEncoding = 5;

// Hot keys of the application buttons: id kHotKeyIdFirst + button, with kModWin.
constexpr int kHotKeyIdFirst = 30581;

// Child and timer ids.
constexpr int kScrollBarId = 100;
constexpr int kScrollBarWidth = 14;
constexpr int kScrollRange = 1000;
constexpr int kAutoRefreshTimerId = 101;
// Saves the open book's place this long after it first moved since the last save, so that
// a kill or a power cut loses at most that much reading.
constexpr int kSavePlaceTimerId = 102;
constexpr unsigned kSavePlaceDelayMs = 3000;
constexpr int kJumpTimerId = 201;
// Hides the brief notice drawn over the page.
constexpr int kNoticeTimerId = 104;
// Adds the opened book to the desktop's recently used files this long after the open, so
// that the write and its fsync never delay the first page.
constexpr int kRecentlyUsedTimerId = 105;
constexpr unsigned kRecentlyUsedDelayMs = 1000;
// Looks at the open book this long after the last change the platform reported, so that a
// save in several writes reopens it once, whole.
constexpr int kBookChangedTimerId = 106;
constexpr unsigned kBookChangedDelayMs = 300;
// Draws the next page ahead this long after a paint, once the window system has shown the
// page just painted, so that the next turn only shows it.
constexpr int kPrepareTimerId = 107;
constexpr unsigned kPrepareDelayMs = 25;
// The events the view posts to itself: the chapter scan found chapters, went on or ended;
// the search for the open book's place through the whole book has ended.
constexpr int kChapterEventId = 1;
constexpr int kAnchorSearchEventId = 2;

}  // namespace lirako
