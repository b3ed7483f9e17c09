#include "view/find_all_model.h"

#include <algorithm>

#include "platform/utf.h"
#include "view/tirasol_view.h"

namespace lirako {

FindAllModel::FindAllModel(CTirasolView& view, std::u16string text, int options)
    : view_(view),
      job_(view.platform(), view.engine().filePath, view.engine().Encoding(),
           view.engine().typography.joinLines, text, options,
           SearchAll::kDefaultContextCharacters) {}

FindAllModel::~FindAllModel() {
  job_.SetListener(nullptr);
  job_.Cancel();
}

void FindAllModel::Listen(std::function<void()> listener) {
  job_.SetListener(std::move(listener));
}

void FindAllModel::Acknowledge() {
  job_.Acknowledge();
}

size_t FindAllModel::Fetch() const {
  const size_t found = job_.size();
  return found > shown_.size() ? found - shown_.size() : 0;
}

void FindAllModel::Append(size_t count) {
  for (SearchHit& hit : job_.Hits(shown_.size(), count)) {
    // One line per hit: the list shows tabs as blanks.
    std::replace(hit.context.begin(), hit.context.end(), u'\t', u' ');
    shown_.push_back(std::move(hit.context));
  }
}

std::u16string FindAllModel::Status() const {
  const bool complete = job_.done() && shown_.size() == job_.size();
  const std::u16string count = FromUtf8(std::to_string(shown_.size()));
  if (!complete) {
    return u"찾는 중 " + FromUtf8(std::to_string(job_.Permille() / 10)) + u"% · " + count + u"개";
  }
  if (job_.capped()) return u"처음 " + count + u"개만 보입니다";
  return shown_.empty() ? u"찾지 못했습니다" : u"모두 " + count + u"개";
}

void FindAllModel::Jump(size_t row) {
  const std::optional<SearchHit> hit = job_.At(row);
  if (!hit || row >= shown_.size()) return;
  jumpedLine_ = view_.ShowSearchHit(*hit);
  jumpedIndex_ = hit->index;
}

}  // namespace lirako
