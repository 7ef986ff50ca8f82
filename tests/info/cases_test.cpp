// SPDX-License-Identifier: MIT
// Runs the built tamsik-info over the case table. The same runner checks the Windows program under
// Wine: the environment names the program, the wrapper that starts it and the target.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/info/fixtures.h"
#include "tests/support/process.h"

namespace fs = std::filesystem;

namespace {

struct TInfoCase {
  std::string Name;
  std::vector<std::string> Arguments;
  int Status = 0;
  std::vector<std::string> Fragments;
};

void PrintTo(const TInfoCase& row, std::ostream* out) { *out << row.Name; }

std::string Trim(const std::string& text) {
  auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  for (std::size_t at = 0;;) {
    std::size_t next = text.find(separator, at);
    parts.push_back(Trim(text.substr(at, next - at)));
    if (next == std::string::npos) return parts;
    at = next + separator.size();
  }
}

std::vector<TInfoCase> LoadCases(const std::string& path) {
  std::ifstream file(path);
  std::vector<TInfoCase> cases;
  for (std::string line; std::getline(file, line);) {
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    std::vector<std::string> columns = Split(line, "|");
    if (columns.size() != 4) throw std::runtime_error("bad case row: " + line);
    TInfoCase row{columns[0], {}, std::stoi(columns[2]), Split(columns[3], ";;")};
    std::stringstream words(columns[1]);
    for (std::string word; words >> word;) row.Arguments.push_back(word);
    cases.push_back(row);
  }
  return cases;
}

std::string Env(const char* name, const std::string& fallback = "") {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

struct TTarget {
  std::string Program = Env("TAMSIK_INFO_CASES_PROGRAM", TAMSIK_INFO_PROGRAM);
  std::string Wrapper = Env("TAMSIK_INFO_CASES_WRAPPER");  // e.g. wine64; empty for native
};

// The fixtures, the tree and the lists, made once for the whole run.
class TCaseFolder : public testing::Environment {
 public:
  static inline fs::path Folder;
  void SetUp() override {
    Folder = fs::temp_directory_path() / ("tamsik-info-cases-" + std::to_string(getpid()));
    fs::create_directories(Folder / "tree" / "sub");
    WriteInfoFixtures(Folder.string());
    for (const char* name : {"A.exe", "b.exe", "sub/c.exe"})
      fs::copy_file(Folder / "program.exe", Folder / "tree" / name);
    fs::copy_file(Folder / "library.dll", Folder / "tree" / "a.dll");
    fs::copy_file(Folder / "notes.txt", Folder / "tree" / "sub" / "notes.txt");
    std::ofstream(Folder / "lines.txt", std::ios::binary)
        << "program.exe\r\n\r\nnotes.txt\r\nplain.exe";
    std::ofstream(Folder / "separated.txt", std::ios::binary)
        << std::string("library.dll\0narrow.exe\0", 23);
  }
  void TearDown() override { fs::remove_all(Folder); }
};

class InfoCases : public testing::TestWithParam<TInfoCase> {};

TEST_P(InfoCases, Output) {
  const TInfoCase& row = GetParam();
  TTarget target;
  TProcessRequest request;
  request.WorkingDirectory = TCaseFolder::Folder.string();
  if (!target.Wrapper.empty()) request.Argv.push_back(target.Wrapper);
  request.Argv.push_back(target.Program);
  request.Argv.insert(request.Argv.end(), row.Arguments.begin(), row.Arguments.end());
  TProcessResult result = RunProcess(request);
  // Wine now and then fails to start a program at all: one more try tells that from a fault.
  if (!target.Wrapper.empty() && result.Stdout.empty() && result.ExitStatus != row.Status)
    result = RunProcess(request);
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.ExitStatus, row.Status) << result.Stderr;
  // The Windows walk joins names with backslashes, which JSON doubles.
  std::string out = result.Stdout;
  for (std::size_t at; (at = out.find("\\\\")) != std::string::npos;) out.replace(at, 2, "/");
  std::replace(out.begin(), out.end(), '\\', '/');
  std::size_t at = 0;
  for (const std::string& fragment : row.Fragments) {
    std::size_t found = out.find(fragment, at);
    ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << fragment << "\n" << out;
    at = found + fragment.size();
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, InfoCases, testing::ValuesIn(LoadCases(TAMSIK_INFO_CASES)),
                         [](const testing::TestParamInfo<TInfoCase>& info) {
                           return info.param.Name;
                         });

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new TCaseFolder);
  return RUN_ALL_TESTS();
}
