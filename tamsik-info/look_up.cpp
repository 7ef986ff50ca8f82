// SPDX-License-Identifier: MIT
#include "tamsik-info/look_up.h"

#include "tamsik/existence.h"

TInfoStop LookUpFile(const std::string& path, TFileVersionInfo& info, VersionReaderVariant variant) {
  if (!NamesExistingFile(path)) {
    info = TFileVersionInfo{};
    return TInfoStop::NotFound;
  }
  switch (ReadFileVersionInfoTraced(path, info, variant)) {
    case TReadStop::NotExecutable: return TInfoStop::NotExecutable;
    case TReadStop::NoVersionInfo: return TInfoStop::NoVersionInfo;
    case TReadStop::NoTranslation: return TInfoStop::NoTranslation;
    case TReadStop::Complete: break;
  }
  return TInfoStop::Complete;
}
