// SPDX-License-Identifier: MIT
// The built tamsik-info over crafted files: what it prints and the status it ends with.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "tests/info/fixtures.h"
#include "tests/support/process.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct TRun {
  int Status = -1;
  std::string Out, Err;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class InfoProgram : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Temp = std::make_unique<TTempFolder>();
    Folder = Temp->Path();
    Fixtures = WriteInfoFixtures(Folder.string());
  }
  static void TearDownTestSuite() { Temp.reset(); }

  // Runs the program in the fixture folder with the arguments split at blanks; a last word
  // "<name" gives the file standard input comes from.
  static TRun Run(const std::string& arguments, TStdout output = TStdout::Capture) {
    TProcessRequest request;
    request.Argv = {TAMSIK_INFO_PROGRAM};
    std::istringstream words(arguments);
    for (std::string word; words >> word;) {
      if (word.size() > 1 && word[0] == '<')
        request.StdinFile = word.substr(1);
      else
        request.Argv.push_back(word);
    }
    request.WorkingDirectory = Folder.string();
    request.Stdout = output;
    TProcessResult result = RunProcess(request);
    EXPECT_TRUE(result.Started && !result.TimedOut) << arguments;
    return {result.ExitStatus, result.Stdout, result.Stderr};
  }

  static std::string AllNames() {
    std::string names;
    for (const TInfoFixture& fixture : Fixtures) names += fixture.Name + " ";
    return names;
  }

  static inline std::unique_ptr<TTempFolder> Temp;
  static inline fs::path Folder;
  static inline std::vector<TInfoFixture> Fixtures;
};

TEST_F(InfoProgram, JsonLineForEveryFileWithItsStop) {
  TRun run = Run("--json " + AllNames());
  EXPECT_EQ(run.Status, 1) << "one fixture is missing";
  EXPECT_EQ(run.Err, "");
  std::vector<std::string> lines = Lines(run.Out);
  ASSERT_EQ(lines.size(), Fixtures.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const TInfoFixture& fixture = Fixtures[i];
    std::string start = R"({"Path":")" + fixture.Name + R"(","Stop":")" + fixture.Stop + "\",";
    EXPECT_EQ(lines[i].rfind(start, 0), 0u) << lines[i];
  }
}

TEST_F(InfoProgram, TextShowsTheWholeRecord) {
  TRun run = Run("program.exe");
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out,
            "Path:             program.exe\n"
            "Read:             read whole\n"
            "TypeName:         Application\n"
            "Executable:       yes\n"
            "CompanyName:      Acme Ünïcode\n"
            "FileDescription:  tab\\x09here\n"
            "FileVersion:      1.2.3.4\n"
            "InternalName:\n"
            "LegalCopyRight:\n"
            "LegalTradeMarks:\n"
            "OriginalFileName:\n"
            "ProductName:      say \"hi\" C:\\x\n"
            "ProductVersion:   1.2\n"
            "Comments:\n"
            "SpecialBuild:\n"
            "PrivateBuild:\n"
            "FileType:         Application\n"
            "FileVersionNumber: 1.2.3.4\n"
            "ProductVersionNumber: 65535.5.6.7\n"
            "IsDebug:          yes\n"
            "IsPreRelease:     yes\n"
            "IsSpecialBuild:   no\n"
            "IsPrivateBuild:   no\n"
            "IsPatched:        no\n"
            "IsInfoInferred:   no\n"
            "Translations:     040904B0 04070000\n");
}

TEST_F(InfoProgram, FullReadsTheFullVersionIntoFileVersion) {
  TRun run = Run("--full --json program.exe");
  EXPECT_EQ(run.Status, 0);
  EXPECT_NE(run.Out.find(R"x("FileVersion":"1.2.3.4 (build 77)")x"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find(R"("ProductName":"say \"hi\" C:\\x")"), std::string::npos) << run.Out;
}

TEST_F(InfoProgram, InvalidBytesStayValidJson) {
  TRun run = Run("--json narrow.exe");
  EXPECT_EQ(run.Status, 0);
  EXPECT_NE(run.Out.find(R"("ProductVersion":"1.0\udcff")"), std::string::npos) << run.Out;
}

TEST_F(InfoProgram, HintsNameTheReason) {
  struct TRow {
    const char* File;
    const char* Read;
    const char* Hint;
  };
  const TRow rows[] = {
      {"library.dll", "stopped: not reported as an executable", "two DLLs compare \"=\""},
      {"notes.txt", "stopped: not reported as an executable", "shell reports as executables"},
      {"plain.exe", "stopped: no version information", "no version resource"},
      {"untranslated.exe", "stopped: no translation table", "lists no translation"},
      {"elsewhere.exe", "read whole", "names a string table the file lacks"},
      {"missing.exe", "file not found", "answer 0 when a file is missing"},
  };
  for (const TRow& row : rows) {
    TRun run = Run(row.File);
    std::vector<std::string> lines = Lines(run.Out);
    ASSERT_GE(lines.size(), 3u) << row.File;
    EXPECT_EQ(lines[1], std::string("Read:             ") + row.Read) << row.File;
    EXPECT_EQ(lines[2].rfind("Hint:             ", 0), 0u) << row.File;
    EXPECT_NE(lines[2].find(row.Hint), std::string::npos) << lines[2];
  }
}

TEST_F(InfoProgram, BlankLineBetweenFilesOnly) {
  TRun run = Run("missing.exe plain.exe");
  std::vector<std::string> lines = Lines(run.Out);
  ASSERT_EQ(lines.size(), 3u + 1u + 27u);
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "Path:             plain.exe");
  EXPECT_NE(run.Out.substr(run.Out.size() - 2), "\n\n");
}

TEST_F(InfoProgram, ExitStatuses) {
  struct TRow {
    const char* Arguments;
    int Status;
    const char* OutStart;  // nullptr: nothing on standard output
    bool OneErrorLine;
  };
  const TRow rows[] = {
      {"program.exe library.dll notes.txt", 0, "Path:", false},
      {"program.exe missing.exe", 1, "Path:", false},
      {"-- --json", 1, "Path:             --json\nRead:             file not found", false},
      {"", 2, nullptr, true},
      {"--bogus program.exe", 2, nullptr, true},
      {"--help", 0, "Usage: tamsik-info", false},
      {"--version", 0, "tamsik-info " TAMSIK_VERSION "\n", false},
  };
  for (const TRow& row : rows) {
    TRun run = Run(row.Arguments);
    EXPECT_EQ(run.Status, row.Status) << row.Arguments;
    if (row.OutStart)
      EXPECT_EQ(run.Out.rfind(row.OutStart, 0), 0u) << row.Arguments << ":\n" << run.Out;
    else
      EXPECT_EQ(run.Out, "") << row.Arguments;
    if (row.OneErrorLine) {
      EXPECT_EQ(run.Err.rfind("tamsik-info: ", 0), 0u) << run.Err;
      EXPECT_EQ(Lines(run.Err).size(), 1u) << run.Err;
    } else {
      EXPECT_EQ(run.Err, "") << row.Arguments;
    }
  }
}

TEST_F(InfoProgram, UnwritableOutputIsReported) {
  TRun run = Run("program.exe", TStdout::DevFull);
  EXPECT_EQ(run.Status, 2);
  EXPECT_EQ(run.Err.rfind("tamsik-info: cannot write", 0), 0u) << run.Err;
}

// The "Path" of each JSON line, with the JSON escapes the names below need undone.
std::vector<std::string> JsonPaths(const std::string& out) {
  std::vector<std::string> paths;
  for (const std::string& line : Lines(out)) {
    const std::string start = R"({"Path":")";
    if (line.rfind(start, 0) != 0) continue;
    std::string path = line.substr(start.size(), line.find("\",\"Stop\"") - start.size());
    for (auto [from, to] : {std::pair<std::string, std::string>{"\\n", "\n"}, {"\\udcff", "\xFF"}})
      for (std::size_t at; (at = path.find(from)) != std::string::npos;)
        path.replace(at, from.size(), to);
    paths.push_back(path);
  }
  return paths;
}

// A tree with every kind of entry a walk meets; "locked" cannot be read by anyone but root.
void MakeTree(const fs::path& tree, const fs::path& fixtures) {
  fs::create_directories(tree / "sub");
  fs::create_directories(tree / "locked");
  for (const char* name : {"b.exe", "A.exe", "new\nline.exe", "bad\xFF.exe", "sub/c.exe"})
    fs::copy_file(fixtures / "program.exe", tree / name);
  fs::copy_file(fixtures / "library.dll", tree / "a.dll");
  fs::copy_file(fixtures / "notes.txt", tree / "sub" / "notes.txt");
  fs::copy_file(fixtures / "program.exe", tree / "locked" / "x.exe");
  fs::create_symlink("../program.exe", tree / "z link");
  fs::create_symlink("..", tree / "loop");
  fs::create_symlink("no-such-target", tree / "broken");
  mkfifo((tree / "fifo").c_str(), 0644);
  fs::permissions(tree / "locked", fs::perms::none);
}

TEST_F(InfoProgram, WalkReportsFilesInByteOrderAndGoesOnPastTrouble) {
  fs::path tree = Folder / "tree";
  MakeTree(tree, Folder);
  // Root reads every directory: the walk then runs as nobody, from a copy of the program that
  // nobody may start, in a folder nobody may read.
  TProcessRequest request;
  request.WorkingDirectory = Folder.string();
  std::string program = TAMSIK_INFO_PROGRAM;
  if (geteuid() == 0) {
    request.RunAsUser = 65534;
    program = (Folder / "tamsik-info").string();
    fs::copy_file(TAMSIK_INFO_PROGRAM, program, fs::copy_options::overwrite_existing);
    fs::permissions(Folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec |
                                fs::perms::group_read | fs::perms::others_read);
  }
  request.Argv = {program, "-r", "--json", "tree", "program.exe"};
  TProcessResult run = RunProcess(request);
  fs::permissions(tree / "locked", fs::perms::owner_all);

  EXPECT_EQ(run.ExitStatus, 1) << "an unreadable directory counts";
  EXPECT_EQ(JsonPaths(run.Stdout),
            (std::vector<std::string>{"tree/A.exe", "tree/a.dll", "tree/b.exe", "tree/bad\xFF.exe",
                                      "tree/new\nline.exe", "tree/sub/c.exe", "tree/sub/notes.txt",
                                      "tree/z link", "program.exe"}));
  for (const std::string& line : Lines(run.Stdout)) {
    if (line.find(".exe\"") == std::string::npos) continue;
    EXPECT_NE(line.find(R"("Stop":"Complete")"), std::string::npos) << line;
  }
  std::vector<std::string> messages = Lines(run.Stderr);
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "tamsik-info: tree/broken: not a regular file",
                          "tamsik-info: tree/fifo: not a regular file",
                          "tamsik-info: tree/locked: cannot read directory: Permission denied"}));
}

TEST_F(InfoProgram, DirectoryWithoutRecursiveIsMissing) {
  fs::create_directories(Folder / "folder");
  fs::copy_file(Folder / "program.exe", Folder / "folder" / "inside.exe",
                fs::copy_options::overwrite_existing);
  TRun run = Run("--json folder");
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(JsonPaths(run.Out), std::vector<std::string>{"folder"});
  EXPECT_NE(run.Out.find(R"("Stop":"NotFound")"), std::string::npos);
}

TEST_F(InfoProgram, ListsOfPaths) {
  using namespace std::string_literals;
  struct TRow {
    const char* Name;
    std::string List;
    const char* Arguments;  // the list is the file "list"
    std::vector<std::string> Paths;
    int Status;
  };
  const TRow rows[] = {
      {"lines_empty_ones_skipped_last_without_end",
       "program.exe\n\nnotes.txt\n\nplain.exe",
       "--files-from list",
       {"program.exe", "notes.txt", "plain.exe"},
       0},
      {"windows_line_ends",
       "program.exe\r\nnotes.txt\r\n",
       "--files-from list",
       {"program.exe", "notes.txt"},
       0},
      {"nul_separated_names_with_line_ends",
       "program.exe\0new\nline\0\0"s,
       "-0 --files-from list",
       {"program.exe", "new\nline"},
       1},
      {"standard_input_after_the_arguments",
       "notes.txt\n",
       "--files-from - plain.exe <list",
       {"plain.exe", "notes.txt"},
       0},
      {"empty_list", "", "--files-from list", {}, 0},
      {"missing_list_goes_on", "", "--files-from no-such-list plain.exe", {"plain.exe"}, 1},
  };
  for (const TRow& row : rows) {
    std::ofstream(Folder / "list", std::ios::binary) << row.List;
    TRun run = Run(std::string("--json ") + row.Arguments);
    EXPECT_EQ(run.Status, row.Status) << row.Name << ": " << run.Err;
    EXPECT_EQ(JsonPaths(run.Out), row.Paths) << row.Name;
  }
}

TEST_F(InfoProgram, OverLongListEntryIsSkippedWithAMessage) {
  std::ofstream(Folder / "list", std::ios::binary) << std::string(5000, 'a') << "\nprogram.exe\n";
  TRun run = Run("--json --files-from list");
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(JsonPaths(run.Out), std::vector<std::string>{"program.exe"});
  EXPECT_EQ(run.Err, "tamsik-info: list: entry 1 is longer than 4096 bytes, skipped\n");
}

TEST_F(InfoProgram, AnyFileReadsLibrariesAndKeepsTheShellsAnswer) {
  struct TRow {
    const char* Arguments;
    std::vector<const char*> Holds;
  };
  const TRow rows[] = {
      {"--json library.dll",
       {R"("Stop":"NotExecutable")", R"("Executable":false)", R"("ProductVersion":"")",
        R"("FileVersionNumber":"")", R"("Translations":[])"}},
      {"--json --any-file library.dll",
       {R"("Stop":"Complete")", R"("Executable":false)", R"("ProductVersion":"1.2")",
        R"("FileVersionNumber":"1.2.3.4","ProductVersionNumber":"65535.5.6.7")",
        R"("Translations":["040904B0","04070000"])"}},
      {"--json --any-file program.exe", {R"("Stop":"Complete")", R"("Executable":true)"}},
      {"--json --any-file notes.txt",
       {R"("Stop":"NoVersionInfo")", R"("Executable":false)", R"("FileVersionNumber":"")"}},
      {"--json untranslated.exe",
       {R"("Stop":"NoTranslation")", R"("FileVersionNumber":"1.2.3.4")", R"("Translations":[])"}},
  };
  for (const TRow& row : rows) {
    TRun run = Run(row.Arguments);
    EXPECT_EQ(run.Status, 0) << row.Arguments;
    for (const char* part : row.Holds)
      EXPECT_NE(run.Out.find(part), std::string::npos) << row.Arguments << ": " << part << "\n"
                                                       << run.Out;
  }
}

TEST_F(InfoProgram, CsvHasAHeaderAndOneRowAFile) {
  TRun run = Run("--csv " + AllNames());
  EXPECT_EQ(run.Status, 1);
  std::vector<std::string> rows = Lines(run.Out);
  ASSERT_EQ(rows.size(), Fixtures.size() + 1);
  EXPECT_EQ(rows[0].rfind("Path,Stop,TypeName,Executable,", 0), 0u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].back(), '\r') << "RFC 4180 ends rows in CR LF";
    if (i == 0) continue;
    const TInfoFixture& fixture = Fixtures[i - 1];
    EXPECT_EQ(rows[i].rfind(fixture.Name + "," + fixture.Stop + ",", 0), 0u) << rows[i];
  }
}

// The progress line needs a terminal on standard error and a run of more than a second: the list
// comes through a pipe that stalls for a while after its first path. script(1) gives the program a
// terminal; its own standard output then goes to a file.
TEST_F(InfoProgram, ProgressOnlyOnATerminalAndOnlyForLongRuns) {
  if (std::system("command -v script >/dev/null") != 0) GTEST_SKIP() << "SKIPPED: no script(1)";
  const std::string slowList = "(echo program.exe; sleep 1.3; yes program.exe | head -n 300)";
  const std::string program = "'" TAMSIK_INFO_PROGRAM "' --json --files-from - >records";
  struct TRow {
    const char* Name;
    std::string Command;
    bool Shown;
  };
  const TRow rows[] = {
      {"terminal_and_long", "script -qec \"" + slowList + " | " + program + "\" /dev/null >screen",
       true},
      {"terminal_but_short", "script -qec \"echo program.exe | " + program + "\" /dev/null >screen",
       false},
      {"long_but_a_file", slowList + " | " + program + " 2>screen", false},
  };
  for (const TRow& row : rows) {
    std::string command = "cd '" + Folder.string() + "' && " + row.Command;
    ASSERT_EQ(std::system(command.c_str()), 0) << row.Name;
    std::string screen = ReadAll(Folder / "screen");
    EXPECT_EQ(screen.find(" files/s") != std::string::npos, row.Shown)
        << row.Name << ": " << screen;
    EXPECT_EQ(screen.find("{\"Path\""), std::string::npos) << "records stay off the terminal";
    EXPECT_FALSE(ReadAll(Folder / "records").empty()) << row.Name;
  }
}

}  // namespace
