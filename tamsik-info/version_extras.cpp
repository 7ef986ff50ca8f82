// SPDX-License-Identifier: MIT
#include "tamsik-info/version_extras.h"

#include "platform/winver.h"
#include "versioninfo/fixed_info.h"

namespace {

// The value a query found, as a view inside buffer; nothing when the query fails or the platform
// pointed outside the buffer.
std::optional<TByteView> Query(const std::vector<std::uint8_t>& buffer, const char* subBlock) {
  LPVOID pointer = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.data(), subBlock, &pointer, &length)) return std::nullopt;
  return TByteView(buffer.data(), buffer.size()).Tail(pointer, length);
}

void AppendHex4(std::string& out, std::uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

}  // namespace

std::string VersionNumberText(std::uint32_t mostSignificant, std::uint32_t leastSignificant) {
  return std::to_string(mostSignificant >> 16) + '.' + std::to_string(mostSignificant & 0xFFFF) +
         '.' + std::to_string(leastSignificant >> 16) + '.' +
         std::to_string(leastSignificant & 0xFFFF);
}

void ReadVersionExtras(const std::string& path, TInfoExtras& extras,
                       std::vector<std::uint8_t>& buffer) {
  extras.FileVersionNumber.clear();
  extras.ProductVersionNumber.clear();
  extras.Translations.clear();
  DWORD handle = 0;
  auto size = static_cast<std::int32_t>(GetFileVersionInfoSizeA(path.c_str(), &handle));
  if (size <= 0) return;
  buffer.assign(static_cast<std::size_t>(size), 0);
  if (!GetFileVersionInfoA(path.c_str(), handle, static_cast<DWORD>(buffer.size()), buffer.data()))
    return;

  if (auto root = Query(buffer, "\\"); root && root->Size() >= kFixedFileInfoSize) {
    TFixedFileInfoView fixed{*root};
    extras.FileVersionNumber = VersionNumberText(fixed.FileVersionMS(), fixed.FileVersionLS());
    extras.ProductVersionNumber =
        VersionNumberText(fixed.ProductVersionMS(), fixed.ProductVersionLS());
  }
  if (auto table = Query(buffer, "\\VarFileInfo\\Translation")) {
    for (std::size_t at = 0; auto entry = table->ReadU32(at); at += 4) {
      std::string name;
      AppendHex4(name, *entry & 0xFFFF);
      AppendHex4(name, *entry >> 16);
      extras.Translations.push_back(std::move(name));
    }
  }
}
