#pragma once

#include <cstdint>

#include "settings/dialog_base.h"

namespace lirako {

class CTirasolView;

// The fourth tab, "책갈피" (dialog 135): renames and deletes the open book's bookmarks and
// deletes recent files, at once on the view's lists. Deleting the open book's recent entry
// closes the book after a confirmation.
class CBookMarkPage : public DialogBase {
 public:
  static constexpr int kDialogId = 135;
  static constexpr int kClearBookmarks = 1104;
  static constexpr int kDeleteBookmark = 1105;
  static constexpr int kNameEdit = 1010;
  static constexpr int kRename = 1032;
  static constexpr int kBookmarkList = 1029;
  static constexpr int kClearRecent = 1033;
  static constexpr int kDeleteRecent = 1034;
  static constexpr int kRecentList = 1035;

  explicit CBookMarkPage(CTirasolView& view) : view_(view) {}

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& controls, int id, int notification) override;

  // True once a button of the page has acted on the bookmark or recent-file lists; the
  // menus that go by list index are then stale, whichever way the sheet closes.
  bool changedLists() const { return changedLists_; }

 private:
  void ResetEditState(Controls& controls);
  void Refill(Controls& controls);
  // Asks whether to delete the open book from the list (and close it); true on OK.
  bool ConfirmCloseOpenBook();
  void DeleteRecent(Controls& controls);
  void ClearRecent();

  CTirasolView& view_;
  int selectedBookmark_ = -1;
  int selectedRecent_ = -1;
  bool changedLists_ = false;
};

}  // namespace lirako
