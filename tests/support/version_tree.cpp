// SPDX-License-Identifier: MIT
#include "tests/support/version_tree.h"

#include "platform/posix/utf8.h"

namespace {

void Pad4(TBytes& out, std::size_t base) {
  while ((out.size() - base) % 4 != 0) out.push_back(0);
}

// Appends one block at the end of out; alignment is relative to base, the start of the tree.
void AppendBlock(TBytes& out, std::size_t base, const TBlockLayout& block, TTreeFlavor flavor) {
  Pad4(out, base);
  std::size_t start = out.size();
  Append16(out, 0);  // length, filled in below
  Append16(out, block.ValueLength);
  if (flavor == TTreeFlavor::Wide) {
    Append16(out, block.Type);
    TBytes key = Utf16FromUtf8(block.Key);
    out.insert(out.end(), key.begin(), key.end());
  } else {
    out.insert(out.end(), block.Key.begin(), block.Key.end());
    out.push_back(0);
  }
  Pad4(out, base);
  out.insert(out.end(), block.Value.begin(), block.Value.end());
  for (const TBlockLayout& child : block.Children) AppendBlock(out, base, child, flavor);
  std::size_t length = out.size() - start;
  Poke16(out, start, block.LengthOverride.value_or(static_cast<std::uint16_t>(length)));
}

}  // namespace

TBytes BuildVersionTree(const TBlockLayout& root, TTreeFlavor flavor) {
  TBytes out;
  AppendBlock(out, 0, root, flavor);
  return out;
}

TBytes Utf16Bytes(std::u16string_view text, bool terminate) {
  TBytes out;
  for (char16_t unit : text) Append16(out, unit);
  if (terminate) Append16(out, 0);
  return out;
}

TBytes Utf16FromUtf8(std::string_view text, bool terminate) {
  return Utf16Bytes(Utf8ToUtf16(text), terminate);
}

TBytes Le32(std::initializer_list<std::uint32_t> values) {
  TBytes out;
  for (std::uint32_t value : values)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return out;
}

TBlockLayout TextBlock(std::string key, std::string_view text, TTreeFlavor flavor) {
  TBlockLayout block;
  block.Key = std::move(key);
  block.Type = 1;
  if (flavor == TTreeFlavor::Wide) {
    block.Value = Utf16FromUtf8(text);
    block.ValueLength = static_cast<std::uint16_t>(block.Value.size() / 2);
  } else {
    block.Value.assign(text.begin(), text.end());
    block.Value.push_back(0);
    block.ValueLength = static_cast<std::uint16_t>(block.Value.size());
  }
  return block;
}

TBlockLayout BinaryBlock(std::string key, TBytes value) {
  TBlockLayout block;
  block.Key = std::move(key);
  block.ValueLength = static_cast<std::uint16_t>(value.size());
  block.Value = std::move(value);
  return block;
}

TBlockLayout Parent(std::string key, std::vector<TBlockLayout> children, std::uint16_t type) {
  TBlockLayout block;
  block.Key = std::move(key);
  block.Type = type;
  block.Children = std::move(children);
  return block;
}

TBytes FixedInfoBytes(const TFixedInfo& fixed) {
  return Le32({0xFEEF04BD, 0x00010000, fixed.FileVersionMS, fixed.FileVersionLS,
               fixed.ProductVersionMS, fixed.ProductVersionLS, fixed.FlagsMask, fixed.Flags,
               0x00040004, fixed.FileType, fixed.FileSubtype, 0, 0});
}

TBlockLayout StandardTree(const TVersionLayout& layout, TTreeFlavor flavor) {
  std::vector<TBlockLayout> strings;
  for (const auto& [key, text] : layout.Strings) strings.push_back(TextBlock(key, text, flavor));
  TBlockLayout root = BinaryBlock("VS_VERSION_INFO", FixedInfoBytes(layout.Fixed));
  root.Children.push_back(Parent("StringFileInfo", {Parent(layout.TableName, std::move(strings))}));
  if (!layout.Translations.empty()) {
    TBytes entries;
    for (std::uint32_t entry : layout.Translations) {
      TBytes one = Le32({entry});
      entries.insert(entries.end(), one.begin(), one.end());
    }
    root.Children.push_back(Parent("VarFileInfo", {BinaryBlock("Translation", entries)}, 1));
  }
  return root;
}
