// SPDX-License-Identifier: MIT
// One file as the comparers see it: their existence test, then their reader, and where it stopped;
// and what tamsik-info asks the platform besides.
#pragma once

#include <string>
#include <vector>

#include "versioninfo/versioninfo.h"

enum class TInfoStop {
  NotFound,       // the comparers' existence test fails: they answer "0" without reading
  NotExecutable,  // the shell does not report the file as a program
  NoVersionInfo,
  NoTranslation,
  Complete,
};

// Facts the comparers do not need, from the same platform functions. They are read only where the
// reader looked at the version data, so without --any-file a DLL shows none of them.
struct TInfoExtras {
  bool Executable = false;        // what the shell's executable test said
  std::string FileVersionNumber;  // "a.b.c.d" from the fixed information, or empty
  std::string ProductVersionNumber;
  std::vector<std::string> Translations;  // "040904B0": language, then code page
};

struct TInfoRecord {
  TInfoStop Stop = TInfoStop::NotFound;
  TFileVersionInfo Info;
  TInfoExtras Extras;
};

// How tamsik-info reads: as tamsik or tamsik-full, and only programs or every file.
struct TLookUpSettings {
  VersionReaderVariant Variant = VersionReaderVariant::Standard;
  bool AnyFile = false;
};

// Fills info exactly as the comparers' reader does; a file that is not found leaves it cleared.
TInfoStop LookUpFile(const std::string& path, TFileVersionInfo& info, VersionReaderVariant variant);

// Fills the whole record. Without AnyFile, Stop and Info are exactly what LookUpFile gives; with
// it the version data of files the shell calls no program is read too. The record's storage is
// reused, so a run over many files allocates nothing per file once it is warm.
void LookUpRecord(const std::string& path, TInfoRecord& record, const TLookUpSettings& settings);
