// SPDX-License-Identifier: MIT
#include "tamsik/existence.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

bool NamesExistingFile(const std::string& path) {
  if (path.empty() || path.size() > kMaxArgumentBytes) return false;
#ifdef _WIN32
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
#endif
}
