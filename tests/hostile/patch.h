// SPDX-License-Identifier: MIT
// Small edits of images made by the test builders: the positions of the structures a builder
// image carries its version resource in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/support/bytes.h"
#include "tests/support/image_builder.h"

// File offsets in a PE image from BuildPe, following the first entry at each directory level.
struct TResourceChain {
  std::size_t Section = 0;  // the .rsrc entry of the section table
  std::size_t Root = 0;     // each directory's header; its first entry follows 16 bytes on
  std::size_t TypeDirectory = 0;
  std::size_t NameDirectory = 0;
  std::size_t DataEntry = 0;
};
TResourceChain FirstResourceChain(const TBuiltImage& image);

// Directory entries hold offsets from the start of the resource section.
std::uint32_t SectionOffset(const TBuiltImage& image, std::size_t fileOffset);
