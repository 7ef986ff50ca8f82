// SPDX-License-Identifier: MIT
// Compares two reports of tamsik_probe: ours (the native build) against the platform's (the
// Windows build under Wine). Every answer must agree, except for these allowed differences:
//
// 1. Unpaired surrogates in narrow text. Both sides give UTF-8 (the probe, like the programs,
//    asks for UTF-8 as its code page, and the comparison refuses any other). Ours keeps an
//    unpaired surrogate in its three-byte form, so that two different values never give the same
//    text; the platform replaces it with U+FFFD, also three bytes. Text and byte answers agree
//    when they are equal once ours has its surrogates replaced so. Counted.
// 2. The type-name text of SHGetFileInfoA: ours is made up from the name's extension, the
//    platform's comes from its registry. Only whether the call succeeded is compared.
// 3. The size GetFileVersionInfoSizeA gives: each side lays out its buffer its own way. Only
//    zero against non-zero is compared.
// 4. The text that follows a value which is not a string (the translation table, the fixed
//    information, a block): what lies behind such a value in the buffer belongs to each side's
//    layout. Only the value's bytes are compared.
// 5. An answer of the platform's that points outside the caller's buffer. The platform puts the
//    narrow form of a wide string at an offset it derives from the root block's length; when
//    that length claims more than the resource holds, the text lands past the end of the buffer
//    the caller sized by GetFileVersionInfoSizeA (the probe keeps spare room there). No answer
//    inside the buffer can equal that, and no caller can use it: the reader ignores pointers
//    outside its buffer. Ours trims the root length to the data and answers inside. Counted.
// 6. A wide string whose stored length disagrees with its text. Ours reads the text to its
//    terminator within its block and counts its narrow bytes and the terminator, whatever the
//    stored length says; under Wine the platform converts exactly the stored number of
//    characters, so a stored length too short cuts the text (and "1.2.0" stored as 3 characters
//    reads "1.2"), one too long converts what follows. Real files often store the length wrong,
//    and a cut text would make two different versions compare equal. The answers must still
//    agree on the text, or the platform's must be a cut of ours. Counted.
// 7. A size of 1 to 5 bytes from the platform where ours finds no version data: no version block
//    fits in so few bytes. The platform's size is twice the resource's claim plus 4, computed in
//    32 bits, so a claim near 2 GiB wraps around to a tiny buffer that its own queries then read
//    past. Ours refuses a resource larger than its section. The rest of such a file's answers
//    are not compared. Counted.
//
// Two differences are ours on purpose, for the crafted images named below:
// - kVirtualTail: version data that runs on into a section's zero-filled tail, which the file
//   does not hold. The platform maps the image and reads zeros there; ours allocates nothing for
//   bytes the file does not hold and finds no version data. Only the shell's answers are compared.
// - kOtherMachines: PE programs for machines other than x86 (PE32) and x64 (PE32+). The platform's
//   shell counts only programs its own processor runs, so under Wine on x86-64 an ARM64 program is
//   no program and its version is never read; ours counts every machine, so versions of ARM64
//   programs are compared. Only the exe type differs; everything else is compared.
//
// docs/differential.md lists what the comparison settled.
//
// Usage: tamsik_differential_compare OURS THEIRS
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using TFields = std::vector<std::string>;

struct TFileRecord {
  std::string Path;
  std::vector<TFields> Lines;  // each line split at tabs, the tag first
};

struct TReport {
  std::string Platform;
  std::string CodePage;
  std::vector<TFileRecord> Files;
};

TFields Split(const std::string& line) {
  TFields fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

std::optional<TReport> ReadReport(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  TReport report;
  for (std::string line; std::getline(in, line);) {
    TFields fields = Split(line);
    if (fields[0] == "platform" && fields.size() == 4) {
      report.Platform = fields[1];
      report.CodePage = fields[3];
    } else if (fields[0] == "file" && fields.size() == 2) {
      report.Files.push_back({fields[1], {}});
    } else if (!report.Files.empty()) {
      report.Files.back().Lines.push_back(fields);
    }
  }
  return report;
}

// The probe's escaping undone: \\ is a backslash, \xHH a byte.
std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i];
    } else if (text[i + 1] == '\\') {
      out += '\\';
      ++i;
    } else if (text[i + 1] == 'x' && i + 3 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string FromHex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

// A surrogate (U+D800 to U+DFFF) encoded in UTF-8, as ours writes an unpaired one: ED A0..BF xx.
bool IsEncodedSurrogate(const std::string& text, std::size_t at) {
  return at + 2 < text.size() && static_cast<unsigned char>(text[at]) == 0xED &&
         static_cast<unsigned char>(text[at + 1]) >= 0xA0;
}

// Ours with every encoded surrogate replaced by U+FFFD, as the platform converts.
std::string WithSurrogatesReplaced(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsEncodedSurrogate(text, i)) {
      out += "\xEF\xBF\xBD";
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

constexpr const char* kVirtualTail[] = {"crafted/data_in_virtual_tail_"};
constexpr const char* kOtherMachines[] = {"crafted/pe_machine_", "crafted/pe32_machine_",
                                          "crafted/pe32plus_machine_"};

template <std::size_t N>
bool Listed(const std::string& path, const char* const (&prefixes)[N]) {
  for (const char* prefix : prefixes)
    if (path.rfind(prefix, 0) == 0) return true;
  return false;
}

// The platform's text is a proper beginning of ours.
bool IsCutOf(const std::string& theirs, const std::string& ours) {
  return theirs.size() < ours.size() && ours.compare(0, theirs.size(), theirs) == 0;
}

struct TTally {
  std::size_t Files = 0;
  std::size_t FilesWithVersionData = 0;
  std::size_t Fields = 0;
  std::size_t Replaced = 0;
  std::size_t Outside = 0;
  std::size_t StoredLength = 0;
  std::size_t SizeWrapped = 0;
  std::size_t Deliberate = 0;
  std::size_t Differences = 0;
};

class TComparison {
 public:
  TComparison(const TReport& ours, const TReport& theirs) : Ours_(ours), Theirs_(theirs) {}

  bool CodePageIsUtf8() const { return Theirs_.CodePage == "65001"; }

  void Differ(const std::string& path, const std::string& what, const std::string& ours,
              const std::string& theirs) {
    ++Tally.Differences;
    std::printf("DIFFERENT %s: %s\n  ours:   %s\n  theirs: %s\n", path.c_str(), what.c_str(),
                ours.c_str(), theirs.c_str());
  }

  void Check(const std::string& path, const std::string& what, bool same, const std::string& ours,
             const std::string& theirs) {
    ++Tally.Fields;
    if (!same) Differ(path, what, ours, theirs);
  }

  static std::map<std::string, TFields> ByKey(const TFileRecord& record) {
    std::map<std::string, TFields> lines;
    for (const TFields& fields : record.Lines)
      lines[fields[0] == "query" && fields.size() > 1 ? "query " + fields[1] : fields[0]] = fields;
    return lines;
  }

  static std::string Field(const TFields& fields, std::size_t index, const char* prefix = "") {
    if (index >= fields.size()) return {};
    std::string value = fields[index];
    std::string head(prefix);
    if (!head.empty() && value.compare(0, head.size(), head) == 0) value.erase(0, head.size());
    return value;
  }

  static std::string Joined(const TFields& fields) {
    std::string out;
    for (std::size_t i = 1; i < fields.size(); ++i) out += (i > 1 ? " " : "") + fields[i];
    return out;
  }

  // A string under a string table: the only answers that are narrow text.
  static bool IsStringPath(const std::string& escapedPath) {
    std::string path = Unescape(escapedPath);
    std::vector<std::string> names;
    std::string name;
    for (char c : path + "\\") {
      if (c != '\\') {
        name += c;
      } else if (!name.empty()) {
        names.push_back(name);
        name.clear();
      }
    }
    if (names.size() != 3) return false;
    std::string first = names[0];
    for (char& c : first) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return first == "STRINGFILEINFO";
  }

  void CompareQuery(const std::string& path, const std::string& what, const TFields& ours,
                    const TFields& theirs, bool narrowData) {
    Check(path, what + " result", Field(ours, 2) == Field(theirs, 2), Joined(ours), Joined(theirs));
    if (Field(ours, 2) != "1" || Field(theirs, 2) != "1") return;
    if (Field(theirs, 4) == "outside" && Field(ours, 4) != "outside") {
      ++Tally.Outside;
      return;
    }
    std::string ourBytes = FromHex(Field(ours, 5, "bytes=")),
                theirBytes = FromHex(Field(theirs, 5, "bytes="));
    std::string ourText = Unescape(Field(ours, 4, "text=")),
                theirText = Unescape(Field(theirs, 4, "text="));
    if (IsStringPath(Field(ours, 1)) && !narrowData) {
      std::string replacedText = WithSurrogatesReplaced(ourText);
      bool sameText = ourText == theirText || replacedText == theirText;
      if (ourText == theirText && ourBytes == theirBytes) {
        Check(path, what + " value", true, Joined(ours), Joined(theirs));
      } else if (sameText && WithSurrogatesReplaced(ourBytes) == theirBytes) {
        ++Tally.Replaced;
      } else if (sameText || IsCutOf(theirText, replacedText)) {
        ++Tally.StoredLength;
      } else {
        Check(path, what + " text", false, Joined(ours), Joined(theirs));
      }
      return;
    }
    Check(path, what + " length", Field(ours, 3) == Field(theirs, 3), Joined(ours), Joined(theirs));
    Check(path, what + " value", ourBytes == theirBytes, Joined(ours), Joined(theirs));
    if (narrowData && IsStringPath(Field(ours, 1)))
      Check(path, what + " text", ourText == theirText, Joined(ours), Joined(theirs));
  }

  void CompareFile(const TFileRecord& ours, const TFileRecord& theirs) {
    ++Tally.Files;
    const std::string& path = ours.Path;
    auto mine = ByKey(ours), other = ByKey(theirs);
    bool narrowData = mine.count("data") && Field(mine["data"], 1) == "narrow";
    if (mine.count("read") && Field(mine["read"], 1) == "1") ++Tally.FilesWithVersionData;
    std::string ourSize = mine.count("size") ? Field(mine["size"], 1) : "",
                theirSize = other.count("size") ? Field(other["size"], 1) : "";
    bool deliberate = Listed(path, kVirtualTail);
    bool otherMachine = Listed(path, kOtherMachines);
    if (deliberate || otherMachine) ++Tally.Deliberate;
    if (otherMachine) {
      mine.erase("exetype");
      other.erase("exetype");
    }
    if (deliberate ||
        (ourSize == "0" && theirSize.size() == 1 && theirSize >= "1" && theirSize <= "5")) {
      if (!deliberate) ++Tally.SizeWrapped;
      std::erase_if(other, [](const auto& line) {
        return line.first != "typename" && line.first != "exetype";
      });
      std::erase_if(mine, [](const auto& line) {
        return line.first != "typename" && line.first != "exetype";
      });
    }
    for (auto& [key, fields] : mine) {
      if (!other.count(key)) {
        Differ(path, key, Joined(fields), "(no answer)");
        continue;
      }
      const TFields& theirs = other[key];
      if (key == "typename") {
        Check(path, "type-name result", Field(fields, 1) == Field(theirs, 1), Joined(fields),
              Joined(theirs));
      } else if (key == "size") {
        Check(path, "size zero or not", (Field(fields, 1) == "0") == (Field(theirs, 1) == "0"),
              Joined(fields), Joined(theirs));
      } else if (key.rfind("query ", 0) == 0) {
        CompareQuery(path, key.substr(6), fields, theirs, narrowData);
      } else {
        Check(path, key, fields == theirs, Joined(fields), Joined(theirs));
      }
    }
    for (auto& [key, fields] : other)
      if (!mine.count(key)) Differ(path, key, "(no answer)", Joined(fields));
  }

  bool Run() {
    if (Ours_.Files.size() != Theirs_.Files.size()) {
      std::printf("the reports name %zu and %zu files\n", Ours_.Files.size(), Theirs_.Files.size());
      return false;
    }
    for (std::size_t i = 0; i < Ours_.Files.size(); ++i) {
      if (Ours_.Files[i].Path != Theirs_.Files[i].Path) {
        std::printf("the reports list different files: %s and %s\n", Ours_.Files[i].Path.c_str(),
                    Theirs_.Files[i].Path.c_str());
        return false;
      }
      CompareFile(Ours_.Files[i], Theirs_.Files[i]);
    }
    return true;
  }

  TTally Tally;

 private:
  const TReport& Ours_;
  const TReport& Theirs_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tamsik_differential_compare OURS THEIRS\n");
    return 2;
  }
  auto ours = ReadReport(argv[1]), theirs = ReadReport(argv[2]);
  if (!ours || !theirs) {
    std::fprintf(stderr, "cannot read the reports\n");
    return 2;
  }
  TComparison comparison(*ours, *theirs);
  if (!comparison.CodePageIsUtf8()) {
    std::printf(
        "the platform's code page is %s, not UTF-8 (65001): the probe lacks its manifest, or the "
        "platform ignores it\n",
        theirs->CodePage.c_str());
    return 1;
  }
  if (!comparison.Run()) return 1;
  const TTally& tally = comparison.Tally;
  std::printf(
      "%zu files (%zu with version data), %zu fields compared, %zu values with unpaired surrogates "
      "the "
      "platform replaced, %zu answers of the platform outside its buffer, %zu strings whose stored "
      "length "
      "disagrees, %zu platform sizes wrapped around, %zu files where ours differs on purpose, %zu "
      "differences\n",
      tally.Files, tally.FilesWithVersionData, tally.Fields, tally.Replaced, tally.Outside,
      tally.StoredLength, tally.SizeWrapped, tally.Deliberate, tally.Differences);
  return tally.Files > 0 && tally.Differences == 0 ? 0 : 1;
}
