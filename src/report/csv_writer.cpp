#include "report/csv_writer.h"

#include <algorithm>

namespace torv {

CsvDialect Rfc4180Dialect(bool byteOrderMark) {
  CsvDialect dialect;
  dialect.byteOrderMark = byteOrderMark;
  return dialect;
}

CsvDialect SpreadsheetDialect(std::vector<int> dateAndTimeColumns) {
  CsvDialect dialect;
  dialect.separator = ';';
  dialect.byteOrderMark = true;
  dialect.alwaysQuoted = std::move(dateAndTimeColumns);
  dialect.alsoQuoted = ",\t";
  return dialect;
}

void CsvWriter::AppendStart(std::string& out) const {
  if (dialect_.byteOrderMark) out += "\xEF\xBB\xBF";
}

void CsvWriter::AppendField(std::string& out, std::string_view field, bool quote) const {
  const std::string special =
      std::string{'"', '\r', '\n', dialect_.separator} + std::string(dialect_.alsoQuoted);
  if (!quote && field.find_first_of(special) == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void CsvWriter::AppendRecord(std::string& out, std::span<const std::string_view> fields) const {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += dialect_.separator;
    const bool quote = std::find(dialect_.alwaysQuoted.begin(), dialect_.alwaysQuoted.end(),
                                 static_cast<int>(i)) != dialect_.alwaysQuoted.end();
    AppendField(out, fields[i], quote);
  }
  out += dialect_.lineEnd;
}

}  // namespace torv
