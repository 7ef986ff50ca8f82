// SPDX-License-Identifier: MIT
#include "platform/posix/utf8.h"

#include <cstdint>

namespace {

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendCodePoint(std::uint32_t point, std::string& out) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

constexpr std::size_t kNotALead = 4;

std::size_t ContinuationCount(unsigned char lead) {
  if (lead < 0x80) return 0;
  if (lead >= 0xC2 && lead < 0xE0) return 1;
  if (lead >= 0xE0 && lead < 0xF0) return 2;
  if (lead >= 0xF0 && lead < 0xF5) return 3;
  return kNotALead;
}

void AppendUnits(std::uint32_t point, std::u16string& out) {
  if (point < 0x10000) {
    out += static_cast<char16_t>(point);
  } else {
    point -= 0x10000;
    out += static_cast<char16_t>(0xD800 | (point >> 10));
    out += static_cast<char16_t>(0xDC00 | (point & 0x3FF));
  }
}

}  // namespace

std::string Utf16ToUtf8(TByteView units) {
  std::string out;
  out.reserve(units.Size());
  for (std::size_t at = 0; auto read = units.ReadU16(at); at += 2) {
    std::uint32_t unit = *read;
    if (IsHighSurrogate(unit)) {
      auto next = units.ReadU16(at + 2);
      if (next && IsLowSurrogate(*next)) {
        AppendCodePoint(0x10000 + ((unit - 0xD800) << 10) + (*next - 0xDC00), out);
        at += 2;
        continue;
      }
    }
    AppendCodePoint(unit, out);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  std::size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<unsigned char>(text[i]);
    std::size_t extra = ContinuationCount(lead);
    if (extra == kNotALead || (extra > 0 && i + extra >= text.size())) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    std::uint32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
    bool good = true;
    for (std::size_t k = 1; k <= extra; ++k) {
      auto cont = static_cast<unsigned char>(text[i + k]);
      if ((cont & 0xC0) != 0x80) {
        good = false;
        break;
      }
      point = (point << 6) | (cont & 0x3F);
    }
    // Overlong forms and values past U+10FFFF are not well-formed; surrogates are kept.
    static constexpr std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (!good || point < kSmallest[extra] || point > 0x10FFFF) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    AppendUnits(point, out);
    i += extra + 1;
  }
  return out;
}
