// SPDX-License-Identifier: MIT
// Image headers, resource directories and NE resource tables: finding the version resource and
// telling the executable type must end, stay inside the file and give a location the file holds.
#include <cstdlib>

#include "platform/posix/file.h"
#include "platform/posix/image.h"
#include "tests/fuzz/input_file.h"

namespace {

bool SameResult(const TExpected<TVersionLocation>& a, const TExpected<TVersionLocation>& b) {
  if (a.Fault() != b.Fault()) return false;
  return !a || (a->Offset == b->Offset && a->Length == b->Length && a->FileBytes == b->FileBytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TInputFile input;
  const std::string& path = input.Write(data, size);
  auto file = TRegularFile::Open(path.c_str());
  if (!file) std::abort();

  TFileWindow window(*file);
  TExpected<TVersionLocation> located = LocateVersionResource(window);
  if (located) {
    const TVersionLocation& at = *located;
    bool sound = at.Length > 0 && at.Length <= kMaxVersionData && at.FileBytes <= at.Length &&
                 at.Offset <= size && at.FileBytes <= size - at.Offset;
    if (!sound) std::abort();
  }
  // The window's cache must not change an answer: a warm window and a cold one agree.
  std::uint32_t type = ExecutableType(window);
  TFileWindow cold(*file);
  if (!SameResult(located, LocateVersionResource(cold))) std::abort();
  TFileWindow cold2(*file);
  if (ExecutableType(cold2) != type) std::abort();
  return 0;
}
