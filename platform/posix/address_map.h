// SPDX-License-Identifier: MIT
// The address space of a PE image as its section table lays it out: which file bytes stand behind
// an address the resource directory names.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/posix/file.h"

struct TSection {
  std::uint32_t Address;  // where the loader places it
  std::uint32_t Span;     // how much address space it covers
  std::uint32_t RawSize;  // how much of that the file backs
  std::uint32_t RawOffset;
};

// The section table of count entries at offset, or nothing when the file does not hold it all.
std::optional<std::vector<TSection>> ReadSections(TFileWindow& file, std::uint64_t offset,
                                                  std::uint16_t count);

// The platform maps an image whose sections' raw data runs past the end of the file by less
// than a 512-byte sector, the missing bytes reading as zero; a deeper cut it refuses.
bool MapsAsImage(const std::vector<TSection>& sections, std::uint64_t fileSize);

struct TFileRange {
  std::uint64_t Offset = 0;
  std::uint32_t Length = 0;     // address space the range may use
  std::uint32_t FileBytes = 0;  // of which the file backs the first FileBytes
};

class TAddressMap {
 public:
  TAddressMap(std::vector<TSection> sections, std::uint32_t headerSize)
      : Sections_(std::move(sections)), HeaderSize_(headerSize) {}

  // The file range behind [rva, rva + length), clamped to the section that holds rva.
  std::optional<TFileRange> Map(std::uint32_t rva, std::uint32_t length) const;

 private:
  std::vector<TSection> Sections_;
  std::uint32_t HeaderSize_;
};
