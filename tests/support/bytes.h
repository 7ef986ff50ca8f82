// SPDX-License-Identifier: MIT
// Little-endian fields written into and read from test images by file offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

// Into bytes that are there: a write past the end is a fault of the test and throws.
inline void Poke16(TBytes& bytes, std::size_t at, std::uint16_t value) {
  bytes.at(at) = static_cast<std::uint8_t>(value);
  bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

inline void Poke32(TBytes& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i)
    bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t Peek32(const TBytes& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{bytes.at(at + i)} << (8 * i);
  return value;
}

// For builders: the bytes grow, zero-filled, to hold the field.
inline void Put16(TBytes& bytes, std::size_t at, std::uint16_t value) {
  if (bytes.size() < at + 2) bytes.resize(at + 2);
  Poke16(bytes, at, value);
}

inline void Put32(TBytes& bytes, std::size_t at, std::uint32_t value) {
  if (bytes.size() < at + 4) bytes.resize(at + 4);
  Poke32(bytes, at, value);
}

inline void Append16(TBytes& bytes, std::uint16_t value) { Put16(bytes, bytes.size(), value); }
