// The reader view's status line: what it says about the page, and the chapter scan's news.
#include "platform/utf.h"
#include "view/tirasol_view.h"

namespace lirako {

StatusText CTirasolView::PageStatus() {
  const int32_t position = engine_->GetPosition();
  const int32_t size = engine_->GetSize();
  std::u16string title = FromUtf8(chapters_.TitleAt(position));
  // The chapter ends where the next one starts; the last one, once the scan is through, at
  // the book's end.
  int32_t chapterEnd = -1;
  if (!title.empty()) {
    const int index = chapters_.IndexAt(position);
    if (const std::optional<Chapter> next = chapters_.At(static_cast<size_t>(index) + 1)) {
      chapterEnd = next->position;
    } else if (chapters_.state() == ChapterList::State::kDone) {
      chapterEnd = size;
    }
  }
  return StatusLine::Compose(std::move(title), position, size, engine_->IsAtEnd(), chapterEnd,
                             pace_);
}

void CTirasolView::OnEvent(int id) {
  if (id == kAnchorSearchEventId) return OnAnchorSearchDone();
  if (id != kChapterEventId) return;
  // Taken: the scan's next news posts again.
  chapters_.AcknowledgeView();
  UpdateTitle();
  RefreshStatus();
}

bool CTirasolView::StatusShown(const PageOptions& options) const {
  return HasDocument() && options.status &&
         (options.statusInAutoScroll || !(runState_ & kRunAutoRefresh));
}

void CTirasolView::RefreshStatus() {
  if (StatusShown(pageOptions()) && PageStatus() != statusLine_.drawn()) host_.Invalidate();
}

}  // namespace lirako
