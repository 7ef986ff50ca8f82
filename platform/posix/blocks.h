// SPDX-License-Identifier: MIT
// The tree of a version resource: every block is a length, a value length, a key and a value,
// followed by child blocks. Blocks are 32-bit aligned relative to the start of the version data
// and bounded by their parent. Wide data (from PE images) has a type word and UTF-16 keys and
// text; narrow data (from NE images) has neither and holds 8-bit text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/byte_view.h"

enum class TVersionFlavor : std::uint8_t { Wide, Narrow };

struct TVersionBlock {
  std::size_t End = 0;   // the block's own length, clamped to its parent
  std::size_t Next = 0;  // where the next sibling starts
  std::size_t KeyStart = 0;
  std::size_t KeyEnd = 0;         // the terminator's offset: the key is [KeyStart, KeyEnd)
  bool HasKey = false;            // false when the key runs to the end of the block unterminated
  std::uint16_t ValueLength = 0;  // as stored: characters for wide text, bytes otherwise
  bool IsText = false;            // wide data's type word says text
  std::size_t ValueStart = 0;     // may equal End when the block holds no value
  std::size_t ChildrenStart = 0;
};

// Which flavor a version resource is, told by its content: narrow data has its key where wide
// data has its type word.
TVersionFlavor DetectFlavor(TByteView data);

// The block at start, inside [start, limit). Nothing when no block can start there: too little
// room for its length fields, or a length of zero, which ends every walk.
std::optional<TVersionBlock> ReadBlock(TByteView data, TVersionFlavor flavor, std::size_t start,
                                       std::size_t limit);

// Follows a sub-block path such as "\StringFileInfo\040904B0\ProductVersion" from the root.
// Names match whole and regardless of letter case; empty names (a leading, doubled or trailing
// backslash) are skipped; among equal names the first wins.
std::optional<TVersionBlock> FindBlock(TByteView data, TVersionFlavor flavor,
                                       std::string_view subBlock);

// A binary or narrow value as the platform gives it: the stored value length from the value's
// start (bytes), even where that runs on past the block; cut at the end of the data.
TByteView DeclaredValue(TByteView data, const TVersionBlock& block);

// A wide text value: the UTF-16 units from the value's start up to the terminator or the end of
// the block. Real files often store a wrong value length; the text never depends on it, so a
// length too short cannot cut a version short. Empty when the stored length is zero.
TByteView WideText(TByteView data, const TVersionBlock& block);
