#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace re2 {
class RE2;
}

namespace lirako {

// Decides whether a paragraph is a chapter heading. A heading is a short paragraph (at most
// kMaxHeadingCharacters characters once the blanks at either end are trimmed) that one rule
// matches: the built-in rules for Korean, Chinese, Japanese and English headings, and at most
// one rule of the user's own, a regular expression (RE2 syntax, so matching time is linear
// in the text whatever the pattern). Matching is read-only: one object may serve several
// threads once its user rule is set.
class HeadingRules {
 public:
  static constexpr int kMaxHeadingCharacters = 40;
  // Name of the rule reported for a match of the user's rule.
  static constexpr char kUserRuleName[] = "user";

  HeadingRules();
  ~HeadingRules();
  HeadingRules(const HeadingRules&) = delete;
  HeadingRules& operator=(const HeadingRules&) = delete;

  // Sets the user's rule (empty: none). It matches anywhere in the trimmed paragraph unless
  // anchored with ^ and $. False, with RE2's reason in `err` and no user rule, when the
  // pattern is not valid.
  bool SetUserRule(std::string_view pattern, std::string* err);
  bool hasUserRule() const { return user_ != nullptr; }

  // The name of the rule the trimmed paragraph matches ("제 N 장", "Chapter N", "user", ...),
  // or null. `text` is its characters, `utf8` the same text in UTF-8; the caller has checked
  // the length.
  const char* Match(std::u32string_view text, std::string_view utf8) const;
  // True when a built-in rule may match a paragraph starting with `first`, its first
  // character after trimming: lets a scan skip most paragraphs without converting them.
  static bool MayStartHeading(char32_t first);
  // The level of a built-in rule's headings: 1 for volumes and parts ("제 N 권", "Part N",
  // "上/中/下", ...), 2 for chapters and every other rule.
  static int LevelOf(std::string_view rule);
  // True for the rules of numbered headings ("제 N 장", "Chapter N", ...).
  static bool IsNumbered(std::string_view rule);
  // The blanks trimmed at either end of a paragraph: space, tab, ideographic and no-break
  // space, and the byte-order mark.
  static bool IsTrimmedBlank(char32_t c);

 private:
  std::unique_ptr<re2::RE2> user_;
};

}  // namespace lirako
