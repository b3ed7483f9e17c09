// The reader view's life: construction, start-up, opening and closing documents, the title
// and the saves at the end.
#include "view/tirasol_view.h"

#include <chrono>
#include <cstdio>

#include "engine/code_table.h"
#include "engine/encoding_detection.h"
#include "engine/text_anchor.h"
#include "engine/text_line.h"
#include "platform/readable_path.h"
#include "platform/utf.h"
#include "store/data_folder.h"
#include "store/long_path_entries.h"
#include "store/resent_files_format.h"
#include "store/set_param_format.h"
#include "store/settings_file.h"
#include "view/bar_room.h"
#include "view/book_memory.h"

namespace lirako {
namespace {

constexpr char16_t kProductName[] = u"리라코";
constexpr char16_t kOpenFilter[] =
    u"Text files (*.txt)|*.txt|Cap files (*.cap)|*.cap|All Files (*.*)|*.*|";
constexpr char16_t kCodePageQuestion[] =
    u"완성형 한글 변환을 지원하지 않는 장치입니다. Table 변환 기능을 쓰시겠습니까?";
constexpr char16_t kCautionCaption[] = u"주의";
constexpr char16_t kCodeTableFile[] = u"hantable.dat";
constexpr char16_t kReadOnlyNotice[] = u"읽기 전용이라 저장하지 않습니다: ";
constexpr char16_t kUnreadableNotice[] = u"읽을 수 없어 덮어쓰지 않습니다: ";
constexpr char16_t kFolderNotice[] = u"데이터 폴더에 쓸 수 없어 저장하지 않습니다: ";
constexpr char16_t kSaveFailedNotice[] = u"저장하지 못했습니다: ";
constexpr char16_t kBookReopenedNotice[] = u"책이 바뀌어 다시 열었습니다";
constexpr char16_t kBookRemovedNotice[] = u"책 파일이 지워졌습니다";
// Until the first layout the engine gets 2 pixels on every side and 2 shared lines.
constexpr int kProvisionalMargin = 2;
constexpr int kProvisionalSharedLines = 2;

}  // namespace

CTirasolView::CTirasolView(Platform& platform, ViewHost& host)
    : platform_(platform), host_(host), memory_(std::make_unique<BookMemory>(platform)) {
  engine_ = CreateTextEngine(platform_, TextEncoding::kCp949);
  engine_->SetLayout(
      Rect{kProvisionalMargin, kProvisionalMargin, kProvisionalMargin, kProvisionalMargin}, 0,
      kProvisionalSharedLines, false);
  engine_->SetTypography(typography());
  // The scan's news reaches the view on its own thread.
  chapters_.SetViewListener([this] { host_.PostEvent(kChapterEventId); });
}

CTirasolView::~CTirasolView() {
  anchorSearch_.Cancel();
  chapters_.Stop();
  StopAutoRefresh();
  if (placeSaveArmed_) host_.KillTimer(kSavePlaceTimerId);
  UnregisterHotKeys();
  // A book opened just before the end is still recorded.
  RecordRecentlyUsed();
  if (!initialized_) return;
  StoreCurrentPosition();
  WriteRecentFiles();
  SaveSettingsFile();
  ReleaseCodeTable();
}

void CTirasolView::OnInitialUpdate(const std::u16string& commandLine) {
  dataFolder_ = FindDataFolder(platform_);
  std::string moveErr;
  if (!MoveEarlierDataFiles(platform_, dataFolder_, &moveErr))
    std::fprintf(stderr, "lirako: files of an earlier version not moved: %s\n", moveErr.c_str());
  // An installed copy saves in the user's folder but still reads what earlier runs left
  // beside the program until the user's folder has its own.
  std::u16string fallback = FindFallbackFolder(platform_);
  auto readFolder = [&](std::u16string_view name) {
    return FolderHolding(platform_, dataFolder_, fallback, name);
  };
  initialized_ = true;
  RemoveStaleTemporaries(platform_, dataFolder_);
  // Without a settings file to take them from (a new install) the text is sized for the screen.
  if (!LoadSettings(platform_, readFolder(set_param::kFileName), settings_))
    settings_.fontSize = ScreenFontSize(platform_.LogicalDpi());
  ApplyBarMargins(0);
  AskCodePageQuestion();
  if (settings_.tableConversion)
    LoadCodeTable(platform_, DataFilePath(readFolder(kCodeTableFile), kCodeTableFile));
  CreateScrollBar();
  RegisterHotKeys();
  recentFiles_.Load(platform_, readFolder(resent_files::kFileName));
  std::string err;
  if (!readerStore_.Load(platform_,
                         DataFilePath(readFolder(ReaderStore::kFileName), ReaderStore::kFileName),
                         &err))
    std::fprintf(stderr, "lirako: %s not read: %s\n", ToUtf8(ReaderStore::kFileName).c_str(),
                 err.c_str());
  // The values of books move from lirako.ini into the library, once.
  if (memory_->Open(dataFolder_, readerStore_, recentFiles_)) SaveReaderStore();
  bookTypesetting_.Start(CurrentTypesetting());
  engine_->SetTypography(typography());
  RestoreLongPathEntries(readerStore_, recentFiles_);
  CheckDataFilesWritable();
  UpdateLayout();
  DisableDocumentMenus();
  BuildRecentMenu();
  BuildBookmarkMenu();
  UpdateTitle();
  // A book named on the command line that cannot be opened keeps its notice on the page
  // rather than giving way to the most recent book.
  if (!commandLine.empty() && !OpenDocument(commandLine)) return;
  if (!HasDocument()) {
    recentFiles_.CopyMostRecent(&currentEntry_);
    OpenDocument(currentEntry_.path);
  }
}

bool CTirasolView::SaveRecentFiles() {
  bool saved = WriteRecentFiles();
  // The merge may have brought in entries another window saved; the menu's items must name
  // the entries they open.
  BuildRecentMenu();
  return saved;
}

bool CTirasolView::WriteRecentFiles() {
  std::string err;
  bool saved = recentFiles_.Save(platform_, dataFolder_, &err);
  // Entries whose path the record file cannot hold live in the store file.
  KeepLongPathEntries(recentFiles_, readerStore_);
  bool reported = ReportSave(saved, err);
  return SaveReaderStore() && reported;
}

bool CTirasolView::SaveSettingsFile() {
  std::string err;
  return ReportSave(SaveSettings(platform_, dataFolder_, settings_, &err), err);
}

void CTirasolView::ApplySettings(const ReaderSettings& settings, const Typography& typography) {
  settings_ = settings;
  ShowScrollBarForMode();
  SetEngineLayout(SettingsMargins(settings_.marginX, settings_.marginY, settings_.barMode,
                                  settings_.landscape != 0));
  SetTypography(typography);
  UnregisterHotKeys();
  RegisterHotKeys();
  // Reloaded every time with the option on; switching it off unloads nothing here.
  if (settings_.tableConversion)
    LoadCodeTable(platform_, DataFilePath(dataFolder_, kCodeTableFile));
  // The next paint measures the glyphs in the new font; until then only the page rectangle
  // changes.
  engine_->metricsReady = false;
  UpdateLayout();
  if (HasDocument()) RelayoutAtPosition();
}

void CTirasolView::SetExtensionLists(const ReaderSettings& lists) {
  settings_.unlinkedExtensions = lists.unlinkedExtensions;
  settings_.linkedExtensions = lists.linkedExtensions;
  settings_.savedFileClasses = lists.savedFileClasses;
}

bool CTirasolView::ReportSave(bool saved, const std::string& err) {
  if (saved) return true;
  std::fprintf(stderr, "lirako: not saved: %s\n", err.c_str());
  NoteSaveProblem(kSaveFailedNotice + FromUtf8(err));
  return false;
}

void CTirasolView::CheckDataFilesWritable() {
  // An installed copy whose user folder cannot be made or written either keeps nothing.
  if (!platform_.IsWritableFolder(dataFolder_)) {
    NoteSaveProblem(kFolderNotice + dataFolder_);
    return;
  }
  for (std::u16string_view name :
       {std::u16string_view(set_param::kFileName), std::u16string_view(resent_files::kFileName),
        std::u16string_view(ReaderStore::kFileName)}) {
    std::u16string path = DataFilePath(dataFolder_, name);
    switch (platform_.CheckWriteAccess(path)) {
      case WriteAccess::kWritable:
        break;
      case WriteAccess::kReadOnlyFile:
        NoteSaveProblem(kReadOnlyNotice + path);
        break;
      case WriteAccess::kUnreadableFile:
        NoteSaveProblem(kUnreadableNotice + path);
        break;
      case WriteAccess::kReadOnlyFolder:
        NoteSaveProblem(kFolderNotice + dataFolder_);
        break;
      case WriteAccess::kNotAFile:
        NoteSaveProblem(kSaveFailedNotice + path);
        break;
    }
  }
}

bool CTirasolView::SaveReaderStore() {
  std::string err;
  return ReportSave(
      readerStore_.Save(platform_, DataFilePath(dataFolder_, ReaderStore::kFileName), &err), err);
}

void CTirasolView::NoteSaveProblem(std::u16string notice) {
  if (saveNoticeGiven_) return;
  saveNoticeGiven_ = true;
  saveNotice_ = std::move(notice);
  host_.Invalidate();
}

void CTirasolView::AskCodePageQuestion() {
  if (settings_.stateFlags & ReaderSettings::kCodePageAsked) return;
  if (platform_.HasCodePage949()) return;
  int answer =
      host_.MessageBox(kCodePageQuestion, kCautionCaption, kMbOkCancel | kMbIconInformation);
  if (answer == kIdOk) settings_.tableConversion = 1;
  settings_.stateFlags |= ReaderSettings::kCodePageAsked;
}

void CTirasolView::CreateScrollBar() {
  Rect client = host_.ClientRect();
  host_.CreateScrollBar(
      Rect{client.right - kScrollBarWidth, client.top, client.right, client.bottom});
  host_.SetScrollRange(0, kScrollRange);
  if (settings_.barMode == BarMode::kScrollBar) host_.ShowScrollBar(true);
}

bool CTirasolView::OpenDocument(std::u16string path, std::string* err) {
  StopAutoRefresh();
  StoreCurrentPosition();
  anchorSearch_.Cancel();
  chapters_.Stop();
  bookWatch_.Stop();
  bookChangePending_ = false;
  engine_.reset();
  // A moved book's values (the encoding chosen for it) follow it before they are read.
  memory_->FollowMoved(path);
  // The book's own typesetting, or the default; before its encoding and engine are chosen.
  if (initialized_ && !path.empty()) ApplyTypesetting(bookTypesetting_.Opening(path));
  EncodingGuess guess;
  std::optional<TextEncoding> chosen = BookEncoding(path);
  if (chosen) {
    openEncoding_ = *chosen;
  } else {
    openEncoding_ = DetectTextEncoding(platform_, path, &guess, nullptr) ? guess.encoding
                                                                         : TextEncoding::kCp949;
  }
  engine_ =
      engineFactory_ ? engineFactory_(platform_, path) : CreateTextEngine(platform_, openEncoding_);
  engine_->SetTypography(typography());
  ApplyBarMargins(0);
  openFailureName_.clear();
  openFailureReason_.clear();
  std::string reason;
  if (!engine_->Load(path, &reason)) {
    if (!path.empty()) {
      openFailureName_ = ReadablePath(platform_, FileNameOf(path));
      openFailureReason_ = FromUtf8(reason);
    }
    if (err) *err = reason;
    DisableDocumentMenus();
    UpdateTitle();
    host_.Invalidate();
    return false;
  }
  engine_->GoToStart();
  currentEntry_ = RecentFileEntry{};
  currentEntry_.path = path;
  // The library knows every book read, also under another path or in another encoding; the
  // recent list's own entry comes first unless the book changed since.
  const BookPlace place = memory_->Opened(path, *engine_);
  // A copy found by its bytes or its text got the values of the book it copies.
  if (place.record && place.record->path != path) ApplyTypesetting(bookTypesetting_.Opening(path));
  // Whether the library's place is the one the book opens at.
  bool libraryPlace = place.record.has_value();
  if (recentFiles_.Contains(path)) {
    recentFiles_.CopyEntry(path, &currentEntry_);
    libraryPlace = place.relocated;
    if (place.relocated) currentEntry_.position = place.position;
    engine_->SetPosition(currentEntry_.position);
  } else if (place.record) {
    currentEntry_.position = place.position;
    if (place.matched != PlaceMatch::kText) currentEntry_.bookmarks = place.record->bookmarks;
    engine_->SetPosition(currentEntry_.position);
  }
  recentFiles_.StoreFirst(currentEntry_);
  // In the library at once, so that a reader killed now still remembers it.
  memory_->Record(*engine_, currentEntry_);
  savedPlace_ = -1;
  if (recordRecentlyUsed_) {
    // A book opened before the last one was recorded replaces it: the desktop lists what
    // was read, not what was passed through.
    recentlyUsedPending_ = path;
    host_.SetTimer(kRecentlyUsedTimerId, kRecentlyUsedDelayMs);
  }
  RequestStep(kStepPageForward);
  // The pace is counted in this book's units.
  pace_.Reset();
  // The place's text was nowhere near the old place: the book shows the old place (or its
  // start) at once and goes to the text when the search through the whole book finds it.
  if (libraryPlace && !place.anchorToFind.empty()) StartAnchorSearch(place.anchorToFind);
  StartChapterScan();
  bookWatch_.Start(platform_, path,
                   [this] { host_.SetTimer(kBookChangedTimerId, kBookChangedDelayMs); });
  UpdateTitle();
  EnableDocumentMenus();
  BuildRecentMenu();
  BuildBookmarkMenu();
  UpdateEncodingMenu();
  return true;
}

void CTirasolView::OnFileOpen() {
  StopAutoRefresh();
  std::u16string path;
  if (host_.ChooseFileToOpen(kOpenFilter, &path)) OpenDocument(path);
}

void CTirasolView::CloseDocument() {
  StopAutoRefresh();
  if (HasDocument()) {
    StoreCurrentPosition();
    chapters_.Stop();
    bookWatch_.Stop();
    engine_->Close();
    currentEntry_.ClearBookmarks();
  }
  UpdateTitle();
  BuildRecentMenu();
  BuildBookmarkMenu();
  DisableDocumentMenus();
  host_.Invalidate();
}

void CTirasolView::ReopenChangedBook() {
  host_.KillTimer(kBookChangedTimerId);
  if (!HasDocument()) return;
  // A reopen lays the page out afresh, without an open bar's margins.
  if (runState_ & kRunBarOpen) {
    bookChangePending_ = true;
    return;
  }
  switch (bookWatch_.Check(platform_)) {
    case BookWatch::State::kUnchanged:
      return;
    case BookWatch::State::kRemoved:
      // The file stays open and readable: the page, and the pages around it, stay.
      ShowNotice(kBookRemovedNotice);
      return;
    case BookWatch::State::kChanged:
      break;
  }
  const std::u16string path = engine_->filePath;
  const int32_t position = engine_->GetPosition();
  // The page's top line, as laid out from the book before the change: the text to find again.
  std::u16string top;
  if (const CTextLine* line = engine_->GetTopLine()) line->GetText(&top);
  // A failed open says why on the page.
  if (!OpenDocument(path)) return;
  const int32_t found = TextAnchor::OfEngine(platform_, *engine_).FindNear(ToUtf8(top), position);
  if (found >= 0) {
    engine_->SetPosition(found);
    RequestStep(kStepPageForward);
  } else {
    if (position >= engine_->GetSize()) {
      engine_->GoToEnd();
      RequestStep(kStepPageBackward);
    }
    // Elsewhere in the book, if anywhere: looked for in the background.
    StartAnchorSearch(ToUtf8(top));
  }
  ShowNotice(kBookReopenedNotice);
}

void CTirasolView::RecordRecentlyUsed() {
  host_.KillTimer(kRecentlyUsedTimerId);
  if (recentlyUsedPending_.empty()) return;
  std::string err;
  if (!platform_.AddRecentlyUsed(recentlyUsedPending_, std::chrono::system_clock::now(), &err))
    std::fprintf(stderr, "lirako: recently-used.xbel not updated: %s\n", err.c_str());
  recentlyUsedPending_.clear();
}

void CTirasolView::StoreCurrentPosition() {
  if (!HasDocument()) return;
  currentEntry_.position = engine_->GetPosition();
  recentFiles_.StoreFirst(currentEntry_);
  memory_->Record(*engine_, currentEntry_);
}

Library& CTirasolView::library() {
  return memory_->library();
}

void CTirasolView::ArmPlaceSave() {
  if (placeSaveArmed_ || !HasDocument() || engine_->GetPosition() == savedPlace_) return;
  // Armed once, not pushed back by later turns, so a steady reader is saved as well.
  placeSaveArmed_ = true;
  host_.SetTimer(kSavePlaceTimerId, kSavePlaceDelayMs);
}

void CTirasolView::SavePlace() {
  host_.KillTimer(kSavePlaceTimerId);
  placeSaveArmed_ = false;
  if (!HasDocument()) return;
  StoreCurrentPosition();
  SaveRecentFiles();
  savedPlace_ = currentEntry_.position;
}

void CTirasolView::UpdateTitle() {
  if (!HasDocument()) {
    titleChapter_ = -1;
    host_.SetTitle(kProductName);
    return;
  }
  // The chapter the page is in follows the book's name; the program's name comes last, as the
  // desktop's window lists tell programs apart by it.
  std::u16string title = ReadablePath(platform_, FileNameOf(engine_->filePath));
  titleChapter_ = chapters_.IndexAt(engine_->GetPosition());
  if (const std::string chapter = chapters_.TitleAt(engine_->GetPosition()); !chapter.empty())
    title += u" - " + FromUtf8(chapter);
  host_.SetTitle(title + u" — " + kProductName);
}

void CTirasolView::SetRunStateBits(unsigned bits, bool on) {
  if (on) {
    runState_ |= bits;
  } else {
    runState_ &= ~bits;
  }
  if (bookChangePending_ && !(runState_ & kRunBarOpen)) {
    bookChangePending_ = false;
    host_.SetTimer(kBookChangedTimerId, kBookChangedDelayMs);
  }
}

}  // namespace lirako
