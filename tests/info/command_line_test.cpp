// SPDX-License-Identifier: MIT
#include "tamsik-info/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr TOutputForm kJson = TOutputForm::Json, kCsv = TOutputForm::Csv;

// What the options should come to; the lists as texts, so a row owns what it names.
struct TExpectedOptions {
  bool Full = false;
  TOutputForm Form = TOutputForm::Text;
  bool Recursive = false;
  bool Null = false;
  bool AnyFile = false;
  std::vector<std::string> FilesFrom = {};
  bool Help = false;
  bool Version = false;
};

struct TCommandCase {
  const char* Name;
  std::vector<std::string> Arguments;
  TExpectedOptions Options;
  std::vector<std::string> Paths;
  std::string Error;
};

const TCommandCase kCases[] = {
    {"one_path", {"a.exe"}, {}, {"a.exe"}, ""},
    {"options_between_paths_keep_path_order",
     {"b.exe", "--json", "a.exe", "--full"},
     {.Full = true, .Form = kJson},
     {"b.exe", "a.exe"},
     ""},
    {"after_double_dash_all_are_paths",
     {"a.exe", "--", "--json", "--", "-x"},
     {},
     {"a.exe", "--json", "--", "-x"},
     ""},
    {"paths_on_both_sides_of_double_dash",
     {"a.exe", "--json", "b.exe", "--", "c.exe"},
     {.Form = kJson},
     {"a.exe", "b.exe", "c.exe"},
     ""},
    {"lone_dash_is_a_path", {"-"}, {}, {"-"}, ""},
    {"empty_argument_is_a_path", {""}, {}, {""}, ""},
    {"unknown_option", {"--bogus", "a.exe"}, {}, {}, "unknown option '--bogus'"},
    {"unknown_short_option", {"a.exe", "-x"}, {}, {}, "unknown option '-x'"},
    {"unknown_option_beats_help", {"--help", "--bogus"}, {}, {}, "unknown option '--bogus'"},
    {"nothing", {}, {}, {}, "no file given"},
    {"options_alone", {"--json"}, {}, {}, "no file given"},
    {"double_dash_alone", {"--"}, {}, {}, "no file given"},
    {"help_needs_no_file", {"--help"}, {.Help = true}, {}, ""},
    {"short_help", {"-h"}, {.Help = true}, {}, ""},
    {"version_needs_no_file", {"--version"}, {.Version = true}, {}, ""},
    {"inventory_options",
     {"-r", "--any-file", "dir", "--csv", "--recursive", "--null"},
     {.Form = kCsv, .Recursive = true, .Null = true, .AnyFile = true},
     {"dir"},
     ""},
    {"short_options_cluster", {"-r0", "dir"}, {.Recursive = true, .Null = true}, {"dir"}, ""},
    {"unknown_option_in_a_cluster", {"-r0x", "dir"}, {}, {}, "unknown option '-x'"},
    {"lists_alone_need_no_path",
     {"--files-from", "a.txt", "--files-from=-"},
     {.FilesFrom = {"a.txt", "-"}},
     {},
     ""},
    {"list_value_may_start_with_a_dash",
     {"--files-from", "--json", "x.exe"},
     {.FilesFrom = {"--json"}},
     {"x.exe"},
     ""},
    {"list_without_its_value",
     {"a.exe", "--files-from"},
     {},
     {},
     "option '--files-from' needs a file"},
    {"abbreviation_is_unknown", {"--jso", "a.exe"}, {}, {}, "unknown option '--jso'"},
    {"abbreviation_with_value_is_unknown", {"--files=l.txt"}, {}, {}, "unknown option '--files'"},
    {"value_for_a_flag", {"--json=yes", "a.exe"}, {}, {}, "option '--json' takes no value"},
    {"json_and_csv", {"--json", "--csv", "a.exe"}, {}, {}, "--json and --csv exclude each other"},
    {"same_form_twice", {"--csv", "--csv", "a.exe"}, {.Form = kCsv}, {"a.exe"}, ""},
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const TCommandCase& row, std::ostream* out) { *out << row.Name; }

class InfoCommandLine : public testing::TestWithParam<TCommandCase> {};

TEST_P(InfoCommandLine, Parses) {
  const TCommandCase& row = GetParam();
  std::vector<std::string> storage = row.Arguments;
  std::vector<char*> arguments;
  for (std::string& argument : storage) arguments.push_back(argument.data());

  TInfoCommand command = ParseInfoCommand(arguments);
  EXPECT_EQ(command.Error, row.Error);
  if (!row.Error.empty()) return;  // a refused command line is used no further
  EXPECT_EQ(command.Options.Full, row.Options.Full);
  EXPECT_EQ(command.Options.Form, row.Options.Form);
  EXPECT_EQ(command.Options.Recursive, row.Options.Recursive);
  EXPECT_EQ(command.Options.Null, row.Options.Null);
  EXPECT_EQ(command.Options.AnyFile, row.Options.AnyFile);
  std::vector<std::string> lists(command.Options.FilesFrom.begin(),
                                 command.Options.FilesFrom.end());
  EXPECT_EQ(lists, row.Options.FilesFrom);
  EXPECT_EQ(command.Options.Help, row.Options.Help);
  EXPECT_EQ(command.Options.Version, row.Options.Version);
  std::vector<std::string> paths(command.Paths.begin(), command.Paths.end());
  EXPECT_EQ(paths, row.Paths);
}

INSTANTIATE_TEST_SUITE_P(Cases, InfoCommandLine, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
