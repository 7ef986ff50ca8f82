// SPDX-License-Identifier: MIT
#include "tests/hostile/mutants.h"

#include <random>
#include <set>

std::vector<TMutation> Mutations(const TBytes& image, const TImageMap& map, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<TMutation> out;
  auto clip = [&](std::size_t offset) { return std::min(offset, image.size()); };

  std::set<std::size_t> lengths;
  for (const TRange& range : {map.Headers, map.ResourceStructure, map.VersionData})
    for (std::size_t length = clip(range.Begin); length <= clip(range.End); ++length)
      lengths.insert(length);
  for (std::size_t length : lengths) out.push_back({TMutationKind::Truncation, length});

  for (const TRange& range : {map.ResourceStructure, map.VersionData})
    for (std::size_t at = range.Begin; at < clip(range.End); ++at) {
      out.push_back({TMutationKind::Flip, at, 1, 0xFF});
      out.push_back({TMutationKind::Flip, at, 1, 1u << (random() % 8)});
    }

  for (const auto* fields : {&map.HeaderFields, &map.DirectoryFields, &map.BlockLengths})
    for (const TField& field : *fields) {
      if (field.Offset + field.Width > image.size()) continue;
      std::uint32_t was = 0;
      for (std::size_t i = 0; i < field.Width; ++i)
        was |= std::uint32_t{image[field.Offset + i]} << (8 * i);
      std::uint32_t all = field.Width == 4 ? 0xFFFFFFFF : 0xFFFF;
      std::uint32_t odd = (random() & all) | 1;
      for (std::uint32_t value : {0u, 0xFFFFu, all, was ^ 1, odd})
        out.push_back({TMutationKind::Length, field.Offset, field.Width, value});
    }

  for (const TEdit& edit : map.Loops)
    if (edit.Offset + edit.Width <= image.size())
      out.push_back({TMutationKind::Loop, edit.Offset, edit.Width, edit.Value});
  return out;
}

TBytes Apply(const TBytes& image, const TMutation& mutation) {
  if (mutation.Kind == TMutationKind::Truncation)
    return TBytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(mutation.Offset));
  TBytes out = image;
  if (mutation.Kind == TMutationKind::Flip) {
    out.at(mutation.Offset) ^= static_cast<std::uint8_t>(mutation.Value);
    return out;
  }
  for (std::size_t i = 0; i < mutation.Width; ++i)
    out.at(mutation.Offset + i) = static_cast<std::uint8_t>(mutation.Value >> (8 * i));
  return out;
}

std::string Describe(const TMutation& mutation) {
  static const char* const kKinds[] = {"truncated to", "flipped at", "length at", "loop at"};
  std::string text =
      kKinds[static_cast<int>(mutation.Kind)] + std::string(" ") + std::to_string(mutation.Offset);
  if (mutation.Kind != TMutationKind::Truncation)
    text += " value " + std::to_string(mutation.Value);
  return text;
}
