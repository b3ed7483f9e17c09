#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "engine/text_line.h"
#include "platform/open_reasons.h"
#include "platform/utf.h"
#include "store/settings_file.h"
#include "tests/support/fifo_watchdog.h"
#include "tests/view/view_fixture.h"
#include "view/command_ids.h"

namespace lirako {
namespace {

using testing::FifoWatchdog;
using testing::ViewFixture;

// With the defaults on 240 x 320 (pitch 17, 18 lines, 2 shared) a page turn of the numbered
// book moves 16 lines of 9 bytes.
constexpr int32_t kPageTurn = 16 * 9;

bool MenuEnabledAt(ViewFixture& f, int position) {
  return f.host.menu().items()[position].enabled;
}

// The texts the next paint draws, top to bottom.
std::vector<std::u16string> PageTexts(ViewFixture& f) {
  std::vector<std::u16string> texts;
  for (const SurfaceOp& op : f.Paint()->TextOps())
    texts.push_back(op.text);
  return texts;
}

TEST(ViewOpen, StoresThePreviousPositionFirstAndRestoresIt) {
  ViewFixture f;
  std::u16string a = f.NumberedBook("a.txt", 200);
  // Another book: a copy of a byte for byte would open at a's place.
  std::u16string b = f.NumberedBook("b.txt", 201);
  CTirasolView& view = f.Start(a);
  ASSERT_TRUE(view.HasDocument());
  EXPECT_EQ(f.host.title(), u"a.txt — 리라코");
  f.Paint();
  view.OnKeyDown(kVkDown);
  f.Paint();
  ASSERT_EQ(view.pagePosition(), kPageTurn);

  ASSERT_TRUE(view.OpenDocument(b));
  EXPECT_EQ(f.host.title(), u"b.txt — 리라코");
  ASSERT_EQ(view.recentFiles().size(), 2u);
  EXPECT_EQ(view.recentFiles().entries()[0].path, b);
  EXPECT_EQ(view.recentFiles().entries()[1].path, a);
  EXPECT_EQ(view.recentFiles().entries()[1].position, kPageTurn);
  EXPECT_EQ(view.currentEntry().path, b);
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
  f.Paint();
  EXPECT_EQ(view.pagePosition(), 0);

  // Reopening the book that is open keeps its place.
  view.OnKeyDown(kVkDown);
  f.Paint();
  view.OnKeyDown(kVkDown);
  f.Paint();
  ASSERT_EQ(view.pagePosition(), 2 * kPageTurn);
  ASSERT_TRUE(view.OpenDocument(b));
  f.Paint();
  EXPECT_EQ(view.pagePosition(), 2 * kPageTurn);

  ASSERT_TRUE(view.OpenDocument(a));
  f.Paint();
  EXPECT_EQ(view.pagePosition(), kPageTurn);
  EXPECT_EQ(view.recentFiles().entries()[0].path, a);
  EXPECT_EQ(view.recentFiles().entries()[1].position, 2 * kPageTurn);
}

TEST(ViewOpen, AFailedOpenLeavesNoDocument) {
  ViewFixture f;
  std::u16string a = f.NumberedBook("a.txt", 200);
  CTirasolView& view = f.Start(a);
  f.Paint();
  view.OnKeyDown(kVkDown);
  f.Paint();
  EXPECT_TRUE(MenuEnabledAt(f, kMenuPosMove));
  EXPECT_TRUE(MenuEnabledAt(f, kMenuPosBookmark));
  std::string err;
  EXPECT_FALSE(view.OpenDocument(FromUtf8(f.dir.File("missing.txt")), &err));
  EXPECT_EQ(err, kReasonNotFound);
  EXPECT_FALSE(view.HasDocument());
  EXPECT_EQ(f.host.title(), u"리라코");
  EXPECT_FALSE(MenuEnabledAt(f, kMenuPosMove));
  EXPECT_FALSE(MenuEnabledAt(f, kMenuPosBookmark));
  EXPECT_TRUE(f.host.messageBoxes().empty());
  ASSERT_EQ(view.recentFiles().size(), 1u);
  EXPECT_EQ(view.recentFiles().entries()[0].position, kPageTurn);
  // An empty path fails quietly: the page paints empty, and navigation does nothing.
  EXPECT_FALSE(view.OpenDocument(u""));
  view.OnKeyDown(kVkDown);
  EXPECT_TRUE(f.Paint()->TextOps().empty());
}

TEST(ViewOpen, AFailedOpenSaysWhyOnThePageUntilTheNextOpen) {
  ViewFixture f;
  CTirasolView& view = f.Start();
  EXPECT_FALSE(view.OpenDocument(FromUtf8(f.dir.File("missing.txt"))));
  EXPECT_EQ(PageTexts(f), (std::vector<std::u16string>{u"열 수 없습니다", u"missing.txt",
                                                       FromUtf8(kReasonNotFound)}));
  EXPECT_TRUE(f.host.messageBoxes().empty());
  EXPECT_FALSE(view.OpenDocument(FromUtf8(f.dir.path())));
  EXPECT_EQ(PageTexts(f).back(), FromUtf8(kReasonFolder));

  ASSERT_TRUE(view.OpenDocument(f.NumberedBook("a.txt", 3)));
  std::vector<std::u16string> texts = PageTexts(f);
  EXPECT_EQ(texts.front(), u"line");
  EXPECT_EQ(std::count(texts.begin(), texts.end(), u"열 수 없습니다"), 0);
  view.CloseDocument();
  EXPECT_TRUE(f.Paint()->TextOps().empty());
}

TEST(ViewOpen, TwoPageInputsBeforeOnePaintMoveOnePage) {
  ViewFixture f;
  CTirasolView& view = f.Start(f.NumberedBook("a.txt", 200));
  f.Paint();
  view.OnKeyDown(kVkDown);
  view.OnPenUp(10, 300);
  f.Paint();
  EXPECT_EQ(view.pagePosition(), kPageTurn);
  EXPECT_EQ(view.pendingStep(), kStepNone);

  // The last input wins: forward then backward is one backward step.
  ViewFixture g;
  CTirasolView& other = g.Start(g.NumberedBook("a.txt", 200));
  g.Paint();
  other.OnKeyDown(kVkDown);
  g.Paint();
  other.OnKeyDown(kVkUp);
  g.Paint();
  int32_t oneBack = other.pagePosition();
  ASSERT_LT(oneBack, kPageTurn);
  view.OnKeyDown(kVkDown);
  view.OnKeyDown(kVkUp);
  f.Paint();
  EXPECT_EQ(view.pagePosition(), oneBack);
}

TEST(ViewOpen, FileOpenCommandUsesTheDialog) {
  ViewFixture f;
  CTirasolView& view = f.Start();
  EXPECT_FALSE(view.HasDocument());
  std::u16string a = f.NumberedBook("a.txt", 10);
  f.host.QueueFileChoice(std::nullopt);
  f.host.QueueFileChoice(a);
  view.OnCommand(kCmdFileOpen);
  EXPECT_FALSE(view.HasDocument());
  view.OnCommand(kCmdFileOpen);
  EXPECT_TRUE(view.HasDocument());
  ASSERT_EQ(f.host.fileDialogs().size(), 2u);
  EXPECT_EQ(f.host.fileDialogs()[0],
            u"Text files (*.txt)|*.txt|Cap files (*.cap)|*.cap|All Files (*.*)|*.*|");
}

TEST(ViewStart, CommandLineThenMostRecentFile) {
  ViewFixture f;
  std::u16string a = f.NumberedBook("a.txt", 200);
  std::u16string b = f.NumberedBook("b.txt", 201);
  // No command line and no recent files: no document.
  CTirasolView& first = f.Start();
  EXPECT_FALSE(first.HasDocument());
  EXPECT_EQ(f.host.title(), u"리라코");
  EXPECT_FALSE(MenuEnabledAt(f, kMenuPosRecent));
  EXPECT_FALSE(MenuEnabledAt(f, kMenuPosMove));
  EXPECT_TRUE(f.host.menu().PopupAt(kMenuPosRecent)->CommandIds().empty());
  first.OpenDocument(a);
  f.Paint();
  first.OnKeyDown(kVkDown);
  f.Paint();
  first.OpenDocument(b);
  f.Paint();
  first.OnKeyDown(kVkDown);
  f.Paint();
  f.Stop();

  // Without a command line the most recent file opens at its place and keeps its entry.
  CTirasolView& second = f.Start();
  EXPECT_EQ(second.engine().filePath, b);
  EXPECT_EQ(second.currentEntry().path, b);
  f.Paint();
  EXPECT_EQ(second.pagePosition(), kPageTurn);
  second.OpenDocument(a);
  f.Paint();
  EXPECT_EQ(second.pagePosition(), kPageTurn);
  f.Stop();

  // A command line wins; one that cannot be opened says why instead of opening another book.
  CTirasolView& third = f.Start(b);
  EXPECT_EQ(third.engine().filePath, b);
  EXPECT_EQ(f.host.title(), u"b.txt — 리라코");
  f.Stop();
  CTirasolView& fourth = f.Start(FromUtf8(f.dir.File("missing.txt")));
  EXPECT_FALSE(fourth.HasDocument());
  EXPECT_EQ(fourth.openFailureReason(), FromUtf8(kReasonNotFound));
  EXPECT_EQ(f.host.title(), u"리라코");
  f.Stop();
  EXPECT_EQ(f.Start().engine().filePath, b);
}

TEST(ViewStart, AFifoAsTheBookNeverHangsTheStart) {
  ViewFixture f;
  std::string book = f.dir.File("book.txt");
  f.Start(f.NumberedBook("book.txt", 10));
  f.Stop();
  ::unlink(book.c_str());
  FifoWatchdog fifo(book);

  // As the most recent book, and named on the command line.
  for (const std::u16string& commandLine : {std::u16string(), FromUtf8(book)}) {
    CTirasolView& view = f.Start(commandLine);
    EXPECT_FALSE(fifo.fired()) << "the start waited for a writer";
    EXPECT_FALSE(view.HasDocument());
    EXPECT_EQ(view.openFailureReason(), FromUtf8(kReasonNotRegularFile));
    f.Stop();
  }
}

TEST(ViewStart, CodePageQuestionIsAskedOnce) {
  ViewFixture f;
  f.Start();
  f.Stop();
  EXPECT_TRUE(f.host.messageBoxes().empty());

  f.platform.SetCodePage949(false);
  f.host.QueueMessageBoxAnswer(kIdOk);
  CTirasolView& view = f.Start();
  ASSERT_EQ(f.host.messageBoxes().size(), 1u);
  EXPECT_EQ(f.host.messageBoxes()[0].text,
            u"완성형 한글 변환을 지원하지 않는 장치입니다. Table 변환 기능을 쓰시겠습니까?");
  EXPECT_EQ(f.host.messageBoxes()[0].caption, u"주의");
  EXPECT_EQ(f.host.messageBoxes()[0].flags, kMbOkCancel | kMbIconInformation);
  EXPECT_EQ(view.settings().tableConversion, 1);
  EXPECT_TRUE(view.settings().stateFlags & ReaderSettings::kCodePageAsked);
  f.Stop();
  f.Start();
  f.Stop();
  EXPECT_EQ(f.host.messageBoxes().size(), 1u);

  // Cancel marks the question asked and leaves the conversion off.
  ViewFixture g;
  g.platform.SetCodePage949(false);
  g.host.QueueMessageBoxAnswer(kIdCancel);
  CTirasolView& other = g.Start();
  EXPECT_EQ(other.settings().tableConversion, 0);
  EXPECT_TRUE(other.settings().stateFlags & ReaderSettings::kCodePageAsked);
}

TEST(ViewStart, HotKeysOnlyForButtonsWithAFunction) {
  ViewFixture f;
  f.Start();
  EXPECT_TRUE(f.host.hotKeys().empty());
  f.Stop();

  ReaderSettings settings;
  settings.hardwareButtons = 1;  // functions 5, 12, 0, 13, 2
  ASSERT_TRUE(SaveSettings(f.platform, FromUtf8(f.dir.path()), settings));
  CTirasolView& view = f.Start();
  std::vector<int> ids;
  for (const auto& [id, key] : f.host.hotKeys()) {
    ids.push_back(id);
    EXPECT_EQ(key.modifiers, kModWin);
    EXPECT_EQ(key.virtualKey, kVkApp1 + static_cast<unsigned>(id - kHotKeyIdFirst));
  }
  EXPECT_EQ(ids, (std::vector<int>{30581, 30582, 30584, 30585}));
  EXPECT_EQ(view.hotKeyRegistered(), (std::array<bool, 5>{true, true, false, true, true}));
  f.Stop();
  EXPECT_TRUE(f.host.hotKeys().empty());
}

TEST(ViewStart, ScrollBarIsCreatedHiddenUnlessChosen) {
  ViewFixture f;
  f.Start();
  EXPECT_TRUE(f.host.scrollBar().created);
  EXPECT_FALSE(f.host.scrollBar().visible);
  EXPECT_EQ(f.host.scrollBar().rect, (Rect{226, 0, 240, 320}));
  EXPECT_EQ(f.host.scrollBar().minimum, 0);
  EXPECT_EQ(f.host.scrollBar().maximum, 1000);
  f.Stop();

  ReaderSettings settings;
  settings.barMode = BarMode::kScrollBar;
  ASSERT_TRUE(SaveSettings(f.platform, FromUtf8(f.dir.path()), settings));
  std::u16string a = f.NumberedBook("a.txt", 200);
  CTirasolView& view = f.Start(a);
  EXPECT_TRUE(f.host.scrollBar().visible);
  f.Paint();
  view.OnKeyDown(kVkDown);
  f.Paint();
  int32_t size = view.bookSize();
  EXPECT_EQ(f.host.scrollBar().position, view.pagePosition() * 1000 / size);
  EXPECT_GT(f.host.scrollBar().position, 0);
}

// The place the data folder's ResentFiles.Dat holds for `book`, or -1.
int32_t PlaceOnDisk(ViewFixture& f, CTirasolView& view, const std::u16string& book) {
  RecentFileList onDisk;
  onDisk.Load(f.platform, view.dataFolder());
  for (const RecentFileEntry& entry : onDisk.entries()) {
    if (entry.path == book) return entry.position;
  }
  return -1;
}

// Without quitting (as before a kill), a page turn reaches the file once the delay is over.
TEST(ViewSavePlace, APageTurnIsSavedAfterTheDelay) {
  ViewFixture f;
  std::u16string book = f.NumberedBook("a.txt", 200);
  CTirasolView& view = f.Start(book);
  f.Paint();
  ASSERT_TRUE(f.host.TimerRunning(kSavePlaceTimerId));
  view.OnTimer(kSavePlaceTimerId);
  EXPECT_EQ(PlaceOnDisk(f, view, book), 0);
  EXPECT_FALSE(f.host.TimerRunning(kSavePlaceTimerId));

  view.OnKeyDown(kVkDown);
  f.Paint();
  EXPECT_EQ(f.host.timers().at(kSavePlaceTimerId), kSavePlaceDelayMs);
  // Later turns do not push the save back.
  auto saveArmings = [&] {
    const std::vector<unsigned>& periods = f.host.timerPeriods();
    return std::count(periods.begin(), periods.end(), kSavePlaceDelayMs);
  };
  const auto armed = saveArmings();
  view.OnKeyDown(kVkDown);
  f.Paint();
  EXPECT_EQ(saveArmings(), armed);
  EXPECT_EQ(PlaceOnDisk(f, view, book), 0);
  view.OnTimer(kSavePlaceTimerId);
  EXPECT_EQ(PlaceOnDisk(f, view, book), 2 * kPageTurn);

  // A paint that does not move the page arms nothing.
  f.Paint();
  EXPECT_FALSE(f.host.TimerRunning(kSavePlaceTimerId));
}

TEST(ViewClose, StoresThePositionAndGreysTheMenus) {
  ViewFixture f;
  std::u16string a = f.NumberedBook("a.txt", 200);
  CTirasolView& view = f.Start(a);
  view.AddBookmark(9, u"둘째 줄");
  view.BuildBookmarkMenu();
  f.Paint();
  view.OnKeyDown(kVkDown);
  f.Paint();
  view.CloseDocument();
  EXPECT_FALSE(view.HasDocument());
  EXPECT_EQ(f.host.title(), u"리라코");
  EXPECT_FALSE(MenuEnabledAt(f, kMenuPosMove));
  EXPECT_TRUE(view.currentEntry().bookmarks.empty());
  EXPECT_EQ(f.host.menu().PopupAt(kMenuPosBookmark)->CommandIds(),
            (std::vector<int>{kCmdSetBookmark}));
  ASSERT_EQ(view.recentFiles().size(), 1u);
  EXPECT_EQ(view.recentFiles().entries()[0].position, kPageTurn);
  EXPECT_EQ(view.recentFiles().entries()[0].bookmarks.size(), 1u);
}

}  // namespace
}  // namespace lirako

namespace lirako {
namespace {

TEST(ViewReaderStore, WhatTheViewRemembersSurvivesARestart) {
  testing::ViewFixture f;
  f.Start().readerStore().SetBookValue(u"/books/a.txt", "encoding", "utf-8");
  f.Stop();
  EXPECT_EQ(f.Start().readerStore().BookValue(u"/books/a.txt", "encoding"), "utf-8");
}

TEST(ViewStart, ABookNamedInCodePage949BytesOpensAndIsRememberedByThem) {
  testing::ViewFixture f;
  // "별빛.txt" with its name in code page 949, as unpacked from a Windows archive.
  const std::string name = "\xBA\xB0\xBA\xFB.txt";
  f.dir.Write(name, "line 000\nline 001\n");
  const std::u16string book = PathFromBytes(f.dir.File(name));
  CTirasolView& view = f.Start(book);
  ASSERT_TRUE(view.HasDocument()) << ToUtf8(view.openFailureReason());
  EXPECT_EQ(f.host.title(), u"별빛.txt — 리라코");
  view.ChooseEncoding(TextEncoding::kCp949);
  f.Stop();
  // The recent list and the store keep the name's bytes: the book reopens, in its encoding.
  CTirasolView& restarted = f.Start();
  ASSERT_TRUE(restarted.HasDocument());
  EXPECT_EQ(PathToBytes(restarted.engine().filePath), f.dir.File(name));
  EXPECT_EQ(restarted.BookEncoding(book), TextEncoding::kCp949);
  f.Stop();
  CTirasolView& tooLong = f.Start(FromUtf8(f.dir.File(std::string(4100, 'a'))));
  EXPECT_FALSE(tooLong.HasDocument());
  EXPECT_EQ(tooLong.openFailureReason(), FromUtf8(kReasonNameTooLong));
}

// Tells the view its book changed, as the window's event loop would, and lets the settling
// time pass.
void ReportBookChange(testing::ViewFixture& f, const std::u16string& book) {
  ASSERT_EQ(f.platform.FireFileWatches(book), 1);
  ASSERT_TRUE(f.host.timers().contains(kBookChangedTimerId));
  f.view().OnTimer(kBookChangedTimerId);
  f.Paint();
}

TEST(ViewBookWatch, AChangedBookReopensAtThePageAndARemovedOneStaysShown) {
  testing::ViewFixture f;
  const std::u16string book = f.NumberedBook("a.txt", 200);
  const std::string file = PathToBytes(book);
  CTirasolView& view = f.Start(book);
  f.Paint();
  view.RequestStep(kStepPageForward);
  f.Paint();
  const int32_t place = view.pagePosition();
  ASSERT_GT(place, 0);

  // Appended: the new text can be reached, from the same place.
  f.dir.Write("a.txt", testing::ReadFileBytes(file) + "line 200\nline 201\n");
  ReportBookChange(f, book);
  EXPECT_EQ(view.bookSize(), 201 * 9 + 9);
  EXPECT_EQ(view.pagePosition(), place);
  EXPECT_EQ(view.notice(), u"책이 바뀌어 다시 열었습니다");

  // Lines put in before the page: the page keeps its text.
  std::u16string topText;
  view.topLine()->GetText(&topText);
  f.dir.Write("a.txt", "new 0001\nnew 0002\n" + testing::ReadFileBytes(file));
  ReportBookChange(f, book);
  EXPECT_EQ(view.pagePosition(), place + 18);
  std::u16string movedText;
  view.topLine()->GetText(&movedText);
  EXPECT_EQ(movedText, topText);

  // Cut short before the page: the last page of what is left.
  f.dir.Write("a.txt", testing::ReadFileBytes(file).substr(0, 10 * 9));
  ReportBookChange(f, book);
  EXPECT_EQ(view.bookSize(), 10 * 9);
  ASSERT_NE(view.topLine(), nullptr);
  EXPECT_LT(view.pagePosition(), 10 * 9);

  // An event that changed nothing reopens nothing.
  view.OnTimer(kNoticeTimerId);
  ReportBookChange(f, book);
  EXPECT_TRUE(view.notice().empty());

  // Removed: the page stays, and says so.
  const int32_t shown = view.pagePosition();
  ASSERT_EQ(::unlink(file.c_str()), 0);
  ReportBookChange(f, book);
  EXPECT_TRUE(view.HasDocument());
  EXPECT_EQ(view.pagePosition(), shown);
  ASSERT_NE(view.topLine(), nullptr);
  EXPECT_EQ(view.notice(), u"책 파일이 지워졌습니다");
}

TEST(ViewTypography, LineStartRulesAloneAreOnUntilTheStoreSaysOtherwise) {
  testing::ViewFixture f;
  const std::u16string book = f.NumberedBook("a.txt", 50);
  CTirasolView& fresh = f.Start(book);
  EXPECT_EQ(fresh.engine().typography, (Typography{.kinsoku = true}));
  fresh.SetTypography(Typography{.keepAll = true, .joinLines = true});
  f.Stop();
  // The options survive a restart and reach the engine of the book opened at start-up.
  CTirasolView& restarted = f.Start(book);
  EXPECT_EQ(restarted.engine().typography, (Typography{.keepAll = true, .joinLines = true}));
  EXPECT_EQ(restarted.readerStore().Value("typography.kinsoku"), "0");
}

TEST(ViewTypography, AChangeRelaysTheBookOutAtThePagePosition) {
  testing::ViewFixture f;
  CTirasolView& view = f.Start(f.NumberedBook("a.txt", 200));
  f.Paint();
  view.RequestStep(kStepPageForward);
  f.Paint();
  const int32_t position = view.pagePosition();
  ASSERT_GT(position, 0);
  view.SetTypography(Typography{.kinsoku = true, .joinLines = true});
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
  f.Paint();
  EXPECT_EQ(view.pagePosition(), position);
  EXPECT_TRUE(view.engine().typography.joinLines);
}

}  // namespace
}  // namespace lirako
