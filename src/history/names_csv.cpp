#include "history/names_csv.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <memory>

#include "archive/text_utf8.h"
#include "history/text_match.h"

namespace torv::history {
namespace {

struct CsvRow {
  std::vector<std::string> fields;
  int line = 0;  // where the row starts, from 1
};

// RFC 4180 records; also takes LF line ends. A quoted field may hold line breaks.
Result<std::vector<CsvRow>> ReadCsvRows(std::string_view text, char separator) {
  std::vector<CsvRow> rows;
  int line = 1;
  std::size_t i = 0;
  while (i < text.size()) {
    CsvRow row;
    row.line = line;
    std::string field;
    bool endOfRow = false;
    while (!endOfRow) {
      field.clear();
      if (i < text.size() && text[i] == '"') {
        const int opened = line;
        ++i;
        for (;;) {
          if (i >= text.size()) {
            return Failure{"line " + std::to_string(opened) + ": a quoted field is not closed"};
          }
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              field += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          if (text[i] == '\n') ++line;
          field += text[i++];
        }
        if (i < text.size() && text[i] != separator && text[i] != '\r' && text[i] != '\n') {
          return Failure{"line " + std::to_string(line) + ": text after a quoted field"};
        }
      } else {
        while (i < text.size() && text[i] != separator && text[i] != '\r' && text[i] != '\n') {
          field += text[i++];
        }
      }
      row.fields.push_back(field);
      if (i < text.size() && text[i] == separator) {
        ++i;
        continue;
      }
      if (i < text.size() && text[i] == '\r') ++i;
      if (i < text.size() && text[i] == '\n') ++i;
      ++line;
      endOfRow = true;
    }
    // A line with nothing on it is no row.
    if (!(row.fields.size() == 1 && row.fields[0].empty())) rows.push_back(std::move(row));
  }
  return rows;
}

// The header the file must start with, in English or in Russian.
constexpr std::array<std::array<std::string_view, 4>, 2> kHeaders = {{
    {"device", "kind", "number", "name"},
    {"устройство", "вид", "номер", "название"},
}};

bool IsHeader(const CsvRow& row) {
  if (row.fields.size() != 4) return false;
  for (const auto& header : kHeaders) {
    bool same = true;
    for (std::size_t i = 0; i < header.size(); ++i) {
      same = same && FoldForMatch(row.fields[i]) == header[i];
    }
    if (same) return true;
  }
  return false;
}

// Russian spreadsheets save ";" between fields: the header row tells.
char SeparatorOf(std::string_view content) {
  const std::string_view header = content.substr(0, content.find('\n'));
  return header.find(';') != std::string_view::npos && header.find(',') == std::string_view::npos
             ? ';'
             : ',';
}

}  // namespace

Result<std::vector<NameEntry>> ParseNamesCsv(std::string_view content) {
  if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
  if (!IsValidUtf8(content)) return Failure{"the file is not UTF-8 text"};
  Result<std::vector<CsvRow>> rows = ReadCsvRows(content, SeparatorOf(content));
  if (!rows) return rows.failure();
  if (rows->empty()) return Failure{"the file is empty; it needs a header row"};
  if (!IsHeader(rows->front())) {
    return Failure{"line " + std::to_string(rows->front().line) +
                   ": the header row device,kind,number,name (or устройство,вид,номер,название) "
                   "is missing"};
  }
  std::vector<NameEntry> names;
  for (std::size_t r = 1; r < rows->size(); ++r) {
    const CsvRow& row = (*rows)[r];
    const std::string where = "line " + std::to_string(row.line) + ": ";
    if (row.fields.size() != 4) {
      return Failure{where + "4 fields expected (device, kind, number, name), found " +
                     std::to_string(row.fields.size())};
    }
    NameEntry entry;
    entry.device = row.fields[0];
    if (entry.device.empty()) return Failure{where + "the device is empty"};
    const std::optional<NumberKind> kind = NumberKindNamed(row.fields[1]);
    if (!kind) {
      return Failure{where + "the kind \"" + row.fields[1] + "\" is neither input nor relay"};
    }
    entry.kind = *kind;
    const std::string& number = row.fields[2];
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), entry.number);
    if (error != std::errc() || end != number.data() + number.size() ||
        entry.number < kFirstNamedNumber || entry.number > kLastNamedNumber) {
      return Failure{where + "the number \"" + number + "\" is not from " +
                     std::to_string(kFirstNamedNumber) + " to " + std::to_string(kLastNamedNumber)};
    }
    entry.name = row.fields[3];
    if (entry.name.empty()) return Failure{where + "the name is empty"};
    names.push_back(std::move(entry));
  }
  return names;
}

Result<std::vector<NameEntry>> ReadNamesFile(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  const auto cannotRead = [](int errorNumber) {
    return Failure{"cannot be read: " + SystemFailure(errorNumber).reason, errorNumber};
  };
  if (!file) return cannotRead(errno);
  std::string content;
  char buffer[65536];
  while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get())) {
    content.append(buffer, got);
  }
  if (std::ferror(file.get())) return cannotRead(errno);
  return ParseNamesCsv(content);
}

}  // namespace torv::history
