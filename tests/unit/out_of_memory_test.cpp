// SPDX-License-Identifier: MIT
// No memory for a version buffer ends the run with a message and a line end on standard output
// and status 1, and no answer. Allocations from a chosen size up fail in this test program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tamsik/compare.h"
#include "tests/support/image_builder.h"
#include "tests/support/temp_folder.h"

namespace {
std::size_t gFailFrom = SIZE_MAX;
}

void* operator new(std::size_t size) {
  if (size >= gFailFrom) throw std::bad_alloc();
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

TEST(OutOfMemory, EndsTheRunWithAMessageAndNoAnswer) {
  TTempFolder folder;
  // Enough strings to make the version buffer larger than anything else the run allocates.
  TVersionLayout layout;
  for (int i = 0; i < 40; ++i)
    layout.Strings.push_back({"Key" + std::to_string(i), std::string(40, 'v')});
  std::string path =
      folder.Write("big.exe", ProgramWithVersion(BuildVersionTree(StandardTree(layout))).Bytes);
  std::vector<std::string> words = {"tamsik", path, path};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());

  constexpr TCompareSettings kProduct{VersionReaderVariant::Standard,
                                      &TFileVersionInfo::ProductVersion};
  testing::internal::CaptureStdout();
  gFailFrom = 8192;
  int status = RunComparer(kProduct, static_cast<int>(argv.size()), argv.data());
  gFailFrom = SIZE_MAX;
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Out of memory\n");
  EXPECT_EQ(status, 1);

  testing::internal::CaptureStdout();
  status = RunComparer(kProduct, static_cast<int>(argv.size()), argv.data());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "=");
  EXPECT_EQ(status, 0);
}

}  // namespace
