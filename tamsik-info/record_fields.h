// SPDX-License-Identifier: MIT
// The twenty fields of TFileVersionInfo in record order, with the names tamsik-info gives them:
// both output forms walk this one table, so they always agree with each other and the record.
#pragma once

#include <string>

#include "versioninfo/versioninfo.h"

struct TRecordField {
  const char* Name;
  std::string TFileVersionInfo::*Text = nullptr;  // set for the fourteen texts
  bool TFileVersionInfo::*Flag = nullptr;         // set for the six flags
};

inline constexpr TRecordField kRecordFields[] = {
    {"TypeName", &TFileVersionInfo::TypeName},
    {"CompanyName", &TFileVersionInfo::CompanyName},
    {"FileDescription", &TFileVersionInfo::FileDescription},
    {"FileVersion", &TFileVersionInfo::FileVersion},
    {"InternalName", &TFileVersionInfo::InternalName},
    {"LegalCopyRight", &TFileVersionInfo::LegalCopyRight},
    {"LegalTradeMarks", &TFileVersionInfo::LegalTradeMarks},
    {"OriginalFileName", &TFileVersionInfo::OriginalFileName},
    {"ProductName", &TFileVersionInfo::ProductName},
    {"ProductVersion", &TFileVersionInfo::ProductVersion},
    {"Comments", &TFileVersionInfo::Comments},
    {"SpecialBuild", &TFileVersionInfo::SpecialBuild},
    {"PrivateBuild", &TFileVersionInfo::PrivateBuild},
    {"FileType", &TFileVersionInfo::FileType},
    {.Name = "IsDebug", .Flag = &TFileVersionInfo::IsDebug},
    {.Name = "IsPreRelease", .Flag = &TFileVersionInfo::IsPreRelease},
    {.Name = "IsSpecialBuild", .Flag = &TFileVersionInfo::IsSpecialBuild},
    {.Name = "IsPrivateBuild", .Flag = &TFileVersionInfo::IsPrivateBuild},
    {.Name = "IsPatched", .Flag = &TFileVersionInfo::IsPatched},
    {.Name = "IsInfoInferred", .Flag = &TFileVersionInfo::IsInfoInferred},
};
