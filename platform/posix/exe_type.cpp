// SPDX-License-Identifier: MIT
// The shell's program test: which kind of program a file's headers make it. It reads its own
// fields by its own rules, apart from the version search (see image.h).
#include <cstddef>

#include "platform/posix/image.h"
#include "platform/posix/image_format.h"

namespace {

constexpr std::uint32_t kDosExeType = 0x4D5A;  // what the shell reports for a DOS program
constexpr std::uint32_t kPeExeType = kPeSignature;
constexpr std::uint32_t kNeExeType = kNeSignature;

// The subsystem and its version of a whole standard optional header of kind THeader, or nothing
// when the file does not hold it.
struct TSubsystem {
  std::uint16_t Kind = 0;
  std::uint16_t Version = 0;  // major in the high byte
};

template <typename THeader>
std::optional<TSubsystem> ReadSubsystem(TFileWindow& file, std::uint64_t at) {
  auto optional = file.Read<THeader>(at);
  if (!optional) return std::nullopt;
  auto version = static_cast<std::uint16_t>((optional->MajorSubsystemVersion << 8) |
                                            optional->MinorSubsystemVersion);
  return TSubsystem{optional->Subsystem, version};
}

std::uint32_t PeExecutableType(TFileWindow& file, std::uint64_t at) {
  auto head = file.Read<TPeHeader>(at);
  // A signature without its file header: the stub is the program.
  if (!head) return kDosExeType;
  const TFileHeader& header = head->FileHeader;
  std::uint64_t optionalAt = at + sizeof(TPeHeader);
  auto magic = file.Read<TLe16>(optionalAt + offsetof(TOptionalHeader32, Magic));
  if (!magic) return 0;
  // Programs for every machine count, ARM64 and others included, so their versions are compared.
  // (A platform's shell answers for the machines its own processor runs.)
  // The whole standard optional header and the section table must be in the file.
  std::optional<TSubsystem> subsystem;
  if (*magic == kPe32Magic)
    subsystem = ReadSubsystem<TOptionalHeader32>(file, optionalAt);
  else if (*magic == kPe32PlusMagic)
    subsystem = ReadSubsystem<TOptionalHeader64>(file, optionalAt);
  if (!subsystem) return 0;
  if (!file.Bytes(optionalAt + header.SizeOfOptionalHeader,
                  sizeof(TSectionHeader) * header.NumberOfSections))
    return 0;
  if (header.Characteristics & kDllCharacteristic) return 0;
  if (subsystem->Kind != kGuiSubsystem) return kPeExeType;
  return kPeExeType | (std::uint32_t{subsystem->Version} << 16);
}

std::uint32_t NeExecutableType(TFileWindow& file, std::uint64_t at) {
  // Each field is read alone: the header may be cut short between them.
  auto target = file.Read<std::uint8_t>(at + offsetof(TNeHeader, TargetOs));
  if (!target) return kDosExeType;
  if (*target == kNeTargetDosExtender) return kDosExeType;
  if (*target != kNeTargetWindows) return 0;
  // Zero when the header is cut short before it.
  auto version = file.Read<TLe16>(at + offsetof(TNeHeader, ExpectedWindowsVersion));
  return kNeExeType | (version ? std::uint32_t{*version} << 16 : 0);
}

}  // namespace

std::uint32_t ExecutableType(TFileWindow& file, bool dosName) {
  // Only a whole DOS header makes an image.
  auto head = FindNewHeader(file);
  if (!head) return dosName && file.File().Size() > 0 ? kDosExeType : 0;
  switch (head->Kind) {
    case TNewHeaderKind::Pe:
      return PeExecutableType(file, head->Offset);
    case TNewHeaderKind::Ne:
      return NeExecutableType(file, head->Offset);
    case TNewHeaderKind::None:
      break;
  }
  return kDosExeType;
}
