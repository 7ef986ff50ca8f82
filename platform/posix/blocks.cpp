// SPDX-License-Identifier: MIT
#include "platform/posix/blocks.h"

#include <string>

#include "platform/posix/utf8.h"

namespace {

std::size_t Min(std::size_t a, std::size_t b) { return a < b ? a : b; }

// Offsets here stay below 64 KiB plus a few bytes, so plain arithmetic cannot overflow.
std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

char16_t FoldAscii(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

bool WideKeyMatches(TByteView data, const TVersionBlock& block, const std::u16string& name) {
  if ((block.KeyEnd - block.KeyStart) / 2 != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (FoldAscii(*data.ReadU16(block.KeyStart + 2 * i)) != FoldAscii(name[i])) return false;
  return true;
}

bool NarrowKeyMatches(TByteView data, const TVersionBlock& block, std::string_view name) {
  if (block.KeyEnd - block.KeyStart != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (FoldAscii(*data.ReadU8(block.KeyStart + i)) !=
        FoldAscii(static_cast<unsigned char>(name[i])))
      return false;
  return true;
}

}  // namespace

TVersionFlavor DetectFlavor(TByteView data) {
  // Wide data holds its type word (0 or 1) at offset 4; narrow data the key "VS_VERSION_INFO".
  auto fifth = data.ReadU8(4);
  return fifth && *fifth >= 0x20 ? TVersionFlavor::Narrow : TVersionFlavor::Wide;
}

std::optional<TVersionBlock> ReadBlock(TByteView data, TVersionFlavor flavor, std::size_t start,
                                       std::size_t limit) {
  limit = Min(limit, data.Size());
  bool wide = flavor == TVersionFlavor::Wide;
  std::size_t header = wide ? 6 : 4;
  if (start > limit || limit - start < header) return std::nullopt;
  std::uint16_t length = *data.ReadU16(start);
  if (length == 0) return std::nullopt;

  TVersionBlock block;
  block.Start = start;
  block.End = Min(start + length, limit);
  block.Next = Align4(start + length);
  block.ValueLength = *data.ReadU16(start + 2);
  block.IsText = wide && *data.ReadU16(start + 4) == 1;
  block.KeyStart = Min(start + header, block.End);

  TByteView inside = *data.Slice(0, block.End);
  std::optional<std::size_t> terminator =
      wide ? inside.FindU16(block.KeyStart, 0) : inside.FindByte(block.KeyStart, 0);
  block.HasKey = terminator.has_value();
  block.KeyEnd = terminator.value_or(block.End);
  std::size_t afterKey = terminator ? *terminator + (wide ? 2 : 1) : block.End;

  std::size_t valueBytes = block.IsText ? std::size_t{block.ValueLength} * 2 : block.ValueLength;
  block.ValueStart = Min(Align4(afterKey), block.End);
  block.ChildrenStart = Min(Align4(block.ValueStart + valueBytes), block.End);
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
      bool matches = child->HasKey && (flavor == TVersionFlavor::Wide
                                           ? WideKeyMatches(data, *child, wideName)
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
  TByteView inside = *data.Slice(0, block.End);
  std::size_t end = inside.FindU16(block.ValueStart, 0).value_or(block.End);
  return inside.Clamp(block.ValueStart, (end - block.ValueStart) & ~std::size_t{1});
}
