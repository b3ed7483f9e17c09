#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/text_encoding.h"
#include "engine/text_engine.h"
#include "engine/typography.h"
#include "platform/platform.h"
#include "platform/surface.h"
#include "platform/view_host.h"
#include "store/reader_settings.h"
#include "store/reader_store.h"
#include "store/recent_file_entry.h"
#include "store/recent_file_list.h"
#include "view/anchor_search.h"
#include "view/book_typesetting.h"
#include "view/book_watch.h"
#include "view/chapter_list.h"
#include "view/command_ids.h"
#include "view/page_options.h"
#include "view/page_theme.h"
#include "view/reading_pace.h"
#include "view/status_line.h"

namespace lirako {

struct SearchHit;
class BookMemory;
class Library;

namespace testing {
class ViewInternals;
}  // namespace testing

// Navigation step carried out by the next paint.
enum PendingStep : int {
  kStepNone = 0,
  kStepPageForward = 1,
  kStepPageBackward = 2,
  kStepLineForward = 3,
  kStepLineBackward = 4,
};

// Font sizes the desktop keys step through, in pixels.
constexpr int kMinFontSize = 6;
constexpr int kMaxFontSize = 96;
// A new install's font size in pixels: about 10.5 points at the screen's logical dots per inch.
int ScreenFontSize(int logicalDpi);
// The auto-refresh period the + and - keys step through, in milliseconds.
constexpr int kRefreshIntervalStep = 100;
constexpr int kMinRefreshInterval = 100;
constexpr int kMaxRefreshInterval = 10000;
// How long a notice stays over the page, in milliseconds.
constexpr unsigned kNoticeMs = 1500;

// runState bits.
constexpr unsigned kRunAutoRefresh = 0x100;
constexpr unsigned kRunUpright = 0x10;      // a find or jump bar is open: draw unrotated
constexpr unsigned kRunKeepMargins = 0x20;  // a find or jump bar is open: keep its margins
constexpr unsigned kRunBarOpen = kRunUpright | kRunKeepMargins;

// The reader view: owns the one text engine, the settings and the recent-file list, and
// turns every command, key, tap, scroll, size and timer message into engine calls. Navigation
// handlers never draw; they leave a pending step and invalidate, and the next PaintPage
// carries it out.
class CTirasolView {
 public:
  // The modal parts of commands that live outside the view: the find bar, the jump bar, the
  // bookmark-name dialog and the settings sheet.
  enum class Modal { kFind, kJump, kSetBookmark, kSettings, kToc, kLibrary, kCount };
  using ModalHandler = std::function<void(CTirasolView&)>;
  // Makes the engine for a path in place of the view's own choice.
  using EngineFactory =
      std::function<std::unique_ptr<CTextEngine>(Platform&, const std::u16string& path)>;

  // Default settings and an empty byte engine with provisional margins.
  CTirasolView(Platform& platform, ViewHost& host);
  // Stops the timer, releases the hot keys and saves the position, the recent files and the
  // settings (only after an initial update), then releases the code table.
  ~CTirasolView();
  CTirasolView(const CTirasolView&) = delete;
  CTirasolView& operator=(const CTirasolView&) = delete;

  // Start-up: data folder, settings, code-page question, scroll bar, hot keys, recent files,
  // menus, title, then the file of `commandLine` (empty: none; when it cannot be opened the
  // page says why) or else the most recent one.
  void OnInitialUpdate(const std::u16string& commandLine);
  // Replaces the engine and opens `path` at its saved place; false (no document) on failure,
  // with the engine's reason in `err` when it is given; then, for a non-empty path, the page
  // shows "열 수 없습니다" with the file's name and the reason until the next open. Takes
  // the path by value: callers pass the current entry's own path, which opening resets.
  bool OpenDocument(std::u16string path, std::string* err = nullptr);
  // Why the last open failed (empty after a successful open or an empty path).
  const std::u16string& openFailureReason() const { return openFailureReason_; }
  // Stores the position and closes the document.
  void CloseDocument();
  // The window title: "name — 리라코" with the open file's name, or "리라코".
  void UpdateTitle();
  // Save the recent-file list (merged with what other windows saved; entries whose path is
  // too long for its file go to the store file, which is saved with it) and the settings. A
  // failure is written to standard error and, the first time, noted on the page.
  bool SaveRecentFiles();
  bool SaveSettingsFile();
  // What the page says about saves that cannot be made, until the next page turn; empty
  // when there is nothing to say. Given at most once a run.
  const std::u16string& saveNotice() const { return saveNotice_; }

  // The paint: font, offscreen surface, layout, pending step, lines, bar, block copy.
  void PaintPage(Surface& screen);
  // Draws the page the next turn most likely shows (the way the last one went, forward at
  // first) ahead of it, in the platform's spare page image.
  void PrepareTurn();
  // Page rectangle from the client rectangle, centred margins when the metrics are known.
  void UpdateLayout();
  // Scroll-bar position from the page position (with a document open).
  void UpdateScrollBar();

  void OnCommand(int id);
  void OnKeyDown(unsigned virtualKey);
  // A hot-key message, inspected before dispatch: an application button becomes a key press
  // when the main window is (or is brought) in front; nothing while an own dialog is.
  void OnHotKey(unsigned modifiers, unsigned virtualKey);
  void OnPenUp(int x, int y);
  void OnDoubleTap(int x, int y);
  void OnVScroll(int code, int thumbPosition);
  void OnSize();
  // The auto-refresh tick (timer 101), or the delayed save of the open book's place (102).
  void OnTimer(int id);
  // An event the view posted to itself: kChapterEventId, the chapter scan's news, which the
  // title and the status line take; kAnchorSearchEventId, the whole-book search for the open
  // book's place has ended (see OnAnchorSearchDone).
  void OnEvent(int id);

  // The keys a desktop user expects besides the device's (virtual key and KeyModifier
  // bits): Page Down / Space and Page Up / Shift+Space / Backspace turn pages, Home / End,
  // F11 / Escape full screen, Ctrl+F / Ctrl+G / Ctrl+B / Ctrl+, the find bar, jump bar,
  // bookmark and settings, F3 / Shift+F3 the next hit of the last text (forward only: the
  // engine searches forward), Ctrl+= / Ctrl+- / Ctrl+0 the font size, and + / - the
  // auto-scroll period while it runs. Other keys do nothing.
  void OnDesktopKey(unsigned virtualKey, unsigned modifiers);
  // `notches` turns of the mouse wheel (positive away from the user): with Ctrl each changes
  // the font size by one step, else each acts as the scroll bar's line arrow.
  void OnWheel(int notches, unsigned modifiers);
  // A file dropped on the window: opens it.
  void OnDropFile(const std::u16string& path);
  // Searches forward from the page (or past the last hit shown) for the last text of the
  // find history and moves the page to the line of the hit; the find bar when there is no
  // text yet.
  void FindAgain();
  // Font size by `steps` steps (negative: smaller), within kMinFontSize..kMaxFontSize;
  // re-measures and re-lays the page out. ResetFontSize goes back to the screen's size.
  void ChangeFontSize(int steps);
  void ResetFontSize();
  // While auto-refresh runs: the period by `steps` steps of kRefreshIntervalStep
  // (negative: faster), restarts the timer and shows the new period briefly.
  void ChangeRefreshInterval(int steps);
  // Shows `text` over the top of the page for a moment.
  void ShowNotice(const std::u16string& text);
  // The notice shown over the page now, or empty.
  const std::u16string& notice() const { return notice_; }

  // Runs entry `function` of the button-function table; other values do nothing.
  void RunButtonFunction(int function);
  // The file-open dialog, then OpenDocument.
  void OnFileOpen();
  // Opens recent file `index` (0-based) when the list has it.
  void OpenRecent(int index);
  // Goes to bookmark `index` (0-based) of the open file when it has one.
  void GoToBookmark(int index);
  // The next paint shows the page from the line holding `position`.
  void GoToPosition(int32_t position);
  // The next paint shows the page at `fraction` (0.0 to 1.0) of the book.
  void GoToFraction(float fraction);
  // The next FindNext searches from the page position, which it returns.
  int32_t BeginFind();
  // Puts `text` first in the find history, once.
  void RememberFindText(const std::u16string& text);
  // Searches for `text` (FindOption bits in `options`) after the previous hit; the next paint
  // shows the line of the hit, or the page where it was when there is none. Returns the hit's
  // line position with the offset within that line in `index`, or -1.
  int32_t FindNext(const std::u16string& text, int options, int32_t* index);
  // Bookmarks `position` of the open book as `name`, rebuilds the "책갈피" menu and saves the
  // recent files with the open book's entry stored first.
  void AddBookmark(int32_t position, const std::u16string& name);
  // Renames the open book's bookmark at `position`; nothing when it has none there.
  void RenameBookmark(int32_t position, const std::u16string& name);
  // Removes the open book's bookmark at `position`; nothing when it has none there.
  void RemoveBookmark(int32_t position);
  // Removes every bookmark of the open book.
  void ClearBookmarks();
  // Removes `path`'s entry from the recent files; nothing when it is not listed.
  void RemoveRecentFile(const std::u16string& path);
  // Empties the recent files.
  void RemoveAllRecentFiles();
  // Lists the open book's entry first among the recent files, with the position it last
  // stored.
  void ListOpenBookFirst();
  // The modal bars and the settings sheet: each stops the auto-refresh, then runs its
  // handler when one is set.
  void OnFind() { RunModal(Modal::kFind); }
  void OnJump() { RunModal(Modal::kJump); }
  void OnSetBookmark() { RunModal(Modal::kSetBookmark); }
  void OnSettings() { RunModal(Modal::kSettings); }
  void OnToc() { RunModal(Modal::kToc); }
  void OnLibrary() { RunModal(Modal::kLibrary); }
  // Sets the handler that runs `modal` (an empty one: nothing after stopping the timer).
  void SetModalHandler(Modal modal, ModalHandler handler);

  // Starts or stops the auto-refresh timer.
  void ToggleAutoRefresh();
  // The night key: between a light and a dark page.
  void ToggleNight();
  // Stops a running auto-refresh timer without repainting.
  void StopAutoRefresh();
  // Re-lays the page out from its top line: SetPosition(GetPosition()) and a page step.
  void RelayoutAtPosition();
  // Sets the pending step and invalidates; the last step before a paint wins. The search
  // hit's highlight goes with the page. The user moved the page: a place still looked for in
  // the background is no longer wanted.
  void RequestStep(int step);
  // Shows a hit of the search for every hit: its display line becomes the top line and its
  // characters are drawn inverted until the page changes; the next FindNext goes on after
  // it. Returns the line's position.
  int32_t ShowSearchHit(const SearchHit& hit);
  // The step just requested keeps the engine's highlight (a search step).
  void KeepHighlight() { keepHighlight_ = true; }

  // The chapters of the open book, found in the background.
  const ChapterList& chapters() const { return chapters_; }
  // Jumps to chapter `index`: its heading becomes the top line.
  void GoToChapter(size_t index);
  // Jumps to the chapter after (`step` 1) or before (-1) the one the page is in.
  void StepChapter(int step);
  // The user's own heading rule ("" for none), kept in the reader's store.
  std::string TocRule() const;
  // Checks `rule`, keeps it and finds the chapters again; false with the reason in `err`
  // (the rule and the chapters unchanged) when it is not a valid pattern.
  bool SetTocRule(const std::string& rule, std::string* err);
  // The open book's own heading pattern ("" for none: TocRule serves it), kept for the book.
  std::string BookTocRule() const;
  // The pattern the open book's chapters are found with: its own, else TocRule.
  std::string ChapterRule() const;
  // The one rule the reader chose for the open book's chapters ("" for every rule together,
  // as a book without a choice has them), kept for the book.
  std::string BookTocChoice() const;
  // Keeps for the open book its own pattern `rule` ("": none) and the rule `choice` ("":
  // every rule) and finds its chapters again at once; the corrections stay. False with the
  // reason in `err`, nothing changed, when `rule` is not a valid pattern.
  bool SetBookToc(const std::string& rule, const std::string& choice, std::string* err);
  // The reader's corrections of the open book's chapters, kept for that book.
  ChapterCorrections ChapterCorrectionsOfBook() const;
  // Keeps `corrections` for the open book and applies them to its chapters.
  void SetChapterCorrections(const ChapterCorrections& corrections);
  // Hands the engine the margins without centring: top grows by `extraTop` (an open bar's
  // height), plus the bar room; then invalidates.
  void ApplyBarMargins(int extraTop);
  // Registers a hot key for every application button with a function (when enabled).
  void RegisterHotKeys();
  // Unregisters every hot key registered by RegisterHotKeys.
  void UnregisterHotKeys();

  void BuildRecentMenu();
  void BuildBookmarkMenu();
  void EnableDocumentMenus() { SetDocumentMenusEnabled(true); }
  void DisableDocumentMenus() { SetDocumentMenusEnabled(false); }

  bool HasDocument() const { return engine_->isOpen; }
  // The engine of the open book, to read; the view alone changes it.
  const CTextEngine& engine() const { return *engine_; }
  // The position of the page's top line, the size of the book and the top line (null when
  // the page has none), in the open engine's units.
  int32_t pagePosition() const { return engine_->GetPosition(); }
  int32_t bookSize() const { return engine_->GetSize(); }
  const CTextLine* topLine() const { return engine_->GetTopLine(); }
  const ReaderSettings& settings() const { return settings_; }
  // Takes `settings` as they are; nothing is re-laid out, registered or saved by it.
  void SetSettings(const ReaderSettings& settings) { settings_ = settings; }
  // Takes the settings sheet's result whole: `settings` and `typography`, the scroll bar of
  // the bar mode, the margins with the bar's room, the hot keys again, the code table again
  // when the conversion is on; then the next paint measures the glyphs, the page rectangle
  // follows and an open book is re-laid out at its position. Saves nothing.
  void ApplySettings(const ReaderSettings& settings, const Typography& typography);
  // Takes the extension lists and the remembered file classes of `lists`, which linking and
  // unlinking change at once; the other settings stay.
  void SetExtensionLists(const ReaderSettings& lists);
  ViewHost& host() { return host_; }
  Platform& platform() { return platform_; }
  int pendingStep() const { return pendingStep_; }
  unsigned runState() const { return runState_; }
  // Sets (`on`) or clears the runState `bits`.
  void SetRunStateBits(unsigned bits, bool on);
  // The open book's entry: its path, stored position and bookmarks.
  const RecentFileEntry& currentEntry() const { return currentEntry_; }
  const RecentFileList& recentFiles() const { return recentFiles_; }
  // What the reader remembers beyond the two record files; saved with them at the end.
  ReaderStore& readerStore() { return readerStore_; }
  // Writes lirako.ini in the data folder; a failure is reported as the other saves' are.
  bool SaveReaderStore();
  // Every book read, in the data folder's library; not open before the initial update.
  Library& library();
  // The typesetting options kept in the store: line-start rules on, the others off, unless
  // stored otherwise.
  Typography typography() const;
  // Stores the options and hands them to the engine; a change re-lays the open document out
  // at the page's position.
  void SetTypography(const Typography& options);
  // How the text is set now: font, line gap, justification, typesetting options, page shape.
  Typesetting CurrentTypesetting() const {
    return Typesetting::Of(settings_, typography(), pageOptions());
  }
  // The user changed the set in force (the settings sheet, the font keys): it is kept for the
  // open book and becomes the default for books without their own.
  void KeepTypesetting();
  // The shape of the page ("줄 길이", "두 쪽 보기"), kept in the reader's store.
  PageOptions pageOptions() const { return PageOptions::Load(readerStore_); }
  // Stores `options` and re-lays the page at its top line's place when they change it.
  void SetPageOptions(const PageOptions& options);
  // The page's theme ("테마"), kept in the reader's store, and the colours it paints with.
  ThemeChoice themeChoice() const { return ThemeChoice::Load(readerStore_); }
  PageColors pageColors() const;
  // Chooses `theme` on the settings page and repaints when it is not the one in force.
  void SetTheme(Theme theme);
  const std::u16string& dataFolder() const { return dataFolder_; }
  // The searched texts, newest first.
  const std::vector<std::u16string>& findHistory() const { return findHistory_; }
  const std::array<bool, kAppButtonCount>& hotKeyRegistered() const { return hotKeyRegistered_; }
  int smoothOffset() const { return smoothOffset_; }
  int smoothStep() const { return smoothStep_; }
  // From now on every book opened is also added to the desktop's recently-used list (off by
  // default, so that tools painting through the view leave the user's list alone).
  void SetRecordRecentlyUsed(bool on) { recordRecentlyUsed_ = on; }
  // Replaces the engine factory used from now on (by default the view creates the engine of
  // the book's chosen or detected encoding).
  void SetEngineFactory(EngineFactory factory) { engineFactory_ = std::move(factory); }

  // The encoding chosen for `book` (its "encoding" value in the reader store), or none: detect.
  std::optional<TextEncoding> BookEncoding(const std::u16string& book) const;
  // The encoding the open book is read in (the last one opened).
  TextEncoding openEncoding() const { return openEncoding_; }
  // Remembers `encoding` (none: detect) for the open book and reopens it at the same byte of
  // the file, moved back to a character start; bookmarks move to the new units too.
  void ChooseEncoding(std::optional<TextEncoding> encoding);

 private:
  // Tests set up their situations on the open book's entry directly.
  friend class testing::ViewInternals;

  // The margins of the settings with the room of the chosen bar added.
  Rect BarMargins(int left, int top, int right, int bottom) const;
  // Hands the engine `margins` with the settings' line gap, shared lines and justification,
  // the columns centred between left and right, whole lines of `pitch` pixels (negative: the
  // margins as they are) centred between top and bottom with `roomTop` and `roomBottom` added
  // after, less the status line's band; does not re-lay the page.
  void SetEngineLayout(const Rect& margins, int pitch = -1, int roomTop = 0, int roomBottom = 0);
  // The face of the page's text in the settings.
  FontSpec PageFace() const;
  // What the status line says about the page now.
  StatusText PageStatus();
  // The status line is drawn with `options`: on, with a book, and not hidden in auto-scroll.
  bool StatusShown(const PageOptions& options) const;
  // Repaints when the status line is shown and would say something else now.
  void RefreshStatus();
  // Shows the scroll bar exactly when the scroll-bar mode is chosen.
  void ShowScrollBarForMode();
  // RequestStep for the page as it is (a new layout), keeping the place looked for.
  void ScheduleStep(int step);
  // Looks for `anchor` through the open book in the background (see OnAnchorSearchDone).
  void StartAnchorSearch(const std::string& anchor);
  // When the whole-book search found the place and the user has not moved the page since
  // the book opened, the page goes there.
  void OnAnchorSearchDone();
  // Line pitch of the engine's current metrics.
  int LinePitch() const { return engine_->lineHeight + engine_->lineGap; }
  // Adds the book waiting for it to the desktop's recently used files, if any.
  void RecordRecentlyUsed();
  // Stores the open document's position into its entry and the entry first into the list.
  void StoreCurrentPosition();
  // Arms the save timer when the open book's place differs from the one last saved.
  void ArmPlaceSave();
  // Stores the open book's place and writes the recent-file list.
  void SavePlace();
  // The open book's file changed (timer kBookChangedTimerId): reopens it at the text of the
  // page's top line (nearest the old place), else at the old place (the last page when the
  // book is now shorter), and says so; a removed one stays on the page, which says so. While
  // a bar is open this waits until it closes.
  void ReopenChangedBook();
  void SetDocumentMenusEnabled(bool enabled);
  void RunModal(Modal modal);
  // Starts finding the chapters of the open book (or forgets them without one).
  void StartChapterScan();
  // Puts the chapter the page is in into the title when it changed.
  void UpdateChapterTitle();
  void AskCodePageQuestion();
  // Draws the failed open's notice centred on the page, upright, in the settings' font.
  void DrawOpenFailure(Surface& screen, const Rect& client);
  void CreateScrollBar();
  // Notes on the page, once, when the data files of this run cannot be saved.
  void CheckDataFilesWritable();
  void NoteSaveProblem(std::u16string notice);
  bool ReportSave(bool saved, const std::string& err);
  // SaveRecentFiles without rebuilding the menu (at the end, when the menu is going).
  bool WriteRecentFiles();
  // Draws the save notice across the foot of the page (the right edge when rotated).
  void DrawSaveNotice(Surface& screen, const Rect& client, bool rotated);
  // Checks the item of the open book's encoding choice in the "인코딩" menu.
  void UpdateEncodingMenu();
  // Writes the typesetting options to the store, as typography() reads them.
  void StoreTypography(const Typography& options);
  // Makes `set` the one in force before a book opens: the settings' font and spacing, the
  // stored options and the engine's; the next paint measures and lays out anew.
  void ApplyTypesetting(const Typesetting& set);
  // The font size becomes `size` (clamped); re-measures and re-lays the page out.
  void SetFontSize(int size);
  // Starts the auto-refresh timer with the period of the settings.
  void StartAutoRefreshTimer();
  void DrawNotice(Surface& screen, const Rect& client, bool rotated);

  Platform& platform_;
  ViewHost& host_;
  EngineFactory engineFactory_;
  std::unique_ptr<CTextEngine> engine_;
  TextEncoding openEncoding_ = TextEncoding::kCp949;
  ReaderSettings settings_;
  int pendingStep_ = kStepNone;
  Turn lastTurn_ = Turn::kForward;
  unsigned runState_ = 0;
  RecentFileEntry currentEntry_;
  RecentFileList recentFiles_;
  ReaderStore readerStore_;
  BookTypesetting bookTypesetting_{readerStore_};
  std::unique_ptr<BookMemory> memory_;
  std::u16string dataFolder_;
  std::u16string saveNotice_;
  bool saveNoticeGiven_ = false;
  bool saveNoticeDrawn_ = false;
  bool initialized_ = false;
  std::array<bool, kAppButtonCount> hotKeyRegistered_ = {};
  std::vector<std::u16string> findHistory_;
  std::u16string notice_;
  bool recordRecentlyUsed_ = false;
  // The book to add to the desktop's recently used files when kRecentlyUsedTimerId fires.
  std::u16string recentlyUsedPending_;
  int smoothOffset_ = 0;
  int smoothStep_ = 1;
  // The file name and reason of the last failed open, shown until the next open.
  std::u16string openFailureName_;
  std::u16string openFailureReason_;
  // The place of the open book in ResentFiles.Dat as last written (-1: not written yet), and
  // whether the save timer runs.
  int32_t savedPlace_ = -1;
  bool placeSaveArmed_ = false;
  ChapterList chapters_;
  ReadingPace pace_;
  StatusLine statusLine_;
  // The chapter in the title, -1 for none.
  int titleChapter_ = -1;
  // The next paint keeps the search hit's highlight.
  bool keepHighlight_ = false;
  BookWatch bookWatch_;
  AnchorSearch anchorSearch_;
  // The book changed while a bar was open; it is looked at when the bar closes.
  bool bookChangePending_ = false;
  std::array<ModalHandler, static_cast<size_t>(Modal::kCount)> modalHandlers_;
};

}  // namespace lirako
