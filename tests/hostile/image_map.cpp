// SPDX-License-Identifier: MIT
#include "tests/hostile/image_map.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace {

std::uint32_t U16(const TBytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t U32(const TBytes& b, std::size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }
std::size_t Align4(std::size_t value) { return (value + 3) & ~std::size_t{3}; }

void Widen(TRange& range, std::size_t begin, std::size_t end) {
  if (range.End == 0) range = {begin, end};
  range.Begin = std::min(range.Begin, begin);
  range.End = std::max(range.End, end);
}

// Records every block's two length fields; the tree is sound, so its lengths are trusted.
void MapBlocks(const TBytes& b, std::size_t base, std::size_t start, std::size_t end, bool wide,
               int depth, std::vector<TField>& out) {
  std::size_t header = wide ? 6 : 4;
  while (depth < 8 && start + header <= end) {
    std::size_t length = U16(b, base + start);
    if (length == 0) return;
    out.push_back({base + start, 2});
    out.push_back({base + start + 2, 2});
    std::size_t key = start + header;
    if (wide)
      while (key + 2 <= end && U16(b, base + key) != 0) key += 2;
    else
      while (key < end && b.at(base + key) != 0) ++key;
    std::size_t afterKey = key + (wide ? 2 : 1);
    std::size_t valueBytes = U16(b, base + start + 2);
    if (wide && U16(b, base + start + 4) == 1) valueBytes *= 2;
    std::size_t children = Align4(Align4(afterKey) + valueBytes);
    MapBlocks(b, base, children, std::min(start + length, end), wide, depth + 1, out);
    start = Align4(start + length);
  }
}

std::optional<TImageMap> MapPe(const TBytes& b, std::size_t pe) {
  TImageMap map;
  std::size_t sections = U16(b, pe + 6), optionalSize = U16(b, pe + 20), optional = pe + 24;
  bool plus = U16(b, optional) == 0x20B;
  std::size_t directories = optional + (plus ? 112 : 96);
  std::size_t table = optional + optionalSize;
  map.Headers = {0, table + 40 * sections};
  map.HeaderFields = {{0x3C, 4},
                      {pe + 6, 2},
                      {pe + 20, 2},
                      {optional + 60, 4},
                      {directories - 4, 4},
                      {directories + 16, 4},
                      {directories + 20, 4}};
  std::uint32_t resourceRva = U32(b, directories + 16);
  if (resourceRva == 0) return std::nullopt;

  struct TSectionRow {
    std::uint32_t Address, Size, RawOffset;
  };
  std::vector<TSectionRow> rows;
  for (std::size_t i = 0; i < sections; ++i) {
    std::size_t row = table + 40 * i;
    rows.push_back({U32(b, row + 12), U32(b, row + 16), U32(b, row + 20)});
    for (std::size_t field : {8, 12, 16, 20}) map.HeaderFields.push_back({row + field, 4});
  }
  auto toFile = [&](std::uint32_t rva) -> std::size_t {
    for (const TSectionRow& row : rows)
      if (rva >= row.Address && rva - row.Address < row.Size)
        return row.RawOffset + (rva - row.Address);
    throw std::runtime_error("address outside the sections");
  };
  std::size_t root = toFile(resourceRva);

  std::optional<TRange> version;
  std::function<void(std::uint32_t, int, bool)> walk = [&](std::uint32_t offset, int level,
                                                           bool isVersion) {
    std::size_t at = root + offset;
    std::size_t count = U16(b, at + 12) + U16(b, at + 14);
    Widen(map.ResourceStructure, at, at + 16 + 8 * count);
    map.DirectoryFields.push_back({at + 12, 2});
    map.DirectoryFields.push_back({at + 14, 2});
    for (std::size_t i = 0; i < count; ++i) {
      std::size_t entry = at + 16 + 8 * i;
      std::uint32_t name = U32(b, entry), target = U32(b, entry + 4);
      auto self = static_cast<std::uint32_t>(entry - root);
      for (std::uint32_t loop : {0x80000000 | offset, 0x80000000u, self, target ^ 0x80000000})
        map.Loops.push_back({entry + 4, 4, loop});
      bool version16 = level == 0 ? name == 16 : isVersion;
      if (target & 0x80000000) {
        if (level < 2) walk(target & 0x7FFFFFFF, level + 1, version16);
        continue;
      }
      std::size_t data = root + target;
      Widen(map.ResourceStructure, data, data + 16);
      map.Loops.push_back({data, 4, resourceRva + target});
      map.Loops.push_back({data, 4, resourceRva});
      map.DirectoryFields.push_back({data + 4, 4});
      if (version16) {
        std::size_t start = toFile(U32(b, data));
        if (!version) version = TRange{start, start};
        Widen(*version, start, start + U32(b, data + 4));
        MapBlocks(b, start, 0, U32(b, data + 4), true, 0, map.BlockLengths);
      }
    }
  };
  walk(0, 0, false);
  if (!version) return std::nullopt;
  map.VersionData = *version;
  return map;
}

std::optional<TImageMap> MapNe(const TBytes& b, std::size_t ne) {
  TImageMap map;
  map.Ne = true;
  map.Headers = {0, ne + 0x40};
  map.HeaderFields = {{0x3C, 4}, {ne + 0x24, 2}, {ne + 0x26, 2}};
  std::size_t table = ne + U16(b, ne + 0x24);
  std::uint32_t shift = U16(b, table);
  map.DirectoryFields.push_back({table, 2});
  std::size_t cursor = table + 2;
  std::optional<TRange> version;
  while (U16(b, cursor) != 0) {
    std::size_t count = U16(b, cursor + 2);
    map.DirectoryFields.push_back({cursor + 2, 2});
    for (std::size_t i = 0; i < count; ++i) {
      std::size_t entry = cursor + 8 + 12 * i;
      map.DirectoryFields.push_back({entry, 2});
      map.DirectoryFields.push_back({entry + 2, 2});
      map.Loops.push_back({entry, 2, static_cast<std::uint32_t>(table >> shift)});
      map.Loops.push_back({entry, 2, 0});
      if (U16(b, cursor) == 0x8010 && !version) {
        std::size_t start = std::size_t{U16(b, entry)} << shift;
        version = TRange{start, start + U16(b, start)};
      }
    }
    cursor += 8 + 12 * count;
  }
  map.ResourceStructure = {table, cursor + 2};
  if (!version) return std::nullopt;
  map.VersionData = *version;
  MapBlocks(b, version->Begin, 0, version->End - version->Begin, false, 0, map.BlockLengths);
  return map;
}

}  // namespace

std::optional<TImageMap> MapImage(const TBytes& bytes) {
  try {
    if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return std::nullopt;
    std::size_t next = U32(bytes, 0x3C);
    if (U32(bytes, next) == 0x4550) return MapPe(bytes, next);
    if (U16(bytes, next) == 0x454E) return MapNe(bytes, next);
  } catch (const std::exception&) {
  }
  return std::nullopt;
}
