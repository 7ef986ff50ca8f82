// SPDX-License-Identifier: MIT
// The fixed-layout block of a version resource (VS_FIXEDFILEINFO): its build flags and a text for
// its file type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/byte_view.h"

// VS_FIXEDFILEINFO as the version data holds it.
struct TFixedFileInfo {
  TLe32 Signature;
  TLe32 StrucVersion;
  TLe32 FileVersionMS;
  TLe32 FileVersionLS;
  TLe32 ProductVersionMS;
  TLe32 ProductVersionLS;
  TLe32 FileFlagsMask;
  TLe32 FileFlags;
  TLe32 FileOS;
  TLe32 FileType;
  TLe32 FileSubtype;
  TLe32 FileDateMS;
  TLe32 FileDateLS;
};

constexpr std::size_t kFixedFileInfoSize = sizeof(TFixedFileInfo);
static_assert(kFixedFileInfoSize == 52);

// The fixed information, in place in the version buffer. Built from a view of at least
// kFixedFileInfoSize bytes; a shorter one reads as all zero.
struct TFixedFileInfoView {
  TByteView Bytes;
  TFixedFileInfo Fields() const { return Bytes.Read<TFixedFileInfo>(0).value_or(TFixedFileInfo{}); }
  std::uint32_t FileVersionMS() const { return Fields().FileVersionMS; }
  std::uint32_t FileVersionLS() const { return Fields().FileVersionLS; }
  std::uint32_t ProductVersionMS() const { return Fields().ProductVersionMS; }
  std::uint32_t ProductVersionLS() const { return Fields().ProductVersionLS; }
  std::uint32_t FileFlagsMask() const { return Fields().FileFlagsMask; }
  std::uint32_t FileFlags() const { return Fields().FileFlags; }
  std::uint32_t FileType() const { return Fields().FileType; }
  std::uint32_t FileSubtype() const { return Fields().FileSubtype; }
};

// The root value of the version data in buffer, or nothing when there is none or it is too short
// to be a VS_FIXEDFILEINFO.
std::optional<TFixedFileInfoView> GetFixedFileInfo(TByteView buffer);

// True when the flag is both declared valid by the mask and set.
bool HasFileFlag(const TFixedFileInfoView& view, std::uint16_t bit);

std::string FileTypeText(const TFixedFileInfoView& view);
