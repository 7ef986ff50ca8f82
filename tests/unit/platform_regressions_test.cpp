// What the platform's own functions answered where ours first answered otherwise, found by the
// differential run under Wine (tests/differential, docs/differential.md). One case a finding.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/winver.h"
#include "tests/support/image_builder.h"

namespace {

class TScratch {
 public:
  TScratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tamsik-regress-XXXXXX").string();
    Path_ = mkdtemp(pattern.data());
  }
  ~TScratch() { std::filesystem::remove_all(Path_); }
  std::string Write(const std::string& name, const TBytes& bytes) const {
    std::string path = Path_ + "/" + name;
    WriteFile(path, bytes);
    return path;
  }

 private:
  std::string Path_;
};

struct TAnswer {
  bool Found = false;
  std::string Text;  // up to the first zero byte
  UINT Length = 0;
};

// Reads the version data of path the way callers do and asks for one sub-block.
TAnswer Query(const std::string& path, const char* subBlock) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  std::vector<std::uint8_t> buffer(size);
  TAnswer answer;
  LPVOID pointer = nullptr;
  if (size == 0 || !GetFileVersionInfoA(path.c_str(), handle, size, buffer.data()) ||
      !VerQueryValueA(buffer.data(), subBlock, &pointer, &answer.Length))
    return answer;
  answer.Found = true;
  answer.Text = static_cast<const char*>(pointer);
  return answer;
}

constexpr const char* kProductVersion = "\\StringFileInfo\\040904B0\\ProductVersion";
constexpr const char* kComments = "\\StringFileInfo\\040904B0\\Comments";

struct TChoiceCase {
  const char* Name;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> Resources;  // name, language; in directory order
  const char* Chosen;  // the Comments string of the chosen one, nullptr for none
};

class VersionResourceChoice : public testing::TestWithParam<TChoiceCase> {};

TEST_P(VersionResourceChoice, FollowsThePlatform) {
  TPeSpec spec;
  for (auto [name, language] : GetParam().Resources) {
    TVersionSpec version;
    version.Strings = {{"Comments", std::to_string(name) + "/" + std::to_string(language)}};
    spec.Resources.push_back({16, std::nullopt, name, language, BuildVersionTree(StandardTree(version))});
  }
  TScratch scratch;
  TAnswer answer = Query(scratch.Write("program.exe", BuildPe(spec).Bytes), kComments);
  if (!GetParam().Chosen) {
    EXPECT_FALSE(answer.Found);
    return;
  }
  ASSERT_TRUE(answer.Found);
  EXPECT_EQ(answer.Text, GetParam().Chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Findings, VersionResourceChoice,
    testing::Values(
        TChoiceCase{"name_other_than_one_is_no_version", {{2, 0x409}}, nullptr},
        TChoiceCase{"one_after_two_is_hidden_from_the_search", {{2, 0x409}, {1, 0x409}}, nullptr},
        TChoiceCase{"one_before_two", {{1, 0x409}, {2, 0x409}}, "1/1033"},
        TChoiceCase{"neutral_out_of_order_is_hidden", {{1, 0x407}, {1, 0x409}, {1, 0}}, "1/1033"},
        TChoiceCase{"english_neutral_after_us_english", {{1, 0x0007}, {1, 0x0009}}, "1/9"},
        TChoiceCase{"us_english_before_english_neutral", {{1, 0x0009}, {1, 0x0409}}, "1/1033"},
        TChoiceCase{"british_english_is_not_preferred", {{1, 0x0407}, {1, 0x0809}}, "1/1031"}),
    [](const testing::TestParamInfo<TChoiceCase>& info) { return info.param.Name; });

TEST(VersionResourceChoice, NamedResourceIsNoVersion) {
  TPeSpec spec;
  TVersionSpec version;
  version.Strings = {{"Comments", "named"}};
  spec.Resources.push_back({16, std::string("VERSION"), 0, 0x409, BuildVersionTree(StandardTree(version))});
  TScratch scratch;
  EXPECT_FALSE(Query(scratch.Write("program.exe", BuildPe(spec).Bytes), kComments).Found);
}

TEST(VersionResourceChoice, NeNameOtherThanOneIsNoVersion) {
  TNeSpec ne;
  TVersionSpec version;
  version.Strings = {{"Comments", "two"}};
  ne.Resources.push_back({16, std::nullopt, 2, 0, BuildVersionTree(StandardTree(version, TTreeFlavor::Narrow), TTreeFlavor::Narrow)});
  TScratch scratch;
  DWORD handle = 0;
  EXPECT_EQ(GetFileVersionInfoSizeA(scratch.Write("program.exe", BuildNe(ne).Bytes).c_str(), &handle), 0u);
}

}  // namespace
