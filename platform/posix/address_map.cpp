// SPDX-License-Identifier: MIT
#include "platform/posix/address_map.h"

#include <algorithm>

#include "platform/posix/image_format.h"

std::optional<std::vector<TSection>> ReadSections(TFileWindow& file, std::uint64_t offset,
                                                  std::uint16_t count) {
  auto table = file.Bytes(offset, sizeof(TSectionHeader) * count);
  if (!table) return std::nullopt;
  std::vector<TSection> sections;
  sections.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    auto header = table->Read<TSectionHeader>(sizeof(TSectionHeader) * i);
    if (!header) return std::nullopt;
    TSection section{};
    section.Address = header->VirtualAddress;
    section.RawSize = header->SizeOfRawData;
    section.RawOffset = header->PointerToRawData;
    section.Span = header->VirtualSize != 0 ? std::uint32_t{header->VirtualSize} : section.RawSize;
    sections.push_back(section);
  }
  return sections;
}

bool MapsAsImage(const std::vector<TSection>& sections, std::uint64_t fileSize) {
  constexpr std::uint64_t kSector = 0x200;
  for (const TSection& section : sections)
    if (std::uint64_t{section.RawOffset} + section.RawSize >= fileSize + kSector) return false;
  return true;
}

std::optional<TFileRange> TAddressMap::Map(std::uint32_t rva, std::uint32_t length) const {
  for (const TSection& section : Sections_) {
    if (rva < section.Address || rva - section.Address >= section.Span) continue;
    std::uint32_t delta = rva - section.Address;
    TFileRange range;
    range.Offset = std::uint64_t{section.RawOffset} + delta;
    range.Length = std::min(length, section.Span - delta);
    std::uint32_t backed = delta < section.RawSize ? section.RawSize - delta : 0;
    range.FileBytes = std::min(range.Length, backed);
    return range;
  }
  // The headers are mapped as they lie in the file.
  if (rva < HeaderSize_) {
    std::uint32_t clamped = std::min(length, HeaderSize_ - rva);
    return TFileRange{rva, clamped, clamped};
  }
  return std::nullopt;
}
