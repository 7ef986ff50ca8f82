// SPDX-License-Identifier: MIT
// Prints what the four platform functions answer for each file named in a list, in a form that
// two builds can be compared by: the native build answers with our layer, the Windows build with
// the platform's own functions. compare.cpp reads two such reports.
//
// Usage: tamsik_probe LIST   (one path a line; absolute paths are Unix paths on both sides)
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/winver.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// Printable ASCII stays, a backslash is doubled, every other byte is \xHH; never a tab or blank
// inside a field, so fields are separated by tabs.
std::string Escape(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c > 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += kDigits[c >> 4];
      out += kDigits[c & 0xF];
    }
  }
  return out;
}

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0xF];
  }
  return out;
}

std::string Hex4(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFFu);
  return text;
}

// Windows needs a drive for an absolute Unix path: Wine maps the Unix root to Z:.
std::string PlatformPath(std::string path) {
#ifdef _WIN32
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
#endif
  return path;
}

// The caller's buffer as the functions are told its size. Room follows it unannounced, so that a
// platform that writes past the end (it does for a root length larger than the resource) harms
// nothing; an answer pointing there is reported as outside.
struct TBuffer {
  explicit TBuffer(std::size_t size) : Storage(size + 0x40000, 0), Size(size) {}
  std::vector<std::uint8_t> Storage;
  std::size_t Size;
  std::uint8_t* Data() { return Storage.data(); }
  const std::uint8_t* Data() const { return Storage.data(); }
  bool Holds(const void* pointer) const {
    auto p = static_cast<const std::uint8_t*>(pointer);
    return p >= Data() && p < Data() + Size;
  }
  std::size_t Left(const void* pointer) const {
    return Data() + Size - static_cast<const std::uint8_t*>(pointer);
  }
};

void Query(const TBuffer& buffer, const std::string& subBlock) {
  LPVOID pointer = nullptr;
  UINT length = 0;
  BOOL result = VerQueryValueA(buffer.Data(), subBlock.c_str(), &pointer, &length);
  std::printf("query\t%s\t%d\t%u", Escape(subBlock).c_str(), result ? 1 : 0, result ? length : 0);
  if (result && pointer && buffer.Holds(pointer)) {
    auto p = static_cast<const std::uint8_t*>(pointer);
    std::size_t left = buffer.Left(pointer), text = 0;
    while (text < left && p[text] != 0) ++text;
    std::size_t bytes = length < left ? length : left;
    std::printf("\ttext=%s\tbytes=%s", Escape(std::string(p, p + text)).c_str(),
                Hex(p, bytes).c_str());
  } else if (result) {
    std::printf("\toutside");
  }
  std::printf("\n");
}

// The keys exactly as the reader passes them.
constexpr const char* kKeys[] = {
    "CompanyName",    "FileDescription", "FileVersion",      "Full Version", "InternalName",
    "LegalCopyRight", "LegalTradeMarks", "OriginalFileName", "ProductName",  "ProductVersion",
    "Comments",       "SpecialBuild",    "PrivateBuild"};

void ProbeVersionData(const TBuffer& buffer) {
  // Wide data holds its type word (0 or 1) at offset 4, narrow data its key.
  std::printf("data\t%s\n", buffer.Size > 4 && buffer.Data()[4] >= 0x20 ? "narrow" : "wide");
  Query(buffer, "");
  Query(buffer, "\\");
  Query(buffer, "\\VarFileInfo\\Translation");
  for (const char* path : {"\\VarFileInfo", "\\StringFileInfo", "VarFileInfo\\Translation",
                           "\\\\VarFileInfo\\\\Translation", "\\VarFileInfo\\Translation\\",
                           "\\varfileinfo\\TRANSLATION", "\\VarFileInfo\\Translation\\Child",
                           "\\VarFileInfo\\Trans", "\\NoSuchBlock"})
    Query(buffer, path);

  LPVOID pointer = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.Data(), "\\VarFileInfo\\Translation", &pointer, &length) ||
      !buffer.Holds(pointer) || length < 4 || buffer.Left(pointer) < 4)
    return;
  auto entry = static_cast<const std::uint8_t*>(pointer);
  unsigned language = entry[0] | entry[1] << 8, codePage = entry[2] | entry[3] << 8;
  std::string table = "\\StringFileInfo\\" + Hex4(language) + Hex4(codePage);
  for (const char* key : kKeys) Query(buffer, table + "\\" + key);

  std::string lower = table;
  for (std::size_t i = lower.rfind('\\'); i < lower.size(); ++i)
    if (lower[i] >= 'A' && lower[i] <= 'F') lower[i] = static_cast<char>(lower[i] - 'A' + 'a');
  for (const std::string& path :
       {table, table + "\\", lower + "\\ProductVersion", table + "\\productversion",
        table + "\\PRODUCTVERSION", table + "\\ProductVersion\\",
        "StringFileInfo" + table.substr(15) + "\\ProductVersion", table + "\\\\ProductVersion",
        table + "\\Product", table + "\\ProductVersionX"})
    Query(buffer, path);
}

void ProbeFile(const std::string& listed) {
  std::string path = PlatformPath(listed);
  std::printf("file\t%s\n", Escape(listed).c_str());

  SHFILEINFOA shell{};
  DWORD_PTR typeName = SHGetFileInfoA(path.c_str(), 0, &shell, sizeof shell, SHGFI_TYPENAME);
  std::string name(shell.szTypeName, strnlen(shell.szTypeName, sizeof shell.szTypeName));
  std::printf("typename\t%d\t%s\n", typeName ? 1 : 0, Escape(typeName ? name : "").c_str());
  SHFILEINFOA again{};
  auto exeType = static_cast<unsigned long long>(
      SHGetFileInfoA(path.c_str(), 0, &again, sizeof again, SHGFI_EXETYPE));
  std::printf("exetype\t%llX\n", exeType);

  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  std::printf("size\t%lu\n", static_cast<unsigned long>(size));
  if (size == 0) return;
  TBuffer buffer(size);
  BOOL read = GetFileVersionInfoA(path.c_str(), handle, size, buffer.Data());
  std::printf("read\t%d\n", read ? 1 : 0);
  if (read) ProbeVersionData(buffer);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tamsik_probe LIST\n");
    return 2;
  }
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  std::printf("platform\twindows\tcodepage\t%u\n", GetACP());
#else
  std::printf("platform\tposix\tcodepage\tutf-8\n");
#endif
  std::ifstream list(argv[1], std::ios::binary);
  if (!list) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  for (std::string line; std::getline(list, line);)
    if (!line.empty()) ProbeFile(line);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
