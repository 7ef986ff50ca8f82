// SPDX-License-Identifier: MIT
// GetFileVersionInfoSizeA, GetFileVersionInfoA and VerQueryValueA over PE and NE images.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/posix/blocks.h"
#include "platform/posix/file.h"
#include "platform/posix/image.h"
#include "platform/posix/utf8.h"
#include "platform/posix/version_buffer.h"
#include "platform/winver.h"

namespace {

// Callers ask for the size once and then read the data again and again (once per string). The
// file and the location found for it are kept while the path names the same unchanged file, so
// each read costs a stat and one read of the version data instead of an open and a new walk of
// the headers. Holding the descriptor also pins the inode: no other file can take its identity.
struct TCachedLocation {
  std::string Path;
  TRegularFile File;
  TExpected<TVersionLocation> Result;
};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The file at path with its version location, or nothing when it cannot be opened as a regular
// file. Valid until the next call on this thread.
const TCachedLocation* Locate(const char* path) {
  thread_local std::optional<TCachedLocation> cache;
  if (cache && cache->Path == path) {
    struct stat now {};
    if (stat(path, &now) == 0 && SameFile(cache->File.Status(), now)) return &*cache;
  }
  cache.reset();
  auto file = TRegularFile::Open(path);
  if (!file) return nullptr;
  TFileWindow window(*file);
  TExpected<TVersionLocation> result = LocateVersionResource(window);
  cache.emplace(TCachedLocation{path, std::move(*file), result});
  return &*cache;
}

struct TAnswer {
  std::size_t Offset;  // in the caller's buffer
  std::size_t Length;
};

// Writes text and a terminator into the conversion room for the value at valueStart.
std::optional<TAnswer> PutText(const TVersionBuffer& buffer, std::size_t valueStart,
                               std::string_view text, std::size_t length) {
  std::size_t at = RoomFor(buffer, valueStart);
  if (at > buffer.Capacity || text.size() + 1 > buffer.Capacity - at) return std::nullopt;
  std::memcpy(buffer.Base + at, text.data(), text.size());
  buffer.Base[at + text.size()] = 0;
  return TAnswer{at, length};
}

std::optional<TAnswer> Answer(const TVersionBuffer& buffer, const TVersionBlock& block) {
  // Binary values and narrow text are given in place with their stored length. Narrow text that
  // lacks its terminator still ends: at the next zero byte of the data, at the latest at the zero
  // guard after it.
  if (buffer.Flavor == TVersionFlavor::Narrow || !block.IsText)
    return TAnswer{block.ValueStart, DeclaredValue(buffer.Data, block).Size()};
  // Wide text runs to its terminator within its block, whatever its stored length says; the
  // length counts the narrow bytes and the terminator. A block queried itself, or a string of
  // stored length zero, answers with the empty text and length 0.
  if (block.ValueLength == 0) return PutText(buffer, block.ValueStart, "", 0);
  std::string text = Utf16ToUtf8(WideText(buffer.Data, block));
  return PutText(buffer, block.ValueStart, text, text.size() + 1);
}

}  // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR filename, LPDWORD handle) {
  if (handle) *handle = 0;
  const TCachedLocation* located = filename ? Locate(filename) : nullptr;
  if (!located || !located->Result) return 0;
  return static_cast<DWORD>(VersionBufferSize(located->Result->Length));
}

BOOL GetFileVersionInfoA(LPCSTR filename, DWORD /*handle*/, DWORD length, LPVOID data) {
  // A buffer too small for any version data is never written.
  if (!data || length < VersionBufferSize(0)) return 0;
  std::span<std::uint8_t> buffer(static_cast<std::uint8_t*>(data), length);
  // Callers read the same buffer again after a failed read (the fixed information comes from
  // whatever the last read left), and a read that came back short holds the first bytes of
  // other version data: a failure therefore leaves a sealed buffer that answers nothing.
  auto fail = [&] {
    SealVersionBuffer(buffer, 0);
    return 0;
  };
  const TCachedLocation* located = filename ? Locate(filename) : nullptr;
  if (!located || !located->Result) return fail();
  const TVersionLocation& where = *located->Result;

  std::size_t wanted = std::min<std::size_t>(where.Length, length);
  std::size_t fromFile = std::min<std::size_t>(where.FileBytes, wanted);
  if (located->File.ReadAt(where.Offset, buffer.first(fromFile)) != fromFile) return fail();
  std::memset(buffer.data() + fromFile, 0, wanted - fromFile);
  return SealVersionBuffer(buffer, wanted) ? 1 : 0;
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, PUINT length) {
  if (!subBlock || !value) return 0;
  auto buffer = OpenVersionBuffer(block);
  if (!buffer) return 0;
  auto found = FindBlock(buffer->Data, buffer->Flavor, subBlock);
  if (!found) return 0;
  auto answer = Answer(*buffer, *found);
  if (!answer) return 0;
  *value = buffer->Base + answer->Offset;
  if (length) *length = static_cast<UINT>(answer->Length);
  return 1;
}
