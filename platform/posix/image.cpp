// SPDX-License-Identifier: MIT
#include "platform/posix/image.h"

#include "platform/posix/image_format.h"

std::optional<TNewHeader> FindNewHeader(TFileWindow& file) {
  auto dos = file.Read<TDosHeader>(0);
  if (!dos || dos->Magic != kDosSignature) return std::nullopt;
  std::uint64_t at = dos->NewHeaderOffset;
  if (auto pe = file.Read<TLe32>(at); pe && *pe == kPeSignature)
    return TNewHeader{TNewHeaderKind::Pe, at};
  if (auto ne = file.Read<TLe16>(at); ne && *ne == kNeSignature)
    return TNewHeader{TNewHeaderKind::Ne, at};
  return TNewHeader{};
}

TExpected<TVersionLocation> LocateVersionResource(TFileWindow& file) {
  auto head = FindNewHeader(file);
  if (!head) return TImageFault::NotAnImage;
  switch (head->Kind) {
    case TNewHeaderKind::Pe:
      return LocatePeVersion(file, head->Offset);
    case TNewHeaderKind::Ne:
      return LocateNeVersion(file, head->Offset);
    case TNewHeaderKind::None:
      break;
  }
  return TImageFault::NotAnImage;
}
