// The device summaries (`history devices`) and the names (`history names
// list`) as text or JSON.
//
// Devices, text: a header line, then per device TAB-separated: device,
// events, copies, gaps, first dated event, last dated event, last import
// (local time). JSON: {"devices": [{"device", "events", "copies", "gaps",
// "first_event", "last_event", "last_import"}, ...]}; a missing moment is null.
// Names, text: the names file's own CSV (device, kind, number, name), so a
// listing can be edited and imported again.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/result.h"
#include "history/history_model.h"
#include "history/history_store.h"
#include "report/format_catalogue.h"

namespace torv {

// The formats of the device summaries, one row each: text and json.
using DevicesWriter = std::string (*)(const std::vector<history::DeviceSummary>& devices);
using SummaryFormat = FormatRow<DevicesWriter>;
std::span<const SummaryFormat> SummaryFormats();
// The row `history devices --format NAME` writes; nullptr for an unknown name.
const SummaryFormat* FindSummaryFormat(std::string_view name);

// The names file (names_csv.h) with `separator` between fields; with ";",
// as Russian spreadsheets save it, it starts with a byte order mark so that
// they read it as UTF-8.
std::string FormatNames(const std::vector<history::NameEntry>& names, char separator = ',');
// The line `history import` prints for one file: "FILE: N new, M already
// stored", with ", gap before: между копиями устройство записало не меньше N
// событий; копируйте архив чаще" when the copy started a stretch of its own;
// an empty archive gives "FILE: архив пуст" (nothing imported, no error);
// a refused copy "FILE: REFUSAL"; a file stored already "FILE: уже
// импортирован ...".
// The window says the same in Russian: "FILE: новых событий N, уже
// хранилось M" and "; пропуск перед копией: между копиями ...".
enum class ImportWording { kCommandLine, kWindow };
std::string ImportLine(const std::string& file, const history::ImportOutcome& outcome,
                       ImportWording wording = ImportWording::kCommandLine);

// "N событие", "N события", "N событий": the number with the word that
// Russian puts after it.
std::string RussianCount(std::int64_t n, std::string_view one, std::string_view few,
                         std::string_view many);

// What an import of several files came to, file by file added up.
struct ImportTotals {
  int files = 0;
  std::int64_t newEvents = 0;
  std::int64_t alreadyStored = 0;
  int gaps = 0;
  int refused = 0;
  void Add(const history::ImportOutcome& outcome);
};
// "F files: N new events, M already stored, G gaps, R refused" ("1 file",
// "1 gap"); in the window "Файлов: F; новых событий: N, уже хранилось: M,
// пропусков: G, не принято: R".
std::string ImportTotalsLine(const ImportTotals& totals,
                             ImportWording wording = ImportWording::kCommandLine);

// What verifying found of a device: "DEVICE: verified: N events, M copies",
// or for one with copies kept without their bytes "DEVICE: verified: M
// copies; not verifiable: N events (copies 1, 2 were imported before the
// store kept copies)".
std::string VerifiedLine(const history::DeviceVerification& device);
// "journal: verified: N entries, each following from the ones before it".
std::string JournalVerifiedLine(std::int64_t entries);

// What a withdrawal did to a device: "DEVICE: N events before, M after, K
// copies left".
std::string RebuiltLine(const history::RebuiltDevice& device);

// What `history devices` and `history names list` print, read from the store.
Result<std::string> DevicesReport(history::HistoryStore& store, const SummaryFormat& format);
Result<std::string> NamesReport(history::HistoryStore& store);

// The moment in local time, as strftime writes it in `format`:
// "YYYY-MM-DD HH:MM:SS" by default.
std::string LocalTimeText(std::int64_t unixSeconds, const char* format = "%Y-%m-%d %H:%M:%S");

}  // namespace torv
