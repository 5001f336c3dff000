#include "report/view_export.h"

#include <nlohmann/json.hpp>

namespace torv {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string TrimSpaces(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of("\",\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += CsvField(fields[i]);
  }
  out += "\r\n";
}

nlohmann::json NumberOrNull(bool unset, int value) {
  return unset ? nlohmann::json(nullptr) : nlohmann::json(value);
}

nlohmann::json RecordJson(const ExportedRow& row) {
  const ArchiveRecord& r = row.shown.record;
  const bool damaged = r.IsDamaged();
  const bool empty = !damaged && r.IsEmpty();
  const bool hasNumber = !damaged && !empty && (r.Code() <= 2 || r.Code() == 50 || r.Code() == 51);
  const bool noTime =
      damaged || empty ||
      (r.Hours() == kUnsetByte && r.Minutes() == kUnsetByte && r.Seconds() == kUnsetByte);
  const bool noDate = damaged || empty || (r.Day() == kUnsetByte && r.Month() == kUnsetByte);

  nlohmann::json record;
  record["offset"] = row.shown.offset;
  record["raw"] = std::vector<int>(r.bytes.begin(), r.bytes.end());
  record["kind"] = damaged ? "damaged" : empty ? "empty" : "event";
  record["code"] = NumberOrNull(empty, r.Code());
  record["number"] = NumberOrNull(!hasNumber, r.Number() + 1);
  record["hours"] = NumberOrNull(noTime, r.Hours());
  record["minutes"] = NumberOrNull(noTime, r.Minutes());
  record["seconds"] = NumberOrNull(noTime, r.Seconds());
  record["day"] = NumberOrNull(noDate, r.Day());
  record["month"] = NumberOrNull(noDate, r.Month());
  record["cells"] = std::vector<std::string>(row.cells.begin(), row.cells.end());
  return record;
}

}  // namespace

std::string ExportCsv(const ViewExport& view, bool withByteOrderMark) {
  std::string out(withByteOrderMark ? kByteOrderMark : "");
  AppendCsvRecord(out, {"Событие", "Номер входа", "Время", "Дата", "Смещение"});
  for (const ExportedRow& row : view.rows) {
    AppendCsvRecord(out,
                    {TrimSpaces(row.cells[0]), TrimSpaces(row.cells[1]), TrimSpaces(row.cells[2]),
                     TrimSpaces(row.cells[3]), std::to_string(row.shown.offset)});
  }
  return out;
}

std::string ExportJson(const ViewExport& view) {
  nlohmann::json document;
  document["status"] = view.status;
  nlohmann::json kind{{"kind", view.view.kind}};
  if (view.view.block) kind["block"] = *view.view.block;
  if (view.view.date) kind["date"] = *view.view.date;
  if (view.view.input) kind["input"] = *view.view.input;
  if (view.view.kind == "block" || view.view.kind == "date") kind["steps"] = view.view.steps;
  document["view"] = kind;
  document["writeOffset"] = view.writeOffset;
  document["newestRecord"] = view.newestTimeDate;
  nlohmann::json records = nlohmann::json::array();
  for (const ExportedRow& row : view.rows) records.push_back(RecordJson(row));
  document["records"] = std::move(records);
  // Invalid UTF-8 in a file name must not abort the export.
  return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace torv
