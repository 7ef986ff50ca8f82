// SPDX-License-Identifier: MIT
#include "platform/posix/blocks.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "platform/ascii.h"
#include "platform/posix/utf8.h"

namespace {

// The block's header: wide data adds a type word that narrow data lacks.
struct TNarrowBlockHeader {
  TLe16 Length;
  TLe16 ValueLength;
};

struct TWideBlockHeader {
  TLe16 Length;
  TLe16 ValueLength;
  TLe16 Type;  // 1 for text
};

bool WideKeyMatches(TByteView data, const TVersionBlock& block, const std::u16string& name) {
  if ((block.KeyEnd - block.KeyStart) / 2 != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    auto unit = data.ReadU16(block.KeyStart + 2 * i);
    if (!unit || FoldAscii(char16_t{*unit}) != FoldAscii(name[i])) return false;
  }
  return true;
}

bool NarrowKeyMatches(TByteView data, const TVersionBlock& block, std::string_view name) {
  if (block.KeyEnd - block.KeyStart != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    auto byte = data.ReadU8(block.KeyStart + i);
    if (!byte || FoldAscii(*byte) != FoldAscii(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

// The header of the block at start, when [start, limit) has room for it.
std::optional<TWideBlockHeader> ReadHeader(TByteView data, TVersionFlavor flavor, std::size_t start,
                                           std::size_t limit) {
  if (flavor == TVersionFlavor::Narrow) {
    if (start > limit || limit - start < sizeof(TNarrowBlockHeader)) return std::nullopt;
    auto narrow = data.Read<TNarrowBlockHeader>(start);
    if (!narrow) return std::nullopt;
    return TWideBlockHeader{narrow->Length, narrow->ValueLength, TLe16::From(0)};
  }
  if (start > limit || limit - start < sizeof(TWideBlockHeader)) return std::nullopt;
  return data.Read<TWideBlockHeader>(start);
}

}  // namespace

TVersionFlavor DetectFlavor(TByteView data) {
  // Wide data holds its type word (0 or 1) where narrow data holds the first character of its
  // key "VS_VERSION_INFO".
  auto typeOrKey = data.ReadU8(offsetof(TWideBlockHeader, Type));
  return typeOrKey && *typeOrKey >= 0x20 ? TVersionFlavor::Narrow : TVersionFlavor::Wide;
}

std::optional<TVersionBlock> ReadBlock(TByteView data, TVersionFlavor flavor, std::size_t start,
                                       std::size_t limit) {
  limit = std::min(limit, data.Size());
  bool wide = flavor == TVersionFlavor::Wide;
  auto header = ReadHeader(data, flavor, start, limit);
  if (!header) return std::nullopt;
  std::uint16_t length = header->Length;
  if (length == 0) return std::nullopt;

  TVersionBlock block;
  block.End = std::min(start + length, limit);
  block.Next = Align4(start + length);
  block.ValueLength = header->ValueLength;
  block.IsText = wide && header->Type == 1;
  block.KeyStart =
      std::min(start + (wide ? sizeof(TWideBlockHeader) : sizeof(TNarrowBlockHeader)), block.End);

  // End is at most the data's size, so the view is whole.
  TByteView inside = data.Clamp(0, block.End);
  std::optional<std::size_t> terminator =
      wide ? inside.FindU16(block.KeyStart, 0) : inside.FindByte(block.KeyStart, 0);
  block.HasKey = terminator.has_value();
  block.KeyEnd = terminator.value_or(block.End);
  std::size_t afterKey = terminator ? *terminator + (wide ? 2 : 1) : block.End;

  std::size_t valueBytes = block.IsText ? std::size_t{block.ValueLength} * 2 : block.ValueLength;
  block.ValueStart = std::min(Align4(afterKey), block.End);
  block.ChildrenStart = std::min(Align4(block.ValueStart + valueBytes), block.End);
  return block;
}

std::optional<TVersionBlock> FindBlock(TByteView data, TVersionFlavor flavor,
                                       std::string_view subBlock) {
  std::optional<TVersionBlock> current = ReadBlock(data, flavor, 0, data.Size());
  while (current && !subBlock.empty()) {
    std::size_t cut = subBlock.find('\\');
    std::string_view name = subBlock.substr(0, cut);
    subBlock = cut == std::string_view::npos ? std::string_view() : subBlock.substr(cut + 1);
    if (name.empty()) continue;

    std::u16string wideName = flavor == TVersionFlavor::Wide ? Utf8ToUtf16(name) : u"";
    std::optional<TVersionBlock> found;
    // Each sibling starts at least four bytes after the one before, so the walk ends.
    for (auto child = ReadBlock(data, flavor, current->ChildrenStart, current->End); child;
         child = ReadBlock(data, flavor, child->Next, current->End)) {
      bool matches =
          child->HasKey && (flavor == TVersionFlavor::Wide ? WideKeyMatches(data, *child, wideName)
                                                           : NarrowKeyMatches(data, *child, name));
      if (matches) {
        found = child;
        break;
      }
    }
    current = found;
  }
  return current;
}

TByteView DeclaredValue(TByteView data, const TVersionBlock& block) {
  std::size_t bytes = block.IsText ? std::size_t{block.ValueLength} * 2 : block.ValueLength;
  return data.Clamp(block.ValueStart, bytes);
}

TByteView WideText(TByteView data, const TVersionBlock& block) {
  if (block.ValueLength == 0) return {};
  TByteView inside = data.Clamp(0, block.End);
  std::size_t end = inside.FindU16(block.ValueStart, 0).value_or(block.End);
  return inside.Clamp(block.ValueStart, (end - block.ValueStart) & ~std::size_t{1});
}
