// SPDX-License-Identifier: MIT
#include "platform/posix/version_buffer.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint8_t kMagic[4] = {'T', 'V', 'I', '1'};

// Written at the first 4-byte boundary at or after the end of the data.
struct TTrailer {
  TLe32 Guard;  // zero: a root length of zero for a walk that runs past the data
  std::uint8_t Magic[4];
  TLe32 Capacity;  // the caller's buffer size
  std::uint8_t Flavor;
  std::uint8_t Reserved[3];
};
constexpr std::size_t kTrailerSize = sizeof(TTrailer);
static_assert(kTrailerSize == 16);

// The root block's length field, the first of the data.
struct TRootLength {
  TLe16 Length;
};

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
  if (auto root = TByteView(buffer.data(), copied).Read<TRootLength>(0))
    length = std::min<std::size_t>(root->Length, copied);
  // A buffer smaller than the data keeps the leading part that leaves room for the trailer.
  if (Align4(length) + kTrailerSize > buffer.size())
    length = (buffer.size() - kTrailerSize) & ~std::size_t{3};
  if (length >= sizeof(TRootLength)) {
    TRootLength root{TLe16::From(static_cast<std::uint16_t>(length))};
    std::memcpy(buffer.data(), &root, sizeof root);
  }

  std::size_t at = Align4(length);
  std::memset(buffer.data() + length, 0, at - length);
  TTrailer trailer{};
  std::memcpy(trailer.Magic, kMagic, sizeof kMagic);
  trailer.Capacity = TLe32::From(static_cast<std::uint32_t>(buffer.size()));
  trailer.Flavor = static_cast<std::uint8_t>(DetectFlavor(TByteView(buffer.data(), length)));
  std::memcpy(buffer.data() + at, &trailer, sizeof trailer);
  return true;
}

std::optional<TVersionBuffer> OpenVersionBuffer(const void* buffer) {
  if (!buffer) return std::nullopt;
  auto* base = static_cast<std::uint8_t*>(const_cast<void*>(buffer));
  // Any buffer this opens was sealed, so its root length and trailer are there to read.
  auto root = TByteView(base, sizeof(TRootLength)).Read<TRootLength>(0);
  if (!root) return std::nullopt;
  std::size_t length = root->Length;
  std::size_t at = Align4(length);
  auto trailer = TByteView(base, at + kTrailerSize).Read<TTrailer>(at);
  if (!trailer || std::memcmp(trailer->Magic, kMagic, sizeof kMagic) != 0) return std::nullopt;
  std::size_t capacity = trailer->Capacity;
  std::uint8_t flavor = trailer->Flavor;
  if (capacity < at + kTrailerSize || flavor > 1) return std::nullopt;
  TVersionBuffer layout;
  layout.Data = TByteView(base, length);
  layout.Flavor = static_cast<TVersionFlavor>(flavor);
  layout.Base = base;
  layout.RoomStart = at + kTrailerSize;
  layout.Capacity = capacity;
  return layout;
}

std::size_t RoomFor(const TVersionBuffer& buffer, std::size_t valueStart) {
  return buffer.RoomStart + valueStart + valueStart / 2;
}
