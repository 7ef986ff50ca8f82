// SPDX-License-Identifier: MIT
// The one bounded reader through which every byte taken from a file passes. Each read names an
// offset and a length; both are checked for overflow before they are compared with the end, and a
// read that does not fit gives no value instead of touching memory outside the view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// a + b, or nothing when the sum does not fit in size_t.
constexpr std::optional<std::size_t> CheckedAdd(std::size_t a, std::size_t b) {
  if (a > SIZE_MAX - b) return std::nullopt;
  return a + b;
}

// Rounds up to the next multiple of four, or nothing on overflow.
constexpr std::optional<std::size_t> AlignUp4(std::size_t value) {
  auto sum = CheckedAdd(value, 3);
  if (!sum) return std::nullopt;
  return *sum & ~std::size_t{3};
}

class TByteView {
 public:
  constexpr TByteView() = default;
  constexpr TByteView(const std::uint8_t* data, std::size_t size) : Data_(data), Size_(size) {}
  TByteView(const void* data, std::size_t size)
      : Data_(static_cast<const std::uint8_t*>(data)), Size_(size) {}

  constexpr std::size_t Size() const { return Size_; }

  // True when [offset, offset + length) lies inside the view.
  constexpr bool Holds(std::size_t offset, std::size_t length) const {
    return offset <= Size_ && length <= Size_ - offset;
  }

  // The sub-range [offset, offset + length), or nothing when it is not wholly inside the view.
  constexpr std::optional<TByteView> Slice(std::size_t offset, std::size_t length) const {
    if (!Holds(offset, length)) return std::nullopt;
    return TByteView(Data_ + offset, length);
  }

  // The sub-range from offset to the end, at most maxLength long; empty past the end.
  constexpr TByteView Clamp(std::size_t offset, std::size_t maxLength) const {
    if (offset >= Size_) return {};
    std::size_t rest = Size_ - offset;
    return TByteView(Data_ + offset, maxLength < rest ? maxLength : rest);
  }

  constexpr std::optional<std::uint8_t> ReadU8(std::size_t offset) const {
    if (!Holds(offset, 1)) return std::nullopt;
    return Data_[offset];
  }

  // Little-endian, as every field of the formats read here.
  constexpr std::optional<std::uint16_t> ReadU16(std::size_t offset) const {
    if (!Holds(offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(Data_[offset] | (Data_[offset + 1] << 8));
  }

  constexpr std::optional<std::uint32_t> ReadU32(std::size_t offset) const {
    if (!Holds(offset, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(Data_[offset]) |
           (static_cast<std::uint32_t>(Data_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(Data_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(Data_[offset + 3]) << 24);
  }

  // Offset of the first byte equal to value at or after start, or nothing.
  constexpr std::optional<std::size_t> FindByte(std::size_t start, std::uint8_t value) const {
    for (std::size_t i = start; i < Size_; ++i)
      if (Data_[i] == value) return i;
    return std::nullopt;
  }

  // Offset of the first 16-bit unit equal to value at start, start + 2, ..., or nothing.
  constexpr std::optional<std::size_t> FindU16(std::size_t start, std::uint16_t value) const {
    for (std::size_t i = start; Holds(i, 2); i += 2)
      if (*ReadU16(i) == value) return i;
    return std::nullopt;
  }

  // The part of the view from address on, at most maxLength long; nothing when address does not
  // point inside the view. For pointers that a platform call hands back into a buffer.
  std::optional<TByteView> Tail(const void* address, std::size_t maxLength) const {
    auto at = reinterpret_cast<std::uintptr_t>(address);
    auto begin = reinterpret_cast<std::uintptr_t>(Data_);
    if (!address || !Data_ || at < begin || at - begin > Size_) return std::nullopt;
    return Clamp(at - begin, maxLength);
  }

  // The address of a byte inside the view, for handing a checked position back to a caller.
  const std::uint8_t* At(std::size_t offset) const {
    return offset <= Size_ ? Data_ + offset : nullptr;
  }

 private:
  const std::uint8_t* Data_ = nullptr;
  std::size_t Size_ = 0;
};
