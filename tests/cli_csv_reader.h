// A strict RFC 4180 reader for the tests: CRLF after every record, fields
// quoted only as a whole, a doubled quote inside quotes for one quote.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torv::cli_testing {

using CsvRecord = std::vector<std::string>;

// The records of `text`, or nothing when it breaks the rules.
inline std::optional<std::vector<CsvRecord>> ReadCsv(const std::string& text) {
  std::vector<CsvRecord> records;
  CsvRecord record;
  std::string field;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '"') {
      ++i;
      while (true) {
        if (i >= text.size()) return std::nullopt;  // unterminated quote
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += text[i++];
      }
      if (i < text.size() && text[i] != ',' && text[i] != '\r') return std::nullopt;
    } else {
      while (i < text.size() && text[i] != ',' && text[i] != '\r') {
        if (text[i] == '"' || text[i] == '\n') return std::nullopt;  // must have been quoted
        field += text[i++];
      }
    }
    if (i >= text.size()) return std::nullopt;  // the last record must end in CRLF
    record.push_back(field);
    field.clear();
    if (text[i] == ',') {
      ++i;
      continue;
    }
    if (i + 1 >= text.size() || text[i + 1] != '\n') return std::nullopt;  // lone CR
    i += 2;
    records.push_back(record);
    record.clear();
  }
  return records;
}

}  // namespace torv::cli_testing
