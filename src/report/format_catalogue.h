// A catalogue of the formats one kind of output can be written in, one row
// per format: the command line's --format, its help, the save dialogs'
// filters and the rule that takes the format from a file's suffix all read
// the rows, so adding a format is adding a row. Plain strings: the window
// turns the dialog filters into its own.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torv {

template <typename Writer>
struct FormatRow {
  std::string_view name;          // --format's value; empty when only the window offers it
  std::string_view suffix;        // of a file in this format, without the dot
  std::string_view dialogFilter;  // the save dialog's filter; empty when no dialog offers it
  Writer writer;
};

// The row named `name` on the command line, or nullptr.
template <typename Row>
const Row* FindFormat(std::span<const Row> rows, std::string_view name) {
  for (const Row& row : rows) {
    if (!name.empty() && row.name == name) return &row;
  }
  return nullptr;
}

// The format of a file saved from a dialog: the file's own suffix when a row
// the dialog offers has it, so that "a.pdf" is a PDF whichever filter was
// left selected; the chosen row when it has that suffix too (two CSV rows),
// and the chosen row for any other suffix.
template <typename Row>
const Row& FormatForFile(std::span<const Row> rows, std::string_view suffix, const Row& chosen) {
  if (chosen.suffix == suffix) return chosen;
  for (const Row& row : rows) {
    if (!row.dialogFilter.empty() && row.suffix == suffix) return row;
  }
  return chosen;
}

// The names the command line takes, in the rows' order.
template <typename Row>
std::vector<std::string_view> FormatNamesOf(std::span<const Row> rows) {
  std::vector<std::string_view> names;
  for (const Row& row : rows) {
    if (!row.name.empty()) names.push_back(row.name);
  }
  return names;
}

// The names as the texts list them: "text|csv|json" with `between` and
// `last` both "|", "text, csv or json" with ", " and " or ".
inline std::string JoinFormatNames(const std::vector<std::string_view>& names,
                                   std::string_view between, std::string_view last) {
  std::string joined;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) joined += i + 1 == names.size() ? last : between;
    joined += names[i];
  }
  return joined;
}

}  // namespace torv
