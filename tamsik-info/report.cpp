// SPDX-License-Identifier: MIT
#include "tamsik-info/report.h"

#include "tamsik-info/record_fields.h"
#include "tamsik-info/stop_text.h"
#include "tamsik-info/text_escape.h"

namespace {

// Values start one column after the longest label and its colon ("OriginalFileName:").
constexpr std::size_t kValueColumn = 18;

void AppendLabel(std::string& out, std::string_view label) {
  out += label;
  out += ':';
  out.append(kValueColumn - label.size() - 1, ' ');
}

void AppendTextLine(std::string& out, std::string_view label, std::string_view text) {
  AppendLabel(out, label);
  std::size_t lineStart = out.size();
  AppendDisplayText(out, text);
  // An empty value leaves no blanks at the end of its line.
  if (out.size() == lineStart) out.erase(out.find_last_not_of(' ') + 1);
  out += '\n';
}

}  // namespace

void AppendTextReport(std::string& out, std::string_view path, TInfoStop stop,
                      const TFileVersionInfo& info) {
  AppendTextLine(out, "Path", path);
  AppendTextLine(out, "Read", StopWords(stop));
  if (std::string_view hint = StopHint(stop, info, path); !hint.empty()) AppendTextLine(out, "Hint", hint);
  if (stop == TInfoStop::NotFound) return;
  for (const TRecordField& field : kRecordFields) {
    if (field.Text)
      AppendTextLine(out, field.Name, info.*field.Text);
    else
      AppendTextLine(out, field.Name, info.*field.Flag ? "yes" : "no");
  }
}

void AppendJsonReport(std::string& out, std::string_view path, TInfoStop stop,
                      const TFileVersionInfo& info) {
  out += "{\"Path\":";
  AppendJsonString(out, path);
  out += ",\"Stop\":";
  AppendJsonString(out, StopToken(stop));
  for (const TRecordField& field : kRecordFields) {
    out += ",\"";
    out += field.Name;
    out += "\":";
    if (field.Text)
      AppendJsonString(out, info.*field.Text);
    else
      out += info.*field.Flag ? "true" : "false";
  }
  out += "}\n";
}
