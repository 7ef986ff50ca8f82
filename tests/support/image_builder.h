// SPDX-License-Identifier: MIT
// Builds small PE32, PE32+ and NE images around given resources, for tests and samples. Every
// field the reader looks at is set the way linkers set it, so a test can start from a sound image
// and break one thing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/version_tree.h"

struct TResourceLayout {
  std::uint32_t Type = 16;          // numeric type
  std::optional<std::string> Name;  // a string name (ASCII) instead of NameId
  std::uint32_t NameId = 1;
  std::uint32_t Language = 0x0409;
  TBytes Data;
};

enum class TPeKind { Pe32, Pe32Plus };

struct TPeLayout {
  TPeKind Kind = TPeKind::Pe32;
  std::uint16_t Machine = 0;  // 0: i386 for PE32, x86-64 for PE32+
  bool Dll = false;
  std::uint16_t Subsystem = 3;  // console
  std::uint16_t SubsystemMajor = 6, SubsystemMinor = 0;
  std::vector<TResourceLayout> Resources;
  bool WithResourceDirectory = true;
  // Directory entries as linkers order them; false keeps the order of Resources, for tests of
  // directories out of order. The data follows the order of Resources either way.
  bool SortedDirectories = true;
};

struct TBuiltImage {
  TBytes Bytes;
  std::size_t NewHeader = 0;             // "PE" or "NE" signature offset
  std::size_t ResourceDirectory = 0;     // file offset of the resource directory or table
  std::size_t SectionTable = 0;          // PE only
  std::vector<std::size_t> DataOffsets;  // file offset of each resource's data, in layout order
  std::vector<std::size_t> DataEntries;  // PE only: file offset of each resource's data entry
};

TBuiltImage BuildPe(const TPeLayout& layout);

struct TNeLayout {
  std::uint16_t ExpectedWindows = 0x030A;
  std::uint16_t AlignShift = 4;
  std::vector<TResourceLayout> Resources;  // Type and NameId only; Name and Language are ignored
};

TBuiltImage BuildNe(const TNeLayout& layout);

// A DOS program: an MZ header and no new header.
TBytes BuildDosProgram();

// Convenience: a PE32 console program carrying one version resource.
TBuiltImage ProgramWithVersion(const TBytes& versionData, TPeKind kind = TPeKind::Pe32);

void WriteFile(const std::string& path, const TBytes& bytes);
