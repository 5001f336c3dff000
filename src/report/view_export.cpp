#include "report/view_export.h"

#include <nlohmann/json.hpp>

#include "archive/record_kind.h"
#include "archive/text_utf8.h"

namespace torv {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

nlohmann::json NumberOrNull(std::optional<int> number) {
  return number ? nlohmann::json(*number) : nlohmann::json(nullptr);
}

// The export names only damaged and empty records; every other kind is an
// "event", its code telling which.
std::string ExportedKindName(EventKind kind) {
  if (kind == EventKind::kDamaged || kind == EventKind::kEmpty) {
    return std::string(EventKindName(kind));
  }
  return "event";
}

nlohmann::json RecordJson(const ViewRow& row) {
  const ArchiveRecord& r = row.shown.record;
  const EventKind kind = KindOf(r);
  const bool damaged = kind == EventKind::kDamaged;
  const bool empty = kind == EventKind::kEmpty;
  const bool noTime = damaged || empty || HasUnsetTime(r);
  const bool noDate = damaged || empty || HasUnsetDate(r);
  std::optional<int> number = InputNumberOf(r);
  if (!number) number = RelayNumberOf(r);

  nlohmann::json record;
  record["offset"] = row.shown.offset;
  record["raw"] = std::vector<int>(r.bytes.begin(), r.bytes.end());
  record["kind"] = ExportedKindName(kind);
  record["code"] = NumberOrNull(empty, r.Code());
  record["number"] = NumberOrNull(number);
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
  for (const ViewRow& row : view.rows) {
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
  for (const ViewRow& row : view.rows) records.push_back(RecordJson(row));
  document["records"] = std::move(records);
  // Invalid UTF-8 in a file name must not abort the export.
  return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace torv
