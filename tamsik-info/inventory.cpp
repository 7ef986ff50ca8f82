// SPDX-License-Identifier: MIT
#include "tamsik-info/inventory.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tamsik-info/path_list.h"
#include "tamsik-info/progress.h"
#include "tamsik-info/report.h"
#include "tamsik-info/text_escape.h"
#include "tamsik-info/walk.h"
#include "tamsik/existence.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

bool IsDirectory(const std::string& path) {
#ifdef _WIN32
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
#endif
}

// One file at a time: the record and the text buffer are reused, so memory does not grow with the
// number of files, and each report leaves as soon as it is made.
class TInventory : public TWalkVisitor {
 public:
  explicit TInventory(const TInfoOptions& options) : Options_(options) {
    Settings_.Variant = options.Full ? VersionReaderVariant::Full : VersionReaderVariant::Standard;
    Settings_.AnyFile = options.AnyFile;
  }

  bool Start() {
    if (Options_.Form != TOutputForm::Csv) return true;
    Out_.clear();
    AppendCsvHeader(Out_);
    return Write();
  }

  bool File(const std::string& path) override {
    LookUpRecord(path, Record_, Settings_);
    if (Record_.Stop == TInfoStop::NotFound) Status_ = kInfoSomeNotFound;
    Out_.clear();
    switch (Options_.Form) {
      case TOutputForm::Json:
        AppendJsonReport(Out_, path, Record_);
        break;
      case TOutputForm::Csv:
        AppendCsvReport(Out_, path, Record_);
        break;
      case TOutputForm::Text:
        if (Reported_ > 0) Out_ += '\n';
        AppendTextReport(Out_, path, Record_);
        break;
    }
    ++Reported_;
    Progress_.FileDone();
    return Write();
  }

  void Skipped(const std::string& path, const char* why) override { Message(path, why); }

  void Unreadable(const std::string& path, const std::string& reason) override {
    Message(path, "cannot read directory: " + reason);
    Status_ = kInfoSomeNotFound;
  }

  // A path from the command line or a list: a directory is walked with -r, anything else is
  // reported as the comparers see it.
  bool Path(const std::string& path) {
    if (Options_.Recursive && IsDirectory(path)) return WalkTree(path, *this);
    return File(path);
  }

  bool List(const char* name) {
    bool standardInput = std::strcmp(name, "-") == 0;
    std::FILE* stream = standardInput ? stdin : std::fopen(name, "rb");
    if (!stream) {
      Message(name, std::string("cannot read list: ") + std::strerror(errno));
      Status_ = kInfoSomeNotFound;
      return true;
    }
#ifdef _WIN32
    if (standardInput) _setmode(_fileno(stdin), _O_BINARY);
#endif
    TPathList list(stream, Options_.Null);
    std::string path;
    bool going = true;
    for (std::size_t entry = 1; going; ++entry) {
      TPathList::TNext next = list.Next(path, kMaxArgumentBytes);
      if (next == TPathList::TNext::Path) {
        going = Path(path);
      } else if (next == TPathList::TNext::TooLong) {
        Message(name, "entry " + std::to_string(entry) + " is longer than " +
                          std::to_string(kMaxArgumentBytes) + " bytes, skipped");
        Status_ = kInfoSomeNotFound;
      } else {
        if (next == TPathList::TNext::Error) {
          Message(name, "cannot read list: read error");
          Status_ = kInfoSomeNotFound;
        }
        break;
      }
    }
    if (!standardInput) std::fclose(stream);
    return going;
  }

  // The exit status once everything is reported.
  int Finish() {
    Progress_.Clear();
    errno = 0;
    if (!WriteOk_ || std::fflush(stdout) != 0) return WriteFailed();
    return Status_;
  }

 private:
  bool Write() {
    errno = 0;
    WriteOk_ = std::fwrite(Out_.data(), 1, Out_.size(), stdout) == Out_.size();
    return WriteOk_;
  }

  int WriteFailed() {
    int error = errno;
    std::fprintf(stderr, "tamsik-info: cannot write to standard output: %s\n",
                 error ? std::strerror(error) : "write error");
    return kInfoTrouble;
  }

  // Paths in messages are shown as in the text form, so no name can break the line.
  void Message(std::string_view path, const std::string& what) {
    Progress_.Clear();
    Line_ = "tamsik-info: ";
    AppendDisplayText(Line_, path);
    Line_ += ": " + what + "\n";
    std::fputs(Line_.c_str(), stderr);
  }

  const TInfoOptions& Options_;
  TLookUpSettings Settings_;
  TInfoRecord Record_;
  std::string Out_, Line_;
  std::size_t Reported_ = 0;
  int Status_ = kInfoAllFound;
  bool WriteOk_ = true;
  TProgress Progress_;
};

}  // namespace

int RunInventory(const TInfoCommand& command) {
  TInventory inventory(command.Options);
  bool going = inventory.Start();
  std::string path;
  for (std::size_t i = 0; going && i < command.Paths.size(); ++i) {
    path = command.Paths[i];
    going = inventory.Path(path);
  }
  for (std::size_t i = 0; going && i < command.Options.FilesFrom.size(); ++i)
    going = inventory.List(command.Options.FilesFrom[i]);
  return inventory.Finish();
}
