// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "platform/posix/image.h"
#include "tests/support/bytes.h"
#include "tests/support/image_builder.h"
#include "tests/support/temp_folder.h"

namespace {

TBytes Marker(std::uint8_t value) { return TBytes(32, value); }

struct TLocated {
  TImageFault Fault;
  std::optional<std::uint8_t> FirstByte;  // of the version data found
  std::uint32_t Length = 0;
};

TLocated Locate(const TBytes& bytes) {
  TTempFolder folder;
  std::string path = folder.Write("image", bytes);
  auto file = TRegularFile::Open(path.c_str());
  if (!file) return {TImageFault::NotAnImage, std::nullopt};
  TFileWindow window(*file);
  TExpected<TVersionLocation> result = LocateVersionResource(window);
  if (!result) return {result.Fault(), std::nullopt};
  auto first = window.Read<std::uint8_t>(result->Offset);
  return {TImageFault::None, first, result->Length};
}

std::uint32_t TypeOf(const TBytes& bytes) {
  TTempFolder folder;
  auto file = TRegularFile::Open(folder.Write("image", bytes).c_str());
  TFileWindow window(*file);
  return ExecutableType(window);
}

TResourceLayout Version(std::uint32_t nameId, std::uint32_t language, std::uint8_t marker) {
  return {16, std::nullopt, nameId, language, Marker(marker)};
}

struct TChoiceCase {
  const char* Name;
  std::vector<TResourceLayout> Resources;
  std::uint8_t Expected;
};

class ResourceChoice : public testing::TestWithParam<TChoiceCase> {};

TEST_P(ResourceChoice, PicksTheExpectedVersionResource) {
  for (TPeKind kind : {TPeKind::Pe32, TPeKind::Pe32Plus}) {
    TPeLayout layout;
    layout.Kind = kind;
    layout.Resources = GetParam().Resources;
    TLocated located = Locate(BuildPe(layout).Bytes);
    EXPECT_EQ(located.Fault, TImageFault::None);
    EXPECT_EQ(located.FirstByte, GetParam().Expected);
    EXPECT_EQ(located.Length, 32u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Directory, ResourceChoice,
    testing::Values(
        TChoiceCase{"only_one", {Version(1, 0x409, 'A')}, 'A'},
        // Named entries come first in a directory; name 1 is found among the numbered ones.
        TChoiceCase{"name_one_before_others",
                    {{16, std::string("VERSION"), 0, 0x409, Marker('S')},
                     Version(1, 0x409, 'A'),
                     Version(7, 0x409, 'B')},
                    'A'},
        TChoiceCase{"neutral_language_first",
                    {Version(1, 0, 'N'), Version(1, 0x407, 'G'), Version(1, 0x409, 'E')},
                    'N'},
        TChoiceCase{"us_english_next", {Version(1, 0x407, 'G'), Version(1, 0x409, 'E')}, 'E'},
        TChoiceCase{"else_first_listed", {Version(1, 0x407, 'G'), Version(1, 0x40C, 'F')}, 'G'},
        TChoiceCase{"other_types_skipped",
                    {{3, std::nullopt, 1, 0x409, Marker('I')}, Version(1, 0x409, 'A')},
                    'A'}),
    [](const testing::TestParamInfo<TChoiceCase>& info) { return info.param.Name; });

TEST(PeImage, AnyMachineTypeWillDo) {
  // x86, x64, ARM, ARM64, Itanium: the version resource and the program test ignore the machine.
  for (std::uint16_t machine : {0x14C, 0x8664, 0x1C4, 0xAA64, 0x200}) {
    for (TPeKind kind : {TPeKind::Pe32, TPeKind::Pe32Plus}) {
      TPeLayout layout;
      layout.Kind = kind;
      layout.Machine = machine;
      layout.Resources = {Version(1, 0x409, 'A')};
      TBytes bytes = BuildPe(layout).Bytes;
      EXPECT_EQ(Locate(bytes).FirstByte, 'A') << machine;
      EXPECT_EQ(TypeOf(bytes), 0x4550u) << machine;
    }
  }
}

TEST(NeImage, FindsItsVersionResource) {
  TNeLayout layout;
  layout.Resources = {{3, std::nullopt, 1, 0, Marker('I')},
                      {16, std::nullopt, 5, 0, Marker('B')},
                      {16, std::nullopt, 1, 0, Marker('A')}};
  TLocated located = Locate(BuildNe(layout).Bytes);
  EXPECT_EQ(located.Fault, TImageFault::None);
  EXPECT_EQ(located.FirstByte, 'A');
  // Lengths count alignment units, so the data found is rounded up to the next unit.
  EXPECT_EQ(located.Length, 32u);

  // A version resource named otherwise is none.
  layout.Resources = {{16, std::nullopt, 5, 0, Marker('B')}};
  EXPECT_EQ(Locate(BuildNe(layout).Bytes).Fault, TImageFault::NoVersionResource);
}

TBuiltImage SoundImage() {
  TPeLayout layout;
  layout.Resources = {Version(1, 0x409, 'A')};
  return BuildPe(layout);
}

struct TFaultCase {
  const char* Name;
  std::function<void(TBuiltImage&)> Break;
  TImageFault Expected;
};

class BrokenImage : public testing::TestWithParam<TFaultCase> {};

TEST_P(BrokenImage, GivesNoVersionResource) {
  TBuiltImage image = SoundImage();
  GetParam().Break(image);
  EXPECT_EQ(Locate(image.Bytes).Fault, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BrokenImage,
    testing::Values(
        TFaultCase{"not_mz", [](TBuiltImage& i) { i.Bytes[0] = 'X'; }, TImageFault::NotAnImage},
        TFaultCase{"empty_file", [](TBuiltImage& i) { i.Bytes.clear(); }, TImageFault::NotAnImage},
        TFaultCase{"dos_program", [](TBuiltImage& i) { i.Bytes = BuildDosProgram(); },
                   TImageFault::NotAnImage},
        TFaultCase{"new_header_past_the_end",
                   [](TBuiltImage& i) { Poke32(i.Bytes, 0x3C, 0xFFFFFFF0); },
                   TImageFault::NotAnImage},
        TFaultCase{"cut_in_the_headers", [](TBuiltImage& i) { i.Bytes.resize(i.NewHeader + 30); },
                   TImageFault::Truncated},
        TFaultCase{"unknown_optional_header",
                   [](TBuiltImage& i) { i.Bytes[i.NewHeader + 24] = 0x07; },
                   TImageFault::BadSignature},
        TFaultCase{"no_resource_directory",
                   [](TBuiltImage& i) {
                     i.Bytes = [] {
                       TPeLayout s;
                       s.WithResourceDirectory = false;
                       return BuildPe(s).Bytes;
                     }();
                   },
                   TImageFault::NoResources},
        TFaultCase{"no_version_type",
                   [](TBuiltImage& i) {
                     TPeLayout s;
                     s.Resources = {{3, std::nullopt, 1, 0x409, Marker('I')}};
                     i = BuildPe(s);
                   },
                   TImageFault::NoVersionResource},
        TFaultCase{"section_count_past_the_end",
                   [](TBuiltImage& i) {
                     i.Bytes[i.NewHeader + 6] = 0xFF;
                     i.Bytes[i.NewHeader + 7] = 0xFF;
                   },
                   TImageFault::Truncated},
        TFaultCase{"resources_outside_every_section",
                   [](TBuiltImage& i) { Poke32(i.Bytes, i.SectionTable + 12, 0x9000); },
                   TImageFault::OutsideImage},
        TFaultCase{"type_entry_names_data_not_a_directory",
                   [](TBuiltImage& i) { i.Bytes[i.ResourceDirectory + 23] &= 0x7F; },
                   TImageFault::BadDirectory},
        TFaultCase{"language_entry_names_a_directory",
                   [](TBuiltImage& i) { Poke32(i.Bytes, i.ResourceDirectory + 0x44, 0x80000000); },
                   TImageFault::BadDirectory},
        // The name level is then the type level again, where no name 1 is listed.
        TFaultCase{"directory_points_at_itself",
                   [](TBuiltImage& i) { Poke32(i.Bytes, i.ResourceDirectory + 20, 0x80000000); },
                   TImageFault::NoVersionResource},
        TFaultCase{"data_larger_than_its_section",
                   [](TBuiltImage& i) { Poke32(i.Bytes, i.DataEntries[0] + 4, 0x7FFFFFFF); },
                   TImageFault::OutsideImage},
        TFaultCase{"data_address_outside_the_image",
                   [](TBuiltImage& i) { Poke32(i.Bytes, i.DataEntries[0], 0x7FFF0000); },
                   TImageFault::OutsideImage},
        // More than a sector short of its section's end: the platform would not map the image.
        TFaultCase{"data_cut_off",
                   [](TBuiltImage& i) {
                     Poke32(i.Bytes, i.SectionTable + 16, 0x400);
                     i.Bytes.resize(i.DataOffsets[0] + 8);
                   },
                   TImageFault::Truncated},
        TFaultCase{"empty_data", [](TBuiltImage& i) { Poke32(i.Bytes, i.DataEntries[0] + 4, 0); },
                   TImageFault::NoVersionResource}),
    [](const testing::TestParamInfo<TFaultCase>& info) { return info.param.Name; });

TEST(NeImage, HostileTablesEnd) {
  TNeLayout layout;
  layout.Resources = {Version(1, 0, 'A')};
  TBuiltImage image = BuildNe(layout);
  TBuiltImage shifted = image;
  shifted.Bytes[image.ResourceDirectory] = 40;  // alignment shift past 32 bits
  EXPECT_EQ(Locate(shifted.Bytes).Fault, TImageFault::BadDirectory);
  TBuiltImage endless = image;
  // A table of non-zero type records that never ends, as long as the file allows.
  endless.Bytes.resize(image.ResourceDirectory + 2);
  for (int i = 0; i < 20000; ++i) {
    TBytes record = {0x01, 0x80, 0, 0, 0, 0, 0, 0};
    endless.Bytes.insert(endless.Bytes.end(), record.begin(), record.end());
  }
  EXPECT_NE(Locate(endless.Bytes).Fault, TImageFault::None);
  TBuiltImage empty = image;
  empty.Bytes[image.NewHeader + 0x26] = empty.Bytes[image.NewHeader + 0x24];
  empty.Bytes[image.NewHeader + 0x27] = empty.Bytes[image.NewHeader + 0x25];
  EXPECT_EQ(Locate(empty.Bytes).Fault, TImageFault::NoResources);
}

struct TExeTypeCase {
  const char* Name;
  std::function<TBytes()> Make;
  std::uint32_t Expected;
};

class ExeType : public testing::TestWithParam<TExeTypeCase> {};

TEST_P(ExeType, IsToldByContent) { EXPECT_EQ(TypeOf(GetParam().Make()), GetParam().Expected); }

TBytes Pe(std::function<void(TPeLayout&)> adjust) {
  TPeLayout layout;
  adjust(layout);
  return BuildPe(layout).Bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ExeType,
    testing::Values(
        TExeTypeCase{"console_program", [] { return Pe([](TPeLayout&) {}); }, 0x4550},
        TExeTypeCase{"console_pe32plus",
                     [] { return Pe([](TPeLayout& s) { s.Kind = TPeKind::Pe32Plus; }); }, 0x4550},
        TExeTypeCase{"gui_program_carries_subsystem_version",
                     [] {
                       return Pe([](TPeLayout& s) {
                         s.Subsystem = 2;
                         s.SubsystemMajor = 6;
                         s.SubsystemMinor = 1;
                       });
                     },
                     0x06014550},
        TExeTypeCase{"dll", [] { return Pe([](TPeLayout& s) { s.Dll = true; }); }, 0},
        TExeTypeCase{"gui_dll",
                     [] {
                       return Pe([](TPeLayout& s) {
                         s.Dll = true;
                         s.Subsystem = 2;
                       });
                     },
                     0},
        TExeTypeCase{"ne_carries_windows_version", [] { return BuildNe(TNeLayout{}).Bytes; },
                     0x030A454E},
        TExeTypeCase{"dos_program", [] { return BuildDosProgram(); }, 0x4D5A},
        TExeTypeCase{"text",
                     [] {
                       return TBytes{'h', 'e', 'l', 'l', 'o'};
                     },
                     0},
        TExeTypeCase{"empty", [] { return TBytes{}; }, 0},
        TExeTypeCase{"pe_cut_in_its_headers",
                     [] {
                       TBytes b = Pe([](TPeLayout&) {});
                       b.resize(0x60);
                       return b;
                     },
                     0}),
    [](const testing::TestParamInfo<TExeTypeCase>& info) { return info.param.Name; });

TEST(RegularFile, RefusesWhatIsNotARegularFile) {
  TTempFolder folder;
  EXPECT_FALSE(TRegularFile::Open(folder.Path().c_str()));
  EXPECT_FALSE(TRegularFile::Open("/dev/zero"));
  EXPECT_FALSE(TRegularFile::Open((folder.Path() / "missing").c_str()));
  EXPECT_FALSE(TRegularFile::Open(nullptr));
  std::string fifo = (folder.Path() / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(TRegularFile::Open(fifo.c_str()));  // and returns at once: nobody writes to it
}

TEST(FileWindow, ReadsOnlyWhatTheFileHolds) {
  TTempFolder folder;
  TBytes bytes(10000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  auto file = TRegularFile::Open(folder.Write("data", bytes).c_str());
  TFileWindow window(*file);
  for (std::uint64_t offset : {0ull, 4095ull, 4096ull, 9990ull}) {
    auto view = window.Bytes(offset, 10);
    ASSERT_TRUE(view) << offset;
    EXPECT_EQ(*view->ReadU8(9), bytes[offset + 9]);
  }
  EXPECT_FALSE(window.Bytes(9991, 10));
  EXPECT_FALSE(window.Bytes(UINT64_MAX - 4, 10));
  EXPECT_FALSE(window.Bytes(0, SIZE_MAX));
  EXPECT_TRUE(window.Bytes(10000, 0));
}

}  // namespace
