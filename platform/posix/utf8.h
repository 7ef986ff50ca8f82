// SPDX-License-Identifier: MIT
// UTF-16 <-> UTF-8 without loss. Version strings are UTF-16 in the file and narrow text is UTF-8
// here, so two different values must never give the same text: an unpaired surrogate is kept in
// the three-byte form instead of being replaced.
#pragma once

#include <string>
#include <string_view>

#include "platform/byte_view.h"

// Converts little-endian UTF-16 code units (a trailing odd byte is ignored) to UTF-8.
std::string Utf16ToUtf8(TByteView units);

// The inverse: decodes UTF-8, three-byte surrogates included, to UTF-16 code units. A byte that
// starts no well-formed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
