#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/controls.h"

namespace lirako {

class CTirasolView;
class FindAllModel;

// The find bar (dialog 131): lies over the top of the page; every "다음 찾기" searches the
// engine for the typed text and moves the page behind the bar to the line of the hit.
class CFindDlg : public DialogLogic {
 public:
  static constexpr int kDialogId = 131;
  static constexpr int kTextCombo = 1012;
  static constexpr int kMatchCaseCheck = 1095;
  static constexpr int kLeaveButton = 2;
  static constexpr int kPositionLabel = 1015;
  static constexpr int kFindNextButton = 1014;
  static constexpr int kFindAllButton = 1016;

  // Shows the list of every hit of a FindAllModel until the user closes it.
  using ListRunner = std::function<void(FindAllModel&)>;

  // The find command after the auto-refresh is stopped: with a document open, runs the bar
  // from the page position and leaves the page at the line of the last hit (or where it was).
  static void RunCommand(CTirasolView& view, DialogRunner& runner, const ListRunner& list);
  // Makes `view` run RunCommand on its find command and button function, through `runner`
  // and `list` ("모두 찾기"; empty: none), which must outlive the view.
  static void Install(CTirasolView& view, DialogRunner& runner, ListRunner list = {});

  // A bar over `view` whose search starts at `position` in a document of `size` units;
  // "모두 찾기" runs its list through `list` when one is given.
  CFindDlg(CTirasolView& view, int32_t position, int32_t size, ListRunner list = {});

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& controls, int id, int notification) override;
  void OnScroll(Controls&, int, int) override {}
  void OnTimer(Controls&, int) override {}
  // Return closes the bar like "나가기".
  bool OnOk(Controls&) override { return true; }
  void OnCancel(Controls&) override {}

  // The starting position, then the position of the last hit.
  int32_t resultPosition() const { return resultPosition_; }

  // "위치: 12.50%": `position` as a percentage of `size` in single precision.
  static std::u16string PositionLabel(int64_t position, int32_t size);

 private:
  void FillHistory(Controls& controls);
  void FindNext(Controls& controls);
  // Takes the text into the history; false when it is empty.
  bool TakeText(Controls& controls);
  void FindAll(Controls& controls);

  CTirasolView& view_;
  std::u16string text_;
  Rect rect_;
  int height_ = 0;
  int width_ = 0;
  int32_t size_;
  int32_t resultPosition_;
  bool matchCase_ = false;
  ListRunner list_;
};

}  // namespace lirako
