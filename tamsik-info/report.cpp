// SPDX-License-Identifier: MIT
#include "tamsik-info/report.h"

#include "tamsik-info/record_fields.h"
#include "tamsik-info/stop_text.h"
#include "tamsik-info/text_escape.h"

namespace {

// Values start one column after the longest label and its colon ("OriginalFileName:"); the
// longer names tamsik-info added later keep one blank, so the older lines stay as they were.
constexpr std::size_t kValueColumn = 18;

void AppendLabel(std::string& out, std::string_view label) {
  out += label;
  out += ':';
  out.append(label.size() + 1 < kValueColumn ? kValueColumn - label.size() - 1 : 1, ' ');
}

void AppendTextLine(std::string& out, std::string_view label, std::string_view text) {
  AppendLabel(out, label);
  std::size_t lineStart = out.size();
  AppendDisplayText(out, text);
  // An empty value leaves no blanks at the end of its line.
  if (out.size() == lineStart) out.erase(out.find_last_not_of(' ') + 1);
  out += '\n';
}

std::string JoinedWithBlanks(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) {
    if (!text.empty()) text += ' ';
    text += item;
  }
  return text;
}

bool FlagOf(const TOutputField& field, const TInfoRecord& record) {
  return field.Record ? record.Info.*(field.Record->Flag) : record.Extras.*field.Flag;
}

// The field as one text, for the forms that have no lists; nothing for a flag.
std::optional<std::string_view> TextOf(const TOutputField& field, const TInfoRecord& record,
                                       std::string& scratch) {
  if (field.Record) {
    if (!field.Record->Text) return std::nullopt;
    return record.Info.*(field.Record->Text);
  }
  if (field.Text) return record.Extras.*field.Text;
  if (field.List) {
    scratch = JoinedWithBlanks(record.Extras.*field.List);
    return scratch;
  }
  return std::nullopt;
}

}  // namespace

void AppendTextReport(std::string& out, std::string_view path, const TInfoRecord& record) {
  AppendTextLine(out, "Path", path);
  AppendTextLine(out, "Read", StopWords(record.Stop));
  if (std::string_view hint = StopHint(record.Stop, record.Info, path); !hint.empty())
    AppendTextLine(out, "Hint", hint);
  if (record.Stop == TInfoStop::NotFound) return;
  std::string scratch;
  for (const TOutputField& field : kOutputFields) {
    if (auto text = TextOf(field, record, scratch))
      AppendTextLine(out, NameOf(field), *text);
    else
      AppendTextLine(out, NameOf(field), FlagOf(field, record) ? "yes" : "no");
  }
}

void AppendJsonReport(std::string& out, std::string_view path, const TInfoRecord& record) {
  out += "{\"Path\":";
  AppendJsonString(out, path);
  out += ",\"Stop\":";
  AppendJsonString(out, StopToken(record.Stop));
  std::string scratch;
  for (const TOutputField& field : kOutputFields) {
    out += ",\"";
    out += NameOf(field);
    out += "\":";
    if (field.List) {
      out += '[';
      bool first = true;
      for (const std::string& item : record.Extras.*field.List) {
        if (!first) out += ',';
        first = false;
        AppendJsonString(out, item);
      }
      out += ']';
    } else if (auto text = TextOf(field, record, scratch)) {
      AppendJsonString(out, *text);
    } else {
      out += FlagOf(field, record) ? "true" : "false";
    }
  }
  out += "}\n";
}

void AppendCsvHeader(std::string& out) {
  out += "Path,Stop";
  for (const TOutputField& field : kOutputFields) {
    out += ',';
    out += NameOf(field);
  }
  out += "\r\n";
}

void AppendCsvReport(std::string& out, std::string_view path, const TInfoRecord& record) {
  AppendCsvText(out, path);
  out += ',';
  out += StopToken(record.Stop);
  std::string scratch;
  for (const TOutputField& field : kOutputFields) {
    out += ',';
    if (auto text = TextOf(field, record, scratch))
      AppendCsvText(out, *text);
    else
      out += FlagOf(field, record) ? "true" : "false";
  }
  out += "\r\n";
}
