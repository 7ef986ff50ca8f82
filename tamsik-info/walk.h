// SPDX-License-Identifier: MIT
// Walking a directory tree for -r: regular files and links to regular files, each directory's
// entries in byte order of their names, links to directories not followed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TEntryKind {
  File,             // a regular file, or a link to one
  Directory,        // a directory itself, never a link to one
  LinkToDirectory,  // not followed
  Other,            // a FIFO, socket, device or broken link: never opened
};

struct TDirectoryEntry {
  std::string Name;
  TEntryKind Kind = TEntryKind::Other;
};

// What a walk tells its caller. The walk goes on after everything but a false from File.
class TWalkVisitor {
 public:
  virtual ~TWalkVisitor() = default;
  // A file to report; false ends the walk (the output is gone).
  virtual bool File(const std::string& path) = 0;
  // An entry that is neither walked nor reported, with why, in a few words.
  virtual void Skipped(const std::string& path, const char* why) = 0;
  // A directory that could not be read, with the system's reason.
  virtual void Unreadable(const std::string& path, const std::string& reason) = 0;
};

// Lists the entries of the directory at path, "." and ".." left out, sorted by name. False, with
// the reason, when it cannot be read; entries then holds what was read before the error.
bool ListDirectory(const std::string& path, std::vector<TDirectoryEntry>& entries,
                   std::string& reason);

// The path of name inside directory.
std::string JoinPath(const std::string& directory, const std::string& name);

// Walks the tree under the directory at root, depth first. Memory grows with the depth of the
// tree and the width of its directories, never with the number of files walked. False when the
// visitor ended the walk.
bool WalkTree(const std::string& root, TWalkVisitor& visitor);
