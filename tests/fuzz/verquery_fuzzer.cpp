// SPDX-License-Identifier: MIT
// The version-tree walk: any sub-block path over any version data, sealed the way
// GetFileVersionInfoA seals it. The input is one byte n (its high bit asks for a buffer smaller
// than the data), n bytes of sub-block path, and the version data.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/version_buffer.h"
#include "platform/winver.h"

namespace {

// A successful query must answer inside the buffer, length included.
void Query(const std::vector<std::uint8_t>& buffer, const std::string& path) {
  LPVOID value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.data(), path.c_str(), &value, &length)) return;
  auto at = static_cast<const std::uint8_t*>(value);
  const std::uint8_t* end = buffer.data() + buffer.size();
  if (at < buffer.data() || at > end || length > static_cast<std::size_t>(end - at)) std::abort();
}

std::string TranslationTable(const std::vector<std::uint8_t>& buffer) {
  LPVOID value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4)
    return {};
  std::uint32_t entry;
  std::memcpy(&entry, value, 4);
  char name[9];
  std::snprintf(name, sizeof name, "%04X%04X", entry & 0xFFFF, entry >> 16);
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::size_t pathLength = std::min<std::size_t>(data[0] & 0x7F, size - 1);
  bool shortBuffer = data[0] & 0x80;
  std::string path(reinterpret_cast<const char*>(data + 1), pathLength);
  path = path.substr(0, path.find('\0'));
  const std::uint8_t* version = data + 1 + pathLength;
  std::size_t versionSize = std::min<std::size_t>(size - 1 - pathLength, 0xFFFF);

  std::size_t bufferSize = VersionBufferSize(static_cast<std::uint32_t>(versionSize));
  if (shortBuffer) bufferSize = 20 + versionSize / 3;
  std::vector<std::uint8_t> buffer(bufferSize);
  std::size_t copied = std::min(versionSize, bufferSize);
  std::copy(version, version + copied, buffer.begin());
  if (!SealVersionBuffer(buffer, copied)) std::abort();

  Query(buffer, path);
  Query(buffer, "");
  Query(buffer, "\\VarFileInfo\\Translation");
  std::string table = TranslationTable(buffer);
  if (!table.empty()) Query(buffer, "\\StringFileInfo\\" + table + "\\" + path);
  return 0;
}
