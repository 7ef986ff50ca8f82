// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "tests/support/image_builder.h"
#include "tests/support/temp_folder.h"
#include "versioninfo/versioninfo.h"

namespace {

const std::vector<std::pair<std::string, std::string>> kAllStrings = {
    {"CompanyName", "Acme"},         {"FileDescription", "Tool"},   {"FileVersion", "1.2.3.4"},
    {"Full Version", "1.2.3 full"},  {"InternalName", "tool"},      {"LegalCopyright", "(c) Acme"},
    {"LegalTrademarks", "Acme(tm)"}, {"OriginalFilename", "t.exe"}, {"ProductName", "Tool"},
    {"ProductVersion", "1.2"},       {"Comments", "caf\xc3\xa9"},   {"SpecialBuild", "special"},
    {"PrivateBuild", "private"}};

TBytes Image(const TVersionLayout& layout, bool dll = false) {
  TPeLayout pe;
  pe.Dll = dll;
  pe.Resources = {{16, std::nullopt, 1, 0x409, BuildVersionTree(StandardTree(layout))}};
  return BuildPe(pe).Bytes;
}

TVersionLayout Sample(std::vector<std::pair<std::string, std::string>> strings = kAllStrings) {
  TVersionLayout layout;
  layout.Strings = std::move(strings);
  layout.Fixed = {0x3F, 0x3F, 3, 4};
  return layout;
}

// What Sample()'s fixed information gives: every flag, and the display driver type.
void SetSpecFixed(TFileVersionInfo& info) {
  info.FileType = "Display Driver";
  info.IsDebug = info.IsPreRelease = info.IsSpecialBuild = true;
  info.IsPrivateBuild = info.IsPatched = info.IsInfoInferred = true;
}

TEST(Reader, FillsEveryFieldInOneRead) {
  TTempFolder folder;
  std::string path = folder.Write("tool.exe", Image(Sample()));
  TFileVersionInfo info;
  EXPECT_EQ(ReadFileVersionInfoTraced(path, info, VersionReaderVariant::Standard),
            TReadStop::Complete);
  TFileVersionInfo expected{.TypeName = "Application",
                            .CompanyName = "Acme",
                            .FileDescription = "Tool",
                            .FileVersion = "1.2.3.4",
                            .InternalName = "tool",
                            .LegalCopyRight = "(c) Acme",
                            .LegalTradeMarks = "Acme(tm)",
                            .OriginalFileName = "t.exe",
                            .ProductName = "Tool",
                            .ProductVersion = "1.2",
                            .Comments = "caf\xc3\xa9",
                            .SpecialBuild = "special",
                            .PrivateBuild = "private",
                            .FileType = "Display Driver",
                            .IsDebug = true,
                            .IsPreRelease = true,
                            .IsSpecialBuild = true,
                            .IsPrivateBuild = true,
                            .IsPatched = true,
                            .IsInfoInferred = true};
  EXPECT_EQ(info, expected);

  // The Full variant changes only where FileVersion comes from.
  ReadFileVersionInfo(path, info, VersionReaderVariant::Full);
  expected.FileVersion = "1.2.3 full";
  EXPECT_EQ(info, expected);
}

TEST(Reader, FullVariantIgnoresTheStandardFileVersion) {
  TTempFolder folder;
  std::string path = folder.Write("tool.exe", Image(Sample({{"FileVersion", "1.2.3.4"}})));
  TFileVersionInfo info;
  ReadFileVersionInfo(path, info, VersionReaderVariant::Full);
  EXPECT_EQ(info.FileVersion, "");
  ReadFileVersionInfo(path, info, VersionReaderVariant::Standard);
  EXPECT_EQ(info.FileVersion, "1.2.3.4");
}

TEST(Reader, OnlyTheFirstTranslationCounts) {
  TTempFolder folder;
  TVersionLayout layout = Sample({{"ProductVersion", "1.2"}});
  layout.TableName = "040704B0";
  layout.Translations = {0x04B00409, 0x04B00407};
  TFileVersionInfo info;
  EXPECT_EQ(ReadFileVersionInfoTraced(folder.Write("a.exe", Image(layout)), info,
                                      VersionReaderVariant::Standard),
            TReadStop::Complete);
  EXPECT_EQ(info.ProductVersion, "");
  layout.Translations = {0x04B00407, 0x04B00409};
  ReadFileVersionInfo(folder.Write("b.exe", Image(layout)), info);
  EXPECT_EQ(info.ProductVersion, "1.2");
}

TEST(Reader, ReadingAgainLeavesNothingOfTheEarlierFile) {
  TTempFolder folder;
  TFileVersionInfo info;
  ReadFileVersionInfo(folder.Write("full.exe", Image(Sample())), info);
  ASSERT_TRUE(info.IsDebug);
  TVersionLayout sparse = Sample({{"CompanyName", "Other"}});
  sparse.Fixed = {0, 0, 0, 0};
  ReadFileVersionInfo(folder.Write("sparse.exe", Image(sparse)), info);
  TFileVersionInfo expected;
  expected.TypeName = "Application";
  expected.CompanyName = "Other";
  expected.FileType = "Unknown";
  EXPECT_EQ(info, expected);
  ReadFileVersionInfo((folder.Path() / "missing.exe").string(), info);
  EXPECT_EQ(info, TFileVersionInfo{});
}

struct TStopCase {
  const char* Name;
  std::function<std::string(const TTempFolder&)> Make;
  TReadStop Stop;
  std::string TypeName;
  bool FixedRead = false;
};

class ReaderStops : public testing::TestWithParam<TStopCase> {};

TEST_P(ReaderStops, WhereItsInputEnds) {
  TTempFolder folder;
  TFileVersionInfo info;
  info.ProductVersion = "stale";
  EXPECT_EQ(
      ReadFileVersionInfoTraced(GetParam().Make(folder), info, VersionReaderVariant::Standard),
      GetParam().Stop);
  EXPECT_EQ(info.TypeName, GetParam().TypeName);
  // No string is read, and the fixed information only when the version data was.
  TFileVersionInfo expected;
  expected.TypeName = GetParam().TypeName;
  if (GetParam().FixedRead) SetSpecFixed(expected);
  EXPECT_EQ(info, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stops, ReaderStops,
    testing::Values(
        // The shell does not report a DLL as a program: its version data is never looked at.
        TStopCase{"dll",
                  [](const TTempFolder& f) { return f.Write("lib.dll", Image(Sample(), true)); },
                  TReadStop::NotExecutable, "Application extension"},
        TStopCase{"text",
                  [](const TTempFolder& f) {
                    return f.Write("notes.txt", {'h', 'i'});
                  },
                  TReadStop::NotExecutable, "TXT File"},
        TStopCase{"no_version_data",
                  [](const TTempFolder& f) {
                    TPeLayout pe;
                    return f.Write("bare.exe", BuildPe(pe).Bytes);
                  },
                  TReadStop::NoVersionInfo, "Application"},
        TStopCase{"no_translation",
                  [](const TTempFolder& f) {
                    TVersionLayout s = Sample();
                    s.Translations = {};
                    return f.Write("t.exe", Image(s));
                  },
                  TReadStop::NoTranslation, "Application", true},
        TStopCase{"empty_translation",
                  [](const TTempFolder& f) {
                    TBlockLayout root = StandardTree(Sample());
                    root.Children[1].Children[0].Value = {1, 2};
                    root.Children[1].Children[0].ValueLength = 2;
                    TPeLayout pe;
                    pe.Resources = {{16, std::nullopt, 1, 0x409, BuildVersionTree(root)}};
                    return f.Write("t.exe", BuildPe(pe).Bytes);
                  },
                  TReadStop::NoTranslation, "Application", true},
        TStopCase{"missing",
                  [](const TTempFolder& f) { return (f.Path() / "missing.exe").string(); },
                  TReadStop::NotExecutable, ""}),
    [](const testing::TestParamInfo<TStopCase>& info) { return info.param.Name; });

TEST(Reader, TranslationNamingNoTableReadsNoStrings) {
  TTempFolder folder;
  TVersionLayout layout = Sample();
  layout.Translations = {0x04E40407};
  TFileVersionInfo info;
  EXPECT_EQ(ReadFileVersionInfoTraced(folder.Write("a.exe", Image(layout)), info,
                                      VersionReaderVariant::Standard),
            TReadStop::Complete);
  EXPECT_EQ(info.CompanyName, "");
  EXPECT_EQ(info.ProductVersion, "");
  EXPECT_TRUE(info.IsDebug);
}

TEST(Reader, ShortRootValueGivesNoFlagsOrType) {
  TTempFolder folder;
  TBlockLayout root = StandardTree(Sample());
  root.Value.resize(40);
  root.ValueLength = 40;
  TPeLayout pe;
  pe.Resources = {{16, std::nullopt, 1, 0x409, BuildVersionTree(root)}};
  TFileVersionInfo info;
  ReadFileVersionInfo(folder.Write("a.exe", BuildPe(pe).Bytes), info);
  EXPECT_EQ(info.ProductVersion, "1.2");
  EXPECT_EQ(info.FileType, "");
  EXPECT_FALSE(info.IsDebug);
}

}  // namespace
