// SPDX-License-Identifier: MIT
#include "versioninfo/fixed_info.h"

#include "platform/winver.h"
#include "versioninfo/hex_text.h"

std::optional<TFixedFileInfoView> GetFixedFileInfo(TByteView buffer) {
  LPVOID pointer = nullptr;
  UINT length = 0;
  // The empty path addresses the root block, whose value is the fixed information.
  if (!VerQueryValueA(buffer.At(0), "", &pointer, &length)) return std::nullopt;
  auto value = buffer.Tail(pointer, length);
  // A shorter root value has no sound flags or type: the record keeps false and empty text.
  if (!value || value->Size() < kFixedFileInfoSize) return std::nullopt;
  return TFixedFileInfoView{*value};
}

bool HasFileFlag(const TFixedFileInfoView& view, std::uint16_t bit) {
  std::uint32_t wide = bit;
  return (view.FileFlagsMask() & view.FileFlags() & wide) == wide;
}

std::string FileTypeText(const TFixedFileInfoView& view) {
  static constexpr const char* kDrivers[] = {
      "Unknown Driver",    "Printer Driver", "Keyboard Driver",      "Language Driver",
      "Display Driver",    "Mouse Driver",   "Network Driver",       "System Driver",
      "InstallableDriver", "Sound Driver",   "Communications Driver"};
  static constexpr const char* kFonts[] = {"Unknown Font", "Raster Font", "Vector Font",
                                           "Truetype Font"};
  std::uint32_t subtype = view.FileSubtype();
  switch (view.FileType()) {
    case 0:
      return "Unknown";
    case 1:
      return "Application";
    case 2:
      return "DLL";
    case 3:
      return subtype < std::size(kDrivers) ? kDrivers[subtype] : "";
    case 4:
      return subtype < std::size(kFonts) ? kFonts[subtype] : "";
    case 5:
      return "Virtual Defice Identifier = " + HexText(subtype, 8);
    case 7:
      return "Static-link Library";
    default:
      return "";
  }
}
