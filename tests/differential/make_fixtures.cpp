// SPDX-License-Identifier: MIT
// Writes the crafted images that the differential run feeds to both builds of the probe: one for
// each question about the platform's behaviour that the real files leave open. Each name says
// what the file pins; docs/differential.md says what the platform answered.
//
// Usage: tamsik_make_differential_fixtures FOLDER
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/bytes.h"
#include "tests/support/image_builder.h"

namespace {

struct TFixture {
  std::string Name;
  TBytes Bytes;
};

TVersionLayout Ordinary() {
  TVersionLayout layout;
  layout.Strings = {{"CompanyName", "Acme"},
                    {"FileVersion", "1.2.3.4"},
                    {"ProductVersion", "1.2"},
                    {"Full Version", "1.2.3.4 (beta)"},
                    {"ProductName", "Anvil"}};
  return layout;
}

TBytes Tree(const TBlockLayout& root) { return BuildVersionTree(root); }
TBytes Pe(const TBytes& data, TPeKind kind = TPeKind::Pe32) {
  return ProgramWithVersion(data, kind).Bytes;
}

TBytes WithStrings(std::vector<std::pair<std::string, std::string>> strings,
                   std::string table = "040904B0",
                   std::vector<std::uint32_t> translations = {0x04B00409}) {
  TVersionLayout layout = Ordinary();
  layout.Strings = std::move(strings);
  layout.TableName = std::move(table);
  layout.Translations = std::move(translations);
  return Pe(Tree(StandardTree(layout)));
}

// One image holding the ordinary version data once per resource, each with its own ProductVersion
// so the answer tells which one the platform chose.
TBytes WithResources(const std::vector<TResourceLayout>& resources) {
  TPeLayout layout;
  layout.SortedDirectories = false;  // in the order given: some names pin directories out of order
  for (TResourceLayout resource : resources) {
    TVersionLayout version = Ordinary();
    version.Strings = {{"ProductVersion",
                        resource.Name ? *resource.Name : "name " + std::to_string(resource.NameId)},
                       {"Comments", "language " + std::to_string(resource.Language)}};
    resource.Data = Tree(StandardTree(version));
    layout.Resources.push_back(resource);
  }
  return BuildPe(layout).Bytes;
}

TResourceLayout Version(std::uint32_t nameId, std::uint32_t language) {
  return {16, std::nullopt, nameId, language, {}};
}
TResourceLayout NamedVersion(std::string name, std::uint32_t language) {
  return {16, std::move(name), 0, language, {}};
}

TBytes Ne(const TBytes& data, std::uint16_t nameId = 1, std::uint16_t expectedWindows = 0x030A) {
  TNeLayout layout;
  layout.ExpectedWindows = expectedWindows;
  if (!data.empty()) layout.Resources.push_back({16, std::nullopt, nameId, 0, data});
  return BuildNe(layout).Bytes;
}

// The ordinary tree with its ProductVersion block changed by edit: in a PE32 image (wide data) or
// an NE image (narrow data).
TBytes WithProductVersion(const std::function<void(TBlockLayout&)>& edit,
                          TTreeFlavor flavor = TTreeFlavor::Wide) {
  TBlockLayout root = StandardTree(Ordinary(), flavor);
  for (TBlockLayout& string : root.Children[0].Children[0].Children)
    if (string.Key == "ProductVersion") edit(string);
  TBytes data = BuildVersionTree(root, flavor);
  return flavor == TTreeFlavor::Wide ? Pe(data) : Ne(data);
}

TBytes NarrowTree(const TVersionLayout& layout) {
  return BuildVersionTree(StandardTree(layout, TTreeFlavor::Narrow), TTreeFlavor::Narrow);
}

TBytes PeProgram(bool dll, std::uint16_t subsystem, std::uint16_t major = 6,
                 std::uint16_t minor = 0, TPeKind kind = TPeKind::Pe32) {
  TPeLayout layout;
  layout.Kind = kind;
  layout.Dll = dll;
  layout.Subsystem = subsystem;
  layout.SubsystemMajor = major;
  layout.SubsystemMinor = minor;
  layout.Resources.push_back({16, std::nullopt, 1, 0x0409, Tree(StandardTree(Ordinary()))});
  return BuildPe(layout).Bytes;
}

std::vector<TFixture> Fixtures() {
  std::vector<TFixture> all;
  auto add = [&](std::string name, TBytes bytes) {
    all.push_back({std::move(name), std::move(bytes)});
  };

  add("ordinary32.exe", Pe(Tree(StandardTree(Ordinary()))));
  add("ordinary64.exe", Pe(Tree(StandardTree(Ordinary())), TPeKind::Pe32Plus));

  // What a string's stored length does to its text and length.
  add("text_length_zero.exe", WithProductVersion([](TBlockLayout& s) { s.ValueLength = 0; }));
  add("text_length_short.exe", WithProductVersion([](TBlockLayout& s) { s.ValueLength = 2; }));
  add("text_length_long.exe", WithProductVersion([](TBlockLayout& s) { s.ValueLength = 40; }));
  add("text_length_past_block.exe",
      WithProductVersion([](TBlockLayout& s) { s.ValueLength = 0x7FFF; }));
  add("text_without_terminator.exe", WithProductVersion([](TBlockLayout& s) {
        s.Value = Utf16FromUtf8("1.2", false);
        s.ValueLength = 3;
      }));
  add("text_with_bytes_after_terminator.exe", WithProductVersion([](TBlockLayout& s) {
        s.Value = Utf16FromUtf8("1.2");
        TBytes more = Utf16FromUtf8("junk");
        s.Value.insert(s.Value.end(), more.begin(), more.end());
        s.ValueLength = static_cast<std::uint16_t>(s.Value.size() / 2);
      }));
  add("text_typed_binary.exe", WithProductVersion([](TBlockLayout& s) { s.Type = 0; }));
  add("text_empty.exe", WithProductVersion([](TBlockLayout& s) {
        s.Value = Utf16FromUtf8("");
        s.ValueLength = 1;
      }));
  add("text_empty_no_value.exe", WithProductVersion([](TBlockLayout& s) {
        s.Value.clear();
        s.ValueLength = 0;
      }));

  // Names: letter case, duplicates, leading and doubled backslashes are in every probe's queries.
  add("key_lower_case.exe", WithStrings({{"productversion", "lower"}, {"COMPANYNAME", "upper"}}));
  add("key_duplicate.exe",
      WithStrings({{"ProductVersion", "first"}, {"ProductVersion", "second"}}));
  add("key_prefix_only.exe", WithStrings({{"ProductVersionX", "longer"}, {"Product", "shorter"}}));
  add("key_with_blank.exe", WithStrings({{"Full Version", "full"}, {"FullVersion", "joined"}}));
  add("table_lower_case.exe", WithStrings({{"ProductVersion", "1.0"}}, "040904b0"));
  add("table_other_than_translation.exe", WithStrings({{"ProductVersion", "1.0"}}, "040704B0"));

  // Translations.
  add("translation_missing.exe", WithStrings({{"ProductVersion", "1.0"}}, "040904B0", {}));
  add("translation_several.exe",
      WithStrings({{"ProductVersion", "1.0"}}, "040704E4", {0x04E40407, 0x04B00409}));
  {
    TBlockLayout root = StandardTree(Ordinary());
    root.Children[1].Children[0] = BinaryBlock("Translation", {});
    add("translation_empty.exe", Pe(Tree(root)));
  }
  {
    TBlockLayout root = StandardTree(Ordinary());
    root.Children[1].Children[0] = BinaryBlock("Translation", {0x09, 0x04});
    add("translation_short.exe", Pe(Tree(root)));
  }

  // Text beyond ASCII: in a Western code page, in none of them, and UTF-16 that no text gives
  // (unpaired surrogates: a high one last, a low one alone, a low one before a high one).
  add("text_latin1.exe", WithStrings({{"ProductVersion", "1.0 \xC3\xA9t\xC3\xA9"},
                                      {"CompanyName", "M\xC3\xBCller & S\xC3\xB6hne \xC2\xA9"}}));
  add("text_cp1252_only.exe",
      WithStrings({{"ProductVersion", "\xE2\x82\xAC 1.0 \xE2\x80\x94 \xE2\x84\xA2"}}));
  add("text_not_in_code_page.exe", WithStrings({{"ProductVersion", "\xE6\x97\xA5\xE6\x9C\xAC 1.0"},
                                                {"CompanyName", "\xCE\xA9mega"}}));
  add("text_surrogate_pair.exe", WithStrings({{"ProductVersion", "\xF0\x9F\x98\x80"}}));
  add("text_unpaired_surrogates.exe",
      WithStrings({{"ProductVersion", "1.0 \xED\xA0\x80"},
                   {"CompanyName", "\xED\xB0\x80 & \xED\xB0\x80\xED\xA0\x80"}}));
  add("text_long.exe", WithStrings({{"ProductVersion", std::string(3000, 'v')}}));

  // Fixed information.
  {
    TVersionLayout layout = Ordinary();
    layout.Fixed = {0x3F, 0x2B, 3, 7};
    add("fixed_driver.exe", Pe(Tree(StandardTree(layout))));
  }
  {
    TBlockLayout root = StandardTree(Ordinary());
    root.Value.resize(20);
    root.ValueLength = 20;
    add("fixed_short.exe", Pe(Tree(root)));
  }
  {
    TBlockLayout root = StandardTree(Ordinary());
    root.Value.clear();
    root.ValueLength = 0;
    add("fixed_missing.exe", Pe(Tree(root)));
  }

  // Structure: lengths that disagree with their content.
  {
    TBlockLayout root = StandardTree(Ordinary());
    root.LengthOverride = 0x7F00;
    add("root_length_past_data.exe", Pe(Tree(root)));
  }
  {
    TBlockLayout root = StandardTree(Ordinary());
    root.Children[0].Children[0].LengthOverride = 0xFFF0;
    add("table_length_past_parent.exe", Pe(Tree(root)));
  }
  {
    TBlockLayout root = StandardTree(Ordinary());
    root.Key = "VS_VERSION_INFX";
    add("root_key_unusual.exe", Pe(Tree(root)));
  }

  // The file ends inside the version data, or before it.
  {
    TBuiltImage image = ProgramWithVersion(Tree(StandardTree(Ordinary())));
    std::size_t data = image.DataOffsets[0];
    for (std::size_t keep : {0, 2, 8, 100, 300}) {
      TBytes cut(image.Bytes.begin(),
                 image.Bytes.begin() + static_cast<std::ptrdiff_t>(data + keep));
      add("data_cut_after_" + std::to_string(keep) + ".exe", cut);
    }
    // Version data that runs on into the section's zero-filled tail, which the file does not hold.
    for (std::uint32_t past : {0x10, 0x100}) {
      TBuiltImage tail = image;
      std::uint32_t rawSize =
          static_cast<std::uint32_t>(tail.Bytes.size() - tail.ResourceDirectory);
      Poke32(tail.Bytes, tail.SectionTable + 8, rawSize + 0x1000);  // virtual size
      std::uint32_t inSection = static_cast<std::uint32_t>(data - tail.ResourceDirectory);
      Poke32(tail.Bytes, tail.DataEntries[0] + 4, rawSize - inSection + past);
      add("data_in_virtual_tail_" + std::to_string(past) + ".exe", tail.Bytes);
    }
    // Cut inside the data, less than a sector short of the section's end, and just a sector short.
    for (std::size_t short_ : {0x1FF, 0x200}) {
      TBytes cut = image.Bytes;
      cut.resize(cut.size() - short_);
      add("section_cut_" + std::to_string(short_) + "_short.exe", cut);
    }
  }

  // Which version resource the platform takes: by name, then by language.
  add("name_2_only.exe", WithResources({Version(2, 0x0409)}));
  add("name_1_after_2.exe", WithResources({Version(2, 0x0409), Version(1, 0x0409)}));
  add("name_1_before_2.exe", WithResources({Version(1, 0x0409), Version(2, 0x0409)}));
  add("name_string_only.exe", WithResources({NamedVersion("VERSION", 0x0409)}));
  add("name_string_and_2.exe",
      WithResources({NamedVersion("VERSION", 0x0409), Version(2, 0x0409)}));
  add("language_neutral_last.exe",
      WithResources({Version(1, 0x0407), Version(1, 0x0409), Version(1, 0)}));
  add("language_neutral_only_first.exe", WithResources({Version(1, 0), Version(1, 0x0407)}));
  add("language_english_second.exe", WithResources({Version(1, 0x0407), Version(1, 0x0409)}));
  add("language_neither.exe", WithResources({Version(1, 0x0407), Version(1, 0x0411)}));
  add("language_british_and_german.exe", WithResources({Version(1, 0x0407), Version(1, 0x0809)}));
  add("language_neutral_sublanguage.exe", WithResources({Version(1, 0x0400), Version(1, 0x0407)}));
  add("language_system_default.exe", WithResources({Version(1, 0x0407), Version(1, 0x0800)}));
  add("language_english_neutral.exe", WithResources({Version(1, 0x0007), Version(1, 0x0009)}));
  add("language_user_default_neutral.exe", WithResources({Version(1, 0x0007), Version(1, 0x0400)}));
  add("language_system_default_neutral.exe",
      WithResources({Version(1, 0x0007), Version(1, 0x0800)}));
  add("language_british_only.exe", WithResources({Version(1, 0x0007), Version(1, 0x0809)}));
  add("language_us_and_british.exe",
      WithResources({Version(1, 0x0407), Version(1, 0x0409), Version(1, 0x0809)}));
  add("language_invariant.exe", WithResources({Version(1, 0x0007), Version(1, 0x007F)}));
  add("language_english_neutral_and_us.exe",
      WithResources({Version(1, 0x0009), Version(1, 0x0409)}));

  // Executable types: by content, and whether the name changes them.
  for (const char* name : {"dos.exe", "dos.com", "dos.bat", "dos.pif", "dos.txt"})
    add(name, BuildDosProgram());
  for (const char* name : {"console.exe", "console.com", "console.bat", "console.txt"})
    add(name, PeProgram(false, 3));
  add("gui.exe", PeProgram(false, 2, 5, 1));
  add("gui64.exe", PeProgram(false, 2, 6, 2, TPeKind::Pe32Plus));
  add("native.sys", PeProgram(false, 1));
  add("library.dll", PeProgram(true, 2));
  add("library_named.exe", PeProgram(true, 3));
  add("library64.dll", PeProgram(true, 3, 6, 0, TPeKind::Pe32Plus));
  add("gui_version_wide.exe", PeProgram(false, 2, 0x1234, 0x5678));
  add("text.txt", TBytes{'h', 'e', 'l', 'l', 'o', '\n'});
  for (const char* name : {"text.com", "text.PIF", "text.bat", "text.cmd", "empty.com"})
    add(name,
        std::string(name) == "empty.com" ? TBytes{} : TBytes{'@', 'e', 'c', 'h', 'o', '\r', '\n'});
  {
    auto patched = [](TBytes bytes, std::size_t at, std::uint16_t value) {
      Poke16(bytes, at, value);
      return bytes;
    };
    auto cut = [](TBytes bytes, std::size_t size) {
      bytes.resize(size);
      return bytes;
    };
    TBytes console = PeProgram(false, 3), console64 = PeProgram(false, 3, 6, 0, TPeKind::Pe32Plus);
    constexpr std::size_t kMachine = 0x44;
    add("pe_machine_arm64.exe", patched(console64, kMachine, 0xAA64));
    add("pe_machine_arm.exe", patched(console, kMachine, 0x1C4));
    add("pe32_machine_x64.exe", patched(console, kMachine, 0x8664));
    add("pe32plus_machine_x86.exe", patched(console64, kMachine, 0x14C));
    add("pe_optional_size_zero.exe", patched(console, 0x54, 0));
    add("pe_signature_only.exe", cut(console, 0x44));
    add("pe_file_header_only.exe", cut(console, 0x58));
    add("pe_section_table_cut.exe", cut(console, 0x15F));
    add("pe_section_table_whole.exe", cut(console, 0x160));
    add("pe_signature_only.com", cut(console, 0x44));
    TBytes ne = Ne(NarrowTree(Ordinary()));
    for (std::uint8_t target : {0, 1, 3, 4, 5}) {
      TBytes other = ne;
      other[0x40 + 0x36] = target;
      add("ne_target_" + std::to_string(target) + ".exe", other);
    }
    add("ne_header_cut_before_version.exe", cut(ne, 0x40 + 0x37));
  }
  add("empty.exe", TBytes{});
  add("mz_only.exe", TBytes{'M', 'Z'});

  // 16-bit NE images: narrow version data.
  {
    TVersionLayout layout = Ordinary();
    add("ne.exe", Ne(NarrowTree(layout)));
    add("ne.dll", Ne(NarrowTree(layout), 1, 0x0300));
    add("ne_name_2.exe", Ne(NarrowTree(layout), 2));
    add("ne_without_version.exe", Ne({}));
    layout.Strings = {{"ProductVersion", "1.0 \xE9t\xE9"}, {"CompanyName", "M\xFCller"}};
    add("ne_8bit_text.exe", Ne(NarrowTree(layout)));
    layout.Strings = {{"productversion", "lower"}};
    add("ne_key_lower_case.exe", Ne(NarrowTree(layout)));
    TBytes library = Ne(NarrowTree(Ordinary()));
    library[0x40 + 0x0D] |= 0x80;  // the library flag
    add("ne_library.dll", library);
  }
  // Narrow strings whose stored length is wrong, or that lack their terminator.
  constexpr TTreeFlavor kNarrow = TTreeFlavor::Narrow;
  add("ne_text_length_zero.exe",
      WithProductVersion([](TBlockLayout& s) { s.ValueLength = 0; }, kNarrow));
  add("ne_text_length_short.exe",
      WithProductVersion([](TBlockLayout& s) { s.ValueLength = 2; }, kNarrow));
  add("ne_text_length_long.exe",
      WithProductVersion([](TBlockLayout& s) { s.ValueLength = 40; }, kNarrow));
  add("ne_text_without_terminator.exe", WithProductVersion(
                                            [](TBlockLayout& s) {
                                              s.Value = {'1', '.', '2', '.'};
                                              s.ValueLength = 4;
                                            },
                                            kNarrow));
  return all;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tamsik_make_differential_fixtures FOLDER\n");
    return 2;
  }
  for (const TFixture& fixture : Fixtures())
    WriteFile(std::string(argv[1]) + "/" + fixture.Name, fixture.Bytes);
  return 0;
}
