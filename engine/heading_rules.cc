#include "engine/heading_rules.h"

#include <re2/re2.h>

#include <array>

namespace lirako {
namespace {

using Text = std::u32string_view;

// Kinds of numerals a rule accepts.
enum Numerals : unsigned {
  kArabic = 1,
  kHangul = 2,
  kHanja = 4,
  kRoman = 8,
  kEnglishWords = 16,
};

bool IsIn(char32_t c, std::u32string_view set) {
  return set.find(c) != std::u32string_view::npos;
}

bool IsArabic(char32_t c) {
  return (c >= U'0' && c <= U'9') || (c >= 0xFF10 && c <= 0xFF19);
}

bool IsHangulNumeral(char32_t c) {
  return IsIn(c, U"일이삼사오육칠팔구십백천영");
}

bool IsHanjaNumeral(char32_t c) {
  return IsIn(c, U"〇零一二三四五六七八九十百千两兩壹貳參");
}

bool IsRomanLetter(char32_t c) {
  return IsIn(c, U"IVXLCDMivxlcdm") || (c >= 0x2160 && c <= 0x217F);
}

bool IsLatinLetter(char32_t c) {
  return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

bool IsBlank(char32_t c) {
  return HeadingRules::IsTrimmedBlank(c);
}

size_t SkipBlanks(Text t, size_t i) {
  while (i < t.size() && IsBlank(t[i]))
    ++i;
  return i;
}

// English number words, lower case, as they make up "Twenty-One" and the like.
bool IsEnglishNumberWord(Text word) {
  static constexpr std::array<std::u32string_view, 30> kWords = {
      U"one",      U"two",      U"three",   U"four",    U"five",      U"six",
      U"seven",    U"eight",    U"nine",    U"ten",     U"eleven",    U"twelve",
      U"thirteen", U"fourteen", U"fifteen", U"sixteen", U"seventeen", U"eighteen",
      U"nineteen", U"twenty",   U"thirty",  U"forty",   U"fifty",     U"sixty",
      U"seventy",  U"eighty",   U"ninety",  U"hundred", U"zero",      U"and"};
  std::u32string lower(word);
  for (char32_t& c : lower) {
    if (c >= U'A' && c <= U'Z') c = c - U'A' + U'a';
  }
  for (std::u32string_view w : kWords) {
    if (lower == w) return true;
  }
  return false;
}

// The end of a number of the accepted kinds starting at `i`, or 0 when none starts there.
size_t NumberEnd(Text t, size_t i, unsigned kinds) {
  size_t j = i;
  auto run = [&](bool (*is)(char32_t)) {
    while (j < t.size() && is(t[j]))
      ++j;
    return j > i;
  };
  if ((kinds & kArabic) && run(IsArabic)) return j;
  if ((kinds & kHangul) && run(IsHangulNumeral)) return j;
  if ((kinds & kHanja) && run(IsHanjaNumeral)) return j;
  if ((kinds & kRoman) && run(IsRomanLetter)) {
    // A Roman numeral is a word of its own: "Chapter Ivy" has none.
    if (j == t.size() || !IsLatinLetter(t[j])) return j;
    j = i;
  }
  if (kinds & kEnglishWords) {
    // Words joined by hyphens: "Twenty-One".
    size_t end = 0;
    while (true) {
      size_t start = j;
      while (j < t.size() && IsLatinLetter(t[j]))
        ++j;
      if (j == start || !IsEnglishNumberWord(t.substr(start, j - start))) break;
      end = j;
      if (j < t.size() && t[j] == U'-') {
        ++j;
      } else {
        break;
      }
    }
    return end;
  }
  return 0;
}

// What may follow a heading's keyword: the end, a blank (a title follows), or punctuation
// that sets a title off or closes a bracket. A letter or a syllable means the keyword is
// part of a longer word ("제1장에서", "프롤로그를").
bool EndsKeyword(Text t, size_t i) {
  return i == t.size() || IsBlank(t[i]) || IsIn(t[i], U":.-–—)]>】〉》」』·~|,：．");
}

// A heading that goes on with a sentence ending in sentence punctuation is read as a
// sentence: "2 장 남았다." The keyword alone with a full stop ("Prologue.") stays a heading.
bool ReadsAsSentence(Text t, size_t keywordEnd) {
  if (t.empty() || keywordEnd + 1 >= t.size()) return false;
  char32_t last = t.back();
  return IsIn(last, U".?!…。？！");
}

bool StartsWith(Text t, size_t i, Text word) {
  return t.substr(i, word.size()) == word;
}

// "제 N 장" and the like: the prefix, a number of `kinds`, one of the keywords.
const char* PrefixedNumber(Text t, size_t i, Text prefix, unsigned kinds,
                           const std::initializer_list<std::pair<char32_t, const char*>>& keywords,
                           bool sentenceCheck) {
  if (!StartsWith(t, i, prefix)) return nullptr;
  size_t n = SkipBlanks(t, i + prefix.size());
  size_t end = NumberEnd(t, n, kinds);
  if (end == 0) return nullptr;
  size_t k = SkipBlanks(t, end);
  if (k >= t.size()) return nullptr;
  for (const auto& [keyword, name] : keywords) {
    if (t[k] != keyword) continue;
    if (!EndsKeyword(t, k + 1)) return nullptr;
    if (sentenceCheck && ReadsAsSentence(t, k + 1)) return nullptr;
    return name;
  }
  return nullptr;
}

const char* Korean(Text t, size_t i) {
  if (const char* name = PrefixedNumber(t, i, U"제", kArabic | kHangul | kHanja | kRoman,
                                        {{U'장', "제 N 장"},
                                         {U'화', "제 N 화"},
                                         {U'부', "제 N 부"},
                                         {U'편', "제 N 편"},
                                         {U'권', "제 N 권"}},
                                        false)) {
    return name;
  }
  if (const char* name = PrefixedNumber(
          t, i, U"", kArabic, {{U'화', "N 화"}, {U'장', "N 장"}, {U'권', "N 권"}}, true)) {
    return name;
  }
  static constexpr std::pair<std::u32string_view, const char*> kWords[] = {
      {U"프롤로그", "프롤로그"}, {U"에필로그", "에필로그"}, {U"외전", "외전"},
      {U"서장", "서장"},         {U"종장", "종장"},         {U"후기", "후기"},
      {U"상권", "上/中/下"},     {U"중권", "上/中/下"},     {U"하권", "上/中/下"}};
  for (const auto& [word, name] : kWords) {
    if (StartsWith(t, i, word) && EndsKeyword(t, i + word.size()) &&
        !ReadsAsSentence(t, i + word.size())) {
      return name;
    }
  }
  return nullptr;
}

const char* Chinese(Text t, size_t i) {
  return PrefixedNumber(t, i, U"第", kArabic | kHanja,
                        {{U'章', "第 N 章"},
                         {U'回', "第 N 回"},
                         {U'节', "第 N 节"},
                         {U'節', "第 N 节"},
                         {U'卷', "第 N 卷"},
                         {U'話', "第 N 話"}},
                        false);
}

// "上", "中", "下" alone or with 卷 or 篇: the parts of a book in two or three volumes.
const char* VolumeMarks(Text t, size_t i) {
  if (i >= t.size() || !IsIn(t[i], U"上中下")) return nullptr;
  size_t end = i + 1;
  if (end < t.size() && IsIn(t[end], U"卷篇")) ++end;
  return EndsKeyword(t, end) && !ReadsAsSentence(t, end) ? "上/中/下" : nullptr;
}

const char* English(Text t, size_t i) {
  static constexpr std::pair<std::u32string_view, const char*> kNumbered[] = {
      {U"Chapter", "Chapter N"}, {U"CHAPTER", "CHAPTER N"}, {U"Part", "Part N"},
      {U"PART", "Part N"},       {U"Book", "Book N"},       {U"BOOK", "Book N"}};
  for (const auto& [word, name] : kNumbered) {
    if (!StartsWith(t, i, word)) continue;
    size_t n = i + word.size();
    size_t m = SkipBlanks(t, n);
    size_t end =
        m > n ? NumberEnd(t, m, kArabic | kRoman | kEnglishWords) : NumberEnd(t, m, kArabic);
    if (end == 0 || !EndsKeyword(t, end) || ReadsAsSentence(t, end)) return nullptr;
    return name;
  }
  static constexpr std::pair<std::u32string_view, const char*> kWords[] = {
      {U"Prologue", "Prologue"},
      {U"PROLOGUE", "Prologue"},
      {U"Epilogue", "Epilogue"},
      {U"EPILOGUE", "Epilogue"}};
  for (const auto& [word, name] : kWords) {
    if (StartsWith(t, i, word) && EndsKeyword(t, i + word.size()) &&
        !ReadsAsSentence(t, i + word.size())) {
      return name;
    }
  }
  return nullptr;
}

}  // namespace

HeadingRules::HeadingRules() = default;
HeadingRules::~HeadingRules() = default;

bool HeadingRules::IsTrimmedBlank(char32_t c) {
  return c == U' ' || c == U'\t' || c == 0x3000 || c == 0xA0 || c == 0xFEFF;
}

bool HeadingRules::MayStartHeading(char32_t c) {
  return IsArabic(c) || IsIn(c, U"[(<【〈《「『제第프에외서종후상중하上中下BCPEbcpe");
}

int HeadingRules::LevelOf(std::string_view rule) {
  static constexpr std::string_view kVolumes[] = {"제 N 권", "N 권",   "제 N 부", "第 N 卷",
                                                  "Book N",  "Part N", "上/中/下"};
  for (std::string_view volume : kVolumes) {
    if (rule == volume) return 1;
  }
  return 2;
}

bool HeadingRules::IsNumbered(std::string_view rule) {
  return rule.find('N') != std::string_view::npos;
}

bool HeadingRules::SetUserRule(std::string_view pattern, std::string* err) {
  user_.reset();
  if (pattern.empty()) return true;
  RE2::Options options;
  options.set_log_errors(false);
  auto rule = std::make_unique<re2::RE2>(re2::StringPiece(pattern.data(), pattern.size()), options);
  if (!rule->ok()) {
    if (err) *err = rule->error();
    return false;
  }
  user_ = std::move(rule);
  return true;
}

const char* HeadingRules::Match(std::u32string_view text, std::string_view utf8) const {
  if (!text.empty()) {
    // One opening bracket may stand before the heading: "[제 1 화]", "【第1章】".
    size_t i = 0;
    if (IsIn(text[0], U"[(<【〈《「『")) i = SkipBlanks(text, 1);
    if (const char* name = Korean(text, i)) return name;
    if (const char* name = Chinese(text, i)) return name;
    if (const char* name = English(text, i)) return name;
    if (const char* name = VolumeMarks(text, i)) return name;
  }
  if (user_ && RE2::PartialMatch(re2::StringPiece(utf8.data(), utf8.size()), *user_)) {
    return kUserRuleName;
  }
  return nullptr;
}

}  // namespace lirako
