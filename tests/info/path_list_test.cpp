// SPDX-License-Identifier: MIT
// Lists of paths read through buffers of every small size, so that paths, separators and
// carriage returns fall on each side of a refill.
#include "tamsik-info/path_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

struct TListCase {
  const char* Name;
  std::string Bytes;
  bool Nul;
  std::vector<std::string> Paths;  // "!" stands for an entry refused as too long
};

// Entries longer than this are refused.
constexpr std::size_t kMax = 8;

const TListCase kCases[] = {
    {"lines", "a.exe\nb.dll\n", false, {"a.exe", "b.dll"}},
    {"no_final_line_end", "a.exe\nb.dll", false, {"a.exe", "b.dll"}},
    {"empty_lines_skipped", "\n\na.exe\n\n\nb\n\n", false, {"a.exe", "b"}},
    {"carriage_returns_dropped_before_line_ends",
     "a.exe\r\nb\r\n\r\nc\r",
     false,
     {"a.exe", "b", "c"}},
    {"inner_carriage_return_kept", "a\rb\n", false, {"a\rb"}},
    {"blanks_kept", " a b \n", false, {" a b "}},
    {"empty_list", "", false, {}},
    {"only_separators", "\n\n\n", false, {}},
    {"nul_separated_with_line_ends_inside", "a\nb\0c\r\n\0"s, true, {"a\nb", "c\r\n"}},
    {"nul_without_final_separator", "a\0\0b"s, true, {"a", "b"}},
    {"longest_allowed", "12345678\n", false, {"12345678"}},
    {"too_long_then_on", "123456789\nab\n", false, {"!", "ab"}},
    {"too_long_at_the_end", "ab\n123456789012345678901234567890", false, {"ab", "!"}},
    {"too_long_by_its_carriage_return_only", "12345678\r\n", false, {"12345678"}},
};

void PrintTo(const TListCase& row, std::ostream* out) { *out << row.Name; }

class PathList : public testing::TestWithParam<TListCase> {};

TEST_P(PathList, EveryBufferSizeGivesTheSameEntries) {
  const TListCase& row = GetParam();
  for (std::size_t buffer = 1; buffer <= row.Bytes.size() + 1; ++buffer) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    std::fwrite(row.Bytes.data(), 1, row.Bytes.size(), stream);
    std::rewind(stream);
    TPathList list(stream, row.Nul, buffer);
    std::vector<std::string> got;
    std::string path;
    for (int guard = 0; guard < 100; ++guard) {
      TPathList::TNext next = list.Next(path, kMax);
      if (next == TPathList::TNext::End) break;
      ASSERT_NE(next, TPathList::TNext::Error);
      got.push_back(next == TPathList::TNext::TooLong ? "!" : path);
    }
    std::fclose(stream);
    EXPECT_EQ(got, row.Paths) << "buffer of " << buffer << " bytes";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PathList, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
