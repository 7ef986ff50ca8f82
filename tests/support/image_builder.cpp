// SPDX-License-Identifier: MIT
#include "tests/support/image_builder.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <stdexcept>

namespace {

void PadTo(TBytes& out, std::size_t alignment) {
  while (out.size() % alignment != 0) out.push_back(0);
}

constexpr std::size_t kDosHeaderSize = 0x40;
constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::size_t kFileAlignment = 0x200;

TBytes DosHeader() {
  TBytes out(kDosHeaderSize, 0);
  out[0] = 'M';
  out[1] = 'Z';
  Put16(out, 0x18, 0x40);  // relocation table offset: a new-style executable
  Put32(out, 0x3C, kDosHeaderSize);
  return out;
}

// The .rsrc section: a three-level directory (type, name, language), data entries, name strings
// and the data itself, with offsets relative to the section start.
struct TResourceSection {
  TBytes Bytes;
  std::vector<std::size_t> DataOffsets;
  std::vector<std::size_t> DataEntries;
};

TResourceSection BuildResourceSection(const std::vector<TResourceLayout>& resources, bool sorted) {
  // Sorted as linkers write directories (named entries first, then numbers in ascending order),
  // or in the layout's order, so a test decides which entry comes first. The data keeps the
  // layout's order either way.
  std::vector<std::size_t> order(resources.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  // Ties keep the layout's order; std::sort, unlike std::stable_sort, allocates nothing, which the
  // out-of-memory test needs.
  if (sorted)
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      const TResourceLayout &x = resources[a], &y = resources[b];
      if (x.Type != y.Type) return x.Type < y.Type;
      if (x.Name.has_value() != y.Name.has_value()) return x.Name.has_value();
      if (!x.Name && x.NameId != y.NameId) return x.NameId < y.NameId;
      if (!x.Name && x.Language != y.Language) return x.Language < y.Language;
      return a < b;
    });
  std::vector<std::uint32_t> types;
  std::map<std::uint32_t, std::vector<std::size_t>> byType;
  for (std::size_t i : order) {
    if (!byType.count(resources[i].Type)) types.push_back(resources[i].Type);
    byType[resources[i].Type].push_back(i);
  }
  auto nameKey = [&](std::size_t i) {
    return resources[i].Name ? "s:" + *resources[i].Name
                             : "n:" + std::to_string(resources[i].NameId);
  };

  // Sizes first: root, type directories, name directories, data entries, strings, data.
  std::size_t directoryBytes = 16 + 8 * types.size();
  std::vector<std::vector<std::string>> namesOfType;
  for (std::uint32_t type : types) {
    std::vector<std::string> names;
    for (std::size_t i : byType[type])
      if (std::find(names.begin(), names.end(), nameKey(i)) == names.end())
        names.push_back(nameKey(i));
    directoryBytes += 16 + 8 * names.size();
    for (const std::string& name : names) {
      std::size_t languages = 0;
      for (std::size_t i : byType[type]) languages += nameKey(i) == name;
      directoryBytes += 16 + 8 * languages;
    }
    namesOfType.push_back(names);
  }
  std::size_t entriesAt = directoryBytes;
  std::size_t stringsAt = entriesAt + 16 * resources.size();

  TBytes out(stringsAt, 0);
  std::map<std::string, std::size_t> stringOffsets;
  for (const TResourceLayout& resource : resources) {
    if (!resource.Name || stringOffsets.count(*resource.Name)) continue;
    stringOffsets[*resource.Name] = out.size();
    Put16(out, out.size(), static_cast<std::uint32_t>(resource.Name->size()));
    for (char c : *resource.Name) Put16(out, out.size(), static_cast<unsigned char>(c));
  }
  PadTo(out, 16);
  std::vector<std::size_t> dataOffsets;
  for (const TResourceLayout& resource : resources) {
    dataOffsets.push_back(out.size());
    out.insert(out.end(), resource.Data.begin(), resource.Data.end());
    PadTo(out, 8);
  }

  constexpr std::uint32_t kSubdirectory = 0x80000000;
  auto directoryHeader = [&](std::size_t at, std::size_t named, std::size_t ids) {
    Put16(out, at + 12, static_cast<std::uint32_t>(named));
    Put16(out, at + 14, static_cast<std::uint32_t>(ids));
  };
  std::size_t next = 16 + 8 * types.size();
  directoryHeader(0, 0, types.size());
  for (std::size_t t = 0; t < types.size(); ++t) {
    std::size_t typeDirectory = next;
    Put32(out, 16 + 8 * t, types[t]);
    Put32(out, 16 + 8 * t + 4, kSubdirectory | static_cast<std::uint32_t>(typeDirectory));
    const auto& names = namesOfType[t];
    std::size_t named = 0;
    for (const auto& name : names) named += name[0] == 's';
    directoryHeader(typeDirectory, named, names.size() - named);
    next = typeDirectory + 16 + 8 * names.size();
    for (std::size_t n = 0; n < names.size(); ++n) {
      std::size_t nameDirectory = next;
      std::size_t entry = typeDirectory + 16 + 8 * n;
      std::size_t first = 0;
      std::vector<std::size_t> members;
      for (std::size_t i : byType[types[t]])
        if (nameKey(i) == names[n]) members.push_back(i);
      first = members.front();
      std::uint32_t nameField =
          resources[first].Name
              ? kSubdirectory | static_cast<std::uint32_t>(stringOffsets[*resources[first].Name])
              : resources[first].NameId;
      Put32(out, entry, nameField);
      Put32(out, entry + 4, kSubdirectory | static_cast<std::uint32_t>(nameDirectory));
      directoryHeader(nameDirectory, 0, members.size());
      next = nameDirectory + 16 + 8 * members.size();
      for (std::size_t l = 0; l < members.size(); ++l) {
        std::size_t i = members[l];
        Put32(out, nameDirectory + 16 + 8 * l, resources[i].Language);
        Put32(out, nameDirectory + 16 + 8 * l + 4, static_cast<std::uint32_t>(entriesAt + 16 * i));
      }
    }
  }
  for (std::size_t i = 0; i < resources.size(); ++i) {
    Put32(out, entriesAt + 16 * i, kSectionRva + static_cast<std::uint32_t>(dataOffsets[i]));
    Put32(out, entriesAt + 16 * i + 4, static_cast<std::uint32_t>(resources[i].Data.size()));
  }
  std::vector<std::size_t> dataEntries;
  for (std::size_t i = 0; i < resources.size(); ++i) dataEntries.push_back(entriesAt + 16 * i);
  return {out, dataOffsets, dataEntries};
}

}  // namespace

TBuiltImage BuildPe(const TPeLayout& layout) {
  bool plus = layout.Kind == TPeKind::Pe32Plus;
  TBuiltImage image;
  image.Bytes = DosHeader();
  image.NewHeader = kDosHeaderSize;
  TBytes& out = image.Bytes;

  std::size_t optionalSize = plus ? 240 : 224;
  std::size_t nt = kDosHeaderSize;
  out.resize(nt + 24 + optionalSize + 40, 0);
  out[nt] = 'P';
  out[nt + 1] = 'E';
  Put16(out, nt + 4, layout.Machine ? layout.Machine : (plus ? 0x8664 : 0x14C));
  Put16(out, nt + 6, 1);  // one section: .rsrc
  Put16(out, nt + 20, static_cast<std::uint32_t>(optionalSize));
  Put16(out, nt + 22, 0x0102 | (layout.Dll ? 0x2000 : 0));

  std::size_t opt = nt + 24;
  Put16(out, opt, plus ? 0x20B : 0x10B);
  Put32(out, opt + 32, 0x1000);  // section alignment
  Put32(out, opt + 36, static_cast<std::uint32_t>(kFileAlignment));
  Put16(out, opt + 48, layout.SubsystemMajor);
  Put16(out, opt + 50, layout.SubsystemMinor);
  Put32(out, opt + 60, static_cast<std::uint32_t>(kFileAlignment));  // size of headers
  Put16(out, opt + 68, layout.Subsystem);
  std::size_t directories = opt + (plus ? 112 : 96);
  Put32(out, directories - 4, 16);

  TResourceSection section = BuildResourceSection(layout.Resources, layout.SortedDirectories);
  if (layout.WithResourceDirectory) {
    Put32(out, directories + 16, kSectionRva);
    Put32(out, directories + 20, static_cast<std::uint32_t>(section.Bytes.size()));
  }
  image.SectionTable = opt + optionalSize;
  std::size_t sec = image.SectionTable;
  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  std::copy(name, name + 8, out.begin() + static_cast<std::ptrdiff_t>(sec));
  std::size_t rawSize =
      (section.Bytes.size() + kFileAlignment - 1) / kFileAlignment * kFileAlignment;
  Put32(out, sec + 8, static_cast<std::uint32_t>(section.Bytes.size()));
  Put32(out, sec + 12, kSectionRva);
  Put32(out, sec + 16, static_cast<std::uint32_t>(rawSize));
  Put32(out, sec + 20, static_cast<std::uint32_t>(kFileAlignment));
  Put32(out, sec + 36, 0x40000040);  // initialized data, readable
  Put32(out, opt + 56,
        kSectionRva + static_cast<std::uint32_t>((section.Bytes.size() + 0xFFF) & ~0xFFFu));

  if (out.size() > kFileAlignment) throw std::logic_error("headers outgrew the first page");
  out.resize(kFileAlignment, 0);
  image.ResourceDirectory = out.size();
  out.insert(out.end(), section.Bytes.begin(), section.Bytes.end());
  out.resize(kFileAlignment + rawSize, 0);
  for (std::size_t offset : section.DataOffsets)
    image.DataOffsets.push_back(kFileAlignment + offset);
  for (std::size_t offset : section.DataEntries)
    image.DataEntries.push_back(kFileAlignment + offset);
  return image;
}

TBuiltImage BuildNe(const TNeLayout& layout) {
  TBuiltImage image;
  image.Bytes = DosHeader();
  TBytes& out = image.Bytes;
  std::size_t ne = kDosHeaderSize;
  image.NewHeader = ne;
  out.resize(ne + 0x40, 0);
  out[ne] = 'N';
  out[ne + 1] = 'E';
  Put16(out, ne + 0x3E, layout.ExpectedWindows);
  out[ne + 0x36] = 2;  // target: Windows

  std::size_t table = out.size();
  image.ResourceDirectory = table;
  Put16(out, ne + 0x24, static_cast<std::uint32_t>(table - ne));
  Put16(out, table, layout.AlignShift);
  // One type record per resource keeps the builder simple; readers must cope with that too.
  std::size_t unit = std::size_t{1} << layout.AlignShift;
  std::size_t tableSize = 2 + layout.Resources.size() * (8 + 12) + 2 + 1;
  std::size_t dataAt = (table + tableSize + unit - 1) / unit * unit;
  std::size_t cursor = table + 2;
  std::size_t place = dataAt;
  for (const TResourceLayout& resource : layout.Resources) {
    Put16(out, cursor, 0x8000 | resource.Type);
    Put16(out, cursor + 2, 1);
    Put32(out, cursor + 4, 0);
    std::size_t units = (resource.Data.size() + unit - 1) / unit;
    Put16(out, cursor + 8, static_cast<std::uint32_t>(place / unit));
    Put16(out, cursor + 10, static_cast<std::uint32_t>(units));
    Put16(out, cursor + 12, 0x0030);
    Put16(out, cursor + 14, 0x8000 | resource.NameId);
    Put32(out, cursor + 16, 0);
    cursor += 20;
    image.DataOffsets.push_back(place);
    place += units * unit;
  }
  Put16(out, cursor, 0);                                               // end of the resource table
  Put16(out, ne + 0x26, static_cast<std::uint32_t>(cursor + 2 - ne));  // resident names follow
  out.resize(dataAt, 0);
  for (std::size_t i = 0; i < layout.Resources.size(); ++i) {
    out.resize(image.DataOffsets[i], 0);
    out.insert(out.end(), layout.Resources[i].Data.begin(), layout.Resources[i].Data.end());
    PadTo(out, unit);
  }
  return image;
}

TBytes BuildDosProgram() {
  TBytes out = DosHeader();
  out[0x18] = 0x1C;  // an old-style relocation offset
  Put32(out, 0x3C, 0);
  out.push_back(0xC3);
  return out;
}

TBuiltImage ProgramWithVersion(const TBytes& versionData, TPeKind kind) {
  TPeLayout layout;
  layout.Kind = kind;
  layout.Resources.push_back({16, std::nullopt, 1, 0x0409, versionData});
  return BuildPe(layout);
}

void WriteFile(const std::string& path, const TBytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}
