// SPDX-License-Identifier: MIT
// Runs the built programs over the case tables. The same runner checks the Windows programs under
// Wine: the environment names the programs, the wrapper that starts them and the target.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

struct TCase {
  std::string Name;
  std::vector<std::string> Arguments;
  std::string Tamsik;
  std::string TamsikFull;
  bool PosixOnly = false;
};

void PrintTo(const TCase& row, std::ostream* out) { *out << row.Name; }

std::string Trim(const std::string& text) {
  auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The rows of a table, each split at '|' into at least minColumns trimmed columns.
std::vector<std::vector<std::string>> LoadRows(const std::string& path, std::size_t minColumns) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot read " + path);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(file, line)) {
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    std::vector<std::string> columns;
    std::stringstream split(line);
    for (std::string column; std::getline(split, column, '|');) columns.push_back(Trim(column));
    if (columns.size() < minColumns) throw std::runtime_error("bad case row: " + line);
    rows.push_back(columns);
  }
  return rows;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::stringstream split(text);
  for (std::string word; split >> word;) words.push_back(word);
  return words;
}

std::vector<TCase> LoadCases(const std::string& path) {
  std::vector<TCase> cases;
  for (const auto& columns : LoadRows(path, 4))
    cases.push_back({columns[0], Words(columns[1]), columns[2], columns[3],
                     columns.size() > 4 && columns[4] == "posix"});
  return cases;
}

struct TInfoCase {
  std::string Name;
  std::vector<std::string> Arguments;
  std::string Line;
};

void PrintTo(const TInfoCase& row, std::ostream* out) { *out << row.Name; }

std::vector<TInfoCase> LoadInfoCases(const std::string& path) {
  std::vector<TInfoCase> cases;
  for (const auto& columns : LoadRows(path, 3))
    cases.push_back({columns[0], Words(columns[1]), columns[2]});
  return cases;
}

std::string Env(const char* name, const std::string& fallback = "") {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

struct TTarget {
  std::string Tamsik = Env("TAMSIK_E2E_TAMSIK", TAMSIK_E2E_TAMSIK);
  std::string TamsikFull = Env("TAMSIK_E2E_TAMSIK_FULL", TAMSIK_E2E_TAMSIK_FULL);
  std::string TamsikInfo = Env("TAMSIK_E2E_TAMSIK_INFO", TAMSIK_E2E_TAMSIK_INFO);
  std::string Fixtures = Env("TAMSIK_E2E_FIXTURES", TAMSIK_E2E_FIXTURES);
  std::string Wrapper = Env("TAMSIK_E2E_WRAPPER");  // e.g. wine64; empty for native programs
  bool Windows = Env("TAMSIK_E2E_TARGET", "posix") == "windows";
};

// Special files live in a folder of their own, made once for the whole run. A special file that
// cannot be made would let its rows answer "0" for the wrong reason (a missing file), so each is
// checked here and the run fails without it.
class TSpecialFiles : public testing::Environment {
 public:
  static inline std::unique_ptr<TTempFolder> Temp;
  static inline fs::path Folder;
  void SetUp() override {
    Temp = std::make_unique<TTempFolder>();
    Folder = Temp->Path();
    // Unreadable files are tried as nobody, who must reach the folder.
    fs::permissions(Folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const fs::path app = fs::path(TTarget().Fixtures) / "app-1.2.exe";
    ASSERT_EQ(mkfifo((Folder / "fifo").c_str(), 0600), 0) << std::strerror(errno);
    int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0) << std::strerror(errno);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string socketPath = (Folder / "socket").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path) << socketPath;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    int bound = bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int bindError = errno;
    close(sock);
    ASSERT_EQ(bound, 0) << std::strerror(bindError);
    fs::copy_file(app, Folder / "unreadable.exe");
    fs::permissions(Folder / "unreadable.exe", fs::perms::none);
    for (auto [name, seconds] :
         {std::pair{"epoch.exe", 0LL}, std::pair{"future.exe", 7258118400LL}}) {
      fs::copy_file(app, Folder / name);
      timespec times[2] = {{seconds, 0}, {seconds, 0}};
      ASSERT_EQ(utimensat(AT_FDCWD, (Folder / name).c_str(), times, 0), 0) << std::strerror(errno);
      // A file system may keep another time than the one set, silently.
      struct stat status {};
      ASSERT_EQ(stat((Folder / name).c_str(), &status), 0);
      ASSERT_EQ(status.st_mtim.tv_sec, seconds) << name << ": the file system keeps another time";
    }
  }
  void TearDown() override { Temp.reset(); }
};

// The argument as the program gets it.
std::string Resolve(const std::string& word) {
  const fs::path& special = TSpecialFiles::Folder;
  if (word == "@empty") return "";
  if (word == "@missing") return "no-such-file.exe";
  if (word == "@folder") return "folder";
  if (word == "@wildcard") return "app-1.?.exe";
  if (word == "@long") return std::string(5000, 'a') + ".exe";
  if (word == "@fifo") return (special / "fifo").string();
  if (word == "@socket") return (special / "socket").string();
  if (word == "@devzero") return "/dev/zero";
  if (word == "@epoch") return (special / "epoch.exe").string();
  if (word == "@future") return (special / "future.exe").string();
  if (word == "@unreadable") return (special / "unreadable.exe").string();
  return word;
}

// Root reads every file, so a case that needs an unreadable one runs as nobody.
constexpr unsigned kNobody = 65534;

std::string CopyInto(const fs::path& file, const fs::path& folder) {
  fs::path copy = folder / file.filename();
  fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
  return copy.string();
}

TProcessResult RunProgram(const TTarget& target, const std::string& program,
                          const std::vector<std::string>& arguments, bool unprivileged) {
  TProcessRequest request;
  request.WorkingDirectory = target.Fixtures;
  std::string executable = program;
  if (unprivileged && geteuid() == 0) {
    // Nobody may not reach the build folder: the program and the fixtures it is given by name go
    // to the special files' folder, and it runs there.
    request.RunAsUser = kNobody;
    request.WorkingDirectory = TSpecialFiles::Folder.string();
    executable = CopyInto(program, TSpecialFiles::Folder);
    for (const std::string& argument : arguments) {
      fs::path fixture = fs::path(target.Fixtures) / argument;
      if (!argument.empty() && fs::path(argument).is_relative() && fs::is_regular_file(fixture))
        CopyInto(fixture, TSpecialFiles::Folder);
    }
  }
  if (!target.Wrapper.empty()) request.Argv.push_back(target.Wrapper);
  request.Argv.push_back(executable);
  request.Argv.insert(request.Argv.end(), arguments.begin(), arguments.end());
  TProcessResult result = RunProcess(request);
  // Wine now and then fails to start a program at all: one more try tells that from a fault.
  if (!target.Wrapper.empty() && result.ExitStatus == 1 && result.Stdout.empty())
    result = RunProcess(request);
  return result;
}

class CaseTable : public testing::TestWithParam<TCase> {};

TEST_P(CaseTable, BothProgramsAnswer) {
  const TCase& row = GetParam();
  TTarget target;
  if (row.PosixOnly && target.Windows) GTEST_SKIP() << "needs a POSIX file kind";
  std::vector<std::string> arguments;
  for (const std::string& word : row.Arguments) {
    arguments.push_back(Resolve(word));
  }
  for (auto [program, expected] :
       {std::pair{target.Tamsik, row.Tamsik}, std::pair{target.TamsikFull, row.TamsikFull}}) {
    bool unprivileged = std::count(row.Arguments.begin(), row.Arguments.end(), "@unreadable") > 0;
    TProcessResult result = RunProgram(target, program, arguments, unprivileged);
    SCOPED_TRACE(program);
    EXPECT_FALSE(result.TimedOut);
    EXPECT_EQ(result.ExitStatus, 0) << result.Stderr;
    EXPECT_EQ(result.Stdout, expected);
    if (target.Wrapper.empty()) {
      EXPECT_EQ(result.Stderr, "");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(E2E, CaseTable, testing::ValuesIn(LoadCases(TAMSIK_E2E_CASES)),
                         [](const testing::TestParamInfo<TCase>& info) { return info.param.Name; });

class InfoTable : public testing::TestWithParam<TInfoCase> {};

// The line must appear whole: a text cut or turned into '?' does not match. The Windows programs
// end their lines with CR LF.
TEST_P(InfoTable, ShowsTheLine) {
  const TInfoCase& row = GetParam();
  TTarget target;
  std::vector<std::string> arguments;
  for (const std::string& word : row.Arguments) arguments.push_back(Resolve(word));
  TProcessResult result = RunProgram(target, target.TamsikInfo, arguments, false);
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.ExitStatus, 0) << result.Stderr;
  std::vector<std::string> lines;
  std::stringstream split(result.Stdout);
  for (std::string line; std::getline(split, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  EXPECT_TRUE(std::find(lines.begin(), lines.end(), row.Line) != lines.end())
      << "no line \"" << row.Line << "\" in:\n"
      << result.Stdout;
}

INSTANTIATE_TEST_SUITE_P(E2E, InfoTable, testing::ValuesIn(LoadInfoCases(TAMSIK_E2E_INFO_CASES)),
                         [](const testing::TestParamInfo<TInfoCase>& info) {
                           return info.param.Name;
                         });

// A lost answer is never reported as success.
TEST(Output, UnwritableStandardOutputFails) {
  TTarget target;
  if (!target.Wrapper.empty()) GTEST_SKIP() << "POSIX output targets";
  for (const std::string& program : {target.Tamsik, target.TamsikFull}) {
    for (TStdout kind : {TStdout::DevFull, TStdout::ClosedPipe}) {
      TProcessRequest request;
      request.Argv = {program, "app-1.2.exe", "app-1.2.exe"};
      request.WorkingDirectory = target.Fixtures;
      request.Stdout = kind;
      TProcessResult result = RunProcess(request);
      SCOPED_TRACE(program);
      EXPECT_EQ(result.ExitStatus, 1);
      EXPECT_NE(result.Stderr.find("standard output"), std::string::npos) << result.Stderr;
      EXPECT_EQ(std::count(result.Stderr.begin(), result.Stderr.end(), '\n'), 1);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (!TTarget().Windows) testing::AddGlobalTestEnvironment(new TSpecialFiles);
  return RUN_ALL_TESTS();
}
