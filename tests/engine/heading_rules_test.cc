#include "engine/heading_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/utf.h"

namespace lirako {
namespace {

// The rule `rules` find in the paragraph `text`, trimmed as a scan trims it; empty for none.
std::string RuleOf(const HeadingRules& rules, const std::u16string& text) {
  std::u32string characters;
  for (char16_t u : text)
    characters.push_back(u);
  while (!characters.empty() && HeadingRules::IsTrimmedBlank(characters.back()))
    characters.pop_back();
  size_t from = 0;
  while (from < characters.size() && HeadingRules::IsTrimmedBlank(characters[from]))
    ++from;
  std::u16string trimmed = text.substr(from, characters.size() - from);
  const char* rule = rules.Match(std::u32string_view(characters).substr(from), ToUtf8(trimmed));
  return rule ? rule : "";
}

TEST(HeadingRules, VolumesAndPartsAreTheUpperLevel) {
  HeadingRules rules;
  for (const char16_t* volume : {u"제2권 여름", u"3권", u"第一卷", u"Book Two", u"上", u"하권"}) {
    const std::string rule = RuleOf(rules, volume);
    EXPECT_EQ(HeadingRules::LevelOf(rule), 1) << ToUtf8(volume) << " as " << rule;
  }
  EXPECT_EQ(RuleOf(rules, u"3권 남았다."), "");
  EXPECT_EQ(RuleOf(rules, u"上官"), "");
  EXPECT_EQ(HeadingRules::LevelOf(RuleOf(rules, u"제 3 장")), 2);
}

TEST(HeadingRules, TakesHeadingsOfEveryKindWithTheirNumbersAndTitles) {
  HeadingRules rules;
  EXPECT_EQ(RuleOf(rules, u"제 3 장 바다로 가는 길"), "제 N 장");
  EXPECT_EQ(RuleOf(rules, u"제12화"), "제 N 화");
  EXPECT_EQ(RuleOf(rules, u"제 삼십이 부"), "제 N 부");
  EXPECT_EQ(RuleOf(rules, u"제 十二 편: 귀향"), "제 N 편");
  EXPECT_EQ(RuleOf(rules, u"제 IV 장"), "제 N 장");
  EXPECT_EQ(RuleOf(rules, u"[제 5 화]"), "제 N 화");
  EXPECT_EQ(RuleOf(rules, u"127화"), "N 화");
  EXPECT_EQ(RuleOf(rules, u"3 장 새벽"), "N 장");
  EXPECT_EQ(RuleOf(rules, u"프롤로그"), "프롤로그");
  EXPECT_EQ(RuleOf(rules, u"에필로그 - 그 후"), "에필로그");
  EXPECT_EQ(RuleOf(rules, u"외전 2"), "외전");
  EXPECT_EQ(RuleOf(rules, u"第1章 出發"), "第 N 章");
  EXPECT_EQ(RuleOf(rules, u"【第十二回】"), "第 N 回");
  EXPECT_EQ(RuleOf(rules, u"第3話"), "第 N 話");
  EXPECT_EQ(RuleOf(rules, u"Chapter 7"), "Chapter N");
  EXPECT_EQ(RuleOf(rules, u"CHAPTER XII. The Storm"), "CHAPTER N");
  EXPECT_EQ(RuleOf(rules, u"Chapter Twenty-One"), "Chapter N");
  EXPECT_EQ(RuleOf(rules, u"Part II"), "Part N");
  EXPECT_EQ(RuleOf(rules, u"Epilogue"), "Epilogue");
}

TEST(HeadingRules, LeavesSentencesThatOnlyMentionAHeading) {
  HeadingRules rules;
  EXPECT_EQ(RuleOf(rules, u"제1장에서 말했듯이 그는 떠났다"), "");
  EXPECT_EQ(RuleOf(rules, u"그는 제 1 장을 펼쳤다"), "");
  EXPECT_EQ(RuleOf(rules, u"2 장 남았다."), "");
  EXPECT_EQ(RuleOf(rules, u"3장의 카드"), "");
  EXPECT_EQ(RuleOf(rules, u"12화가 났다"), "");
  EXPECT_EQ(RuleOf(rules, u"프롤로그를 읽었다"), "");
  EXPECT_EQ(RuleOf(rules, u"후기 구석기 시대였다."), "");
  EXPECT_EQ(RuleOf(rules, u"Chapter 3 was the best."), "");
  EXPECT_EQ(RuleOf(rules, u"Chapter Ivy"), "");
  EXPECT_EQ(RuleOf(rules, u"Partly cloudy"), "");
  EXPECT_EQ(RuleOf(rules, u"Epilogues"), "");
}

TEST(HeadingRules, UserRuleAddsItsOwnHeadings) {
  HeadingRules rules;
  std::string err;
  ASSERT_TRUE(rules.SetUserRule("^#[0-9]+$", &err));
  EXPECT_EQ(RuleOf(rules, u"  #12 "), HeadingRules::kUserRuleName);
  EXPECT_EQ(RuleOf(rules, u"#12 시작"), "");
  EXPECT_EQ(RuleOf(rules, u"제 1 장"), "제 N 장");
}

TEST(HeadingRules, InvalidUserRuleIsRefusedWithItsReason) {
  HeadingRules rules;
  std::string err;
  EXPECT_FALSE(rules.SetUserRule("제(1", &err));
  EXPECT_NE(err.find("missing )"), std::string::npos) << err;
  EXPECT_FALSE(rules.hasUserRule());
}

}  // namespace
}  // namespace lirako
