#include "history_report/history_summaries.h"

#include <ctime>
#include <nlohmann/json.hpp>

#include "archive/view_messages.h"
#include "history_report/listed_event.h"
#include "report/csv_writer.h"

namespace torv {
namespace {

std::string MomentText(const std::optional<history::StoredEvent>& event) {
  return event ? DateTimeText(*event) : std::string();
}

nlohmann::json TextOrNull(const std::string& text) {
  return text.empty() ? nlohmann::json(nullptr) : nlohmann::json(text);
}

std::string DevicesJson(const std::vector<history::DeviceSummary>& devices) {
  nlohmann::json list = nlohmann::json::array();
  for (const history::DeviceSummary& d : devices) {
    list.push_back({{"device", d.device},
                    {"events", d.events},
                    {"copies", d.copies},
                    {"gaps", d.gaps},
                    {"damaged", d.damaged},
                    {"first_event", TextOrNull(MomentText(d.firstDated))},
                    {"last_event", TextOrNull(MomentText(d.lastDated))},
                    {"last_import", d.lastImportUnixSeconds
                                        ? nlohmann::json(LocalTimeText(*d.lastImportUnixSeconds))
                                        : nlohmann::json(nullptr)}});
  }
  return nlohmann::json{{"devices", list}}.dump(2, ' ', false,
                                                nlohmann::json::error_handler_t::replace) +
         "\n";
}

std::string DevicesText(const std::vector<history::DeviceSummary>& devices) {
  std::string out =
      "Устройство\tСобытий\tКопий\tПропусков\tНекорректных\tПервое событие\tПоследнее "
      "событие\tИмпорт\n";
  for (const history::DeviceSummary& d : devices) {
    out += d.device + "\t" + std::to_string(d.events) + "\t" + std::to_string(d.copies) + "\t" +
           std::to_string(d.gaps) + "\t" + std::to_string(d.damaged) + "\t" +
           MomentText(d.firstDated) + "\t" + MomentText(d.lastDated) + "\t" +
           (d.lastImportUnixSeconds ? LocalTimeText(*d.lastImportUnixSeconds) : "") + "\n";
  }
  return out;
}

constexpr SummaryFormat kFormats[] = {
    {"text", "txt", "", DevicesText},
    {"json", "json", "", DevicesJson},
};

}  // namespace

std::span<const SummaryFormat> SummaryFormats() {
  return kFormats;
}

const SummaryFormat* FindSummaryFormat(std::string_view name) {
  return FindFormat(SummaryFormats(), name);
}

std::string RussianCount(std::int64_t n, std::string_view one, std::string_view few,
                         std::string_view many) {
  const std::int64_t lastTwo = n % 100;
  const std::int64_t last = n % 10;
  const std::string_view word = lastTwo >= 11 && lastTwo <= 14 ? many
                                : last == 1                    ? one
                                : last >= 2 && last <= 4       ? few
                                                               : many;
  return std::to_string(n) + " " + std::string(word);
}

// What a gap before a copy means: the ring moved on past everything the
// history held, by at least the records the copy brought. After "не
// меньше" the noun is genitive: "1 события", "2 событий".
std::string GapBeforeText(const history::ImportOutcome& outcome, ImportWording wording) {
  return std::string(wording == ImportWording::kWindow ? "; пропуск перед копией: "
                                                       : ", gap before: ") +
         "между копиями устройство записало не меньше " +
         RussianCount(outcome.newEvents + outcome.alreadyStored, "события", "событий", "событий") +
         "; копируйте архив чаще";
}

std::string ImportLine(const std::string& file, const history::ImportOutcome& outcome,
                       ImportWording wording) {
  if (outcome.emptyArchive) return file + ": " + std::string(kEmptyArchiveMessage);
  if (outcome.refusal) return file + ": " + *outcome.refusal;
  if (outcome.alreadyImported) return file + ": " + *outcome.alreadyImported;
  const std::string gap = outcome.gapBefore ? GapBeforeText(outcome, wording) : "";
  if (wording == ImportWording::kWindow) {
    return file + ": новых событий " + std::to_string(outcome.newEvents) + ", уже хранилось " +
           std::to_string(outcome.alreadyStored) + gap;
  }
  return file + ": " + std::to_string(outcome.newEvents) + " new, " +
         std::to_string(outcome.alreadyStored) + " already stored" + gap;
}

void ImportTotals::Add(const history::ImportOutcome& outcome) {
  newEvents += outcome.newEvents;
  alreadyStored += outcome.alreadyStored;
  gaps += outcome.gapBefore ? 1 : 0;
}

namespace {

std::string Counted(std::int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string VerifiedLine(const history::DeviceVerification& device) {
  const std::string copies = Counted(device.copies, "copy", "copies");
  const std::string events = Counted(device.events, "event", "events");
  if (device.withoutBytes.empty()) return device.device + ": verified: " + events + ", " + copies;
  std::string ids;
  for (const std::int64_t id : device.withoutBytes) {
    ids += (ids.empty() ? "" : ", ") + std::to_string(id);
  }
  return device.device + ": verified: " + copies + "; not verifiable: " + events + " (copies " +
         ids + " were imported before the store kept copies)";
}

std::string JournalVerifiedLine(std::int64_t entries) {
  return "journal: verified: " + Counted(entries, "entry", "entries") +
         ", each following from the ones before it";
}

std::string RebuiltLine(const history::RebuiltDevice& device) {
  return device.device + ": " + std::to_string(device.eventsBefore) + " events before, " +
         std::to_string(device.eventsAfter) + " after, " + std::to_string(device.copiesLeft) +
         (device.copiesLeft == 1 ? " copy" : " copies") + " left";
}

std::string ImportTotalsLine(const ImportTotals& totals, ImportWording wording) {
  if (wording == ImportWording::kWindow) {
    return "Файлов: " + std::to_string(totals.files) +
           "; новых событий: " + std::to_string(totals.newEvents) +
           ", уже хранилось: " + std::to_string(totals.alreadyStored) +
           ", пропусков: " + std::to_string(totals.gaps) +
           ", не принято: " + std::to_string(totals.refused);
  }
  return std::to_string(totals.files) + (totals.files == 1 ? " file: " : " files: ") +
         std::to_string(totals.newEvents) + " new events, " + std::to_string(totals.alreadyStored) +
         " already stored, " + std::to_string(totals.gaps) +
         (totals.gaps == 1 ? " gap, " : " gaps, ") + std::to_string(totals.refused) + " refused";
}

std::string LocalTimeText(std::int64_t unixSeconds, const char* format) {
  const std::time_t time = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  localtime_r(&time, &local);
  char text[64];
  // strftime gives 0 for a text that does not fit (and for an empty one).
  const std::size_t length = std::strftime(text, sizeof text, format, &local);
  return std::string(text, length);
}

std::string FormatNames(const std::vector<history::NameEntry>& names, char separator) {
  CsvDialect dialect = Rfc4180Dialect(separator == ';');
  dialect.separator = separator;
  const CsvWriter csv(dialect);
  std::string out;
  csv.AppendStart(out);
  csv.AppendRecord(out, {"device", "kind", "number", "name"});
  for (const history::NameEntry& entry : names) {
    csv.AppendRecord(out, {entry.device, history::NumberKindName(entry.kind),
                           std::to_string(entry.number), entry.name});
  }
  return out;
}

Result<std::string> DevicesReport(history::HistoryStore& store, const SummaryFormat& format) {
  Result<std::vector<history::DeviceSummary>> devices = store.Devices();
  if (!devices) return devices.failure();
  return format.writer(*devices);
}

Result<std::string> NamesReport(history::HistoryStore& store) {
  Result<std::vector<history::NameEntry>> names = store.Names();
  if (!names) return names.failure();
  return FormatNames(*names);
}

}  // namespace torv
