// Writing CSV records in a chosen dialect, for every CSV the program writes:
// the view exports, the history listings, and a spreadsheet dialect whose
// dates and times must stay text.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torv {

struct CsvDialect {
  char separator = ',';
  std::string_view lineEnd = "\r\n";
  bool byteOrderMark = false;
  // Columns (from 0) quoted whatever they hold: a spreadsheet then keeps a
  // date or a time as the text it is instead of converting it.
  std::vector<int> alwaysQuoted;
  // Characters besides the quote, the separator and line breaks that make a
  // field quoted.
  std::string_view alsoQuoted;
};

// RFC 4180: ",", CRLF, fields quoted only where they hold a quote, the
// separator or a line break.
CsvDialect Rfc4180Dialect(bool byteOrderMark = false);
// A spreadsheet in a Russian locale: UTF-8 with a byte order mark, ";",
// CRLF, and the given date and time columns always quoted. A field holding a
// comma or a TAB is quoted too: a spreadsheet's text import may split at
// those as well (LibreOffice's import starts with comma, semicolon and TAB).
CsvDialect SpreadsheetDialect(std::vector<int> dateAndTimeColumns);

class CsvWriter {
 public:
  explicit CsvWriter(CsvDialect dialect) : dialect_(std::move(dialect)) {}

  // The byte order mark, when the dialect has one; once, before any record.
  void AppendStart(std::string& out) const;
  void AppendRecord(std::string& out, std::span<const std::string_view> fields) const;
  void AppendRecord(std::string& out, std::initializer_list<std::string_view> fields) const {
    AppendRecord(out, std::span<const std::string_view>(fields.begin(), fields.size()));
  }

 private:
  void AppendField(std::string& out, std::string_view field, bool quote) const;

  CsvDialect dialect_;
};

}  // namespace torv
