#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/chapter.h"

namespace lirako {

class CTirasolView;

// The logic of the table of contents ("목차"), for a list dialog of the toolkit: the open
// book's chapters as a tree (volumes and parts at the top, their chapters under them), the
// chapter the page is in, how the scan goes, a jump to a chapter and the reader's
// corrections. Nodes are chapter indices in book order.
class TocModel {
 public:
  // What Fetch found since the last time.
  enum class Change {
    kNone,      // nothing new
    kAppended,  // chapters after the shown ones: Append them one by one
    kReset,     // the list changed otherwise: Reset to it
  };

  explicit TocModel(CTirasolView& view);
  // Stops listening.
  ~TocModel();
  TocModel(const TocModel&) = delete;
  TocModel& operator=(const TocModel&) = delete;

  // Calls `listener` on the scan's thread when the chapters or the scan changed, once until
  // Acknowledge (the listener posts to the dialog's thread, which then Fetches).
  void Listen(std::function<void()> listener);
  void Acknowledge();

  // Looks at the view's chapters: the ones not yet shown are kept for Append or Reset.
  Change Fetch();
  // The parent node (-1: the top) and the row under it the next fetched chapter takes.
  std::pair<int, int> NextPlace() const;
  // Shows the next fetched chapter; true while more are waiting.
  bool Append();
  // Shows every fetched chapter in place of the shown ones.
  void Reset();

  // The tree of the shown chapters. `node` -1 is the top.
  int ChildCount(int node) const;
  int Child(int node, int row) const;
  int Parent(int node) const { return nodes_[static_cast<size_t>(node)].parent; }
  int Row(int node) const { return nodes_[static_cast<size_t>(node)].row; }
  size_t size() const { return nodes_.size(); }
  std::u16string Title(int node) const;
  // "12.50%": where the chapter starts (-1: the page), as a percentage of the book.
  std::u16string Percent(int node) const;
  // The shown chapter the page is in, or -1.
  int Current() const;
  // "찾는 중 40% · 12개", "모두 12개", "장 제목을 찾지 못했습니다", or why the scan failed.
  std::u16string Status() const;

  // Makes chapter `node`'s heading the page's top line.
  void Jump(int node);
  // "여기를 장으로": the page's top line becomes a chapter, named by its text.
  void AddHere();
  // "이름 바꾸기": chapter `node` is titled `title` (trimmed; nothing when empty).
  void Rename(int node, const std::u16string& title);
  // "빼기": chapter `node` is taken out of the list.
  void Remove(int node);

 private:
  struct Node {
    Chapter chapter;
    int parent = -1;
    int row = 0;
    std::vector<int> children;
  };

  void Place(Chapter chapter);

  CTirasolView& view_;
  std::vector<Node> nodes_;
  std::vector<int> top_;
  std::vector<Chapter> fetched_;
  size_t nextFetched_ = 0;
};

}  // namespace lirako
