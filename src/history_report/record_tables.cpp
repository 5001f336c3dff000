#include "history_report/record_tables.h"

#include <filesystem>

#include <nlohmann/json.hpp>

#include <cstdio>

#include "archive/record_kind.h"
#include "history_report/history_summaries.h"
#include "history_report/listed_event.h"
#include "report/csv_writer.h"

namespace torv {
namespace {

constexpr TableColumn kCopyColumns[] = {
    {"Копия", "id"},
    {"Устройство", "device"},
    {"Файл", "file"},
    {"Размер", "size"},
    {"SHA-256", "sha256"},
    {"Время копии", "copied_at"},
    {"Импорт", "imported_at"},
    {"Кто", "imported_by"},
    {"Версия", "version"},
    {"Записей", "records"},
    {"Новых", "new"},
    {"Пропуск перед", "gap_before"},
    {"Принудительно", "forced"},
    {"Снята", "withdrawn"},
};

constexpr TableColumn kJournalColumns[] = {
    {"Запись", "id"},  {"Время", "at"}, {"Действие", "kind"},  {"Устройство", "device"},
    {"Копия", "copy"}, {"Кто", "who"},  {"Версия", "version"}, {"Причина", "reason"},
    {"Что", "detail"}, {"Хеш", "hash"},
};

constexpr TableColumn kGapColumns[] = {
    {"Устройство", "device"},
    {"После", "after"},
    {"До", "before"},
    {"Старая копия", "older_copy"},
    {"Новая копия", "newer_copy"},
    {"Пропуск", "text"},
};

TableCell CopyId(const std::optional<history::StoredEvent>& event) {
  return event && event->copy ? TableCell(*event->copy) : TableCell(nullptr);
}

TableCell TextOrNull(const std::string& text) {
  return text.empty() ? TableCell(nullptr) : TableCell(text);
}

nlohmann::json CellJson(const TableCell& cell) {
  if (const auto* number = std::get_if<std::int64_t>(&cell)) return *number;
  if (const auto* flag = std::get_if<bool>(&cell)) return *flag;
  if (const auto* text = std::get_if<std::string>(&cell)) return *text;
  return nullptr;
}

std::string TableText(const RecordTable& table) {
  std::string out;
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    out += (i == 0 ? "" : "\t") + std::string(table.columns[i].heading);
  }
  out += "\n";
  for (const std::vector<TableCell>& row : table.rows) {
    for (std::size_t i = 0; i < row.size(); ++i) out += (i == 0 ? "" : "\t") + CellText(row[i]);
    out += "\n";
  }
  return out;
}

std::string TableCsv(const RecordTable& table) {
  const CsvWriter csv(Rfc4180Dialect());
  std::string out;
  std::vector<std::string_view> fields;
  for (const TableColumn& column : table.columns) fields.push_back(column.heading);
  csv.AppendRecord(out, fields);
  for (const std::vector<TableCell>& row : table.rows) {
    std::vector<std::string> texts;
    for (const TableCell& cell : row) texts.push_back(CellText(cell));
    fields.assign(texts.begin(), texts.end());
    csv.AppendRecord(out, fields);
  }
  return out;
}

std::string TableJson(const RecordTable& table) {
  nlohmann::json list = nlohmann::json::array();
  for (const std::vector<TableCell>& row : table.rows) {
    nlohmann::json object = nlohmann::json::object();
    for (std::size_t i = 0; i < row.size(); ++i) {
      object[std::string(table.columns[i].key)] = CellJson(row[i]);
    }
    list.push_back(std::move(object));
  }
  // Keys in the columns' order would need an ordered object; nlohmann sorts
  // them, which readers of JSON do not mind.
  return nlohmann::json{{std::string(table.listKey), list}}.dump(
             2, ' ', false, nlohmann::json::error_handler_t::replace) +
         "\n";
}

constexpr TableFormat kFormats[] = {
    {"text", "txt", "", TableText},
    {"csv", "csv", "", TableCsv},
    {"json", "json", "", TableJson},
};

}  // namespace

std::string IsoMoment(const history::StoredEvent& event) {
  const ArchiveRecord& r = event.record;
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", event.year.value_or(0), r.Month(), r.Day());
  std::string moment = text;
  if (!HasUnsetTime(r)) {
    std::snprintf(text, sizeof text, "T%02d:%02d:%02d", r.Hours(), r.Minutes(), r.Seconds());
    moment += text;
  }
  return moment;
}

const history::KeptCopy* CopyNamed(const std::vector<history::KeptCopy>& copies,
                                   const std::optional<history::StoredEvent>& event) {
  if (!event || !event->copy) return nullptr;
  for (const history::KeptCopy& copy : copies) {
    if (copy.id == *event->copy) return &copy;
  }
  return nullptr;
}

RecordTable CopiesTable(const std::vector<history::KeptCopy>& copies) {
  RecordTable table{"copies", kCopyColumns, {}};
  for (const history::KeptCopy& c : copies) {
    table.rows.push_back({c.id, c.device, c.file, c.size ? TableCell(*c.size) : TableCell(nullptr),
                          TextOrNull(c.sha256), LocalTimeText(c.copiedAt),
                          LocalTimeText(c.importedAt), TextOrNull(c.importedBy),
                          TextOrNull(c.version), c.records, c.newEvents, c.gapBefore, c.forced,
                          c.withdrawn});
  }
  return table;
}

RecordTable JournalTable(const std::vector<history::JournalEntry>& entries) {
  RecordTable table{"journal", kJournalColumns, {}};
  for (const history::JournalEntry& e : entries) {
    table.rows.push_back({e.id, LocalTimeText(e.at), e.kind, e.device,
                          e.copy ? TableCell(*e.copy) : TableCell(nullptr), e.who, e.version,
                          TextOrNull(e.reason), e.detail, e.hash});
  }
  return table;
}

std::string CopyName(const history::KeptCopy& copy) {
  return copy.file.empty() ? std::to_string(copy.id)
                           : std::filesystem::path(copy.file).filename().string();
}

std::string CopySourceText(const history::KeptCopy& copy) {
  return "копия " + std::to_string(copy.id) + ": " + CopyName(copy) + ", снята " +
         LocalTimeText(copy.copiedAt, "%d.%m.%Y %H:%M");
}

std::string GapText(const history::HistoryHole& hole, const history::KeptCopy* older,
                    const history::KeptCopy* newer) {
  std::string text = "нет записей";
  if (hole.before) text += " с " + DateTimeText(*hole.before);
  if (hole.after) text += " по " + DateTimeText(*hole.after);
  if (older != nullptr && newer != nullptr) {
    text += " (между копиями " + CopyName(*older) + " и " + CopyName(*newer) + ")";
  }
  return text;
}

RecordTable GapsTable(const std::vector<history::HistoryHole>& holes,
                      const std::vector<history::KeptCopy>& copies) {
  RecordTable table{"gaps", kGapColumns, {}};
  for (const history::HistoryHole& hole : holes) {
    table.rows.push_back(
        {hole.device, hole.before ? TableCell(IsoMoment(*hole.before)) : TableCell(nullptr),
         hole.after ? TableCell(IsoMoment(*hole.after)) : TableCell(nullptr), CopyId(hole.before),
         CopyId(hole.after),
         GapText(hole, CopyNamed(copies, hole.before), CopyNamed(copies, hole.after))});
  }
  return table;
}

std::string CellText(const TableCell& cell) {
  if (const auto* number = std::get_if<std::int64_t>(&cell)) return std::to_string(*number);
  if (const auto* flag = std::get_if<bool>(&cell)) return *flag ? "да" : "нет";
  if (const auto* text = std::get_if<std::string>(&cell)) return *text;
  return {};
}

std::span<const TableFormat> TableFormats() {
  return kFormats;
}

const TableFormat* FindTableFormat(std::string_view name) {
  return FindFormat(TableFormats(), name);
}

}  // namespace torv
