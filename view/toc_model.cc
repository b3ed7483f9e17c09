#include "view/toc_model.h"

#include <cstdio>

#include "engine/text_line.h"
#include "platform/utf.h"
#include "view/tirasol_view.h"

namespace lirako {
namespace {

// The most characters of the page's top line a chapter added there is named by.
constexpr size_t kAddedTitleCharacters = 40;

}  // namespace

TocModel::TocModel(CTirasolView& view) : view_(view) {}

TocModel::~TocModel() {
  view_.chapters().SetListener(nullptr);
}

void TocModel::Listen(std::function<void()> listener) {
  view_.chapters().SetListener(std::move(listener));
}

void TocModel::Acknowledge() {
  view_.chapters().Acknowledge();
}

TocModel::Change TocModel::Fetch() {
  std::vector<Chapter> all = view_.chapters().Chapters();
  bool prefix = all.size() >= nodes_.size();
  for (size_t i = 0; prefix && i < nodes_.size(); ++i)
    prefix = all[i] == nodes_[i].chapter;
  if (prefix) {
    fetched_.assign(all.begin() + static_cast<ptrdiff_t>(nodes_.size()), all.end());
    nextFetched_ = 0;
    return fetched_.empty() ? Change::kNone : Change::kAppended;
  }
  fetched_ = std::move(all);
  nextFetched_ = 0;
  return Change::kReset;
}

std::pair<int, int> TocModel::NextPlace() const {
  const Chapter& next = fetched_[nextFetched_];
  // A chapter of level 2 goes under the last volume.
  if (next.level == 2 && !top_.empty()) {
    const int parent = top_.back();
    return {parent, static_cast<int>(nodes_[static_cast<size_t>(parent)].children.size())};
  }
  return {-1, static_cast<int>(top_.size())};
}

bool TocModel::Append() {
  if (nextFetched_ >= fetched_.size()) return false;
  Place(std::move(fetched_[nextFetched_++]));
  return nextFetched_ < fetched_.size();
}

void TocModel::Reset() {
  nodes_.clear();
  top_.clear();
  for (; nextFetched_ < fetched_.size(); ++nextFetched_)
    Place(std::move(fetched_[nextFetched_]));
}

void TocModel::Place(Chapter chapter) {
  const int index = static_cast<int>(nodes_.size());
  Node node;
  node.chapter = std::move(chapter);
  if (node.chapter.level == 2 && !top_.empty()) {
    node.parent = top_.back();
    std::vector<int>& siblings = nodes_[static_cast<size_t>(node.parent)].children;
    node.row = static_cast<int>(siblings.size());
    siblings.push_back(index);
  } else {
    node.row = static_cast<int>(top_.size());
    top_.push_back(index);
  }
  nodes_.push_back(std::move(node));
}

int TocModel::ChildCount(int node) const {
  if (node < 0) return static_cast<int>(top_.size());
  return static_cast<int>(nodes_[static_cast<size_t>(node)].children.size());
}

int TocModel::Child(int node, int row) const {
  const std::vector<int>& children = node < 0 ? top_ : nodes_[static_cast<size_t>(node)].children;
  if (row < 0 || row >= static_cast<int>(children.size())) return -1;
  return children[static_cast<size_t>(row)];
}

std::u16string TocModel::Title(int node) const {
  return FromUtf8(nodes_[static_cast<size_t>(node)].chapter.title);
}

std::u16string TocModel::Percent(int node) const {
  const int32_t size = view_.bookSize();
  const int32_t position =
      node < 0 ? view_.pagePosition() : nodes_[static_cast<size_t>(node)].chapter.position;
  const double percent = size > 0 ? static_cast<double>(position) * 100.0 / size : 100.0;
  char number[32];
  std::snprintf(number, sizeof number, "%.2f%%", percent);
  return FromUtf8(number);
}

int TocModel::Current() const {
  const int current = view_.chapters().IndexAt(view_.pagePosition());
  return current < static_cast<int>(nodes_.size()) ? current : -1;
}

std::u16string TocModel::Status() const {
  const ChapterList& chapters = view_.chapters();
  const std::u16string count = FromUtf8(std::to_string(nodes_.size()));
  switch (chapters.state()) {
    case ChapterList::State::kScanning:
      return u"찾는 중 " + FromUtf8(std::to_string(chapters.Permille() / 10)) + u"% · " + count +
             u"개";
    case ChapterList::State::kDone:
      return nodes_.empty() ? u"장 제목을 찾지 못했습니다" : u"모두 " + count + u"개";
    case ChapterList::State::kFailed:
      return u"찾지 못했습니다: " + FromUtf8(chapters.error());
    case ChapterList::State::kNone:
      break;
  }
  return {};
}

void TocModel::Jump(int node) {
  if (node >= 0 && node < static_cast<int>(nodes_.size()))
    view_.GoToChapter(static_cast<size_t>(node));
}

void TocModel::AddHere() {
  const CTextLine* top = view_.topLine();
  if (top == nullptr) return;
  std::u16string title = top->Text();
  // A line's start is the chapter's place, its first characters its name.
  const size_t first = title.find_first_not_of(u" \t\u3000");
  title = first == std::u16string::npos ? u"" : title.substr(first, kAddedTitleCharacters);
  if (title.empty()) title = Percent(-1);
  ChapterCorrections corrections = view_.ChapterCorrectionsOfBook();
  corrections.Add(view_.pagePosition(), ToUtf8(title));
  view_.SetChapterCorrections(corrections);
}

void TocModel::Rename(int node, const std::u16string& title) {
  const size_t first = title.find_first_not_of(u" \t\u3000");
  const size_t last = title.find_last_not_of(u" \t\u3000");
  if (node < 0 || node >= static_cast<int>(nodes_.size()) || first == std::u16string::npos) return;
  ChapterCorrections corrections = view_.ChapterCorrectionsOfBook();
  corrections.Rename(nodes_[static_cast<size_t>(node)].chapter.position,
                     ToUtf8(title.substr(first, last - first + 1)));
  view_.SetChapterCorrections(corrections);
}

void TocModel::Remove(int node) {
  if (node < 0 || node >= static_cast<int>(nodes_.size())) return;
  ChapterCorrections corrections = view_.ChapterCorrectionsOfBook();
  corrections.Remove(nodes_[static_cast<size_t>(node)].chapter.position);
  view_.SetChapterCorrections(corrections);
}

}  // namespace lirako
