// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "tamsik/arguments.h"
#include "tamsik/compare.h"
#include "tamsik/existence.h"
#include "tests/support/image_builder.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr TCompareSettings kProduct{VersionReaderVariant::Standard,
                                    &TFileVersionInfo::ProductVersion};

TEST(Existence, NamesAreLiteralAndFoldersAreNotFiles) {
  TTempFolder folder;
  std::string file = folder.Write("app-1.2.exe", {'x'});
  std::string pattern = (folder.Path() / "app-1.?.exe").string();
  std::string star = folder.Write("a*b.exe", {'x'});
  EXPECT_TRUE(NamesExistingFile(file));
  EXPECT_TRUE(NamesExistingFile(star));
  EXPECT_FALSE(NamesExistingFile(pattern));
  EXPECT_FALSE(NamesExistingFile(folder.Path().string()));
  EXPECT_FALSE(NamesExistingFile(""));
  EXPECT_FALSE(NamesExistingFile((folder.Path() / "missing").string()));
  // An argument too long to name a file is never cut down to one that does.
  std::string longPath = file + std::string(kMaxArgumentBytes, '/');
  EXPECT_FALSE(NamesExistingFile(longPath));
}

TEST(CompareVersionField, AnswersOnlyForExactlyTwoExistingFiles) {
  TTempFolder folder;
  TVersionLayout layout;
  layout.Strings = {{"ProductVersion", "1.2"}};
  std::string a =
      folder.Write("a.exe", ProgramWithVersion(BuildVersionTree(StandardTree(layout))).Bytes);
  std::string b = folder.Write(
      "b.exe", ProgramWithVersion(BuildVersionTree(StandardTree(layout)), TPeKind::Pe32Plus).Bytes);
  EXPECT_EQ(CompareVersionField(kProduct, {a, b}), "=");
  EXPECT_EQ(CompareVersionField(kProduct, {}), "0");
  EXPECT_EQ(CompareVersionField(kProduct, {a}), "0");
  EXPECT_EQ(CompareVersionField(kProduct, {a, b, b}), "0");
  EXPECT_EQ(CompareVersionField(kProduct, {a, folder.Path().string()}), "0");
}

TEST(ProgramArguments, EmptyArgumentsAreNotCounted) {
  std::vector<std::string> words = {"tamsik", "", "a.exe", "", "b.exe"};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  EXPECT_EQ(ProgramArguments(static_cast<int>(argv.size()), argv.data()),
            (std::vector<std::string>{"a.exe", "b.exe"}));
}

}  // namespace
