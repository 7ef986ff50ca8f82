// SPDX-License-Identifier: MIT
// Builds version resources byte by byte, for tests that need layouts no resource compiler makes:
// wrong lengths, missing translations, duplicate keys, narrow (NE) data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/bytes.h"

struct TBlockLayout {
  std::string Key;                // UTF-8; stored as UTF-16 in wide data, as it is in narrow data
  TBytes Value;                   // the value bytes as stored
  std::uint16_t Type = 0;         // wide data only: 1 for text, 0 for binary
  std::uint16_t ValueLength = 0;  // as stored: characters for wide text, bytes otherwise
  std::vector<TBlockLayout> Children;
  std::optional<std::uint16_t> LengthOverride;  // stored instead of the true block length
};

enum class TTreeFlavor { Wide, Narrow };

TBytes BuildVersionTree(const TBlockLayout& root, TTreeFlavor flavor = TTreeFlavor::Wide);

// Pieces of ordinary version data.
TBytes Utf16Bytes(std::u16string_view text, bool terminate = true);
TBytes Utf16FromUtf8(std::string_view text, bool terminate = true);
TBytes Le32(std::initializer_list<std::uint32_t> values);

// A text value: UTF-16 with terminator in wide data, 8-bit with terminator in narrow data; the
// stored length counts the characters and the terminator, as resource compilers write it.
TBlockLayout TextBlock(std::string key, std::string_view text,
                       TTreeFlavor flavor = TTreeFlavor::Wide);
TBlockLayout BinaryBlock(std::string key, TBytes value);
TBlockLayout Parent(std::string key, std::vector<TBlockLayout> children, std::uint16_t type = 1);

struct TFixedInfo {
  std::uint32_t FlagsMask = 0x3F;
  std::uint32_t Flags = 0;
  std::uint32_t FileType = 1;
  std::uint32_t FileSubtype = 0;
  std::uint32_t FileVersionMS = 0x00010002, FileVersionLS = 0x00030004;
  std::uint32_t ProductVersionMS = 0x00010002, ProductVersionLS = 0x00030004;
};
TBytes FixedInfoBytes(const TFixedInfo& fixed);

// A whole VS_VERSIONINFO: the fixed information, one string table named tableName holding
// strings, and a translation table with the given entries (none: no VarFileInfo at all).
struct TVersionLayout {
  TFixedInfo Fixed;
  std::string TableName = "040904B0";
  std::vector<std::pair<std::string, std::string>> Strings;
  std::vector<std::uint32_t> Translations = {0x04B00409};
};
TBlockLayout StandardTree(const TVersionLayout& layout, TTreeFlavor flavor = TTreeFlavor::Wide);
