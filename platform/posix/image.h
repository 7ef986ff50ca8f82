// SPDX-License-Identifier: MIT
// Executable images as far as the version reader needs them: which kind of program a file is, and
// where its version resource lies. PE32 and PE32+ images are searched through their resource
// directory, 16-bit NE images through their resource table.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/posix/file.h"
#include "platform/posix/image_fault.h"

// Where the version data lies in the file. Length counts what the resource holds, capped at what
// a version tree can use; the first FileBytes of it come from the file, the rest is zero (a
// section's virtual tail).
struct TVersionLocation {
  std::uint64_t Offset = 0;
  std::uint32_t Length = 0;
  std::uint32_t FileBytes = 0;
};

// The root of a version tree records its own length in 16 bits, so no more is ever read.
constexpr std::uint32_t kMaxVersionData = 0xFFFF;

TExpected<TVersionLocation> LocateVersionResource(TFileWindow& file);

// The shell's executable type of a file, as the platform's shell reports it:
// - 0x4550 ("PE") for a PE32 or PE32+ program of any machine that is not a DLL, with the
//   subsystem version in the high word for GUI programs;
// - 0x454E ("NE") with the expected Windows version in the high word, for 16-bit Windows images;
// - 0x4D5A ("MZ") for a DOS program, and for a file named as one (dosName: .com, .pif) that holds
//   no image at all;
// - 0 for anything else, broken images included.
std::uint32_t ExecutableType(TFileWindow& file, bool dosName = false);

// ---- Shared by the search and the program test ----

enum class TNewHeaderKind { None, Pe, Ne };

struct TNewHeader {
  TNewHeaderKind Kind = TNewHeaderKind::None;  // None: a DOS program
  std::uint64_t Offset = 0;
};

// The header a whole MZ header points at, or nothing when the file does not start with one.
std::optional<TNewHeader> FindNewHeader(TFileWindow& file);

TExpected<TVersionLocation> LocatePeVersion(TFileWindow& file, std::uint64_t peHeader);
TExpected<TVersionLocation> LocateNeVersion(TFileWindow& file, std::uint64_t neHeader);
