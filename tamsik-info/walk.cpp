// SPDX-License-Identifier: MIT
#include "tamsik-info/walk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';

std::string LastErrorText() {
  char text[256] = {};
  DWORD error = GetLastError();
  if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                      text, sizeof text, nullptr))
    return "error " + std::to_string(error);
  std::string reason(text);
  reason.erase(reason.find_last_not_of(" \r\n.") + 1);
  return reason;
}
#else
constexpr char kSeparator = '/';

// A link, or an entry whose kind the directory did not tell: what it is, following a link.
TEntryKind KindByStatus(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0) return TEntryKind::Other;
  bool link = S_ISLNK(status.st_mode);
  if (link && stat(path.c_str(), &status) != 0) return TEntryKind::Other;
  if (S_ISREG(status.st_mode)) return TEntryKind::File;
  if (S_ISDIR(status.st_mode)) return link ? TEntryKind::LinkToDirectory : TEntryKind::Directory;
  return TEntryKind::Other;
}
#endif

const char* SkipReason(TEntryKind kind) {
  return kind == TEntryKind::LinkToDirectory ? "link to a directory, not followed"
                                             : "not a regular file";
}

}  // namespace

std::string JoinPath(const std::string& directory, const std::string& name) {
  std::string path = directory;
  if (!path.empty() && path.back() != '/' && path.back() != kSeparator) path += kSeparator;
  return path + name;
}

bool ListDirectory(const std::string& path, std::vector<TDirectoryEntry>& entries,
                   std::string& reason) {
  entries.clear();
  bool complete = true;
#ifdef _WIN32
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(path, "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    reason = LastErrorText();
    return false;
  }
  do {
    std::string_view name(found.cFileName);
    if (name == "." || name == "..") continue;
    DWORD attributes = found.dwFileAttributes;
    TEntryKind kind = TEntryKind::File;
    // Junctions and links to directories are reparse points; a walk never follows them.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
      kind = attributes & FILE_ATTRIBUTE_REPARSE_POINT ? TEntryKind::LinkToDirectory
                                                       : TEntryKind::Directory;
    else if (attributes & FILE_ATTRIBUTE_DEVICE)
      kind = TEntryKind::Other;
    entries.push_back({std::string(name), kind});
  } while (FindNextFileA(search, &found));
  if (GetLastError() != ERROR_NO_MORE_FILES) {
    reason = LastErrorText();
    complete = false;
  }
  FindClose(search);
#else
  DIR* directory = opendir(path.c_str());
  if (!directory) {
    reason = std::strerror(errno);
    return false;
  }
  for (;;) {
    errno = 0;
    dirent* entry = readdir(directory);
    if (!entry) {
      if (errno != 0) {
        reason = std::strerror(errno);
        complete = false;
      }
      break;
    }
    std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    TEntryKind kind;
    switch (entry->d_type) {
      case DT_REG:
        kind = TEntryKind::File;
        break;
      case DT_DIR:
        kind = TEntryKind::Directory;
        break;
      case DT_LNK:
      case DT_UNKNOWN:
        kind = KindByStatus(JoinPath(path, std::string(name)));
        break;
      default:
        kind = TEntryKind::Other;
    }
    entries.push_back({std::string(name), kind});
  }
  closedir(directory);
#endif
  // std::string compares with char_traits<char>::compare, that is memcmp: byte order, whatever
  // the locale, so a listing is the same on every machine.
  std::sort(entries.begin(), entries.end(),
            [](const TDirectoryEntry& a, const TDirectoryEntry& b) { return a.Name < b.Name; });
  return complete;
}

bool WalkTree(const std::string& root, TWalkVisitor& visitor) {
  struct TLevel {
    std::string Path;
    std::vector<TDirectoryEntry> Entries;
    std::size_t Next = 0;
  };
  // Levels are kept when the walk climbs back, so their storage serves the next directory at that
  // depth: memory stays what the deepest and widest directory needed.
  std::vector<TLevel> levels(1);
  std::size_t depth = 0;
  std::string reason;
  auto enter = [&](const std::string& path) {
    TLevel& level = levels[depth];
    level.Path = path;
    level.Next = 0;
    if (!ListDirectory(path, level.Entries, reason)) visitor.Unreadable(path, reason);
  };
  enter(root);
  std::string path;
  for (;;) {
    TLevel& level = levels[depth];
    if (level.Next == level.Entries.size()) {
      if (depth == 0) return true;
      --depth;
      continue;
    }
    const TDirectoryEntry& entry = level.Entries[level.Next++];
    path = JoinPath(level.Path, entry.Name);
    switch (entry.Kind) {
      case TEntryKind::File:
        if (!visitor.File(path)) return false;
        break;
      case TEntryKind::Directory:
        if (++depth == levels.size()) levels.emplace_back();
        enter(path);
        break;
      case TEntryKind::LinkToDirectory:
        break;
      case TEntryKind::Other:
        visitor.Skipped(path, SkipReason(entry.Kind));
        break;
    }
  }
}
