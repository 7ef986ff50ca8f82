// SPDX-License-Identifier: MIT
// Letter case as the platform folds it in names, keys and extensions: the ASCII letters only,
// every other character as it is, whatever the locale.
#pragma once

#include <string>
#include <string_view>

template <typename TChar>
constexpr TChar FoldAscii(TChar c) {
  return c >= TChar('a') && c <= TChar('z') ? static_cast<TChar>(c - TChar('a') + TChar('A')) : c;
}

inline std::string FoldAsciiText(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = FoldAscii(c);
  return folded;
}

// True when a and b are equal but for the case of ASCII letters.
constexpr bool EqualFoldingAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}
