// SPDX-License-Identifier: MIT
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/winver.h"
#include "versioninfo/hex_text.h"
#include "versioninfo/versioninfo.h"

namespace {

const char* KeyFor(const TStringKey& row, VersionReaderVariant variant) {
  if (row.Field == &TFileVersionInfo::FileVersion && variant == VersionReaderVariant::Full)
    return "Full Version";
  return row.Key;
}

// The state of one reader call that every lookup shares.
struct TReaderCall {
  const std::string& Path;
  DWORD Handle;
  std::vector<std::uint8_t>& Buffer;
  bool ReadAny = false;
  bool FoundTranslation = false;
};

// Text that a platform call placed in the buffer: up to its first zero byte, never past the
// buffer's end.
std::string TextAt(const std::vector<std::uint8_t>& buffer, const void* pointer) {
  auto tail = TByteView(buffer.data(), buffer.size()).Tail(pointer, buffer.size());
  if (!tail) return {};
  std::size_t end = tail->FindByte(0, 0).value_or(tail->Size());
  return std::string(reinterpret_cast<const char*>(tail->At(0)), end);
}

std::string QueryVersionString(TReaderCall& call, std::string_view key) {
  // Every lookup reads the version data from the file again, into the same buffer.
  if (!GetFileVersionInfoA(call.Path.c_str(), call.Handle, static_cast<DWORD>(call.Buffer.size()),
                           call.Buffer.data()))
    return {};
  call.ReadAny = true;

  LPVOID pointer = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(call.Buffer.data(), "\\VarFileInfo\\Translation", &pointer, &length))
    return {};
  // Only the first entry counts; an empty table names no language, like a missing one.
  auto table = TByteView(call.Buffer.data(), call.Buffer.size()).Tail(pointer, length);
  auto first = table ? table->Read<TTranslation>(0) : std::nullopt;
  if (!first) return {};
  call.FoundTranslation = true;

  std::uint32_t language = first->Language, codePage = first->CodePage;
  // String tables are named by four hexadecimal digits each, upper case.
  std::string block = "\\StringFileInfo\\" + HexText(language, 4) + HexText(codePage, 4) + "\\";
  block += key;
  if (!VerQueryValueA(call.Buffer.data(), block.c_str(), &pointer, &length)) return {};
  return TextAt(call.Buffer, pointer);
}

TReadStop ReadTraced(const std::string& path, TFileVersionInfo& info, VersionReaderVariant variant,
                     bool anyFile, bool& executable) {
  // Cleared first, so a record read into twice keeps nothing of the earlier file.
  info = TFileVersionInfo{};

  SHFILEINFOA shell{};
  if (SHGetFileInfoA(path.c_str(), 0, &shell, sizeof shell, SHGFI_TYPENAME)) {
    TByteView name(shell.szTypeName, sizeof shell.szTypeName);
    info.TypeName.assign(shell.szTypeName, name.FindByte(0, 0).value_or(name.Size()));
  }
  executable = SHGetFileInfoA(path.c_str(), 0, &shell, sizeof shell, SHGFI_EXETYPE) != 0;
  if (!executable && !anyFile) return TReadStop::NotExecutable;

  DWORD handle = 0;
  auto size = static_cast<std::int32_t>(GetFileVersionInfoSizeA(path.c_str(), &handle));
  if (size <= 0) return TReadStop::NoVersionInfo;

  // Zero-filled and released on every way out; no memory ends the program through main's handler.
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
  TReaderCall call{path, handle, buffer};
  for (const TStringKey& row : StringKeyTable)
    info.*row.Field = QueryVersionString(call, KeyFor(row, variant));

  if (auto fixed = GetFixedFileInfo(TByteView(buffer.data(), buffer.size()))) {
    info.IsDebug = HasFileFlag(*fixed, VS_FF_DEBUG);
    info.IsPreRelease = HasFileFlag(*fixed, VS_FF_PRERELEASE);
    info.IsPrivateBuild = HasFileFlag(*fixed, VS_FF_PRIVATEBUILD);
    info.IsSpecialBuild = HasFileFlag(*fixed, VS_FF_SPECIALBUILD);
    info.IsPatched = HasFileFlag(*fixed, VS_FF_PATCHED);
    info.IsInfoInferred = HasFileFlag(*fixed, VS_FF_INFOINFERRED);
    info.FileType = FileTypeText(*fixed);
  }
  if (!call.ReadAny) return TReadStop::NoVersionInfo;
  return call.FoundTranslation ? TReadStop::Complete : TReadStop::NoTranslation;
}

}  // namespace

TReadStop ReadFileVersionInfoTraced(const std::string& path, TFileVersionInfo& info,
                                    VersionReaderVariant variant) {
  bool executable = false;
  return ReadTraced(path, info, variant, false, executable);
}

TReadStop ReadAnyFileVersionInfo(const std::string& path, TFileVersionInfo& info,
                                 VersionReaderVariant variant, bool& executable) {
  return ReadTraced(path, info, variant, true, executable);
}

void ReadFileVersionInfo(const std::string& path, TFileVersionInfo& info,
                         VersionReaderVariant variant) {
  ReadFileVersionInfoTraced(path, info, variant);
}
