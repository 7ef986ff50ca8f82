// SPDX-License-Identifier: MIT
// Where the structures of a sound image lie, found by a parser of its own so that mutants can
// aim at them: the headers, every resource directory, entry and data entry (PE) or the resource
// table (NE), the version data, and the length fields of every block in the version tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "tests/support/image_builder.h"

struct TRange {
  std::size_t Begin = 0;
  std::size_t End = 0;
};

// A field a mutant may set: its file offset and width in bytes.
struct TField {
  std::size_t Offset;
  std::size_t Width;
};

// A value written over a field: a pointer aimed back into the structure that holds it.
struct TEdit {
  std::size_t Offset;
  std::size_t Width;
  std::uint32_t Value;
};

struct TImageMap {
  bool Ne = false;
  TRange Headers;            // up to the end of the section table or NE header
  TRange ResourceStructure;  // directories, entries and data entries, or the NE resource table
  TRange VersionData;        // all version resources, as far as the reader must have them
  std::vector<TField> HeaderFields;     // counts, sizes and offsets in the headers
  std::vector<TField> DirectoryFields;  // directory counts, data sizes, NE lengths and shift
  std::vector<TEdit> Loops;             // entries and data pointing at themselves or above
  std::vector<TField> BlockLengths;     // every block's length and value length in the tree
};

// Nothing for an image that has no version resource or that this parser does not follow.
std::optional<TImageMap> MapImage(const TBytes& bytes);
