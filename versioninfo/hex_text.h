// SPDX-License-Identifier: MIT
// Numbers in the upper-case hexadecimal the version data's names and the file-type text use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// value in hexadecimal, padded with zeros to at least minDigits digits.
inline std::string HexText(std::uint32_t value, std::size_t minDigits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (text.size() < minDigits) text.insert(0, minDigits - text.size(), '0');
  return text;
}
