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

// The ordinary tree with its ProductVersion block changed by edit.
TBytes WithProductVersion(TTreeFlavor flavor, const std::function<void(TBlockSpec&)>& edit) {
  TVersionSpec spec;
  spec.Strings = {{"CompanyName", "Acme"}, {"ProductVersion", "1.2"}, {"ProductName", "Anvil"}};
  TBlockSpec root = StandardTree(spec, flavor);
  for (TBlockSpec& string : root.Children[0].Children[0].Children)
    if (string.Key == "ProductVersion") edit(string);
  TBytes data = BuildVersionTree(root, flavor);
  if (flavor == TTreeFlavor::Wide) return ProgramWithVersion(data).Bytes;
  TNeSpec ne;
  ne.Resources.push_back({16, std::nullopt, 1, 0, data});
  return BuildNe(ne).Bytes;
}

struct TValueCase {
  const char* Name;
  TTreeFlavor Flavor;
  std::function<void(TBlockSpec&)> Edit;
  const char* Text;
  UINT Length;
};

class StoredValueLength : public testing::TestWithParam<TValueCase> {};

TEST_P(StoredValueLength, DecidesTheAnswer) {
  TScratch scratch;
  std::string path = scratch.Write("program.exe", WithProductVersion(GetParam().Flavor, GetParam().Edit));
  TAnswer answer = Query(path, kProductVersion);
  ASSERT_TRUE(answer.Found);
  EXPECT_EQ(answer.Text, GetParam().Text);
  EXPECT_EQ(answer.Length, GetParam().Length);
}

INSTANTIATE_TEST_SUITE_P(
    Findings, StoredValueLength,
    testing::Values(
        TValueCase{"short_length_cuts_wide_text", TTreeFlavor::Wide, [](TBlockSpec& s) { s.ValueLength = 2; }, "1.", 2},
        TValueCase{"zero_length_gives_empty_wide_text", TTreeFlavor::Wide, [](TBlockSpec& s) { s.ValueLength = 0; }, "", 0},
        TValueCase{"length_counts_units_after_the_terminator", TTreeFlavor::Wide,
                   [](TBlockSpec& s) {
                     s.Value = Utf16FromUtf8("1.2");
                     TBytes more = Utf16FromUtf8("junk");
                     s.Value.insert(s.Value.end(), more.begin(), more.end());
                     s.ValueLength = 9;
                   },
                   "1.2", 9},
        TValueCase{"unterminated_wide_text_counts_its_units", TTreeFlavor::Wide,
                   [](TBlockSpec& s) {
                     s.Value = Utf16FromUtf8("1.2", false);
                     s.ValueLength = 3;
                   },
                   "1.2", 3},
        TValueCase{"long_length_runs_on_past_the_block", TTreeFlavor::Wide, [](TBlockSpec& s) { s.ValueLength = 12; },
                   "1.2", 12},
        TValueCase{"length_past_the_data_gives_length_zero", TTreeFlavor::Wide,
                   [](TBlockSpec& s) { s.ValueLength = 0x7FFF; }, "1.2", 0},
        TValueCase{"narrow_text_is_given_in_place", TTreeFlavor::Narrow, [](TBlockSpec& s) { s.ValueLength = 2; },
                   "1.2", 2},
        TValueCase{"narrow_zero_length_still_points_at_the_text", TTreeFlavor::Narrow,
                   [](TBlockSpec& s) { s.ValueLength = 0; }, "1.2", 0},
        TValueCase{"unterminated_narrow_text_runs_on", TTreeFlavor::Narrow,
                   [](TBlockSpec& s) {
                     s.Value = {'1', '.', '2', '.'};
                     s.ValueLength = 4;
                   },
                   // The next block's length (0x16, "ProductName") follows; its high byte ends the text.
                   "1.2.\x16", 4}),
    [](const testing::TestParamInfo<TValueCase>& info) { return info.param.Name; });

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
