// SPDX-License-Identifier: MIT
// The fixed-layout block of a version resource (VS_FIXEDFILEINFO): its build flags and a text for
// its file type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/byte_view.h"

// The fixed information, read in place in the version buffer. Only built from a view of at least
// kFixedFileInfoSize bytes, so the field reads cannot fail.
constexpr std::size_t kFixedFileInfoSize = 52;

struct TFixedFileInfoView {
  TByteView Bytes;
  std::uint32_t FileVersionMS() const { return *Bytes.ReadU32(8); }
  std::uint32_t FileVersionLS() const { return *Bytes.ReadU32(12); }
  std::uint32_t ProductVersionMS() const { return *Bytes.ReadU32(16); }
  std::uint32_t ProductVersionLS() const { return *Bytes.ReadU32(20); }
  std::uint32_t FileFlagsMask() const { return *Bytes.ReadU32(24); }
  std::uint32_t FileFlags() const { return *Bytes.ReadU32(28); }
  std::uint32_t FileType() const { return *Bytes.ReadU32(36); }
  std::uint32_t FileSubtype() const { return *Bytes.ReadU32(40); }
};

// The root value of the version data in buffer, or nothing when there is none or it is too short
// to be a VS_FIXEDFILEINFO.
std::optional<TFixedFileInfoView> GetFixedFileInfo(TByteView buffer);

// True when the flag is both declared valid by the mask and set.
bool HasFileFlag(const TFixedFileInfoView& view, std::uint16_t bit);

std::string FileTypeText(const TFixedFileInfoView& view);
