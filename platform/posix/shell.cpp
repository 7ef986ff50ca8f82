// SPDX-License-Identifier: MIT
// SHGetFileInfoA for the two questions the version reader asks: the type description of a file
// (from its name) and whether it is a program (from its content, never its name).
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "platform/ascii.h"
#include "platform/posix/file.h"
#include "platform/posix/image.h"
#include "platform/winver.h"

namespace {

std::string_view Extension(std::string_view path) {
  if (auto slash = path.rfind('/'); slash != std::string_view::npos) path.remove_prefix(slash + 1);
  auto dot = path.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
}

// The platform's shell takes .com and .pif files for DOS programs whatever they hold; .bat and
// .cmd files it does not count as programs at all.
bool NamesDosProgram(std::string_view path) {
  std::string extension = FoldAsciiText(Extension(path));
  return extension == "COM" || extension == "PIF";
}

std::string TypeNameOf(const char* path, const struct stat& status) {
  if (S_ISDIR(status.st_mode)) return "File folder";
  std::string extension = FoldAsciiText(Extension(path));
  if (extension.empty()) return "File";
  if (extension == "EXE") return "Application";
  if (extension == "DLL") return "Application extension";
  return extension + " File";
}

// Copies text into a fixed field, cut at a UTF-8 character boundary and always terminated.
void CopyTerminated(const std::string& text, char* field, std::size_t fieldSize) {
  std::size_t length = text.size() < fieldSize ? text.size() : fieldSize - 1;
  while (length > 0 && length < text.size() &&
         (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
    --length;
  std::memcpy(field, text.data(), length);
  field[length] = 0;
}

}  // namespace

DWORD_PTR SHGetFileInfoA(LPCSTR path, DWORD /*fileAttributes*/, SHFILEINFOA* info, UINT infoSize,
                         UINT flags) {
  if (!path) return 0;
  if (flags & SHGFI_EXETYPE) {
    auto file = TRegularFile::Open(path);
    if (!file) return 0;
    TFileWindow window(*file);
    return ExecutableType(window, NamesDosProgram(path));
  }
  if (flags & SHGFI_TYPENAME) {
    if (!info || infoSize < sizeof(SHFILEINFOA)) return 0;
    struct stat status {};
    if (stat(path, &status) != 0) return 0;
    CopyTerminated(TypeNameOf(path, status), info->szTypeName, sizeof info->szTypeName);
    return 1;
  }
  return 0;
}
