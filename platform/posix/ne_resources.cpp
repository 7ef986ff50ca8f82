// SPDX-License-Identifier: MIT
// The version resource of a 16-bit NE image, found through the header's resource table.
#include <cstddef>

#include "platform/posix/image.h"
#include "platform/posix/image_format.h"

namespace {

// The version resource's name record in the resource table at table, or the fault that ends
// the search.
TExpected<TNeResourceName> FindVersionName(TFileWindow& file, std::uint64_t table) {
  // The table lives in the header segment, so it ends within 64 KiB of its start: a table that
  // never names its end cannot send the scan through a whole large file.
  constexpr std::uint64_t kTableLimit = 0x10000;
  std::uint64_t cursor = table + sizeof(TNeResourceTable);
  while (cursor - table < kTableLimit) {
    // Only the type and the count are needed of a type record: the last one may stop there.
    auto typeId = file.Read<TLe16>(cursor + offsetof(TNeResourceType, TypeId));
    auto count = file.Read<TLe16>(cursor + offsetof(TNeResourceType, Count));
    if (!typeId || !count) return TImageFault::Truncated;
    if (*typeId == 0) break;
    std::uint64_t names = cursor + sizeof(TNeResourceType);
    if (*typeId == (kNeIntegerId | kVersionResourceType) && *count > 0) {
      auto records = file.Bytes(names, sizeof(TNeResourceName) * *count);
      if (!records) return TImageFault::Truncated;
      // Only name 1 is the version resource, wherever its record is listed.
      for (std::size_t i = 0; i < *count; ++i) {
        auto record = records->Read<TNeResourceName>(sizeof(TNeResourceName) * i);
        if (!record) return TImageFault::Truncated;
        if (record->Id == (kNeIntegerId | kVersionResourceName)) return *record;
      }
    }
    cursor = names + sizeof(TNeResourceName) * *count;
  }
  return TImageFault::NoVersionResource;
}

}  // namespace

TExpected<TVersionLocation> LocateNeVersion(TFileWindow& file, std::uint64_t at) {
  // Only the two table offsets are needed of the header, so a header cut short after them still
  // serves.
  auto tableOffset = file.Read<TLe16>(at + offsetof(TNeHeader, ResourceTableOffset));
  auto residentOffset = file.Read<TLe16>(at + offsetof(TNeHeader, ResidentNameTableOffset));
  if (!tableOffset || !residentOffset) return TImageFault::Truncated;
  if (*tableOffset == *residentOffset) return TImageFault::NoResources;

  std::uint64_t table = at + *tableOffset;
  auto head = file.Read<TNeResourceTable>(table);
  if (!head) return TImageFault::Truncated;
  std::uint16_t shift = head->AlignmentShift;
  if (shift >= 32) return TImageFault::BadDirectory;

  auto record = FindVersionName(file, table);
  if (!record) return record.Fault();
  std::uint64_t offset = std::uint64_t{record->Offset} << shift;
  std::uint64_t length = std::uint64_t{record->Length} << shift;
  if (length > kMaxVersionData) length = kMaxVersionData;
  // Lengths are rounded up to the alignment unit, so the last resource may reach past the end of
  // the file; what the file holds is what there is.
  std::uint64_t fileSize = file.File().Size();
  if (offset >= fileSize || length == 0) return TImageFault::Truncated;
  if (length > fileSize - offset) length = fileSize - offset;
  auto held = static_cast<std::uint32_t>(length);
  return TVersionLocation{offset, held, held};
}
