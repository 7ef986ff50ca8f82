// SPDX-License-Identifier: MIT
#include "platform/posix/version_buffer.h"

#include <cstring>

namespace {

constexpr std::size_t kTrailerSize = 16;
constexpr std::uint8_t kMagic[4] = {'T', 'V', 'I', '1'};

std::size_t Align4(std::size_t value) { return (value + 3) & ~std::size_t{3}; }

void PutU16(std::span<std::uint8_t> out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::size_t VersionBufferSize(std::uint32_t length) {
  return Align4(length) + kTrailerSize + length + length / 2 + 4;
}

bool SealVersionBuffer(std::span<std::uint8_t> buffer, std::size_t copied) {
  // The buffer size is the caller's DWORD and the trailer records it in 32 bits.
  if (buffer.size() < kTrailerSize + 4 || buffer.size() > UINT32_MAX || copied > buffer.size())
    return false;
  // Too little data for a length field is no data: the trailer's zero guard then lands at
  // offset 0 and reads as a root length of zero.
  std::size_t length = 0;
  if (copied >= 2) {
    std::size_t claimed = *TByteView(buffer.data(), 2).ReadU16(0);
    length = claimed < copied ? claimed : copied;
  }
  // A buffer smaller than the data keeps the leading part that leaves room for the trailer.
  if (Align4(length) + kTrailerSize > buffer.size()) length = (buffer.size() - kTrailerSize) & ~std::size_t{3};
  if (length >= 2) PutU16(buffer, 0, static_cast<std::uint16_t>(length));

  std::size_t trailer = Align4(length);
  std::memset(buffer.data() + length, 0, trailer - length);
  PutU32(buffer, trailer, 0);  // a zero guard right after the data
  std::memcpy(buffer.data() + trailer + 4, kMagic, sizeof kMagic);
  PutU32(buffer, trailer + 8, static_cast<std::uint32_t>(buffer.size()));
  TVersionFlavor flavor = DetectFlavor(TByteView(buffer.data(), length));
  buffer[trailer + 12] = static_cast<std::uint8_t>(flavor);
  buffer[trailer + 13] = buffer[trailer + 14] = buffer[trailer + 15] = 0;
  return true;
}

std::optional<TVersionBuffer> OpenVersionBuffer(const void* buffer) {
  if (!buffer) return std::nullopt;
  auto* base = static_cast<std::uint8_t*>(const_cast<void*>(buffer));
  std::size_t length = *TByteView(base, 2).ReadU16(0);
  std::size_t trailer = Align4(length);
  TByteView whole(base, trailer + kTrailerSize);
  if (std::memcmp(whole.At(trailer + 4), kMagic, sizeof kMagic) != 0) return std::nullopt;
  std::size_t capacity = *whole.ReadU32(trailer + 8);
  auto flavor = *whole.ReadU8(trailer + 12);
  if (capacity < trailer + kTrailerSize || flavor > 1) return std::nullopt;
  TVersionBuffer layout;
  layout.Data = TByteView(base, length);
  layout.Flavor = static_cast<TVersionFlavor>(flavor);
  layout.Base = base;
  layout.RoomStart = trailer + kTrailerSize;
  layout.Capacity = capacity;
  return layout;
}

std::size_t RoomFor(const TVersionBuffer& buffer, std::size_t valueStart) {
  return buffer.RoomStart + valueStart + valueStart / 2;
}
