#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls.h"
#include "view/search_all_job.h"

namespace lirako {

class CTirasolView;

// "모두 찾기": every hit of the find bar's text in the book, each with some thirty characters
// of context either side, filled as the search goes on its own thread, the count shown. A
// click on a hit moves the page behind to it (the hit drawn inverted); a double click or
// "이동" does so and closes the list. Closing stops the search.
class CFindAllDlg : public DialogLogic {
 public:
  static constexpr int kDialogId = 141;
  static constexpr int kStatusLabel = 1401;
  static constexpr int kHitList = 1402;
  static constexpr int kGoButton = 1;
  static constexpr int kCloseButton = 2;
  static constexpr int kTimerId = 1;
  static constexpr unsigned kTimerPeriodMs = 100;
  // Hits added to the list per tick, so that a long list never stalls the window.
  static constexpr size_t kHitsPerTick = 2000;

  CFindAllDlg(CTirasolView& view, std::u16string text, int options);

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& controls, int id, int notification) override;
  void OnScroll(Controls&, int, int) override {}
  void OnTimer(Controls& controls, int id) override;
  bool OnOk(Controls& controls) override;
  void OnCancel(Controls&) override {}

  // The line position of the last hit jumped to, or -1; its match index in `*index`.
  int32_t jumpedLine() const { return jumpedLine_; }
  int32_t jumpedIndex() const { return jumpedIndex_; }
  const SearchAllJob* job() const { return job_.get(); }

 private:
  void Refresh(Controls& controls);
  bool Jump(Controls& controls);

  CTirasolView& view_;
  std::u16string text_;
  int options_;
  std::unique_ptr<SearchAllJob> job_;
  size_t shown_ = 0;
  int32_t jumpedLine_ = -1;
  int32_t jumpedIndex_ = 0;
};

}  // namespace lirako
