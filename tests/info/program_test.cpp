// The built tamsik-info over crafted files: what it prints and the status it ends with.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "tests/info/fixtures.h"
#include "tests/support/process.h"
#include "tests/support/temp_folder.h"

namespace {

struct TRun {
  int Status = -1;
  std::string Out, Err;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class InfoProgram : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Folder = std::make_unique<TTempFolder>();
    Fixtures = WriteInfoFixtures(Folder->Path().string());
  }
  static void TearDownTestSuite() { Folder.reset(); }

  // Runs the program in the fixture folder with the arguments split at blanks.
  static TRun Run(const std::string& arguments, TStdout output = TStdout::Capture) {
    TProcessRequest request;
    request.Argv = {TAMSIK_INFO_PROGRAM};
    std::istringstream words(arguments);
    for (std::string word; words >> word;) request.Argv.push_back(word);
    request.WorkingDirectory = Folder->Path().string();
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

  static inline std::unique_ptr<TTempFolder> Folder;
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
            "IsDebug:          yes\n"
            "IsPreRelease:     yes\n"
            "IsSpecialBuild:   no\n"
            "IsPrivateBuild:   no\n"
            "IsPatched:        no\n"
            "IsInfoInferred:   no\n");
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
  ASSERT_EQ(lines.size(), 3u + 1u + 23u);
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

}  // namespace
