// SPDX-License-Identifier: MIT
// What can be learnt about one file: the shell's type description, twelve strings of its version
// resource, six build flags and a text for its file type.
#pragma once

#include <string>

#include "versioninfo/fixed_info.h"

struct TFileVersionInfo {
  std::string TypeName;
  std::string CompanyName;
  std::string FileDescription;
  std::string FileVersion;  // "Full Version" in the Full variant
  std::string InternalName;
  std::string LegalCopyRight;
  std::string LegalTradeMarks;
  std::string OriginalFileName;
  std::string ProductName;
  std::string ProductVersion;
  std::string Comments;
  std::string SpecialBuild;
  std::string PrivateBuild;
  std::string FileType;
  bool IsDebug = false;
  bool IsPreRelease = false;
  bool IsSpecialBuild = false;
  bool IsPrivateBuild = false;
  bool IsPatched = false;
  bool IsInfoInferred = false;

  friend bool operator==(const TFileVersionInfo&, const TFileVersionInfo&) = default;
};

// A string of the record and the key it is looked up by.
struct TStringKey {
  std::string TFileVersionInfo::*Field;
  const char* Key;
};

// The twelve strings, in the order the reader looks them up; the keys go to the platform exactly
// as written, capitals included. The Full variant looks FileVersion up by "Full Version".
inline constexpr TStringKey StringKeyTable[] = {
    {&TFileVersionInfo::CompanyName, "CompanyName"},
    {&TFileVersionInfo::FileDescription, "FileDescription"},
    {&TFileVersionInfo::FileVersion, "FileVersion"},
    {&TFileVersionInfo::InternalName, "InternalName"},
    {&TFileVersionInfo::LegalCopyRight, "LegalCopyRight"},
    {&TFileVersionInfo::LegalTradeMarks, "LegalTradeMarks"},
    {&TFileVersionInfo::OriginalFileName, "OriginalFileName"},
    {&TFileVersionInfo::ProductName, "ProductName"},
    {&TFileVersionInfo::ProductVersion, "ProductVersion"},
    {&TFileVersionInfo::Comments, "Comments"},
    {&TFileVersionInfo::SpecialBuild, "SpecialBuild"},
    {&TFileVersionInfo::PrivateBuild, "PrivateBuild"},
};

// One entry of the translation table ("\VarFileInfo\Translation"): the language and code page
// whose string table ("\StringFileInfo\LLLLCCCC") holds the strings.
struct TTranslation {
  TLe16 Language;
  TLe16 CodePage;
};

// Which key fills FileVersion; each program fixes it when it is built.
enum class VersionReaderVariant { Standard, Full };

// How far a read got; the comparers ignore it, tamsik-info reports it.
enum class TReadStop {
  NotExecutable,  // the shell does not report the file as a program: only TypeName is read
  NoVersionInfo,  // the file has no version data
  NoTranslation,  // no lookup found a translation table, so no string could be read
  Complete,       // the strings were looked up and the fixed information read
};

// Fills info for the file at path. A step that fails leaves its fields empty or false.
void ReadFileVersionInfo(const std::string& path, TFileVersionInfo& info,
                         VersionReaderVariant variant = VersionReaderVariant::Standard);

// The same read, telling where it stopped.
TReadStop ReadFileVersionInfoTraced(const std::string& path, TFileVersionInfo& info,
                                    VersionReaderVariant variant);

// For inventories, never for the comparers: reads the version data also when the shell does not
// report the file as a program (DLLs, drivers, fonts), and tells in executable what the shell
// said. Never stops at NotExecutable.
TReadStop ReadAnyFileVersionInfo(const std::string& path, TFileVersionInfo& info,
                                 VersionReaderVariant variant, bool& executable);
