// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "platform/posix/utf8.h"
#include "tests/support/version_tree.h"

namespace {

std::string ToUtf8(std::u16string_view units) {
  TBytes bytes = Utf16Bytes(units, false);
  return Utf16ToUtf8(TByteView(bytes.data(), bytes.size()));
}

struct TUtf8Case {
  const char* Name;
  std::u16string Units;
  std::string Text;
};

class Utf8Conversion : public testing::TestWithParam<TUtf8Case> {};

TEST_P(Utf8Conversion, ConvertsAndRoundTrips) {
  const TUtf8Case& row = GetParam();
  EXPECT_EQ(ToUtf8(row.Units), row.Text);
  // Lossless: the text decodes to exactly the units it came from.
  EXPECT_EQ(Utf8ToUtf16(row.Text), row.Units);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Conversion,
    testing::Values(TUtf8Case{"ascii", u"1.2.0", "1.2.0"},
                    TUtf8Case{"two_byte", u"\u00e9\u03b2", "\xc3\xa9\xce\xb2"},
                    TUtf8Case{"three_byte", u"\u20ac\uffff", "\xe2\x82\xac\xef\xbf\xbf"},
                    TUtf8Case{"surrogate_pair", u"\U0001F600", "\xf0\x9f\x98\x80"},
                    TUtf8Case{"unpaired_high", std::u16string(1, char16_t(0xD83D)) + u"x",
                              "\xed\xa0\xbd"
                              "x"},
                    TUtf8Case{"unpaired_low", std::u16string(1, char16_t(0xDE00)), "\xed\xb8\x80"},
                    TUtf8Case{"high_at_end", u"a" + std::u16string(1, char16_t(0xD800)),
                              "a\xed\xa0\x80"},
                    TUtf8Case{"low_before_high", std::u16string{char16_t(0xDC00), char16_t(0xD800)},
                              "\xed\xb0\x80\xed\xa0\x80"}),
    [](const testing::TestParamInfo<TUtf8Case>& info) { return info.param.Name; });

TEST(Utf8Conversion, DifferentUnitsNeverGiveTheSameText) {
  // A replacing conversion would map both unpaired surrogates to U+FFFD and make "=" lie.
  EXPECT_NE(ToUtf8(std::u16string(1, char16_t(0xD800))),
            ToUtf8(std::u16string(1, char16_t(0xD801))));
  EXPECT_NE(ToUtf8(std::u16string(1, char16_t(0xD800))), ToUtf8(u"\uFFFD"));
}

TEST(Utf8Conversion, MalformedBytesBecomeReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("a\x80z"), u"a\uFFFDz");
  EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), u"\uFFFD\uFFFD");                      // overlong
  EXPECT_EQ(Utf8ToUtf16("\xe2\x82"), u"\uFFFD\uFFFD");                      // cut short
  EXPECT_EQ(Utf8ToUtf16("\xf4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
}

TEST(Utf8Conversion, OddTrailingByteIsIgnored) {
  TBytes bytes = {'A', 0, 'B'};
  EXPECT_EQ(Utf16ToUtf8(TByteView(bytes.data(), bytes.size())), "A");
}

}  // namespace
