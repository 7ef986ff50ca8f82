// SPDX-License-Identifier: MIT
#include "tamsik-info/command_line.h"

#include <getopt.h>

#include <string_view>

namespace {

enum : int { kFull = 256, kJson, kCsv, kAnyFile, kFilesFrom, kVersion };

constexpr option kLongOptions[] = {
    {"full", no_argument, nullptr, kFull},
    {"json", no_argument, nullptr, kJson},
    {"csv", no_argument, nullptr, kCsv},
    {"recursive", no_argument, nullptr, 'r'},
    {"files-from", required_argument, nullptr, kFilesFrom},
    {"null", no_argument, nullptr, '0'},
    {"any-file", no_argument, nullptr, kAnyFile},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// "-" first: paths come back in order as option 1, so nothing depends on the C library's
// permutation or on POSIXLY_CORRECT; ":" next: a missing value is told from an unknown option.
constexpr char kShortOptions[] = "-:hr0";

// The long option's name as written, without "--" and any "=value".
std::string_view WrittenName(const char* argument) {
  std::string_view text(argument);
  text.remove_prefix(2);
  return text.substr(0, text.find('='));
}

std::string LongOptionText(const char* argument) {
  return "--" + std::string(WrittenName(argument));
}

bool IsLongOption(std::string_view name) {
  for (const option& known : kLongOptions)
    if (known.name && name == known.name) return true;
  return false;
}

// What getopt refused in argument: a short option it does not know (optopt), a long one, or a
// value given to an option that takes none.
std::string UnknownOptionError(const char* argument) {
  if (std::string_view(argument).substr(0, 2) != "--")
    return std::string("unknown option '-") + static_cast<char>(optopt) + "'";
  if (IsLongOption(WrittenName(argument)))
    return "option '" + LongOptionText(argument) + "' takes no value";
  return "unknown option '" + LongOptionText(argument) + "'";
}

bool SetForm(TInfoCommand& command, TOutputForm form) {
  if (command.Options.Form != TOutputForm::Text && command.Options.Form != form) {
    command.Error = "--json and --csv exclude each other";
    return false;
  }
  command.Options.Form = form;
  return true;
}

}  // namespace

TInfoCommand ParseInfoCommand(std::span<char*> arguments) {
  // getopt wants the program's name first, and the caller's array stays free for the paths.
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 2);
  static char programName[] = "tamsik-info";
  argv.push_back(programName);
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  argv.push_back(nullptr);
  int argc = static_cast<int>(argv.size() - 1);

  TInfoCommand command;
  std::size_t pathCount = 0;
  auto addPath = [&](char* path) { arguments[pathCount++] = path; };

  opterr = 0;
  optind = 0;  // a fresh scan on every call, on glibc and MinGW-w64 alike
  for (;;) {
    // Long options always start an argument of their own.
    int start = optind == 0 ? 1 : optind;
    int index = -1;
    int code = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, &index);
    if (code == -1) break;
    if (index >= 0 && WrittenName(argv[start]) != kLongOptions[index].name) {
      command.Error = "unknown option '" + LongOptionText(argv[start]) + "'";
      return command;
    }
    switch (code) {
      case 1:
        addPath(optarg);
        break;
      case kFull:
        command.Options.Full = true;
        break;
      case kJson:
        if (!SetForm(command, TOutputForm::Json)) return command;
        break;
      case kCsv:
        if (!SetForm(command, TOutputForm::Csv)) return command;
        break;
      case 'r':
        command.Options.Recursive = true;
        break;
      case kFilesFrom:
        command.Options.FilesFrom.push_back(optarg);
        break;
      case '0':
        command.Options.Null = true;
        break;
      case kAnyFile:
        command.Options.AnyFile = true;
        break;
      case 'h':
        command.Options.Help = true;
        break;
      case kVersion:
        command.Options.Version = true;
        break;
      case ':':  // MinGW-w64's getopt says so for a value given to a flag too
        command.Error = std::string_view(argv[start]).find('=') != std::string_view::npos
                            ? UnknownOptionError(argv[start])
                            : "option '" + std::string(argv[start]) + "' needs a file";
        return command;
      default:
        command.Error = UnknownOptionError(argv[start]);
        return command;
    }
  }
  for (int at = optind; at < argc; ++at) addPath(argv[static_cast<std::size_t>(at)]);
  command.Paths = std::span<char* const>(arguments.data(), pathCount);
  if (command.Paths.empty() && command.Options.FilesFrom.empty() && !command.Options.Help &&
      !command.Options.Version)
    command.Error = "no file given";
  return command;
}
