#include "engine/text_anchor.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

// Numbered Hangul paragraphs, `count` of them, each with CRLF or LF.
std::string HangulParagraphs(int count, const char* breaks) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += "제" + std::to_string(i) + "문단 별빛이 내리는 밤" + breaks;
  return text;
}

TEST(TextAnchor, FindsItsPlaceAfterAnEditNearOrFarAndInAnotherEncoding) {
  TempDir dir;
  HeadlessPlatform platform;
  const std::string book = HangulParagraphs(5000, "\r\n");
  const std::u16string path = FromUtf8(dir.Write("a.txt", book));
  const int32_t place = static_cast<int32_t>(book.find("제4000문단"));
  const std::string anchor = TextAnchor(platform, path, TextEncoding::kUtf8).Capture(place);
  // Blanks are left out, 32 characters are kept.
  EXPECT_EQ(FromUtf8(anchor).size(), TextAnchor::kLength);
  EXPECT_EQ(anchor.rfind("제4000문단별빛이내리는밤제4001", 0), 0u) << anchor;

  // A paragraph inserted before the place: found near the old offset.
  const std::string inserted = "새로 넣은 문단\r\n";
  const std::u16string edited = FromUtf8(dir.Write("b.txt", inserted + book));
  TextAnchor editedBook(platform, edited, TextEncoding::kUtf8);
  EXPECT_EQ(editedBook.Find(anchor, place), place + static_cast<int32_t>(inserted.size()));
  // An old offset far from it: found anywhere.
  EXPECT_EQ(editedBook.Find(anchor, 0), place + static_cast<int32_t>(inserted.size()));

  // The same text in UTF-16 with LF breaks: found by text, in units of two bytes.
  const std::u16string text = FromUtf8(HangulParagraphs(5000, "\n"));
  std::string utf16 = "\xFF\xFE";
  for (char16_t c : text) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>(c >> 8));
  }
  const std::u16string copy = FromUtf8(dir.Write("c.txt", utf16));
  EXPECT_EQ(TextAnchor(platform, copy, TextEncoding::kUtf16Le).Find(anchor, 0),
            static_cast<int32_t>(1 + text.find(u"제4000문단")));

  // Text the book does not hold, or no text at all.
  EXPECT_EQ(editedBook.Find("없는 글귀", place), -1);
  EXPECT_EQ(editedBook.Find("", place), -1);
}

}  // namespace
}  // namespace lirako
