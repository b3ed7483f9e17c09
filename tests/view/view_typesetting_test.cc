#include <gtest/gtest.h>

#include "tests/view/view_fixture.h"

namespace lirako {
namespace {

using testing::ViewFixture;

TEST(ViewTypesetting, EachBookReopensWithItsOwnSetAndABookWithoutOneTakesTheLastChosen) {
  ViewFixture f;
  // Books of other lengths: a copy of the same bytes would take the set of its original.
  const std::u16string a = f.NumberedBook("a.txt", 100);
  const std::u16string b = f.NumberedBook("b.txt", 120);
  const std::u16string c = f.NumberedBook("c.txt", 140);
  CTirasolView& first = f.Start(a);
  const int start = first.settings().fontSize;
  first.ChangeFontSize(3);
  Typography indented = first.typography();
  indented.indent = 2;
  first.SetTypography(indented);
  first.KeepTypesetting();
  const int sizeA = first.settings().fontSize;
  ASSERT_GT(sizeA, start);
  // A book of its own: the set just chosen is the default.
  first.OpenDocument(b);
  EXPECT_EQ(first.settings().fontSize, sizeA);
  first.ChangeFontSize(-5);
  const int sizeB = first.settings().fontSize;
  ASSERT_LT(sizeB, start);
  EXPECT_EQ(first.typography().indent, 2);
  f.Stop();

  CTirasolView& view = f.Start(a);
  EXPECT_EQ(view.settings().fontSize, sizeA);
  view.OpenDocument(b);
  EXPECT_EQ(view.settings().fontSize, sizeB);
  view.OpenDocument(a);
  EXPECT_EQ(view.settings().fontSize, sizeA);
  // The default is the set chosen last (with b), not the one a shows.
  view.OpenDocument(c);
  EXPECT_EQ(view.settings().fontSize, sizeB);
  EXPECT_EQ(view.typography().indent, 2);
}

}  // namespace
}  // namespace lirako
