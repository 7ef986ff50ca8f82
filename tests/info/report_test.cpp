// SPDX-License-Identifier: MIT
#include "tamsik-info/report.h"

#include <gtest/gtest.h>

#include <set>

#include "tamsik-info/record_fields.h"
#include "tamsik-info/stop_text.h"

namespace {

TFileVersionInfo SampleRecord() {
  TFileVersionInfo info;
  info.TypeName = "Application";
  info.CompanyName = "Acme";
  info.FileVersion = "1.2.3.4";
  info.ProductName = "line\nbreak";
  info.ProductVersion = "1.2";
  info.FileType = "Application";
  info.IsDebug = true;
  info.IsInfoInferred = true;
  return info;
}

TInfoRecord SampleReport() {
  TInfoRecord record;
  record.Stop = TInfoStop::Complete;
  record.Info = SampleRecord();
  record.Extras.Executable = true;
  record.Extras.FileVersionNumber = "1.2.3.4";
  record.Extras.ProductVersionNumber = "65535.0.0.1";
  record.Extras.Translations = {"040904B0", "04070000"};
  return record;
}

TInfoRecord NotFound() { return TInfoRecord{}; }

TEST(TextReport, AlignsEveryFieldInRecordOrder) {
  std::string out;
  AppendTextReport(out, "dir/a.exe", SampleReport());
  EXPECT_EQ(out,
            "Path:             dir/a.exe\n"
            "Read:             read whole\n"
            "TypeName:         Application\n"
            "Executable:       yes\n"
            "CompanyName:      Acme\n"
            "FileDescription:\n"
            "FileVersion:      1.2.3.4\n"
            "InternalName:\n"
            "LegalCopyRight:\n"
            "LegalTradeMarks:\n"
            "OriginalFileName:\n"
            "ProductName:      line\\x0abreak\n"
            "ProductVersion:   1.2\n"
            "Comments:\n"
            "SpecialBuild:\n"
            "PrivateBuild:\n"
            "FileType:         Application\n"
            "FileVersionNumber: 1.2.3.4\n"
            "ProductVersionNumber: 65535.0.0.1\n"
            "IsDebug:          yes\n"
            "IsPreRelease:     no\n"
            "IsSpecialBuild:   no\n"
            "IsPrivateBuild:   no\n"
            "IsPatched:        no\n"
            "IsInfoInferred:   yes\n"
            "Translations:     040904B0 04070000\n");
}

TEST(TextReport, MissingFileShowsNoFields) {
  std::string out;
  AppendTextReport(out, "gone.exe", NotFound());
  EXPECT_EQ(out,
            "Path:             gone.exe\n"
            "Read:             file not found\n"
            "Hint:             " +
                std::string(StopHint(TInfoStop::NotFound, {}, "gone.exe")) + "\n");
}

TEST(TextReport, AppendsToWhatIsThere) {
  std::string out = "before\n";
  AppendTextReport(out, "gone.exe", NotFound());
  EXPECT_EQ(out.rfind("before\nPath:", 0), 0u);
}

TEST(JsonReport, OneLineWithEveryKey) {
  std::string out;
  AppendJsonReport(out, "dir/\"a\".exe", SampleReport());
  EXPECT_EQ(
      out,
      R"({"Path":"dir/\"a\".exe","Stop":"Complete","TypeName":"Application","Executable":true,)"
      R"("CompanyName":"Acme","FileDescription":"","FileVersion":"1.2.3.4",)"
      R"("InternalName":"","LegalCopyRight":"","LegalTradeMarks":"","OriginalFileName":"",)"
      R"("ProductName":"line\nbreak","ProductVersion":"1.2","Comments":"","SpecialBuild":"",)"
      R"("PrivateBuild":"","FileType":"Application","FileVersionNumber":"1.2.3.4",)"
      R"("ProductVersionNumber":"65535.0.0.1","IsDebug":true,"IsPreRelease":false,)"
      R"("IsSpecialBuild":false,"IsPrivateBuild":false,"IsPatched":false,"IsInfoInferred":true,)"
      R"("Translations":["040904B0","04070000"]})"
      "\n");
}

TEST(JsonReport, MissingFileKeepsEveryKey) {
  std::string out;
  AppendJsonReport(out, "gone.exe", NotFound());
  EXPECT_EQ(
      out.rfind(R"({"Path":"gone.exe","Stop":"NotFound","TypeName":"","Executable":false,)", 0),
      0u);
  EXPECT_NE(out.find(R"("IsInfoInferred":false,"Translations":[]})"), std::string::npos);
}

TEST(CsvReport, HeaderNamesTheJsonKeysInOrder) {
  std::string header, json;
  AppendCsvHeader(header);
  // No translations, so every ',"' starts a key.
  AppendJsonReport(json, "a.exe", NotFound());
  std::vector<std::string> keys;
  for (std::size_t at = json.find("{\""); at != std::string::npos; at = json.find(",\"", at + 1)) {
    std::size_t start = at + 2;
    keys.push_back(json.substr(start, json.find('"', start) - start));
  }
  std::string joined;
  for (const std::string& key : keys) joined += (joined.empty() ? "" : ",") + key;
  EXPECT_EQ(header, joined + "\r\n");
}

TEST(CsvReport, OneRowWithEveryColumn) {
  std::string out;
  AppendCsvReport(out, "dir/a b.exe", SampleReport());
  EXPECT_EQ(out,
            "\"dir/a b.exe\",Complete,Application,true,Acme,,1.2.3.4,,,,,\"line\nbreak\",1.2,,,,"
            "Application,1.2.3.4,65535.0.0.1,true,false,false,false,false,true,"
            "\"040904B0 04070000\"\r\n");
  out.clear();
  AppendCsvReport(out, "gone.exe", NotFound());
  EXPECT_EQ(out,
            "gone.exe,NotFound,,false,,,,,,,,,,,,,,,,false,false,false,false,false,false,\r\n");
}

// Every one of the comparers' fields appears once, in record order, among the output fields.
TEST(OutputFields, HoldTheRecordInOrderAndNamesOnce) {
  std::vector<const TRecordField*> reached;
  std::set<std::string> names;
  for (const TOutputField& field : kOutputFields) {
    if (field.Record) reached.push_back(field.Record);
    EXPECT_TRUE(names.insert(NameOf(field)).second) << NameOf(field);
  }
  ASSERT_EQ(reached.size(), std::size(kRecordFields));
  for (std::size_t i = 0; i < reached.size(); ++i) EXPECT_EQ(reached[i], &kRecordFields[i]);
}

// Each field of the table reaches its own member of the record, and every member is reached.
TEST(RecordFields, CoverTheRecordInOrder) {
  TFileVersionInfo byTable;
  std::vector<std::string> names;
  for (const TRecordField& field : kRecordFields) {
    names.push_back(field.Name);
    ASSERT_NE(field.Text == nullptr, field.Flag == nullptr) << field.Name;
    if (field.Text)
      byTable.*field.Text = field.Name;
    else
      byTable.*field.Flag = true;
  }
  TFileVersionInfo byHand{"TypeName",
                          "CompanyName",
                          "FileDescription",
                          "FileVersion",
                          "InternalName",
                          "LegalCopyRight",
                          "LegalTradeMarks",
                          "OriginalFileName",
                          "ProductName",
                          "ProductVersion",
                          "Comments",
                          "SpecialBuild",
                          "PrivateBuild",
                          "FileType",
                          true,
                          true,
                          true,
                          true,
                          true,
                          true};
  EXPECT_EQ(byTable, byHand);
  EXPECT_EQ(names, (std::vector<std::string>{
                       "TypeName",       "CompanyName",    "FileDescription", "FileVersion",
                       "InternalName",   "LegalCopyRight", "LegalTradeMarks", "OriginalFileName",
                       "ProductName",    "ProductVersion", "Comments",        "SpecialBuild",
                       "PrivateBuild",   "FileType",       "IsDebug",         "IsPreRelease",
                       "IsSpecialBuild", "IsPrivateBuild", "IsPatched",       "IsInfoInferred"}));
}

struct TStopCase {
  const char* Name;
  TInfoStop Stop;
  TFileVersionInfo Info;
  const char* Path;
  const char* Token;
  const char* Words;
  const char* HintHolds;  // nullptr: no hint
};

TFileVersionInfo WithTypeName(const char* typeName) {
  TFileVersionInfo info;
  info.TypeName = typeName;
  return info;
}

TFileVersionInfo WithoutStrings() {
  TFileVersionInfo info = WithTypeName("Application");
  info.FileType = "Application";
  info.IsDebug = true;
  return info;
}

TFileVersionInfo WithOneString() {
  TFileVersionInfo info;
  info.PrivateBuild = "x";
  return info;
}

const TStopCase kStopCases[] = {
    {"not_found",
     TInfoStop::NotFound,
     {},
     "a.exe",
     "NotFound",
     "file not found",
     "directory counts"},
    {"dll_by_type_name", TInfoStop::NotExecutable, WithTypeName("Application extension"), "lib",
     "NotExecutable", "stopped: not reported as an executable", "two DLLs compare \"=\""},
    {"dll_by_extension", TInfoStop::NotExecutable, WithTypeName("dll file"), "dir/LIB.Dll",
     "NotExecutable", "stopped: not reported as an executable", "two DLLs compare \"=\""},
    {"other_file", TInfoStop::NotExecutable, WithTypeName("TXT File"), "dll", "NotExecutable",
     "stopped: not reported as an executable", "only from files the shell reports as executables"},
    {"no_version_info", TInfoStop::NoVersionInfo, WithTypeName("Application"), "a.dll",
     "NoVersionInfo", "stopped: no version information", "no version resource"},
    {"no_translation", TInfoStop::NoTranslation, WithTypeName("Application"), "a.exe",
     "NoTranslation", "stopped: no translation table", "lists no translation"},
    {"type_and_flags_are_no_strings", TInfoStop::Complete, WithoutStrings(), "a.exe", "Complete",
     "read whole", "names a string table the file lacks"},
    {"last_string_counts", TInfoStop::Complete, WithOneString(), "a.exe", "Complete", "read whole",
     nullptr},
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const TStopCase& row, std::ostream* out) { *out << row.Name; }

class StopText : public testing::TestWithParam<TStopCase> {};

TEST_P(StopText, TokenWordsAndHint) {
  const TStopCase& row = GetParam();
  EXPECT_EQ(StopToken(row.Stop), row.Token);
  EXPECT_EQ(StopWords(row.Stop), row.Words);
  std::string_view hint = StopHint(row.Stop, row.Info, row.Path);
  if (row.HintHolds)
    EXPECT_NE(hint.find(row.HintHolds), std::string_view::npos) << hint;
  else
    EXPECT_TRUE(hint.empty()) << hint;
}

INSTANTIATE_TEST_SUITE_P(Cases, StopText, testing::ValuesIn(kStopCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
