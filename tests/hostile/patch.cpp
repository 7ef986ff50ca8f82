// SPDX-License-Identifier: MIT
#include "tests/hostile/patch.h"

#include <stdexcept>

std::uint32_t SectionOffset(const TBuiltImage& image, std::size_t fileOffset) {
  return static_cast<std::uint32_t>(fileOffset - image.ResourceDirectory);
}

TResourceChain FirstResourceChain(const TBuiltImage& image) {
  constexpr std::uint32_t kOffsetBits = 0x7FFFFFFF;
  TResourceChain chain;
  chain.Section = image.SectionTable;
  chain.Root = image.ResourceDirectory;
  chain.TypeDirectory =
      image.ResourceDirectory + (Peek32(image.Bytes, chain.Root + 20) & kOffsetBits);
  chain.NameDirectory =
      image.ResourceDirectory + (Peek32(image.Bytes, chain.TypeDirectory + 20) & kOffsetBits);
  chain.DataEntry = image.ResourceDirectory + Peek32(image.Bytes, chain.NameDirectory + 20);
  constexpr std::uint32_t kSectionAddress = 0x1000;
  // Directories are sorted, so the first chain ends at the data of the resource with the
  // smallest type, name and language, wherever the layout listed it.
  std::uint32_t address = Peek32(image.Bytes, chain.DataEntry);
  bool found = false;
  for (std::size_t offset : image.DataOffsets)
    found = found || address == kSectionAddress + SectionOffset(image, offset);
  if (!found) throw std::logic_error("the first resource chain does not end at a resource's data");
  return chain;
}
