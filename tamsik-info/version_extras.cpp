// SPDX-License-Identifier: MIT
#include "tamsik-info/version_extras.h"

#include "platform/winver.h"
#include "versioninfo/fixed_info.h"
#include "versioninfo/hex_text.h"
#include "versioninfo/versioninfo.h"

namespace {

// The value a query found, as a view inside buffer; nothing when the query fails or the platform
// pointed outside the buffer.
std::optional<TByteView> Query(const std::vector<std::uint8_t>& buffer, const char* subBlock) {
  LPVOID pointer = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.data(), subBlock, &pointer, &length)) return std::nullopt;
  return TByteView(buffer.data(), buffer.size()).Tail(pointer, length);
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
    for (std::size_t at = 0; auto entry = table->Read<TTranslation>(at); at += sizeof(TTranslation))
      extras.Translations.push_back(HexText(entry->Language, 4) + HexText(entry->CodePage, 4));
  }
}
