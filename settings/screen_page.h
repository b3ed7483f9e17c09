#pragma once

#include <cstdint>

#include "engine/typography.h"
#include "settings/dialog_base.h"
#include "store/reader_settings.h"
#include "view/page_options.h"

namespace lirako {

// The first tab, "화면" (dialog 130): margins, line gap, shared lines, auto-refresh period,
// smooth refresh, landscape, justification, tap zones, the side bar, the typesetting
// options and the shape of the page. Every change is
// stored into the page's fields at once; the settings command copies them in and back.
class CScreenPage : public DialogBase {
 public:
  static constexpr int kDialogId = 130;
  static constexpr int kMarginXEdit = 1000;
  static constexpr int kMarginYEdit = 1001;
  static constexpr int kLineGapEdit = 1002;
  static constexpr int kSharedLinesEdit = 1003;
  static constexpr int kPeriodEdit = 1004;
  static constexpr int kMarginXSpin = 1062;
  static constexpr int kLineGapSpin = 1063;
  static constexpr int kMarginYSpin = 1064;
  static constexpr int kSharedLinesSpin = 1065;
  static constexpr int kPeriodSpin = 1066;
  static constexpr int kJustifyCheck = 1009;
  static constexpr int kLandscapeCheck = 1020;
  static constexpr int kScreenKeysCheck = 1040;
  static constexpr int kSmoothCheck = 1088;
  static constexpr int kBarCombo = 1107;
  static constexpr int kKinsokuCheck = 1120;
  static constexpr int kKeepAllCheck = 1121;
  static constexpr int kJoinLinesCheck = 1122;
  static constexpr int kTocRuleEdit = 1123;
  static constexpr int kMeasureEdit = 1124;
  static constexpr int kMeasureSpin = 1125;
  static constexpr int kColumnsCombo = 1126;
  static constexpr int kIndentEdit = 1127;
  static constexpr int kIndentSpin = 1128;
  static constexpr int kCollapseCheck = 1129;
  static constexpr int kParagraphGapEdit = 1130;
  static constexpr int kParagraphGapSpin = 1131;
  // The paragraph gap's range, in percent of the line height.
  static constexpr int kMaxParagraphGap = 100;
  static constexpr int kStatusCheck = 1140;
  static constexpr int kStatusAutoScrollCheck = 1141;
  // The period edit is read from at most this many characters.
  static constexpr size_t kPeriodChars = 12;

  // The five numbers the edits hold.
  struct Numbers {
    int32_t marginX = 0;
    int32_t marginY = 0;
    int32_t lineGap = 0;
    int32_t sharedLines = 0;
    int32_t refreshInterval = 0;
    bool operator==(const Numbers&) const = default;
  };

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& controls, int id, int notification) override;
  void OnScroll(Controls& controls, int id, int position) override;

  Numbers numbers;       // working values
  Numbers entryNumbers;  // values handed in; restored into `numbers` at initialisation
  int32_t justify = 0;
  int32_t landscape = 0;
  int32_t screenKeys = 0;
  int32_t smoothRefresh = 0;
  BarMode barMode = BarMode::kNone;
  Typography typography;
  // The line length (0: the whole width), the pages side by side and the status line.
  PageOptions page;
  // The user's heading rule for the table of contents, a regular expression (empty: none).
  std::u16string tocRule;

 private:
  void EditChanged(Controls& controls, int id);
};

}  // namespace lirako
