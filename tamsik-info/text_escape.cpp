// SPDX-License-Identifier: MIT
#include "tamsik-info/text_escape.h"

#include <cstdint>

namespace {

bool InRange(std::string_view text, std::size_t at, unsigned low, unsigned high) {
  if (at >= text.size()) return false;
  auto byte = static_cast<unsigned char>(text[at]);
  return byte >= low && byte <= high;
}

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHexByte(std::string& out, unsigned char byte) {
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0xF];
}

}  // namespace

std::size_t WellFormedUtf8Length(std::string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  auto lead = static_cast<unsigned char>(text[at]);
  // The second byte's range depends on the lead; it excludes overlong forms, surrogates and
  // values past U+10FFFF. Later bytes are plain continuation bytes.
  unsigned low = 0x80, high = 0xBF;
  std::size_t length = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (!InRange(text, at + 1, low, high)) return 0;
  for (std::size_t k = 2; k < length; ++k)
    if (!InRange(text, at + k, 0x80, 0xBF)) return 0;
  return length;
}

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t at = 0; at < text.size();) {
    auto byte = static_cast<unsigned char>(text[at]);
    std::size_t length = WellFormedUtf8Length(text, at);
    if (length == 0) {
      out += "\\udc";
      AppendHexByte(out, byte);
      ++at;
      continue;
    }
    if (length > 1) {
      out.append(text, at, length);
      at += length;
      continue;
    }
    ++at;
    switch (byte) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          out += "\\u00";
          AppendHexByte(out, byte);
        } else {
          out += static_cast<char>(byte);
        }
    }
  }
  out += '"';
}

void AppendDisplayText(std::string& out, std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = WellFormedUtf8Length(text, at);
    auto byte = static_cast<unsigned char>(text[at]);
    bool c0OrDelete = length == 1 && (byte < 0x20 || byte == 0x7F);
    bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
    if (length == 0 || c0OrDelete || c1) {
      std::size_t shown = length == 0 ? 1 : length;
      for (std::size_t k = 0; k < shown; ++k) {
        out += "\\x";
        AppendHexByte(out, static_cast<unsigned char>(text[at + k]));
      }
      at += shown;
      continue;
    }
    out.append(text, at, length);
    at += length;
  }
}

void AppendCsvText(std::string& out, std::string_view text) {
  bool quoted = false;
  for (std::size_t at = 0; at < text.size() && !quoted;) {
    std::size_t length = WellFormedUtf8Length(text, at);
    char c = text[at];
    quoted = length == 0 || c == ',' || c == '"' || c == '\r' || c == '\n' || c == ' ' || c == '\t';
    at += length == 0 ? 1 : length;
  }
  if (!quoted) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}
