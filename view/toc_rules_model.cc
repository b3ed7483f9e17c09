#include "view/toc_rules_model.h"

#include <algorithm>

#include "engine/heading_rules.h"
#include "platform/utf.h"
#include "view/tirasol_view.h"

namespace lirako {

std::u16string TocRulesModel::RuleLabel(const std::string& rule) {
  if (rule.empty()) return u"모든 규칙 (기본)";
  if (rule == HeadingRules::kUserRuleName) return u"내 규칙";
  return FromUtf8(rule);
}

TocRulesModel::TocRulesModel(CTirasolView& view) : view_(view) {
  Count();
}

TocRulesModel::~TocRulesModel() {
  job_.reset();
}

void TocRulesModel::Listen(std::function<void()> listener) {
  listener_ = std::move(listener);
  Hear();
}

void TocRulesModel::Hear() {
  if (!job_) return;
  job_->SetListener(listener_);
  // A count that ended before anyone listened is news too.
  if (listener_ && job_->state() != RuleCountJob::State::kCounting) listener_();
}

void TocRulesModel::Acknowledge() {
  if (job_) job_->Acknowledge();
}

void TocRulesModel::Count() {
  job_.reset();
  counted_ = false;
  Build(nullptr);
  if (!view_.HasDocument()) return;
  job_ = std::make_unique<RuleCountJob>(view_.platform(), view_.engine().filePath,
                                        view_.engine().Encoding(), view_.ChapterRule());
  Hear();
}

bool TocRulesModel::Fetch() {
  if (counted_ || !job_ || job_->state() != RuleCountJob::State::kDone) return false;
  const RuleCensus census = job_->census();
  Build(&census);
  counted_ = true;
  return true;
}

void TocRulesModel::Build(const RuleCensus* census) {
  rows_.clear();
  rows_.push_back({"", census ? std::optional<size_t>(census->together) : std::nullopt});
  if (census) {
    for (const auto& [rule, chapters] : census->counts)
      rows_.push_back({rule, chapters});
  }
  // The book's choice and its own pattern are listed even where they find nothing.
  auto listed = [this](const std::string& rule) {
    return std::any_of(rows_.begin(), rows_.end(),
                       [&](const Row& row) { return row.rule == rule; });
  };
  const auto none = census ? std::optional<size_t>(0) : std::nullopt;
  if (const std::string choice = view_.BookTocChoice(); !listed(choice))
    rows_.push_back({choice, none});
  if (!view_.ChapterRule().empty() && !listed(HeadingRules::kUserRuleName))
    rows_.push_back({HeadingRules::kUserRuleName, none});
}

std::u16string TocRulesModel::Label(int row) const {
  const Row& r = rows_[static_cast<size_t>(row)];
  std::u16string label = RuleLabel(r.rule);
  if (r.chapters) return label + u" · " + FromUtf8(std::to_string(*r.chapters)) + u"개";
  if (job_ && job_->state() == RuleCountJob::State::kCounting) return label + u" · 세는 중";
  return label;
}

int TocRulesModel::Current() const {
  const std::string choice = view_.BookTocChoice();
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].rule == choice) return static_cast<int>(i);
  }
  return 0;
}

std::u16string TocRulesModel::Status() const {
  if (!error_.empty()) return error_;
  if (!job_) return {};
  switch (job_->state()) {
    case RuleCountJob::State::kCounting:
      return u"규칙별 장 수를 세는 중";
    case RuleCountJob::State::kFailed:
      return u"장 수를 세지 못했습니다: " + FromUtf8(job_->error());
    case RuleCountJob::State::kDone:
      break;
  }
  return {};
}

void TocRulesModel::Choose(int row) {
  if (row < 0 || row >= size()) return;
  error_.clear();
  std::string err;
  view_.SetBookToc(view_.BookTocRule(), rows_[static_cast<size_t>(row)].rule, &err);
}

std::u16string TocRulesModel::Rule() const {
  return FromUtf8(view_.ChapterRule());
}

bool TocRulesModel::ApplyRule(const std::u16string& rule) {
  const std::string pattern = ToUtf8(rule);
  std::string choice = view_.BookTocChoice();
  if (!pattern.empty()) {
    choice = HeadingRules::kUserRuleName;
  } else if (choice == HeadingRules::kUserRuleName) {
    choice.clear();
  }
  std::string reason;
  if (!view_.SetBookToc(pattern, choice, &reason)) {
    error_ = u"규칙이 올바르지 않습니다: " + FromUtf8(reason);
    return false;
  }
  error_.clear();
  Count();
  return true;
}

}  // namespace lirako
