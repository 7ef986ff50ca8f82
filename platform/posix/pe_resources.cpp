// SPDX-License-Identifier: MIT
// The version resource of a PE32 or PE32+ image: the optional header names the resource
// directory, the section table maps its addresses to the file, and three directory levels (type,
// name, language) lead to the data entry.
#include <cstddef>
#include <vector>

#include "platform/posix/address_map.h"
#include "platform/posix/image.h"
#include "platform/posix/image_format.h"

namespace {

// What finding the resources needs of the headers. The shell's program test reads its own, by
// the shell's rules: it refuses an optional header shorter than the standard one, which the
// platform's version functions accept as long as the fields this search reads are inside.
struct TPeHeaders {
  std::uint32_t SizeOfHeaders = 0;
  std::uint32_t ResourceRva = 0;  // zero when the header lists no resource directory
  std::uint64_t SectionTable = 0;
  std::uint16_t SectionCount = 0;
};

// The fields of an optional header of kind THeader, each read only when the header's declared
// size reaches past it.
template <typename THeader>
TExpected<TPeHeaders> ReadOptionalHeader(TByteView optional, TPeHeaders pe) {
  auto sizeOfHeaders = optional.Read<TLe32>(offsetof(THeader, SizeOfHeaders));
  if (!sizeOfHeaders) return TImageFault::Truncated;
  pe.SizeOfHeaders = *sizeOfHeaders;
  // The resource directory counts only when the header lists that many directories.
  auto count = optional.Read<TLe32>(offsetof(THeader, NumberOfRvaAndSizes));
  auto resource = optional.Read<TLe32>(offsetof(THeader, DataDirectory) +
                                       sizeof(TDataDirectory) * kResourceDirectoryIndex +
                                       offsetof(TDataDirectory, VirtualAddress));
  if (count && *count > kResourceDirectoryIndex && resource) pe.ResourceRva = *resource;
  return pe;
}

TExpected<TPeHeaders> ReadPeHeaders(TFileWindow& file, std::uint64_t at) {
  auto head = file.Read<TPeHeader>(at);
  if (!head) return TImageFault::Truncated;
  TPeHeaders pe;
  pe.SectionCount = head->FileHeader.NumberOfSections;
  std::uint16_t optionalSize = head->FileHeader.SizeOfOptionalHeader;
  std::uint64_t optionalAt = at + sizeof(TPeHeader);
  pe.SectionTable = optionalAt + optionalSize;

  auto optional = file.Bytes(optionalAt, optionalSize);
  if (!optional) return TImageFault::Truncated;
  auto magic = optional->Read<TLe16>(offsetof(TOptionalHeader32, Magic));
  if (magic && *magic == kPe32Magic) return ReadOptionalHeader<TOptionalHeader32>(*optional, pe);
  if (magic && *magic == kPe32PlusMagic)
    return ReadOptionalHeader<TOptionalHeader64>(*optional, pe);
  return TImageFault::BadSignature;
}

// One level of a resource directory: its named entries come first, then its numbered ones in
// ascending order, and the platform looks numbers up by halving. A directory out of order hides
// entries from that search, and from ours alike.
struct TResourceDirectory {
  std::vector<TResourceDirectoryEntry> Entries;
  std::size_t Named = 0;
};

// A structure of the resource directory by its offset from the directory's start.
template <typename T>
TExpected<T> ReadResource(TFileWindow& file, const TAddressMap& map, std::uint32_t base,
                          std::uint32_t offset) {
  if (offset > UINT32_MAX - base) return TImageFault::OutsideImage;
  auto range = map.Map(base + offset, sizeof(T));
  if (!range || range->FileBytes < sizeof(T)) return TImageFault::OutsideImage;
  auto value = file.Read<T>(range->Offset);
  if (!value) return TImageFault::Truncated;
  return *value;
}

TExpected<TResourceDirectory> ReadDirectory(TFileWindow& file, const TAddressMap& map,
                                            std::uint32_t base, std::uint32_t offset) {
  auto head = ReadResource<TResourceDirectoryHeader>(file, map, base, offset);
  if (!head) return head.Fault();
  std::uint32_t named = head->NumberOfNamedEntries;
  std::uint32_t count = named + head->NumberOfIdEntries;

  // The header was mapped, so base + offset does not overflow.
  auto bytes = static_cast<std::uint32_t>(sizeof(TResourceDirectoryHeader) +
                                          sizeof(TResourceDirectoryEntry) * count);
  auto range = map.Map(base + offset, bytes);
  if (!range || range->FileBytes < bytes) return TImageFault::OutsideImage;
  auto view = file.Bytes(range->Offset, bytes);
  if (!view) return TImageFault::Truncated;
  TResourceDirectory directory;
  directory.Named = named;
  directory.Entries.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    auto entry = view->Read<TResourceDirectoryEntry>(sizeof(TResourceDirectoryHeader) +
                                                     sizeof(TResourceDirectoryEntry) * i);
    if (!entry) return TImageFault::Truncated;
    directory.Entries.push_back(*entry);
  }
  return directory;
}

std::optional<TResourceDirectoryEntry> FindEntry(const TResourceDirectory& directory,
                                                 std::uint32_t id) {
  std::size_t low = directory.Named, high = directory.Entries.size();
  while (low < high) {
    // Rounded down between the first and the last candidate, as the platform halves.
    std::size_t middle = low + (high - 1 - low) / 2;
    const TResourceDirectoryEntry& entry = directory.Entries[middle];
    if (entry.Name == id) return entry;
    if (entry.Name < id)
      low = middle + 1;
    else
      high = middle;
  }
  return std::nullopt;
}

// Of the version resource's languages the platform takes the first it finds of neutral, its
// user's language (US English here), that language's neutral form, and else the first listed.
constexpr std::uint32_t kPreferredLanguages[] = {0x0000, 0x0409, 0x0009};

std::optional<TResourceDirectoryEntry> ChooseLanguage(const TResourceDirectory& languages) {
  for (std::uint32_t language : kPreferredLanguages)
    if (auto entry = FindEntry(languages, language)) return entry;
  if (languages.Entries.empty()) return std::nullopt;
  return languages.Entries.front();
}

// The entry of the subdirectory that id names in the directory at offset.
TExpected<TResourceDirectoryEntry> FindSubdirectory(TFileWindow& file, const TAddressMap& map,
                                                    std::uint32_t base, std::uint32_t offset,
                                                    std::uint32_t id) {
  auto directory = ReadDirectory(file, map, base, offset);
  if (!directory) return directory.Fault();
  auto entry = FindEntry(*directory, id);
  if (!entry) return TImageFault::NoVersionResource;
  if (!entry->IsSubdirectory()) return TImageFault::BadDirectory;
  return *entry;
}

// The data entry's resource, as a range of the file.
TExpected<TVersionLocation> LocateData(TFileWindow& file, const TAddressMap& map,
                                       const TResourceDataEntry& entry, bool mapsWhole) {
  std::uint32_t dataSize = entry.Size;
  if (dataSize == 0) return TImageFault::NoVersionResource;
  // A resource larger than the section that holds it is a lie, not a reason to allocate.
  auto data = map.Map(entry.OffsetToData, dataSize);
  if (!data || data->Length < dataSize) return TImageFault::OutsideImage;
  if (data->Length > kMaxVersionData) {
    data->Length = kMaxVersionData;
    if (data->FileBytes > kMaxVersionData) data->FileBytes = kMaxVersionData;
  }
  // Nothing is allocated for bytes the file does not hold, a section's zero-filled tail included.
  if (data->FileBytes < data->Length) return TImageFault::Truncated;
  std::uint64_t fileSize = file.File().Size();
  if (data->Offset > fileSize) return TImageFault::Truncated;
  if (data->FileBytes > fileSize - data->Offset) {
    // Cut off by the end of the file: when the platform would still map the image, the rest,
    // less than a sector, reads as zero; else there is no version data.
    if (!mapsWhole) return TImageFault::Truncated;
    data->FileBytes = static_cast<std::uint32_t>(fileSize - data->Offset);
  }
  return TVersionLocation{data->Offset, data->Length, data->FileBytes};
}

}  // namespace

TExpected<TVersionLocation> LocatePeVersion(TFileWindow& file, std::uint64_t at) {
  auto pe = ReadPeHeaders(file, at);
  if (!pe) return pe.Fault();
  if (pe->ResourceRva == 0) return TImageFault::NoResources;
  auto sections = ReadSections(file, pe->SectionTable, pe->SectionCount);
  if (!sections) return TImageFault::Truncated;
  bool mapsWhole = MapsAsImage(*sections, file.File().Size());
  TAddressMap map(std::move(*sections), pe->SizeOfHeaders);
  std::uint32_t base = pe->ResourceRva;

  // Three fixed levels (type, name, language) and then a data entry: the walk has no recursion,
  // so a directory that points back at itself cannot make it loop.
  auto type = FindSubdirectory(file, map, base, 0, kVersionResourceType);
  if (!type) return type.Fault();
  auto name = FindSubdirectory(file, map, base, type->Offset(), kVersionResourceName);
  if (!name) return name.Fault();
  auto languages = ReadDirectory(file, map, base, name->Offset());
  if (!languages) return languages.Fault();
  auto language = ChooseLanguage(*languages);
  if (!language) return TImageFault::NoVersionResource;
  if (language->IsSubdirectory()) return TImageFault::BadDirectory;

  auto entry = ReadResource<TResourceDataEntry>(file, map, base, language->OffsetToData);
  if (!entry) return entry.Fault();
  return LocateData(file, map, *entry, mapsWhole);
}
