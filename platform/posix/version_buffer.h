// SPDX-License-Identifier: MIT
// The layout of the caller's version buffer. The version data comes first, exactly as the file
// holds it, so the root's length field bounds every walk; a small trailer after it records how
// large the buffer is and which flavor the data has; the rest is room where text values are
// converted to narrow text, each at a place of its own so that earlier answers stay intact.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/byte_view.h"
#include "platform/posix/blocks.h"

// Bytes a caller's buffer needs for version data of at most length bytes.
std::size_t VersionBufferSize(std::uint32_t length);

// Called once copied bytes of version data are in buffer[0, copied): trims the root's length to
// what the buffer really holds and writes the trailer. False when the buffer is too small even
// for the trailer.
bool SealVersionBuffer(std::span<std::uint8_t> buffer, std::size_t copied);

struct TVersionBuffer {
  TByteView Data;
  TVersionFlavor Flavor = TVersionFlavor::Wide;
  std::uint8_t* Base = nullptr;  // start of the caller's buffer
  std::size_t RoomStart = 0;     // the conversion room is [RoomStart, Capacity)
  std::size_t Capacity = 0;
};

// Reads the layout back from a buffer that SealVersionBuffer completed; nothing for any other.
std::optional<TVersionBuffer> OpenVersionBuffer(const void* buffer);

// Where in the buffer the narrow form of a value that starts at data offset valueStart goes.
// Each value gets half as much room again as it takes in the data, which fits the longest UTF-8
// form of its UTF-16 text and a terminator. Texts of different strings never overlap, so their
// answers stay intact; only a block that holds text and children (no real file has one) shares
// its room with them.
std::size_t RoomFor(const TVersionBuffer& buffer, std::size_t valueStart);
