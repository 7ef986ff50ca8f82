// SPDX-License-Identifier: MIT
/* The least a walk that answers as the comparers do must ask of the system for each file: list
   the directories, then the existence test (a stat), the shell's type name (a stat) and its
   executable test (open, fstat, one 4 KiB read, close). No parsing, no output. */
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static char head[4096];
static long files;

static void Walk(const char* directory) {
  DIR* listing = opendir(directory);
  if (!listing) return;
  struct dirent* entry;
  char path[4096];
  while ((entry = readdir(listing)) != NULL) {
    if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) continue;
    snprintf(path, sizeof path, "%s/%s", directory, entry->d_name);
    if (entry->d_type == DT_DIR) {
      Walk(path);
      continue;
    }
    if (entry->d_type != DT_REG) continue;
    struct stat status;
    if (stat(path, &status) != 0 || stat(path, &status) != 0) continue;
    int fd = open(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) continue;
    if (fstat(fd, &status) == 0 && pread(fd, head, sizeof head, 0) < 0) abort();
    close(fd);
    ++files;
  }
  closedir(listing);
}

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) Walk(argv[i]);
  return files > 0 ? 0 : 1;
}
