// SPDX-License-Identifier: MIT
#include "tamsik-info/look_up.h"

#include "tamsik-info/version_extras.h"
#include "tamsik/existence.h"

namespace {

TInfoStop FromReadStop(TReadStop stop) {
  switch (stop) {
    case TReadStop::NotExecutable:
      return TInfoStop::NotExecutable;
    case TReadStop::NoVersionInfo:
      return TInfoStop::NoVersionInfo;
    case TReadStop::NoTranslation:
      return TInfoStop::NoTranslation;
    case TReadStop::Complete:
      break;
  }
  return TInfoStop::Complete;
}

}  // namespace

TInfoStop LookUpFile(const std::string& path, TFileVersionInfo& info,
                     VersionReaderVariant variant) {
  if (!NamesExistingFile(path)) {
    info = TFileVersionInfo{};
    return TInfoStop::NotFound;
  }
  return FromReadStop(ReadFileVersionInfoTraced(path, info, variant));
}

void LookUpRecord(const std::string& path, TInfoRecord& record, const TLookUpSettings& settings) {
  thread_local std::vector<std::uint8_t> buffer;
  TInfoExtras& extras = record.Extras;
  extras.Executable = false;
  extras.FileVersionNumber.clear();
  extras.ProductVersionNumber.clear();
  extras.Translations.clear();
  if (!settings.AnyFile) {
    record.Stop = LookUpFile(path, record.Info, settings.Variant);
    extras.Executable =
        record.Stop != TInfoStop::NotFound && record.Stop != TInfoStop::NotExecutable;
  } else if (!NamesExistingFile(path)) {
    record.Info = TFileVersionInfo{};
    record.Stop = TInfoStop::NotFound;
  } else {
    record.Stop = FromReadStop(
        ReadAnyFileVersionInfo(path, record.Info, settings.Variant, extras.Executable));
  }
  // Only where the reader looked at the version data, so the extras never show what it skipped.
  if (record.Stop != TInfoStop::NotFound && record.Stop != TInfoStop::NotExecutable &&
      record.Stop != TInfoStop::NoVersionInfo)
    ReadVersionExtras(path, extras, buffer);
}
