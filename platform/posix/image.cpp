// SPDX-License-Identifier: MIT
#include "platform/posix/image.h"

#include <optional>
#include <vector>

namespace {

constexpr std::uint16_t kDosSignature = 0x5A4D;  // "MZ"
constexpr std::uint32_t kPeSignature = 0x4550;   // "PE\0\0"
constexpr std::uint16_t kNeSignature = 0x454E;   // "NE"
constexpr std::uint32_t kDosExeType = 0x4D5A;    // what the shell reports for a DOS program
constexpr std::uint16_t kDllFlag = 0x2000;
constexpr std::uint16_t kGuiSubsystem = 2;
constexpr std::uint32_t kVersionType = 16;
constexpr std::uint32_t kVersionName = 1;
constexpr std::uint32_t kHighBit = 0x80000000;

enum class TNewHeader { None, Pe, Ne };

struct TImageHead {
  TImageFault Fault = TImageFault::None;
  TNewHeader Kind = TNewHeader::None;
  std::uint64_t Offset = 0;
};

constexpr TImageHead kDosProgram{TImageFault::None, TNewHeader::None, 0};

TImageHead ReadImageHead(TFileWindow& file) {
  auto dos = file.Bytes(0, 2);
  if (!dos || *dos->ReadU16(0) != kDosSignature) return {TImageFault::NotAnImage, TNewHeader::None, 0};
  auto pointer = file.Bytes(0x3C, 4);
  if (!pointer) return kDosProgram;  // too short to name a new header
  std::uint64_t at = *pointer->ReadU32(0);
  if (auto pe = file.Bytes(at, 4); pe && *pe->ReadU32(0) == kPeSignature)
    return {TImageFault::None, TNewHeader::Pe, at};
  if (auto ne = file.Bytes(at, 2); ne && *ne->ReadU16(0) == kNeSignature)
    return {TImageFault::None, TNewHeader::Ne, at};
  return kDosProgram;
}

// ---- PE32 / PE32+ ----

struct TSection {
  std::uint32_t Address;  // where the loader places it
  std::uint32_t Span;     // how much address space it covers
  std::uint32_t RawSize;  // how much of that the file backs
  std::uint32_t RawOffset;
};

// What finding the resources needs of the headers; the shell's program test reads its own.
struct TPeHeaders {
  std::uint32_t SizeOfHeaders = 0;
  std::uint32_t ResourceRva = 0;
  std::uint64_t SectionTable = 0;
  std::uint16_t SectionCount = 0;
};

struct TPeResult {
  TPeResult(TImageFault fault) : Fault(fault) {}
  TPeResult(const TPeHeaders& headers) : Headers(headers) {}
  TImageFault Fault = TImageFault::None;
  TPeHeaders Headers;
};

TPeResult ReadPeHeaders(TFileWindow& file, std::uint64_t at) {
  auto head = file.Bytes(at, 24);
  if (!head) return {TImageFault::Truncated};
  TPeHeaders pe;
  pe.SectionCount = *head->ReadU16(6);
  std::uint16_t optionalSize = *head->ReadU16(20);
  pe.SectionTable = at + 24 + optionalSize;

  auto optional = file.Bytes(at + 24, optionalSize);
  if (!optional) return {TImageFault::Truncated};
  auto magic = optional->ReadU16(0);
  std::size_t countAt;
  if (magic == 0x10B)
    countAt = 92;
  else if (magic == 0x20B)
    countAt = 108;
  else
    return {TImageFault::BadSignature};
  auto headers = optional->ReadU32(60);
  if (!headers) return {TImageFault::Truncated};
  pe.SizeOfHeaders = *headers;

  // The resource directory is entry 2 of the data directories, when the header lists that many.
  constexpr std::uint32_t kResourceEntry = 2;
  auto count = optional->ReadU32(countAt);
  auto resource = optional->ReadU32(countAt + 4 + 8 * kResourceEntry);
  if (count && *count > kResourceEntry && resource) pe.ResourceRva = *resource;
  return pe;
}

struct TFileRange {
  std::uint64_t Offset = 0;
  std::uint32_t Length = 0;     // address space the range may use
  std::uint32_t FileBytes = 0;  // of which the file backs the first FileBytes
};

class TAddressMap {
 public:
  TAddressMap(std::vector<TSection> sections, std::uint32_t headerSize)
      : Sections_(std::move(sections)), HeaderSize_(headerSize) {}

  // The file range behind [rva, rva + length), clamped to the section that holds rva.
  std::optional<TFileRange> Map(std::uint32_t rva, std::uint32_t length) const {
    for (const TSection& section : Sections_) {
      if (rva < section.Address || rva - section.Address >= section.Span) continue;
      std::uint32_t delta = rva - section.Address;
      std::uint32_t room = section.Span - delta;
      TFileRange range;
      range.Offset = std::uint64_t{section.RawOffset} + delta;
      range.Length = length < room ? length : room;
      std::uint32_t backed = delta < section.RawSize ? section.RawSize - delta : 0;
      range.FileBytes = range.Length < backed ? range.Length : backed;
      return range;
    }
    // The headers are mapped as they lie in the file.
    if (rva < HeaderSize_) {
      std::uint32_t room = HeaderSize_ - rva;
      std::uint32_t clamped = length < room ? length : room;
      return TFileRange{rva, clamped, clamped};
    }
    return std::nullopt;
  }

 private:
  std::vector<TSection> Sections_;
  std::uint32_t HeaderSize_;
};

std::optional<std::vector<TSection>> ReadSections(TFileWindow& file, const TPeHeaders& pe) {
  constexpr std::size_t kSectionSize = 40;
  auto table = file.Bytes(pe.SectionTable, kSectionSize * pe.SectionCount);
  if (!table) return std::nullopt;
  std::vector<TSection> sections;
  sections.reserve(pe.SectionCount);
  for (std::size_t i = 0; i < pe.SectionCount; ++i) {
    std::size_t base = i * kSectionSize;
    TSection section{};
    std::uint32_t virtualSize = *table->ReadU32(base + 8);
    section.Address = *table->ReadU32(base + 12);
    section.RawSize = *table->ReadU32(base + 16);
    section.RawOffset = *table->ReadU32(base + 20);
    section.Span = virtualSize != 0 ? virtualSize : section.RawSize;
    sections.push_back(section);
  }
  return sections;
}

// The platform maps an image whose sections' raw data runs past the end of the file by less
// than a 512-byte sector, the missing bytes reading as zero; a deeper cut it refuses.
bool MapsAsImage(const std::vector<TSection>& sections, std::uint64_t fileSize) {
  constexpr std::uint64_t kSector = 0x200;
  for (const TSection& section : sections)
    if (std::uint64_t{section.RawOffset} + section.RawSize >= fileSize + kSector) return false;
  return true;
}

struct TDirectoryEntry {
  std::uint32_t Name;
  std::uint32_t Target;
};

// One level of a resource directory: its named entries come first, then its numbered ones in
// ascending order, and the platform looks numbers up by halving. A directory out of order hides
// entries from that search, and from ours alike.
struct TResourceDirectory {
  std::vector<TDirectoryEntry> Entries;
  std::size_t Named = 0;
};

struct TDirectoryRead {
  TDirectoryRead(TImageFault fault) : Fault(fault) {}
  TDirectoryRead(TResourceDirectory directory) : Directory(std::move(directory)) {}
  TImageFault Fault = TImageFault::None;
  TResourceDirectory Directory;
};

TDirectoryRead ReadDirectory(TFileWindow& file, const TAddressMap& map, std::uint32_t base,
                             std::uint32_t offset) {
  constexpr std::uint32_t kHeaderSize = 16, kEntrySize = 8;
  if (offset > UINT32_MAX - base) return {TImageFault::OutsideImage};
  auto headRange = map.Map(base + offset, kHeaderSize);
  if (!headRange || headRange->FileBytes < kHeaderSize) return {TImageFault::OutsideImage};
  auto head = file.Bytes(headRange->Offset, kHeaderSize);
  if (!head) return {TImageFault::Truncated};
  std::uint32_t named = *head->ReadU16(12), count = named + *head->ReadU16(14);

  std::uint32_t bytes = kHeaderSize + kEntrySize * count;
  auto range = map.Map(base + offset, bytes);
  if (!range || range->FileBytes < bytes) return {TImageFault::OutsideImage};
  auto view = file.Bytes(range->Offset, bytes);
  if (!view) return {TImageFault::Truncated};
  TResourceDirectory directory;
  directory.Named = named;
  directory.Entries.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i)
    directory.Entries.push_back({*view->ReadU32(kHeaderSize + kEntrySize * i),
                                 *view->ReadU32(kHeaderSize + kEntrySize * i + 4)});
  return directory;
}

std::optional<TDirectoryEntry> FindEntry(const TResourceDirectory& directory, std::uint32_t id) {
  std::size_t low = directory.Named, high = directory.Entries.size();
  while (low < high) {
    // Rounded down between the first and the last candidate, as the platform halves.
    std::size_t middle = low + (high - 1 - low) / 2;
    const TDirectoryEntry& entry = directory.Entries[middle];
    if (entry.Name == id) return entry;
    if (entry.Name < id)
      low = middle + 1;
    else
      high = middle;
  }
  return std::nullopt;
}

// The version resource is type 16, name 1. Of its languages the platform takes the first it finds
// of neutral, its user's language (US English here), that language's neutral form, and else the
// first one listed.
constexpr std::uint32_t kPreferredLanguages[] = {0x0000, 0x0409, 0x0009};

std::optional<TDirectoryEntry> ChooseLanguage(const TResourceDirectory& languages) {
  for (std::uint32_t language : kPreferredLanguages)
    if (auto entry = FindEntry(languages, language)) return entry;
  if (languages.Entries.empty()) return std::nullopt;
  return languages.Entries.front();
}

TLocateResult LocatePe(TFileWindow& file, std::uint64_t at) {
  TPeResult headers = ReadPeHeaders(file, at);
  if (headers.Fault != TImageFault::None) return {headers.Fault};
  const TPeHeaders& pe = headers.Headers;
  if (pe.ResourceRva == 0) return {TImageFault::NoResources};
  auto sections = ReadSections(file, pe);
  if (!sections) return {TImageFault::Truncated};
  bool mapsWhole = MapsAsImage(*sections, file.File().Size());
  TAddressMap map(std::move(*sections), pe.SizeOfHeaders);
  std::uint32_t base = pe.ResourceRva;

  // Three fixed levels (type, name, language) and then a data entry: the walk has no recursion,
  // so a directory that points back at itself cannot make it loop.
  TDirectoryRead types = ReadDirectory(file, map, base, 0);
  if (types.Fault != TImageFault::None) return {types.Fault};
  auto type = FindEntry(types.Directory, kVersionType);
  if (!type) return {TImageFault::NoVersionResource};
  if (!(type->Target & kHighBit)) return {TImageFault::BadDirectory};
  TDirectoryRead names = ReadDirectory(file, map, base, type->Target & ~kHighBit);
  if (names.Fault != TImageFault::None) return {names.Fault};
  auto name = FindEntry(names.Directory, kVersionName);
  if (!name) return {TImageFault::NoVersionResource};
  if (!(name->Target & kHighBit)) return {TImageFault::BadDirectory};
  TDirectoryRead languages = ReadDirectory(file, map, base, name->Target & ~kHighBit);
  if (languages.Fault != TImageFault::None) return {languages.Fault};
  auto language = ChooseLanguage(languages.Directory);
  if (!language) return {TImageFault::NoVersionResource};
  if (language->Target & kHighBit) return {TImageFault::BadDirectory};

  constexpr std::uint32_t kDataEntrySize = 16;
  std::uint32_t entryOffset = language->Target;
  if (entryOffset > UINT32_MAX - base) return {TImageFault::OutsideImage};
  auto entryRange = map.Map(base + entryOffset, kDataEntrySize);
  if (!entryRange || entryRange->FileBytes < kDataEntrySize) return {TImageFault::OutsideImage};
  auto dataEntry = file.Bytes(entryRange->Offset, kDataEntrySize);
  if (!dataEntry) return {TImageFault::Truncated};
  std::uint32_t dataRva = *dataEntry->ReadU32(0);
  std::uint32_t dataSize = *dataEntry->ReadU32(4);
  if (dataSize == 0) return {TImageFault::NoVersionResource};

  // A resource larger than the section that holds it is a lie, not a reason to allocate.
  auto data = map.Map(dataRva, dataSize);
  if (!data || data->Length < dataSize) return TImageFault::OutsideImage;
  if (data->Length > kMaxVersionData) {
    data->Length = kMaxVersionData;
    if (data->FileBytes > kMaxVersionData) data->FileBytes = kMaxVersionData;
  }
  // Nothing is allocated for bytes the file does not hold, a section's zero-filled tail included.
  if (data->FileBytes < data->Length) return TImageFault::Truncated;
  std::uint64_t fileSize = file.File().Size();
  if (data->Offset > fileSize) return {TImageFault::Truncated};
  if (data->FileBytes > fileSize - data->Offset) {
    // Cut off by the end of the file: when the platform would still map the image, the rest,
    // less than a sector, reads as zero; else there is no version data.
    if (!mapsWhole) return {TImageFault::Truncated};
    data->FileBytes = static_cast<std::uint32_t>(fileSize - data->Offset);
  }
  return TVersionLocation{data->Offset, data->Length, data->FileBytes};
}

// ---- NE ----

TLocateResult LocateNe(TFileWindow& file, std::uint64_t at) {
  auto header = file.Bytes(at, 0x28);
  if (!header) return {TImageFault::Truncated};
  std::uint16_t tableOffset = *header->ReadU16(0x24);
  std::uint16_t residentOffset = *header->ReadU16(0x26);
  if (tableOffset == residentOffset) return {TImageFault::NoResources};

  std::uint64_t table = at + tableOffset;
  auto shiftField = file.Bytes(table, 2);
  if (!shiftField) return {TImageFault::Truncated};
  std::uint16_t shift = *shiftField->ReadU16(0);
  if (shift >= 32) return {TImageFault::BadDirectory};

  // The table lives in the header segment, so it ends within 64 KiB of its start: a table that
  // never names its end cannot send the scan through a whole large file.
  constexpr std::uint64_t kTypeSize = 8, kNameSize = 12, kTableLimit = 0x10000;
  constexpr std::uint16_t kIntegerId = 0x8000;
  std::uint64_t cursor = table + 2;
  std::optional<std::uint64_t> chosen;  // the name record of the version resource
  while (!chosen && cursor - table < kTableLimit) {
    auto type = file.Bytes(cursor, 4);
    if (!type) return TImageFault::Truncated;
    std::uint16_t typeId = *type->ReadU16(0), count = *type->ReadU16(2);
    if (typeId == 0) break;
    std::uint64_t names = cursor + kTypeSize;
    if (typeId == (kIntegerId | kVersionType) && count > 0) {
      auto entries = file.Bytes(names, kNameSize * count);
      if (!entries) return TImageFault::Truncated;
      // Only name 1 is the version resource, wherever its record is listed.
      for (std::size_t i = 0; i < count && !chosen; ++i)
        if (*entries->ReadU16(kNameSize * i + 6) == (kIntegerId | kVersionName)) chosen = names + kNameSize * i;
    }
    cursor = names + kNameSize * count;
  }
  if (!chosen) return TImageFault::NoVersionResource;

  auto entry = file.Bytes(*chosen, 4);
  if (!entry) return TImageFault::Truncated;
  std::uint64_t offset = std::uint64_t{*entry->ReadU16(0)} << shift;
  std::uint64_t length = std::uint64_t{*entry->ReadU16(2)} << shift;
  if (length > kMaxVersionData) length = kMaxVersionData;
  // Lengths are rounded up to the alignment unit, so the last resource may reach past the end of
  // the file; what the file holds is what there is.
  std::uint64_t fileSize = file.File().Size();
  if (offset >= fileSize || length == 0) return TImageFault::Truncated;
  if (length > fileSize - offset) length = fileSize - offset;
  auto held = static_cast<std::uint32_t>(length);
  return TVersionLocation{offset, held, held};
}

}  // namespace

TLocateResult LocateVersionResource(TFileWindow& file) {
  TImageHead head = ReadImageHead(file);
  if (head.Fault != TImageFault::None) return head.Fault;
  switch (head.Kind) {
    case TNewHeader::Pe:
      return LocatePe(file, head.Offset);
    case TNewHeader::Ne:
      return LocateNe(file, head.Offset);
    case TNewHeader::None:
      break;
  }
  return {TImageFault::NotAnImage};
}

namespace {

std::uint32_t PeExecutableType(TFileWindow& file, std::uint64_t at) {
  auto head = file.Bytes(at + 4, 20);
  if (!head) return kDosExeType;  // a signature without its file header: the stub is the program
  std::uint16_t sections = *head->ReadU16(2);
  std::uint16_t optionalSize = *head->ReadU16(16), characteristics = *head->ReadU16(18);
  auto magic = file.Bytes(at + 24, 2);
  if (!magic) return 0;
  // Programs for every machine count, ARM64 and others included, so their versions are compared.
  // (A platform's shell answers for the machines its own processor runs.)
  std::size_t standardSize;
  if (*magic->ReadU16(0) == 0x10B)
    standardSize = 224;
  else if (*magic->ReadU16(0) == 0x20B)
    standardSize = 240;
  else
    return 0;
  // The whole standard optional header and the section table must be in the file.
  auto optional = file.Bytes(at + 24, standardSize);
  if (!optional) return 0;
  std::uint16_t subsystem = *optional->ReadU16(68);
  std::uint16_t version = static_cast<std::uint16_t>((*optional->ReadU16(48) << 8) | *optional->ReadU16(50));
  if (!file.Bytes(at + 24 + optionalSize, std::size_t{40} * sections)) return 0;
  if (characteristics & kDllFlag) return 0;
  if (subsystem != kGuiSubsystem) return kPeSignature;
  return kPeSignature | (std::uint32_t{version} << 16);
}

std::uint32_t NeExecutableType(TFileWindow& file, std::uint64_t at) {
  constexpr std::uint8_t kWindows = 2, kDosExtender = 5;
  auto target = file.Bytes(at + 0x36, 1);
  if (!target) return kDosExeType;
  if (*target->ReadU8(0) == kDosExtender) return kDosExeType;
  if (*target->ReadU8(0) != kWindows) return 0;
  auto version = file.Bytes(at + 0x3E, 2);  // zero when the header is cut short before it
  return kNeSignature | (version ? std::uint32_t{*version->ReadU16(0)} << 16 : 0);
}

}  // namespace

std::uint32_t ExecutableType(TFileWindow& file, bool dosName) {
  // Only a whole DOS header makes an image.
  auto dos = file.Bytes(0, 0x40);
  if (!dos || *dos->ReadU16(0) != kDosSignature)
    return dosName && file.File().Size() > 0 ? kDosExeType : 0;
  std::uint64_t at = *dos->ReadU32(0x3C);
  if (auto pe = file.Bytes(at, 4); pe && *pe->ReadU32(0) == kPeSignature) return PeExecutableType(file, at);
  if (auto ne = file.Bytes(at, 2); ne && *ne->ReadU16(0) == kNeSignature) return NeExecutableType(file, at);
  return kDosExeType;
}
