// SPDX-License-Identifier: MIT
// Structures read by value through the bounded reader: little-endian whatever the host, and
// nothing at all when a structure does not fit, however far past the end it starts.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/byte_view.h"
#include "platform/posix/image_format.h"
#include "tests/support/bytes.h"

namespace {

struct TPair {
  TLe16 Low;
  TLe32 High;
};

TEST(ByteView, StructuresReadLittleEndianAndOnlyWhole) {
  TBytes bytes = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xAA};
  TByteView view(bytes.data(), bytes.size());
  static_assert(sizeof(TPair) == 6);

  auto pair = view.Read<TPair>(0);
  ASSERT_TRUE(pair);
  EXPECT_EQ(pair->Low, 0x1234);
  EXPECT_EQ(pair->High, 0x12345678u);
  EXPECT_EQ(view.Read<TPair>(1)->Low, 0x7812);  // the last place it fits

  for (std::size_t offset : {std::size_t{2}, bytes.size(), bytes.size() + 1, SIZE_MAX - 2})
    EXPECT_FALSE(view.Read<TPair>(offset)) << offset;
  EXPECT_EQ(TLe32::From(0xA1B2C3D4).Bytes[0], 0xD4);
  EXPECT_EQ(std::uint32_t{TLe32::From(0xA1B2C3D4)}, 0xA1B2C3D4u);
}

TEST(ByteView, ResourceEntryBitsSayWhatTheyMean) {
  TBytes bytes(8, 0);
  Poke32(bytes, 0, 16);
  Poke32(bytes, 4, 0x80000120);
  auto entry = TByteView(bytes.data(), bytes.size()).Read<TResourceDirectoryEntry>(0);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->Name, 16u);
  EXPECT_TRUE(entry->IsSubdirectory());
  EXPECT_EQ(entry->Offset(), 0x120u);
}

}  // namespace
