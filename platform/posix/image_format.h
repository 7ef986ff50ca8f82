// SPDX-License-Identifier: MIT
// The structures of PE32, PE32+ and 16-bit NE images that the version reader and the shell's
// program test read, field by field as the formats lay them out, every field little-endian.
// Sizes and the offsets the rules depend on are checked here, so a field is only ever named.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/byte_view.h"

// ---- The DOS header every image starts with ----

constexpr std::uint16_t kDosSignature = 0x5A4D;  // "MZ"

struct TDosHeader {
  TLe16 Magic;
  std::uint8_t DosFields[58];  // the DOS loader's; nothing here reads them
  TLe32 NewHeaderOffset;       // where a PE or NE header follows, if any
};
static_assert(sizeof(TDosHeader) == 0x40 && offsetof(TDosHeader, NewHeaderOffset) == 0x3C);

// ---- PE32 and PE32+ ----

constexpr std::uint32_t kPeSignature = 0x4550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint16_t kDllCharacteristic = 0x2000;
constexpr std::uint16_t kGuiSubsystem = 2;
constexpr std::size_t kResourceDirectoryIndex = 2;  // of the optional header's data directories

struct TFileHeader {
  TLe16 Machine;
  TLe16 NumberOfSections;
  TLe32 TimeDateStamp;
  TLe32 PointerToSymbolTable;
  TLe32 NumberOfSymbols;
  TLe16 SizeOfOptionalHeader;
  TLe16 Characteristics;
};

// What the DOS header's NewHeaderOffset points at in a PE image; the optional header follows.
struct TPeHeader {
  TLe32 Signature;
  TFileHeader FileHeader;
};
static_assert(sizeof(TPeHeader) == 24);

struct TDataDirectory {
  TLe32 VirtualAddress;
  TLe32 Size;
};

struct TOptionalHeader32 {
  TLe16 Magic;
  std::uint8_t MajorLinkerVersion;
  std::uint8_t MinorLinkerVersion;
  TLe32 SizeOfCode;
  TLe32 SizeOfInitializedData;
  TLe32 SizeOfUninitializedData;
  TLe32 AddressOfEntryPoint;
  TLe32 BaseOfCode;
  TLe32 BaseOfData;
  TLe32 ImageBase;
  TLe32 SectionAlignment;
  TLe32 FileAlignment;
  TLe16 MajorOperatingSystemVersion;
  TLe16 MinorOperatingSystemVersion;
  TLe16 MajorImageVersion;
  TLe16 MinorImageVersion;
  TLe16 MajorSubsystemVersion;
  TLe16 MinorSubsystemVersion;
  TLe32 Win32VersionValue;
  TLe32 SizeOfImage;
  TLe32 SizeOfHeaders;
  TLe32 CheckSum;
  TLe16 Subsystem;
  TLe16 DllCharacteristics;
  TLe32 SizeOfStackReserve;
  TLe32 SizeOfStackCommit;
  TLe32 SizeOfHeapReserve;
  TLe32 SizeOfHeapCommit;
  TLe32 LoaderFlags;
  TLe32 NumberOfRvaAndSizes;
  TDataDirectory DataDirectory[16];
};
static_assert(sizeof(TOptionalHeader32) == 224 && offsetof(TOptionalHeader32, Subsystem) == 68);
static_assert(offsetof(TOptionalHeader32, NumberOfRvaAndSizes) == 92);

struct TOptionalHeader64 {
  TLe16 Magic;
  std::uint8_t MajorLinkerVersion;
  std::uint8_t MinorLinkerVersion;
  TLe32 SizeOfCode;
  TLe32 SizeOfInitializedData;
  TLe32 SizeOfUninitializedData;
  TLe32 AddressOfEntryPoint;
  TLe32 BaseOfCode;
  TLe64 ImageBase;
  TLe32 SectionAlignment;
  TLe32 FileAlignment;
  TLe16 MajorOperatingSystemVersion;
  TLe16 MinorOperatingSystemVersion;
  TLe16 MajorImageVersion;
  TLe16 MinorImageVersion;
  TLe16 MajorSubsystemVersion;
  TLe16 MinorSubsystemVersion;
  TLe32 Win32VersionValue;
  TLe32 SizeOfImage;
  TLe32 SizeOfHeaders;
  TLe32 CheckSum;
  TLe16 Subsystem;
  TLe16 DllCharacteristics;
  TLe64 SizeOfStackReserve;
  TLe64 SizeOfStackCommit;
  TLe64 SizeOfHeapReserve;
  TLe64 SizeOfHeapCommit;
  TLe32 LoaderFlags;
  TLe32 NumberOfRvaAndSizes;
  TDataDirectory DataDirectory[16];
};
static_assert(sizeof(TOptionalHeader64) == 240 && offsetof(TOptionalHeader64, Subsystem) == 68);
static_assert(offsetof(TOptionalHeader64, NumberOfRvaAndSizes) == 108);

struct TSectionHeader {
  std::uint8_t Name[8];
  TLe32 VirtualSize;
  TLe32 VirtualAddress;
  TLe32 SizeOfRawData;
  TLe32 PointerToRawData;
  TLe32 PointerToRelocations;
  TLe32 PointerToLinenumbers;
  TLe16 NumberOfRelocations;
  TLe16 NumberOfLinenumbers;
  TLe32 Characteristics;
};
static_assert(sizeof(TSectionHeader) == 40);

// One level of the resource directory: this header, then its named entries, then its numbered
// ones.
struct TResourceDirectoryHeader {
  TLe32 Characteristics;
  TLe32 TimeDateStamp;
  TLe16 MajorVersion;
  TLe16 MinorVersion;
  TLe16 NumberOfNamedEntries;
  TLe16 NumberOfIdEntries;
};
static_assert(sizeof(TResourceDirectoryHeader) == 16);

struct TResourceDirectoryEntry {
  static constexpr std::uint32_t kSubdirectoryBit = 0x80000000;

  TLe32 Name;          // a number, for the entries the version reader looks up
  TLe32 OffsetToData;  // from the start of the resource directory

  bool IsSubdirectory() const { return (OffsetToData & kSubdirectoryBit) != 0; }
  std::uint32_t Offset() const { return OffsetToData & ~kSubdirectoryBit; }
};
static_assert(sizeof(TResourceDirectoryEntry) == 8);

struct TResourceDataEntry {
  TLe32 OffsetToData;  // an address in the image, not a file offset
  TLe32 Size;
  TLe32 CodePage;
  TLe32 Reserved;
};
static_assert(sizeof(TResourceDataEntry) == 16);

// ---- 16-bit NE ----

constexpr std::uint16_t kNeSignature = 0x454E;  // "NE"
constexpr std::uint8_t kNeTargetWindows = 2;
constexpr std::uint8_t kNeTargetDosExtender = 5;
constexpr std::uint16_t kNeIntegerId = 0x8000;  // a type or name that is a number, not a string

struct TNeHeader {
  TLe16 Magic;
  std::uint8_t LinkerVersion;
  std::uint8_t LinkerRevision;
  TLe16 EntryTableOffset;
  TLe16 EntryTableLength;
  TLe32 FileCrc;
  TLe16 Flags;
  TLe16 AutoDataSegment;
  TLe16 HeapSize;
  TLe16 StackSize;
  TLe32 InitialCsIp;
  TLe32 InitialSsSp;
  TLe16 SegmentCount;
  TLe16 ModuleReferenceCount;
  TLe16 NonResidentNameTableSize;
  TLe16 SegmentTableOffset;
  TLe16 ResourceTableOffset;  // from the NE header, like the other table offsets
  TLe16 ResidentNameTableOffset;
  TLe16 ModuleReferenceTableOffset;
  TLe16 ImportedNameTableOffset;
  TLe32 NonResidentNameTableOffset;
  TLe16 MovableEntryCount;
  TLe16 SegmentAlignmentShift;
  TLe16 ResourceSegmentCount;
  std::uint8_t TargetOs;
  std::uint8_t OtherFlags;
  TLe16 ReturnThunksOffset;
  TLe16 SegmentReferenceThunksOffset;
  TLe16 MinimumCodeSwapSize;
  TLe16 ExpectedWindowsVersion;
};
static_assert(sizeof(TNeHeader) == 0x40 && offsetof(TNeHeader, ResourceTableOffset) == 0x24);
static_assert(offsetof(TNeHeader, TargetOs) == 0x36);

// The resource table: an alignment shift, then type records each followed by its name records,
// ended by a type of zero.
struct TNeResourceTable {
  TLe16 AlignmentShift;  // resource offsets and lengths count units of 1 << AlignmentShift
};

struct TNeResourceType {
  TLe16 TypeId;
  TLe16 Count;  // name records that follow
  TLe32 Reserved;
};
static_assert(sizeof(TNeResourceType) == 8);

struct TNeResourceName {
  TLe16 Offset;  // in alignment units
  TLe16 Length;  // in alignment units
  TLe16 Flags;
  TLe16 Id;
  TLe16 Handle;
  TLe16 Usage;
};
static_assert(sizeof(TNeResourceName) == 12);

// The version resource is type 16, name 1, in both formats.
constexpr std::uint32_t kVersionResourceType = 16;
constexpr std::uint32_t kVersionResourceName = 1;
