// SPDX-License-Identifier: MIT
// The whole reader on one file: the shell's questions, the size, twelve reads and lookups and the
// fixed information, as both programs run it.
#include <cstdlib>

#include "tests/fuzz/input_file.h"
#include "versioninfo/versioninfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TInputFile input;
  const std::string& path = input.Write(data, size);
  TFileVersionInfo info;
  TReadStop stop = ReadFileVersionInfoTraced(path, info, VersionReaderVariant::Standard);

  // Texts end at their first zero byte, and a read that found no table holds no strings.
  for (const TStringKey& row : StringKeyTable) {
    const std::string& text = info.*row.Field;
    if (text.find('\0') != std::string::npos) std::abort();
    if (stop != TReadStop::Complete && !text.empty()) std::abort();
  }
  bool anyFlag = info.IsDebug || info.IsPreRelease || info.IsSpecialBuild || info.IsPrivateBuild ||
                 info.IsPatched || info.IsInfoInferred;
  bool noData = stop == TReadStop::NotExecutable || stop == TReadStop::NoVersionInfo;
  if (noData && (anyFlag || !info.FileType.empty())) std::abort();
  return 0;
}
