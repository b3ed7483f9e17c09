#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "view/search_all_job.h"

namespace lirako {

class CTirasolView;

// The logic of "모두 찾기", for a list dialog of the toolkit: every hit of the find bar's
// text in the open book, each with some thirty characters of context either side, found by
// a search on its own thread while the list shows what is in; the count, and a jump that
// shows a hit's page with the hit drawn inverted. Destroying it stops the search.
class FindAllModel {
 public:
  // Starts searching the book open in `view` for `text` with the FindNext `options`.
  FindAllModel(CTirasolView& view, std::u16string text, int options);
  ~FindAllModel();
  FindAllModel(const FindAllModel&) = delete;
  FindAllModel& operator=(const FindAllModel&) = delete;

  // Calls `listener` on the search's thread when hits came in or the search went on, once
  // until Acknowledge (the listener posts to the dialog's thread, which then Fetches).
  void Listen(std::function<void()> listener);
  void Acknowledge();

  // The number of hits found and not yet shown.
  size_t Fetch() const;
  // Shows the next `count` hits (at most the fetched ones).
  void Append(size_t count);
  size_t size() const { return shown_.size(); }
  // Hit `row`'s context on one line.
  const std::u16string& Text(size_t row) const { return shown_[row]; }
  // "찾는 중 40% · 12개", "모두 12개", "찾지 못했습니다", "처음 50000개만 보입니다".
  std::u16string Status() const;

  // Shows hit `row`'s page, the hit inverted; the next FindNext goes on after it.
  void Jump(size_t row);
  // The line position of the last hit jumped to, or -1, and the hit's index in that line.
  int32_t jumpedLine() const { return jumpedLine_; }
  int32_t jumpedIndex() const { return jumpedIndex_; }
  const SearchAllJob& job() const { return job_; }

 private:
  CTirasolView& view_;
  SearchAllJob job_;
  std::vector<std::u16string> shown_;
  int32_t jumpedLine_ = -1;
  int32_t jumpedIndex_ = 0;
};

}  // namespace lirako
