// SPDX-License-Identifier: MIT
#include "tamsik-info/text_escape.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace {

struct TEscapeCase {
  const char* Name;
  std::string Text;
  std::string Json;
  std::string Display;
};

using namespace std::string_literals;

const TEscapeCase kCases[] = {
    {"plain_ascii", "1.2.3", R"("1.2.3")", "1.2.3"},
    {"empty", "", R"("")", ""},
    {"quote_and_backslash", R"(a"b\c)", R"("a\"b\\c")", R"(a"b\c)"},
    {"short_escapes", "\b\f\n\r\t", R"("\b\f\n\r\t")", R"(\x08\x0c\x0a\x0d\x09)"},
    {"other_controls", "\x01\x1f", R"("\u0001\u001f")", R"(\x01\x1f)"},
    {"zero_byte_inside", "a\0b"s, R"("a\u0000b")", R"(a\x00b)"},
    {"delete_is_shown_escaped_only_on_terminals", "\x7f", "\"\x7f\"", R"(\x7f)"},
    {"two_byte_letter_passes", "Ü", R"("Ü")", "Ü"},
    {"c1_control_is_valid_json", "\xC2\x85", "\"\xC2\x85\"", R"(\xc2\x85)"},
    {"four_byte_character_passes", "\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\"", "\xF0\x9F\x98\x80"},
    {"highest_code_point_passes", "\xF4\x8F\xBF\xBF", "\"\xF4\x8F\xBF\xBF\"", "\xF4\x8F\xBF\xBF"},
    {"lone_invalid_byte", "1.0\xFF", R"("1.0\udcff")", R"(1.0\xff)"},
    {"lone_continuation_byte", "\x80", R"("\udc80")", R"(\x80)"},
    {"truncated_sequence_at_end", "\xE2\x82", R"("\udce2\udc82")", R"(\xe2\x82)"},
    {"truncated_sequence_before_ascii", "\xE2(A", R"("\udce2(A")", R"(\xe2(A)"},
    {"overlong_form", "\xC0\xAF", R"("\udcc0\udcaf")", R"(\xc0\xaf)"},
    {"overlong_three_byte_form", "\xE0\x80\xAF", R"("\udce0\udc80\udcaf")", R"(\xe0\x80\xaf)"},
    {"encoded_surrogate", "\xED\xA0\x80", R"("\udced\udca0\udc80")", R"(\xed\xa0\x80)"},
    {"past_highest_code_point", "\xF4\x90\x80\x80", R"("\udcf4\udc90\udc80\udc80")",
     R"(\xf4\x90\x80\x80)"},
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const TEscapeCase& row, std::ostream* out) { *out << row.Name; }

class TextEscape : public testing::TestWithParam<TEscapeCase> {};

TEST_P(TextEscape, JsonString) {
  std::string out;
  AppendJsonString(out, GetParam().Text);
  EXPECT_EQ(out, GetParam().Json);
}

TEST_P(TextEscape, DisplayText) {
  std::string out;
  AppendDisplayText(out, GetParam().Text);
  EXPECT_EQ(out, GetParam().Display);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextEscape, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TCsvCase {
  const char* Name;
  std::string Text;
  std::string Csv;
};

const TCsvCase kCsvCases[] = {
    {"plain_stays_bare", "1.2.3", "1.2.3"},
    {"empty_stays_bare", "", ""},
    {"letters_beyond_ascii_stay_bare", "Ünïcode", "Ünïcode"},
    {"comma_is_quoted", "a,b", R"("a,b")"},
    {"quotes_are_doubled", R"(say "hi")", R"("say ""hi""")"},
    {"line_ends_stay_inside_quotes", "a\r\nb", "\"a\r\nb\""},
    {"blank_is_quoted", "C:/Program Files", R"("C:/Program Files")"},
    {"tab_is_quoted", "a\tb", "\"a\tb\""},
    {"invalid_byte_is_quoted_and_kept", "1.0\xFF", "\"1.0\xFF\""},
    {"broken_sequence_is_kept_byte_for_byte", "\xE2\x82", "\"\xE2\x82\""},
    {"other_controls_pass_as_they_are", "a\x01", "a\x01"},
};

void PrintTo(const TCsvCase& row, std::ostream* out) { *out << row.Name; }

class CsvText : public testing::TestWithParam<TCsvCase> {};

TEST_P(CsvText, Field) {
  std::string out = "x,";
  AppendCsvText(out, GetParam().Text);
  EXPECT_EQ(out, "x," + GetParam().Csv);
}

INSTANTIATE_TEST_SUITE_P(Cases, CsvText, testing::ValuesIn(kCsvCases),
                         [](const auto& info) { return std::string(info.param.Name); });

unsigned HexValue(char digit) {
  if (digit >= '0' && digit <= '9') return static_cast<unsigned>(digit - '0');
  if (digit >= 'a' && digit <= 'f') return static_cast<unsigned>(digit - 'a' + 10);
  throw std::invalid_argument("not a hexadecimal digit");
}

// Reads back what AppendJsonString writes, as a consumer following the documented convention
// would: \udcXX gives back the byte XX.
std::string DecodeJsonString(std::string_view json) {
  if (json.size() < 2 || json.front() != '"' || json.back() != '"')
    throw std::invalid_argument("not quoted");
  json = json.substr(1, json.size() - 2);
  std::string text;
  for (std::size_t at = 0; at < json.size(); ++at) {
    if (json[at] == '"') throw std::invalid_argument("bare quote");
    if (json[at] != '\\') {
      text += json[at];
      continue;
    }
    char kind = json.at(++at);
    if (kind == 'u') {
      unsigned unit = 0;
      for (int k = 0; k < 4; ++k) unit = unit * 16 + HexValue(json.at(++at));
      if (unit >= 0xDC80 && unit <= 0xDCFF)
        text += static_cast<char>(unit & 0xFF);
      else if (unit < 0x20)
        text += static_cast<char>(unit);
      else
        throw std::invalid_argument("unexpected \\u escape");
      continue;
    }
    static constexpr std::string_view kFrom = "\"\\bfnrt", kTo = "\"\\\b\f\n\r\t";
    std::size_t which = kFrom.find(kind);
    if (which == std::string_view::npos) throw std::invalid_argument("unknown escape");
    text += kTo[which];
  }
  return text;
}

// Any bytes at all come out as well-formed UTF-8 without raw control bytes, and come back exactly.
TEST(TextEscapeRoundTrip, AnyBytesSurviveJson) {
  std::mt19937 random(20240611);
  // Bytes that start, continue or break sequences, chosen more often than the rest.
  const unsigned char kInteresting[] = {0x00, 0x0A, 0x1F, '"',  '\\', 'A',  0x7F, 0x80, 0xBF,
                                        0xC0, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xFF};
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    std::size_t length = random() % 10;
    for (std::size_t i = 0; i < length; ++i)
      text += static_cast<char>(random() % 2 ? kInteresting[random() % std::size(kInteresting)]
                                             : random() % 256);
    std::string json;
    AppendJsonString(json, text);
    for (std::size_t at = 0; at < json.size();) {
      std::size_t step = WellFormedUtf8Length(json, at);
      ASSERT_NE(step, 0u) << "not UTF-8 at " << at << " in " << json;
      ASSERT_GE(static_cast<unsigned char>(json[at]), 0x20) << "raw control byte in " << json;
      at += step;
    }
    ASSERT_EQ(DecodeJsonString(json), text) << json;
  }
}

}  // namespace
