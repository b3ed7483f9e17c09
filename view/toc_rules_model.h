#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "view/rule_count_job.h"

namespace lirako {

class CTirasolView;

// The logic of the rule choice in "목차": the rules the open book could use with the
// chapters each finds, counted in the background, and the one the reader chooses for this
// book, with the book's own pattern. Row 0 is every rule together, the choice of a book
// without one. Counting starts with the model and stops with it.
class TocRulesModel {
 public:
  // The name of a row's rule as the list shows it; "" is every rule together.
  static std::u16string RuleLabel(const std::string& rule);

  explicit TocRulesModel(CTirasolView& view);
  // Stops the count and waits for it.
  ~TocRulesModel();
  TocRulesModel(const TocRulesModel&) = delete;
  TocRulesModel& operator=(const TocRulesModel&) = delete;

  // Calls `listener` on the count's thread when the counts arrived, once until Acknowledge
  // (the listener posts to the dialog's thread, which then Fetches); at once, on the caller's
  // thread, when they arrived before.
  void Listen(std::function<void()> listener);
  void Acknowledge();
  // Takes the counts when they arrived; true when the rows changed.
  bool Fetch();

  int size() const { return static_cast<int>(rows_.size()); }
  // "제 N 장 · 24개", or "… · 세는 중" while counting.
  std::u16string Label(int row) const;
  // The row of the book's choice.
  int Current() const;
  // Why the last pattern was refused, "규칙별 장 수를 세는 중", or why counting failed;
  // empty once counted.
  std::u16string Status() const;

  // Keeps row `row`'s rule for the book and finds its chapters again.
  void Choose(int row);
  // The pattern the edit shows: the book's own, else the one of every book.
  std::u16string Rule() const;
  // Keeps `rule` as the book's own pattern, chooses it ("": the pattern of every book, and
  // every rule when the book's own was chosen), finds the chapters and counts again. False,
  // nothing changed and the reason in Status, when it is not a valid pattern.
  bool ApplyRule(const std::u16string& rule);

 private:
  struct Row {
    std::string rule;
    std::optional<size_t> chapters;  // none until counted
  };

  // Starts counting with the book's pattern, listening with the current listener.
  void Count();
  // Hands the listener to the count, and calls it when the count has ended already.
  void Hear();
  // The rows for the counts in `census` (none: not counted yet).
  void Build(const RuleCensus* census);

  CTirasolView& view_;
  std::unique_ptr<RuleCountJob> job_;
  std::function<void()> listener_;
  std::vector<Row> rows_;
  bool counted_ = false;
  std::u16string error_;
};

}  // namespace lirako
