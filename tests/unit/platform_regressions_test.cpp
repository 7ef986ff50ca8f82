// SPDX-License-Identifier: MIT
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
#include "tests/support/bytes.h"
#include "tests/support/image_builder.h"
#include "tests/support/temp_folder.h"

namespace {

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
TBytes WithProductVersion(TTreeFlavor flavor, const std::function<void(TBlockLayout&)>& edit) {
  TVersionLayout layout;
  layout.Strings = {{"CompanyName", "Acme"}, {"ProductVersion", "1.2"}, {"ProductName", "Anvil"}};
  TBlockLayout root = StandardTree(layout, flavor);
  for (TBlockLayout& string : root.Children[0].Children[0].Children)
    if (string.Key == "ProductVersion") edit(string);
  TBytes data = BuildVersionTree(root, flavor);
  if (flavor == TTreeFlavor::Wide) return ProgramWithVersion(data).Bytes;
  TNeLayout ne;
  ne.Resources.push_back({16, std::nullopt, 1, 0, data});
  return BuildNe(ne).Bytes;
}

struct TValueCase {
  const char* Name;
  TTreeFlavor Flavor;
  std::function<void(TBlockLayout&)> Edit;
  const char* Text;
  UINT Length;
};

class StoredValueLength : public testing::TestWithParam<TValueCase> {};

TEST_P(StoredValueLength, Answer) {
  TTempFolder scratch;
  std::string path =
      scratch.Write("program.exe", WithProductVersion(GetParam().Flavor, GetParam().Edit));
  TAnswer answer = Query(path, kProductVersion);
  ASSERT_TRUE(answer.Found);
  EXPECT_EQ(answer.Text, GetParam().Text);
  EXPECT_EQ(answer.Length, GetParam().Length);
}

INSTANTIATE_TEST_SUITE_P(
    Findings, StoredValueLength,
    testing::Values(
        // Wide text runs to its terminator within its block, whatever the stored length says.
        TValueCase{"short_length_keeps_the_whole_wide_text", TTreeFlavor::Wide,
                   [](TBlockLayout& s) { s.ValueLength = 2; }, "1.2", 4},
        TValueCase{"zero_length_gives_empty_wide_text", TTreeFlavor::Wide,
                   [](TBlockLayout& s) { s.ValueLength = 0; }, "", 0},
        TValueCase{"units_after_the_terminator_are_not_text", TTreeFlavor::Wide,
                   [](TBlockLayout& s) {
                     s.Value = Utf16FromUtf8("1.2");
                     TBytes more = Utf16FromUtf8("junk");
                     s.Value.insert(s.Value.end(), more.begin(), more.end());
                     s.ValueLength = 9;
                   },
                   "1.2", 4},
        TValueCase{"unterminated_wide_text_ends_with_its_block", TTreeFlavor::Wide,
                   [](TBlockLayout& s) {
                     s.Value = Utf16FromUtf8("1.2", false);
                     s.ValueLength = 3;
                   },
                   "1.2", 4},
        TValueCase{"long_length_stops_at_the_terminator", TTreeFlavor::Wide,
                   [](TBlockLayout& s) { s.ValueLength = 12; }, "1.2", 4},
        TValueCase{"length_past_the_data_stops_at_the_terminator", TTreeFlavor::Wide,
                   [](TBlockLayout& s) { s.ValueLength = 0x7FFF; }, "1.2", 4},
        TValueCase{"narrow_text_is_given_in_place", TTreeFlavor::Narrow,
                   [](TBlockLayout& s) { s.ValueLength = 2; }, "1.2", 2},
        TValueCase{"narrow_zero_length_still_points_at_the_text", TTreeFlavor::Narrow,
                   [](TBlockLayout& s) { s.ValueLength = 0; }, "1.2", 0},
        TValueCase{
            "unterminated_narrow_text_runs_on", TTreeFlavor::Narrow,
            [](TBlockLayout& s) {
              s.Value = {'1', '.', '2', '.'};
              s.ValueLength = 4;
            },
            // The next block's length (0x16, "ProductName") follows; its high byte ends the text.
            "1.2.\x16", 4}),
    [](const testing::TestParamInfo<TValueCase>& info) { return info.param.Name; });

struct TChoiceCase {
  const char* Name;
  std::vector<std::pair<std::uint32_t, std::uint32_t>>
      Resources;       // name, language; in directory order
  const char* Chosen;  // the Comments string of the chosen one, nullptr for none
};

class VersionResourceChoice : public testing::TestWithParam<TChoiceCase> {};

TEST_P(VersionResourceChoice, FollowsThePlatform) {
  TPeLayout layout;
  layout.SortedDirectories = false;
  for (auto [name, language] : GetParam().Resources) {
    TVersionLayout version;
    version.Strings = {{"Comments", std::to_string(name) + "/" + std::to_string(language)}};
    layout.Resources.push_back(
        {16, std::nullopt, name, language, BuildVersionTree(StandardTree(version))});
  }
  TTempFolder scratch;
  TAnswer answer = Query(scratch.Write("program.exe", BuildPe(layout).Bytes), kComments);
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
  TPeLayout layout;
  TVersionLayout version;
  version.Strings = {{"Comments", "named"}};
  layout.Resources.push_back(
      {16, std::string("VERSION"), 0, 0x409, BuildVersionTree(StandardTree(version))});
  TTempFolder scratch;
  EXPECT_FALSE(Query(scratch.Write("program.exe", BuildPe(layout).Bytes), kComments).Found);
}

TEST(VersionResourceChoice, NeNameOtherThanOneIsNoVersion) {
  TNeLayout ne;
  TVersionLayout version;
  version.Strings = {{"Comments", "two"}};
  ne.Resources.push_back(
      {16, std::nullopt, 2, 0,
       BuildVersionTree(StandardTree(version, TTreeFlavor::Narrow), TTreeFlavor::Narrow)});
  TTempFolder scratch;
  DWORD handle = 0;
  EXPECT_EQ(
      GetFileVersionInfoSizeA(scratch.Write("program.exe", BuildNe(ne).Bytes).c_str(), &handle),
      0u);
}

TEST(CutImage, LessThanASectorShortReadsAsZeros) {
  TVersionLayout layout;
  layout.Strings = {{"ProductVersion", "1.2"}, {"Comments", std::string(400, 'x')}};
  TBuiltImage image = ProgramWithVersion(BuildVersionTree(StandardTree(layout)));
  std::size_t dataEnd = image.DataOffsets[0] + BuildVersionTree(StandardTree(layout)).size();
  ASSERT_LT(image.Bytes.size() - 0x1FF, dataEnd);  // the cut goes through the version data
  TTempFolder scratch;
  TBytes cut(image.Bytes.begin(), image.Bytes.end() - 0x1FF);
  TAnswer answer = Query(scratch.Write("cut.exe", cut), kProductVersion);
  EXPECT_TRUE(answer.Found);
  EXPECT_EQ(answer.Text, "1.2");
  cut.pop_back();  // a whole sector short: the platform does not map the image
  DWORD handle = 0;
  EXPECT_EQ(GetFileVersionInfoSizeA(scratch.Write("cut2.exe", cut).c_str(), &handle), 0u);
}

TBytes Console(TPeKind kind = TPeKind::Pe32) {
  TPeLayout layout;
  layout.Kind = kind;
  return BuildPe(layout).Bytes;
}

TBytes DosHeaderOnly(std::uint32_t newHeader, const std::string& signature, std::size_t size) {
  TBytes bytes(size > 0x40 ? size : 0x40, 0);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  Poke16(bytes, 0x18, 0x40);
  Poke16(bytes, 0x3C, static_cast<std::uint16_t>(newHeader));
  std::memcpy(bytes.data() + newHeader, signature.data(), signature.size());
  bytes.resize(size);
  return bytes;
}

TBytes NeFor(std::uint8_t target) {
  TBytes bytes = BuildNe(TNeLayout{}).Bytes;
  bytes[0x40 + 0x36] = target;
  return bytes;
}

struct TExeCase {
  const char* Name;
  const char* FileName;
  std::function<TBytes()> Bytes;
  std::uint32_t Expected;
};

class ShellExeType : public testing::TestWithParam<TExeCase> {};

TEST_P(ShellExeType, FollowsThePlatform) {
  TTempFolder scratch;
  std::string path = scratch.Write(GetParam().FileName, GetParam().Bytes());
  SHFILEINFOA info{};
  EXPECT_EQ(SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE),
            GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Findings, ShellExeType,
    testing::Values(
        TExeCase{"dos_header_cut_short_is_nothing", "short.exe",
                 [] {
                   return TBytes{'M', 'Z', 0, 0};
                 },
                 0},
        TExeCase{"com_name_makes_any_content_dos", "prog.com",
                 [] {
                   return TBytes{0xB4, 0x4C, 0xCD, 0x21};
                 },
                 0x4D5A},
        TExeCase{"pif_name_in_capitals_too", "prog.PIF",
                 [] {
                   return TBytes{'h', 'i'};
                 },
                 0x4D5A},
        TExeCase{"empty_com_file_is_nothing", "empty.com", [] { return TBytes{}; }, 0},
        TExeCase{"batch_file_is_nothing", "run.bat",
                 [] {
                   return TBytes{'@', 'e', 'c', 'h', 'o'};
                 },
                 0},
        TExeCase{"com_name_keeps_a_broken_image_broken", "broken.com",
                 [] { return DosHeaderOnly(0x40, std::string("PE\0\0", 4), 0x80); }, 0},
        TExeCase{"new_header_past_the_end_is_dos", "stub.exe",
                 [] { return DosHeaderOnly(0x1000, "", 0x40); }, 0x4D5A},
        TExeCase{"pe_signature_without_file_header_is_dos", "stub.exe",
                 [] { return DosHeaderOnly(0x40, std::string("PE\0\0", 4), 0x4A); }, 0x4D5A},
        TExeCase{"pe_file_header_alone_is_nothing", "cut.exe",
                 [] { return DosHeaderOnly(0x40, std::string("PE\0\0", 4), 0x58); }, 0},
        TExeCase{"section_table_cut_short_is_nothing", "cut.exe",
                 [] {
                   TBytes b = Console();
                   b.resize(0x15F);
                   return b;
                 },
                 0},
        // Every machine counts, so versions of ARM64 and other programs are compared.
        TExeCase{"arm64_program_counts", "arm.exe",
                 [] {
                   TBytes b = Console(TPeKind::Pe32Plus);
                   Poke16(b, 0x44, 0xAA64);
                   return b;
                 },
                 0x4550},
        TExeCase{"pe32_for_x64_counts", "odd.exe",
                 [] {
                   TBytes b = Console();
                   Poke16(b, 0x44, 0x8664);
                   return b;
                 },
                 0x4550},
        TExeCase{"pe32plus_for_x86_counts", "odd.exe",
                 [] {
                   TBytes b = Console(TPeKind::Pe32Plus);
                   Poke16(b, 0x44, 0x14C);
                   return b;
                 },
                 0x4550},
        TExeCase{"optional_header_size_plays_no_part", "small.exe",
                 [] {
                   TBytes b = Console();
                   Poke16(b, 0x54, 0);
                   return b;
                 },
                 0x4550},
        TExeCase{"gui_version_word_is_major_shifted_or_minor", "gui.exe",
                 [] {
                   TPeLayout layout;
                   layout.Subsystem = 2;
                   layout.SubsystemMajor = 0x1234;
                   layout.SubsystemMinor = 0x5678;
                   return BuildPe(layout).Bytes;
                 },
                 0x76784550},
        TExeCase{"ne_for_os2_is_nothing", "os2.exe", [] { return NeFor(1); }, 0},
        TExeCase{"ne_for_dos_extender_is_dos", "ext.exe", [] { return NeFor(5); }, 0x4D5A},
        TExeCase{"ne_header_cut_before_its_version_has_version_zero", "cut.exe",
                 [] {
                   TBytes b = NeFor(2);
                   b.resize(0x40 + 0x37);
                   return b;
                 },
                 0x454E}),
    [](const testing::TestParamInfo<TExeCase>& info) { return info.param.Name; });

}  // namespace
