// SPDX-License-Identifier: MIT
// Limits the reader holds on hostile images: sizes a file claims but does not hold, resource
// directories that loop or nest too deep, and version trees that end early or nest deep.
#include <gtest/gtest.h>

#include <functional>

#include "platform/posix/image.h"
#include "platform/posix/version_buffer.h"
#include "platform/winver.h"
#include "tests/hostile/patch.h"
#include "tests/support/temp_folder.h"
#include "versioninfo/versioninfo.h"

namespace {

constexpr std::uint32_t kSubdirectory = 0x80000000;

TBuiltImage SoundImage() {
  TVersionLayout layout;
  layout.Strings = {{"CompanyName", "Acme"}, {"ProductVersion", "1.0"}};
  return ProgramWithVersion(BuildVersionTree(StandardTree(layout)));
}

struct TImageCase {
  const char* Name;
  std::function<void(TBuiltImage&, const TResourceChain&)> Break;
  const char* ProductVersion;  // what the reader still finds
};

void ExpectCases(const std::vector<TImageCase>& cases) {
  TTempFolder folder;
  for (const TImageCase& row : cases) {
    SCOPED_TRACE(row.Name);
    TBuiltImage image = SoundImage();
    row.Break(image, FirstResourceChain(image));
    std::string path = folder.PathOf(std::string(row.Name) + ".exe");
    WriteFile(path, image.Bytes);

    DWORD handle = 0;
    // The buffer asked for never follows a claim past what a version tree can hold.
    EXPECT_LE(GetFileVersionInfoSizeA(path.c_str(), &handle), VersionBufferSize(kMaxVersionData));
    TFileVersionInfo info;
    ReadFileVersionInfo(path, info);
    EXPECT_EQ(info.ProductVersion, row.ProductVersion);
  }
}

TEST(Limits, ClaimedSizesAllocateNothingTheFileDoesNotHold) {
  ExpectCases({
      // A resource larger than the section that holds it, or than what the file holds of that
      // section, is refused: nothing is read or allocated for it.
      {"data_claims_2_GiB",
       [](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.DataEntry + 4, 0x80000000);
       },
       ""},
      {"data_claims_4_GiB",
       [](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.DataEntry + 4, 0xFFFFFFFF);
       },
       ""},
      {"section_and_data_claim_2_GiB",
       [](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.Section + 8, 0x80000000);
         Poke32(image.Bytes, at.Section + 16, 0x80000000);
         Poke32(image.Bytes, at.DataEntry + 4, 0x80000000);
       },
       ""},
      {"virtual_tail_of_2_GiB",
       [](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.Section + 8, 0x80000000);
         Poke32(image.Bytes, at.DataEntry + 4, 0x8000);
       },
       ""},
      {"section_data_past_the_end",
       [](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.Section + 20, 0xFFFFFE00);
       },
       ""},
      {"data_address_outside_every_section",
       [](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.DataEntry, 0xFFFFFF00);
       },
       ""},
      {"65535_sections",
       [](TBuiltImage& image, const TResourceChain&) {
         Poke16(image.Bytes, image.NewHeader + 6, 0xFFFF);
       },
       ""},
      {"131070_directory_entries",
       [](TBuiltImage& image, const TResourceChain& at) {
         Poke16(image.Bytes, at.Root + 12, 0xFFFF);
         Poke16(image.Bytes, at.Root + 14, 0xFFFF);
       },
       ""},
      {"65535_byte_optional_header",
       [](TBuiltImage& image, const TResourceChain&) {
         Poke16(image.Bytes, image.NewHeader + 20, 0xFFFF);
       },
       ""},
  });
}

TEST(Limits, ResourceDirectoryLoopsEnd) {
  auto target = [](const TBuiltImage& image, std::size_t directory) {
    return SectionOffset(image, directory);
  };
  ExpectCases({
      {"type_entry_points_at_the_root",
       [&](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.Root + 20, kSubdirectory | target(image, at.Root));
       },
       ""},
      {"name_entry_points_at_its_own_directory",
       [&](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.TypeDirectory + 20,
                kSubdirectory | target(image, at.TypeDirectory));
       },
       ""},
      {"language_entry_points_at_its_own_directory",
       [&](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.NameDirectory + 20,
                kSubdirectory | target(image, at.NameDirectory));
       },
       ""},
      {"language_entry_nests_a_fourth_level",
       [&](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.NameDirectory + 20,
                kSubdirectory | target(image, at.TypeDirectory));
       },
       ""},
      {"language_entry_reads_a_directory_as_data",
       [&](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.NameDirectory + 20, target(image, at.Root));
       },
       ""},
      {"data_is_the_directory",
       [&](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.DataEntry, 0x1000 + target(image, at.Root));
       },
       ""},
      {"data_is_its_own_entry",
       [&](TBuiltImage& image, const TResourceChain& at) {
         Poke32(image.Bytes, at.DataEntry, 0x1000 + target(image, at.DataEntry));
       },
       ""},
  });
}

struct TTreeCase {
  const char* Name;
  TBlockLayout Root;
  const char* CompanyName;
  const char* ProductVersion;
};

TBlockLayout StringTree(std::vector<TBlockLayout> strings) {
  TVersionLayout layout;
  TBlockLayout root = StandardTree(layout);
  root.Children[0].Children[0].Children = std::move(strings);
  return root;
}

TBlockLayout ZeroLength(TBlockLayout block) {
  block.LengthOverride = 0;
  return block;
}

TEST(Limits, WalksEndAtZeroLengthBlocks) {
  TBlockLayout company = TextBlock("CompanyName", "Acme"),
               product = TextBlock("ProductVersion", "1.0");
  TBlockLayout zeroRoot = StringTree({company, product});
  zeroRoot.LengthOverride = 0;
  TBlockLayout zeroTable = StringTree({company, product});
  zeroTable.Children[0].Children[0].LengthOverride = 0;
  const TTreeCase cases[] = {
      {"zero_length_child_ends_walk",
       StringTree({company, ZeroLength(TextBlock("Other", "x")), product}), "Acme", ""},
      {"zero_length_first_child", StringTree({ZeroLength(company), product}), "", ""},
      {"zero_length_table", zeroTable, "", ""},
      {"zero_length_root", zeroRoot, "", ""},
  };
  TTempFolder folder;
  for (const TTreeCase& row : cases) {
    SCOPED_TRACE(row.Name);
    std::string path = folder.PathOf(std::string(row.Name) + ".exe");
    WriteFile(path, ProgramWithVersion(BuildVersionTree(row.Root)).Bytes);
    TFileVersionInfo info;
    ReadFileVersionInfo(path, info);
    EXPECT_EQ(info.CompanyName, row.CompanyName);
    EXPECT_EQ(info.ProductVersion, row.ProductVersion);
  }
}

// Nested as deep as 64 KiB of version data allows, each block named "a": the walk follows the
// path level by level. Written directly, since each level is one header and its key.
TBytes DeepTree(std::size_t depth) {
  constexpr std::size_t kLevel = 12, kInnermost = 16;
  TBytes data;
  for (std::size_t i = 0; i <= depth; ++i) {
    bool innermost = i == depth;
    std::size_t length = (depth - i) * kLevel + kInnermost;
    TBytes header = {static_cast<std::uint8_t>(length),
                     static_cast<std::uint8_t>(length >> 8),
                     static_cast<std::uint8_t>(innermost ? 4 : 0),
                     0,
                     0,
                     0,
                     'a',
                     0,
                     0,
                     0,
                     0,
                     0};
    data.insert(data.end(), header.begin(), header.end());
  }
  TBytes value = Le32({0x12345678});
  data.insert(data.end(), value.begin(), value.end());
  return data;
}

TEST(Limits, DeepTreeIsWalked) {
  constexpr int kDepth = 5400;
  TBytes data = DeepTree(kDepth);
  ASSERT_LE(data.size(), kMaxVersionData);

  std::vector<std::uint8_t> buffer(VersionBufferSize(static_cast<std::uint32_t>(data.size())));
  std::copy(data.begin(), data.end(), buffer.begin());
  ASSERT_TRUE(SealVersionBuffer(buffer, data.size()));
  std::string path;
  for (int i = 0; i < kDepth; ++i) path += "\\a";
  LPVOID value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(buffer.data(), path.c_str(), &value, &length));
  EXPECT_EQ(length, 4u);
  EXPECT_EQ(*static_cast<const std::uint8_t*>(value), 0x78);
  EXPECT_FALSE(VerQueryValueA(buffer.data(), (path + "\\a\\a").c_str(), &value, &length));

  TTempFolder folder;
  WriteFile(folder.PathOf("deep.exe"), ProgramWithVersion(data).Bytes);
  TFileVersionInfo info;
  EXPECT_EQ(
      ReadFileVersionInfoTraced(folder.PathOf("deep.exe"), info, VersionReaderVariant::Standard),
      TReadStop::NoTranslation);
}

}  // namespace
