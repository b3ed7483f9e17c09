#include "settings/book_mark_page.h"

#include <string>

#include "settings/control_items.h"
#include "view/tirasol_view.h"

namespace lirako {

namespace {

constexpr char16_t kCloseQuestion[] = u"현제 열려진 파일. 목록에서 지우겠습니까? (자동 닫힘)";
constexpr char16_t kCautionCaption[] = u"주의";

DialogSpec MakeSpec() {
  using P = CBookMarkPage;
  DialogSpec dialogSpec{P::kDialogId, u"책갈피", {}};
  auto add = [&dialogSpec](ControlSpec control) {
    dialogSpec.controls.push_back(std::move(control));
  };
  add(Item(kNoId, ControlKind::kStatic, u"책갈피", 0));
  add(Item(P::kClearBookmarks, ControlKind::kPushButton, u"모두 지우기", 0, 1));
  add(Item(P::kDeleteBookmark, ControlKind::kPushButton, u"지우기", 0, 2));
  add(Spanning(Item(P::kNameEdit, ControlKind::kEdit, u"", 1), 2));
  add(Item(P::kRename, ControlKind::kPushButton, u"바꾸기", 1, 2));
  add(Spanning(Item(P::kBookmarkList, ControlKind::kListBox, u"", 2), 3));
  add(Item(kNoId, ControlKind::kStatic, u"열어본 파일 목록", 3));
  add(Item(P::kClearRecent, ControlKind::kPushButton, u"모두 지우기", 3, 1));
  add(Item(P::kDeleteRecent, ControlKind::kPushButton, u"지우기", 3, 2));
  add(Spanning(Item(P::kRecentList, ControlKind::kListBox, u"", 4), 3));
  return dialogSpec;
}

}  // namespace

const DialogSpec& CBookMarkPage::dialogSpec() const {
  static const DialogSpec dialogSpec = MakeSpec();
  return dialogSpec;
}

void CBookMarkPage::OnInitDialog(Controls& controls) {
  ResetEditState(controls);
  Refill(controls);
}

void CBookMarkPage::OnCommand(Controls& controls, int id, int notification) {
  if (notification == kSelChanged && id == kBookmarkList) {
    selectedBookmark_ = controls.GetCurSel(kBookmarkList);
    if (selectedBookmark_ < 0) return;
    auto position = static_cast<int32_t>(controls.GetItemData(kBookmarkList, selectedBookmark_));
    std::u16string name;
    view_.currentEntry().GetBookmarkName(position, &name);
    controls.Enable(kNameEdit, true);
    controls.SetText(kNameEdit, name);
    controls.Enable(kDeleteBookmark, true);
    controls.Enable(kRename, true);
    return;
  }
  if (notification == kSelChanged && id == kRecentList) {
    selectedRecent_ = controls.GetCurSel(kRecentList);
    if (selectedRecent_ >= 0) controls.Enable(kDeleteRecent, true);
    return;
  }
  if (notification != kClicked) return;
  switch (id) {
    case kClearBookmarks:
      view_.ClearBookmarks();
      break;
    case kDeleteBookmark:
      if (selectedBookmark_ < 0) return;
      view_.RemoveBookmark(
          static_cast<int32_t>(controls.GetItemData(kBookmarkList, selectedBookmark_)));
      break;
    case kRename: {
      std::u16string name = controls.GetText(kNameEdit);
      if (!name.empty() && selectedBookmark_ >= 0) {
        view_.RenameBookmark(
            static_cast<int32_t>(controls.GetItemData(kBookmarkList, selectedBookmark_)), name);
      }
      break;
    }
    case kDeleteRecent:
      if (selectedRecent_ < 0) return;
      DeleteRecent(controls);
      break;
    case kClearRecent:
      ClearRecent();
      break;
    default:
      return;
  }
  changedLists_ = true;
  Refill(controls);
  ResetEditState(controls);
}

void CBookMarkPage::ResetEditState(Controls& controls) {
  controls.Enable(kNameEdit, false);
  controls.SetText(kNameEdit, u"");
  controls.Enable(kDeleteBookmark, false);
  controls.Enable(kRename, false);
  controls.Enable(kDeleteRecent, false);
}

void CBookMarkPage::Refill(Controls& controls) {
  controls.ResetContent(kBookmarkList);
  // The bookmarks belong to the open book; without one the list stays empty.
  if (view_.HasDocument()) {
    for (const Bookmark& bookmark : view_.currentEntry().bookmarks) {
      int index = controls.AddString(kBookmarkList, bookmark.name);
      controls.SetItemData(kBookmarkList, index, bookmark.position);
    }
  }
  selectedBookmark_ = -1;
  controls.SetCurSel(kBookmarkList, -1);
  controls.ResetContent(kRecentList);
  for (const RecentFileEntry& recent : view_.recentFiles().entries()) {
    controls.AddString(kRecentList, recent.path);
  }
  selectedRecent_ = -1;
  controls.SetCurSel(kRecentList, -1);
}

bool CBookMarkPage::ConfirmCloseOpenBook() {
  std::u16string text = u"\"" + view_.engine().filePath + u"\"\n\r" + kCloseQuestion;
  return view_.host().MessageBox(text, kCautionCaption, kMbOkCancel) == kIdOk;
}

void CBookMarkPage::DeleteRecent(Controls& controls) {
  std::u16string path = controls.GetItemText(kRecentList, selectedRecent_);
  if (!view_.HasDocument() || view_.currentEntry().path != path) {
    view_.RemoveRecentFile(path);
    return;
  }
  if (!ConfirmCloseOpenBook()) return;
  // Closing stores the book first in the list; the entry is removed afterwards.
  view_.CloseDocument();
  view_.RemoveRecentFile(path);
}

void CBookMarkPage::ClearRecent() {
  view_.RemoveAllRecentFiles();
  if (!view_.HasDocument()) return;
  if (ConfirmCloseOpenBook()) {
    view_.CloseDocument();
    view_.RemoveRecentFile(view_.currentEntry().path);
  } else {
    // The open book stays listed, with the position its entry last stored.
    view_.ListOpenBookFirst();
  }
}

}  // namespace lirako
