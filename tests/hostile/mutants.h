// SPDX-License-Identifier: MIT
// Deterministic mutants of a sound image: every truncation through its headers, resource
// structure and version data; byte flips in the resource structure and the version data; length
// and count fields set to 0, 0xFFFF, 0xFFFFFFFF and odd values; directory entries and data
// pointed back at themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/hostile/image_map.h"

enum class TMutationKind { Truncation, Flip, Length, Loop };

struct TMutation {
  TMutationKind Kind;
  std::size_t Offset;       // truncation: the length kept; otherwise the first byte changed
  std::size_t Width = 0;    // bytes written
  std::uint32_t Value = 0;  // flip: the mask; otherwise the value written
};

std::vector<TMutation> Mutations(const TBytes& image, const TImageMap& map, std::uint32_t seed);
TBytes Apply(const TBytes& image, const TMutation& mutation);
std::string Describe(const TMutation& mutation);
