// SPDX-License-Identifier: MIT
// The twenty fields of TFileVersionInfo in record order, with the names tamsik-info gives them:
// every output form walks these tables, so they always agree with each other and the record.
#pragma once

#include <string>
#include <vector>

#include "tamsik-info/look_up.h"
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

// The fields every output form shows after Path and Stop, in this order: the comparers' twenty,
// with what tamsik-info adds placed beside the data it comes from: the executable test after the
// type name, the numeric versions with the rest of the fixed information, the translations last.
struct TOutputField {
  const TRecordField* Record = nullptr;  // one of the comparers' twenty, or one of tamsik-info's:
  const char* Name = nullptr;
  bool TInfoExtras::*Flag = nullptr;
  std::string TInfoExtras::*Text = nullptr;
  std::vector<std::string> TInfoExtras::*List = nullptr;
};

inline constexpr TOutputField kOutputFields[] = {
    {.Record = &kRecordFields[0]},
    {.Name = "Executable", .Flag = &TInfoExtras::Executable},
    {.Record = &kRecordFields[1]},
    {.Record = &kRecordFields[2]},
    {.Record = &kRecordFields[3]},
    {.Record = &kRecordFields[4]},
    {.Record = &kRecordFields[5]},
    {.Record = &kRecordFields[6]},
    {.Record = &kRecordFields[7]},
    {.Record = &kRecordFields[8]},
    {.Record = &kRecordFields[9]},
    {.Record = &kRecordFields[10]},
    {.Record = &kRecordFields[11]},
    {.Record = &kRecordFields[12]},
    {.Record = &kRecordFields[13]},
    {.Name = "FileVersionNumber", .Text = &TInfoExtras::FileVersionNumber},
    {.Name = "ProductVersionNumber", .Text = &TInfoExtras::ProductVersionNumber},
    {.Record = &kRecordFields[14]},
    {.Record = &kRecordFields[15]},
    {.Record = &kRecordFields[16]},
    {.Record = &kRecordFields[17]},
    {.Record = &kRecordFields[18]},
    {.Record = &kRecordFields[19]},
    {.Name = "Translations", .List = &TInfoExtras::Translations},
};

inline const char* NameOf(const TOutputField& field) {
  return field.Record ? field.Record->Name : field.Name;
}
