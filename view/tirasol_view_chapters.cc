// The reader view's chapters: the background scan of the open book, the chapter steps, the
// current chapter in the title, and showing a search hit.
#include "engine/heading_rules.h"
#include "engine/search_all.h"
#include "platform/utf.h"
#include "store/data_folder.h"
#include "view/chapter_cache.h"
#include "view/tirasol_view.h"

namespace lirako {
namespace {

// The reader's store key of the user's heading rule.
constexpr char kTocRuleKey[] = "toc.rule";
// The book value of the reader's corrections of its chapters.
constexpr char kTocCorrectionsKey[] = "toc.corrections";
// The book values of the book's own heading pattern and of the one rule chosen for it.
constexpr char kBookRuleKey[] = "toc.rule";
constexpr char kBookChoiceKey[] = "toc.choice";

}  // namespace

void CTirasolView::StartChapterScan() {
  titleChapter_ = -1;
  if (!HasDocument()) {
    chapters_.Stop();
    return;
  }
  const std::u16string& path = engine_->filePath;
  chapters_.SetCorrections(ChapterCorrectionsOfBook());
  chapters_.Start(platform_, path, engine_->Encoding(), ChapterRule(), BookTocChoice(),
                  ChapterCache::PathFor(dataFolder_, path));
}

std::string CTirasolView::TocRule() const {
  return readerStore_.Value(kTocRuleKey).value_or("");
}

bool CTirasolView::SetTocRule(const std::string& rule, std::string* err) {
  HeadingRules rules;
  if (!rules.SetUserRule(rule, err)) return false;
  if (rule.empty()) {
    readerStore_.RemoveValue(kTocRuleKey);
  } else {
    readerStore_.SetValue(kTocRuleKey, rule);
  }
  StartChapterScan();
  UpdateTitle();
  return true;
}

std::string CTirasolView::BookTocRule() const {
  if (!HasDocument()) return {};
  return readerStore_.BookValue(engine_->filePath, kBookRuleKey).value_or("");
}

std::string CTirasolView::ChapterRule() const {
  std::string rule = BookTocRule();
  return rule.empty() ? TocRule() : rule;
}

std::string CTirasolView::BookTocChoice() const {
  if (!HasDocument()) return {};
  return readerStore_.BookValue(engine_->filePath, kBookChoiceKey).value_or("");
}

bool CTirasolView::SetBookToc(const std::string& rule, const std::string& choice,
                              std::string* err) {
  if (!HasDocument()) return false;
  HeadingRules rules;
  if (!rules.SetUserRule(rule, err)) return false;
  auto keep = [this](const char* key, const std::string& value) {
    if (value.empty()) {
      readerStore_.RemoveBookValue(engine_->filePath, key);
    } else {
      readerStore_.SetBookValue(engine_->filePath, key, value);
    }
  };
  keep(kBookRuleKey, rule);
  keep(kBookChoiceKey, choice);
  StartChapterScan();
  UpdateTitle();
  return true;
}

ChapterCorrections CTirasolView::ChapterCorrectionsOfBook() const {
  if (!HasDocument()) return {};
  return ChapterCorrections::Parse(
      readerStore_.BookValue(engine_->filePath, kTocCorrectionsKey).value_or(""));
}

void CTirasolView::SetChapterCorrections(const ChapterCorrections& corrections) {
  if (!HasDocument()) return;
  if (corrections.empty()) {
    readerStore_.RemoveBookValue(engine_->filePath, kTocCorrectionsKey);
  } else {
    readerStore_.SetBookValue(engine_->filePath, kTocCorrectionsKey, corrections.Serialize());
  }
  chapters_.SetCorrections(corrections);
  UpdateTitle();
  RefreshStatus();
}

void CTirasolView::GoToChapter(size_t index) {
  const std::optional<Chapter> chapter = chapters_.At(index);
  if (!HasDocument() || !chapter) return;
  engine_->SetPosition(chapter->position);
  RequestStep(kStepPageForward);
}

void CTirasolView::StepChapter(int step) {
  if (!HasDocument()) return;
  const int current = chapters_.IndexAt(engine_->GetPosition());
  const int target = current + step;
  if (target < 0) return;
  GoToChapter(static_cast<size_t>(target));
}

void CTirasolView::UpdateChapterTitle() {
  const int current = HasDocument() ? chapters_.IndexAt(engine_->GetPosition()) : -1;
  if (current != titleChapter_) UpdateTitle();
}

int32_t CTirasolView::ShowSearchHit(const SearchHit& hit) {
  const int32_t line = engine_->LineAt(hit.pieceStart, hit.begin);
  engine_->SetPosition(line);
  RequestStep(kStepPageForward);
  engine_->highlightBegin = hit.begin;
  engine_->highlightEnd = hit.end;
  engine_->SetSearchAfter(hit.pieceStart, hit.index);
  KeepHighlight();
  return line;
}

}  // namespace lirako
