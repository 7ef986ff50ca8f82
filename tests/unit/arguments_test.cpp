// SPDX-License-Identifier: MIT
// The command-line splitter, as the Windows programs use it on the text GetCommandLineA gives.
// Built and run for both targets, so the native and the Windows build cannot drift apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tamsik/arguments.h"

namespace {

struct TSplitCase {
  const char* Name;
  std::string CommandLine;
  std::vector<std::string> Arguments;  // the program's name first
};

const std::string kLong(5000, 'x');

const TSplitCase kSplitCases[] = {
    {"empty_command_line_has_no_program_name", "", {}},
    {"blanks_only_have_no_program_name", "  \t ", {}},
    {"no_arguments", "tamsik.exe", {"tamsik.exe"}},
    {"one_argument", "tamsik.exe a.exe", {"tamsik.exe", "a.exe"}},
    {"three_arguments", "tamsik.exe a.exe b.exe c.exe", {"tamsik.exe", "a.exe", "b.exe", "c.exe"}},
    {"runs_of_blanks_separate_once",
     "tamsik.exe   a.exe \t  b.exe   ",
     {"tamsik.exe", "a.exe", "b.exe"}},
    {"lone_pair_of_quotes_is_not_counted",
     "tamsik.exe a.exe \"\" b.exe",
     {"tamsik.exe", "a.exe", "b.exe"}},
    {"lone_pair_of_quotes_first", "tamsik.exe \"\" a.exe b.exe", {"tamsik.exe", "a.exe", "b.exe"}},
    {"several_pairs_of_quotes_are_dropped",
     "tamsik.exe \"\"\"\" \"\" a.exe",
     {"tamsik.exe", "a.exe"}},
    {"pairs_of_quotes_before_an_argument_are_dropped",
     "tamsik.exe \"\"\"\"a.exe",
     {"tamsik.exe", "a.exe"}},
    {"quoted_path_with_blanks_is_one_argument",
     "tamsik.exe \"C:\\Program Files\\a b.exe\" b.exe",
     {"tamsik.exe", "C:\\Program Files\\a b.exe", "b.exe"}},
    {"quoted_program_name",
     "\"C:\\My Tools\\tamsik.exe\" a.exe",
     {"C:\\My Tools\\tamsik.exe", "a.exe"}},
    {"quoted_path_ending_in_backslash_keeps_it",
     "tamsik.exe \"C:\\Some Dir\\\" b.exe",
     {"tamsik.exe", "C:\\Some Dir\\", "b.exe"}},
    {"backslash_before_quote_is_ordinary",
     "tamsik.exe a\\\"b c\" d",
     {"tamsik.exe", "a\\b c", "d"}},
    {"quotes_in_the_middle_of_an_argument",
     "tamsik.exe C:\\\"Program Files\"\\a.exe x",
     {"tamsik.exe", "C:\\Program Files\\a.exe", "x"}},
    {"adjacent_quoted_runs_join", "tamsik.exe \"a \"\" b\"c", {"tamsik.exe", "a  bc"}},
    {"empty_pair_inside_an_argument_is_dropped", "tamsik.exe a\"\"b", {"tamsik.exe", "ab"}},
    {"unterminated_quote_runs_to_the_end", "tamsik.exe \"a b.exe  ", {"tamsik.exe", "a b.exe  "}},
    {"lone_quote_at_the_end_is_an_empty_argument", "tamsik.exe a.exe \"", {"tamsik.exe", "a.exe"}},
    {"pair_and_lone_quote_at_the_end_give_nothing",
     "tamsik.exe a.exe \"\"\"",
     {"tamsik.exe", "a.exe"}},
    {"control_bytes_separate",
     "tamsik.exe\ta\x01"
     "b\x1f"
     "c\nd\re\x7f"
     " \x20"
     "f",
     {"tamsik.exe", "a", "b", "c", "d", "e\x7f", "f"}},
    {"control_bytes_inside_quotes_belong",
     "tamsik.exe \"a\tb\x01"
     "c\"",
     {"tamsik.exe",
      "a\tb\x01"
      "c"}},
    {"bytes_above_127_belong_to_arguments",
     "tamsik.exe \xC3\xA9t\xE9.exe \x80\xA0\xFF",
     {"tamsik.exe", "\xC3\xA9t\xE9.exe", "\x80\xA0\xFF"}},
    {"zero_byte_ends_the_command_line",
     std::string("tamsik.exe a.exe\0b.exe", 22),
     {"tamsik.exe", "a.exe"}},
    {"argument_over_4096_bytes_is_kept_whole",
     "tamsik.exe " + kLong + " b.exe",
     {"tamsik.exe", kLong, "b.exe"}},
};

class SplitCommandLineTest : public testing::TestWithParam<TSplitCase> {};

TEST_P(SplitCommandLineTest, SplitsAsTheTableSays) {
  EXPECT_EQ(SplitCommandLine(GetParam().CommandLine), GetParam().Arguments);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitCommandLineTest, testing::ValuesIn(kSplitCases),
                         [](const testing::TestParamInfo<TSplitCase>& info) {
                           return info.param.Name;
                         });

}  // namespace
