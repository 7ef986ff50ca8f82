// SPDX-License-Identifier: MIT
// The one bounded reader through which every byte taken from a file passes. Each read names an
// offset and a length; both are checked for overflow before they are compared with the end, and a
// read that does not fit gives no value instead of touching memory outside the view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

// Rounds up to the next multiple of four. Offsets inside version data stay below 64 KiB plus a
// few bytes and buffer sizes below 4 GiB, so the sum cannot overflow.
constexpr std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// An unsigned field as a file stores it: little-endian bytes, with no alignment of its own, so a
// structure made of such fields has exactly the size and layout the format gives it.
template <typename T>
struct TLittleEndian {
  std::uint8_t Bytes[sizeof(T)];

  constexpr operator T() const {
    T value = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) value = static_cast<T>((value << 8) | Bytes[i]);
    return value;
  }
  static constexpr TLittleEndian From(T value) {
    TLittleEndian field{};
    for (std::size_t i = 0; i < sizeof(T); ++i, value = static_cast<T>(value >> 8))
      field.Bytes[i] = static_cast<std::uint8_t>(value);
    return field;
  }
};

using TLe16 = TLittleEndian<std::uint16_t>;
using TLe32 = TLittleEndian<std::uint32_t>;
using TLe64 = TLittleEndian<std::uint64_t>;

// A structure read from a file: made of bytes and little-endian fields only.
template <typename T>
concept CFileStructure = std::is_trivially_copyable_v<T> && alignof(T) == 1;

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

  // A structure by value, or nothing when it does not fit wholly inside the view.
  template <CFileStructure T>
  std::optional<T> Read(std::size_t offset) const {
    if (!Holds(offset, sizeof(T))) return std::nullopt;
    T value;
    std::memcpy(&value, Data_ + offset, sizeof(T));
    return value;
  }

  // Offset of the first byte equal to value at or after start, or nothing.
  constexpr std::optional<std::size_t> FindByte(std::size_t start, std::uint8_t value) const {
    for (std::size_t i = start; i < Size_; ++i)
      if (Data_[i] == value) return i;
    return std::nullopt;
  }

  // Offset of the first 16-bit unit equal to value at start, start + 2, ..., or nothing.
  constexpr std::optional<std::size_t> FindU16(std::size_t start, std::uint16_t value) const {
    for (std::size_t i = start; auto unit = ReadU16(i); i += 2)
      if (*unit == value) return i;
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
