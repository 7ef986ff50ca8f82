// SPDX-License-Identifier: MIT
// Files larger than 4 GiB, sparse, with version data before and past 2^32: the reader finds it
// and reads only the headers and the version data, never the bulk of the file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "tests/hostile/patch.h"
#include "tests/support/temp_folder.h"
#include "versioninfo/versioninfo.h"

namespace {

constexpr std::uint64_t kFileSize = 5ull << 30;
constexpr std::uint64_t k4GiB = 1ull << 32;

TBytes VersionData(const std::string& productVersion, TTreeFlavor flavor = TTreeFlavor::Wide) {
  TVersionLayout layout;
  layout.Strings = {{"ProductVersion", productVersion}};
  return BuildVersionTree(StandardTree(layout, flavor), flavor);
}

// Writes pieces at their offsets into a file of kFileSize bytes that holds nothing else.
void WriteSparse(const std::string& path,
                 const std::vector<std::pair<std::uint64_t, TBytes>>& pieces) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, static_cast<off_t>(kFileSize)), 0);
  for (const auto& [offset, bytes] : pieces)
    ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)),
              static_cast<ssize_t>(bytes.size()));
  close(fd);
}

// Bytes this process has read from files so far (read and pread alike).
std::uint64_t BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string name;
  std::uint64_t value = 0;
  while (io >> name >> value)
    if (name == "rchar:") return value;
  ADD_FAILURE() << "no rchar in /proc/self/io";
  return 0;
}

// Reads the file and checks how much of it the read took.
std::string ProductVersionReadingLittle(const std::string& path) {
  std::uint64_t before = BytesReadSoFar();
  TFileVersionInfo info;
  ReadFileVersionInfo(path, info);
  std::uint64_t read = BytesReadSoFar() - before;
  // Headers, directories and twelve reads of small version data: well under a megabyte.
  EXPECT_LT(read, 1u << 20);
  return info.ProductVersion;
}

TEST(LargeFiles, SparseTailIsNeverRead) {
  TTempFolder folder;
  std::string path = folder.PathOf("tail.exe");
  WriteSparse(path, {{0, ProgramWithVersion(VersionData("1.0")).Bytes}});
  EXPECT_EQ(ProductVersionReadingLittle(path), "1.0");
}

TEST(LargeFiles, PeSectionPastFourGiB) {
  // Padding before the version data carries it from the section's start at 4 GiB - 4 KiB to
  // beyond 4 GiB.
  TPeLayout layout;
  layout.Resources = {{24, std::nullopt, 1, 0x0409, TBytes(6000, 0x5A)},
                      {16, std::nullopt, 1, 0x0409, VersionData("2.0")}};
  TBuiltImage image = BuildPe(layout);
  TResourceChain chain = FirstResourceChain(image);
  constexpr std::uint32_t kSectionAt = 0xFFFFF000;
  Poke32(image.Bytes, chain.Section + 20, kSectionAt);
  ASSERT_GT(kSectionAt + (image.DataOffsets[1] - image.ResourceDirectory), k4GiB);

  TBytes headers(image.Bytes.begin(), image.Bytes.begin() + image.ResourceDirectory);
  TBytes section(image.Bytes.begin() + image.ResourceDirectory, image.Bytes.end());
  TTempFolder folder;
  std::string path = folder.PathOf("far.exe");
  WriteSparse(path, {{0, headers}, {kSectionAt, section}});
  EXPECT_EQ(ProductVersionReadingLittle(path), "2.0");
}

TEST(LargeFiles, NeResourcePastFourGiB) {
  // With 128 KiB alignment units the table's 16-bit offsets reach 8 GiB.
  constexpr std::uint16_t kShift = 17;
  constexpr std::uint16_t kUnit = 0x8001;
  TNeLayout layout;
  layout.AlignShift = kShift;
  layout.Resources = {{16, std::nullopt, 1, 0, VersionData("3.0", TTreeFlavor::Narrow)}};
  TBuiltImage image = BuildNe(layout);
  std::size_t entry = image.ResourceDirectory + 2 + 8;
  Poke16(image.Bytes, entry, kUnit);
  TBytes head(image.Bytes.begin(), image.Bytes.begin() + image.DataOffsets[0]);

  TTempFolder folder;
  std::string path = folder.PathOf("far16.exe");
  std::uint64_t dataAt = std::uint64_t{kUnit} << kShift;
  ASSERT_GT(dataAt, k4GiB);
  WriteSparse(path, {{0, head}, {dataAt, layout.Resources[0].Data}});
  EXPECT_EQ(ProductVersionReadingLittle(path), "3.0");
}

}  // namespace
