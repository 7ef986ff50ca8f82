// SPDX-License-Identifier: MIT
#include "tamsik-info/stop_text.h"

#include "platform/ascii.h"
#include "tamsik-info/record_fields.h"

namespace {

// The strings looked up in the version data.
bool HasAnyVersionString(const TFileVersionInfo& info) {
  for (const TStringKey& row : StringKeyTable)
    if (!(info.*row.Field).empty()) return true;
  return false;
}

// A DLL by its name: the shell's English type description of ".dll" names, or the extension
// itself where the description is another (a localised system, Wine).
bool NamesDll(const TFileVersionInfo& info, std::string_view path) {
  if (info.TypeName == "Application extension") return true;
  if (path.size() < 4) return false;
  return EqualFoldingAscii(path.substr(path.size() - 4), ".dll");
}

}  // namespace

std::string_view StopToken(TInfoStop stop) {
  switch (stop) {
    case TInfoStop::NotFound:
      return "NotFound";
    case TInfoStop::NotExecutable:
      return "NotExecutable";
    case TInfoStop::NoVersionInfo:
      return "NoVersionInfo";
    case TInfoStop::NoTranslation:
      return "NoTranslation";
    case TInfoStop::Complete:
      break;
  }
  return "Complete";
}

std::string_view StopWords(TInfoStop stop) {
  switch (stop) {
    case TInfoStop::NotFound:
      return "file not found";
    case TInfoStop::NotExecutable:
      return "stopped: not reported as an executable";
    case TInfoStop::NoVersionInfo:
      return "stopped: no version information";
    case TInfoStop::NoTranslation:
      return "stopped: no translation table";
    case TInfoStop::Complete:
      break;
  }
  return "read whole";
}

std::string_view StopHint(TInfoStop stop, const TFileVersionInfo& info, std::string_view path) {
  switch (stop) {
    case TInfoStop::NotFound:
      return "the comparers answer 0 when a file is missing; a directory counts as missing";
    case TInfoStop::NotExecutable:
      if (NamesDll(info, path))
        return "a DLL is no executable to the shell test, so the comparers read no version data "
               "from it: every string is empty, and two DLLs compare \"=\"";
      return "the comparers read version data only from files the shell reports as executables: "
             "every string is empty";
    case TInfoStop::NoVersionInfo:
      return "the file has no version resource: every string is empty, and equal to any other "
             "empty string";
    case TInfoStop::NoTranslation:
      return "the version data lists no translation, so no string table could be named: every "
             "string is empty";
    case TInfoStop::Complete:
      if (!HasAnyVersionString(info))
        return "no string was found: the first translation names a string table the file lacks, "
               "or the table holds none of the keys";
      break;
  }
  return {};
}
