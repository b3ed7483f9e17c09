#include "engine/titled_headings.h"

#include <algorithm>

#include "engine/heading_rules.h"

namespace lirako {
namespace {

bool IsIn(char32_t c, std::u32string_view set) {
  return set.find(c) != std::u32string_view::npos;
}

// A letter of a word: Hangul, Han, kana or Latin. A line without any ("* * *", "1") marks a
// break in the text, not a title.
bool IsWordLetter(char32_t c) {
  return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0x3131 && c <= 0x318E) || (c >= 0x4E00 && c <= 0x9FFF) ||
         (c >= 0x3041 && c <= 0x30FF) || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}

}  // namespace

bool TitledHeadings::LooksLikeTitle(std::u32string_view text) {
  if (text.empty() || static_cast<int>(text.size()) > kMaxTitleCharacters) return false;
  // Dialogue and quotations open with a mark; sentences end with one.
  if (IsIn(text.front(), U"\"'“‘「『(（[［<〈《«—–-―…*#=~")) return false;
  if (IsIn(text.back(), U".?!…。？！,，;:、\"'”’」』")) return false;
  return std::any_of(text.begin(), text.end(), IsWordLetter);
}

void TitledHeadings::Empty() {
  afterEmpty_ = true;
  if (pending_) pendingAlone_ = true;
}

void TitledHeadings::Long() {
  Resolve(Kind::kLong);
  NonEmpty(Kind::kLong);
}

void TitledHeadings::Decoded(int32_t position, std::u32string_view text, std::string_view utf8,
                             const char* rule) {
  Kind kind = Kind::kLong;
  if (rule != nullptr) {
    const bool volume = HeadingRules::LevelOf(rule) == 1;
    kind = volume ? Kind::kVolume : Kind::kHeading;
    if (!volume && HeadingRules::IsNumbered(rule)) ++numbered_;
  } else if (LooksLikeTitle(text)) {
    kind = Kind::kTitleLike;
  } else if (static_cast<int>(text.size()) <= kMaxTitleCharacters) {
    kind = Kind::kShort;
  }
  Resolve(kind);
  // A title stands after an empty line, neither after a chapter's heading (whose subtitle
  // it would be) nor after another short line standing alone (as a poem's lines do) once
  // the text has begun (before it, such lines are the book's title page).
  if (kind == Kind::kTitleLike && afterEmpty_ && last_ != Kind::kHeading &&
      !(last_ == Kind::kTitleLike && lastAfterEmpty_ && textBegun_)) {
    pending_ = true;
    pendingAlone_ = false;
    pendingTitle_ = Chapter{position, std::string(utf8), kRuleName, 2};
  }
  NonEmpty(kind);
}

void TitledHeadings::Resolve(Kind kind) {
  if (!pending_) return;
  // An empty line must follow the title, then something other than a poem's next line.
  if (pendingAlone_ && kind != Kind::kTitleLike) titles_.push_back(std::move(pendingTitle_));
  pending_ = false;
  pendingAlone_ = false;
}

void TitledHeadings::NonEmpty(Kind kind) {
  if (last_ != Kind::kNone && lastAfterEmpty_ && afterEmpty_) ++alone_;
  if (kind == Kind::kShort) ++short_;
  textBegun_ = textBegun_ || kind == Kind::kLong || kind == Kind::kShort;
  ++paragraphs_;
  lastAfterEmpty_ = afterEmpty_;
  afterEmpty_ = false;
  last_ = kind;
}

void TitledHeadings::Finish(int32_t units) {
  // A title line with nothing after it heads no chapter.
  pending_ = false;
  accepted_ = false;
  if (titles_.size() < kMinTitles || numbered_ >= kMinTitles) return;
  // Chapters of a novel are far shorter than the stretch a few stray lines would make.
  if (int64_t{units} > static_cast<int64_t>(titles_.size()) * kMaxChapterUnits) return;
  // Spread over the book: no half of it without a title.
  int32_t previous = 0;
  int32_t widest = 0;
  for (const Chapter& title : titles_) {
    widest = std::max(widest, title.position - previous);
    previous = title.position;
  }
  widest = std::max(widest, units - previous);
  if (int64_t{widest} * 2 > units) return;
  // The web-novel style: most paragraphs stand alone and many are short.
  const bool webNovel = alone_ * 2 > paragraphs_ && short_ * 3 > paragraphs_;
  accepted_ = !webNovel;
}

}  // namespace lirako
