#include "history/store_genuine.h"

#include "history/genuine_copy.h"
#include "history/stored_columns.h"
#include "history/year_rule.h"

namespace torv::history {
namespace {

// An instant as a number that sorts like the calendar; an unset time is
// midnight.
std::int64_t TimeKey(int year, const ArchiveRecord& record) {
  std::int64_t key = (std::int64_t{year} * 100 + record.Month()) * 100 + record.Day();
  const bool timed = record.Hours() < 24 && record.Minutes() < 60 && record.Seconds() < 60;
  return timed ? ((key * 100 + record.Hours()) * 100 + record.Minutes()) * 100 + record.Seconds()
               : key * 1000000;
}

struct Dated {
  ArchiveRecord record;
  int year = 0;
  std::int64_t Key() const { return TimeKey(year, record); }
};

// The first (or last) event of a stretch that has a year.
Result<std::optional<Dated>> EndOfStretch(SqlConnection& db, std::int64_t stretchId, bool last) {
  std::optional<Dated> found;
  const Status s = db.Query(
      std::string("SELECT moment, date_key / 10000 FROM events WHERE stretch_id = $1 AND "
                  "date_key IS NOT NULL ORDER BY pos ") +
          (last ? "DESC" : "ASC") + " LIMIT 1",
      {stretchId}, [&](const SqlRow& row) {
        found = Dated{RecordOf(IdentityOfMoment(row.Int(0)), 0), static_cast<int>(row.Int(1))};
      });
  if (!s) return s.failure();
  return found;
}

Result<std::optional<std::string>> OtherYears(SqlConnection& db, const DeviceHistory& history,
                                              const MergePlan& plan,
                                              const std::vector<std::optional<int>>& years) {
  std::vector<std::pair<std::int64_t, std::int64_t>> windows;  // stretch, its copy start
  windows.emplace_back(history.stretchIds[*plan.target], plan.copyStart);
  for (const MergePlan::Fold& fold : plan.folds) {
    windows.emplace_back(history.stretchIds[fold.stretch], plan.copyStart - fold.shift);
  }
  std::optional<std::string> refusal;
  for (const auto& window : windows) {
    // Named copies: a lambda cannot capture a structured binding in C++20.
    const std::int64_t stretchId = window.first;
    const std::int64_t start = window.second;
    const auto last = start + static_cast<std::int64_t>(years.size()) - 1;
    const Status s = db.Query(
        "SELECT pos, date_key / 10000 FROM events WHERE stretch_id = $1 AND pos >= $2 AND "
        "pos <= $3 AND date_key IS NOT NULL",
        {stretchId, start, last}, [&](const SqlRow& row) {
          const std::optional<int>& given = years[static_cast<std::size_t>(row.Int(0) - start)];
          if (refusal || !given || *given == row.Int(1)) return;
          refusal = "время копии даёт " + std::to_string(*given) + " год событиям, сохранённым с " +
                    std::to_string(row.Int(1)) + " годом; проверьте --copied-at";
        });
    if (!s) return s.failure();
    if (refusal) break;
  }
  return refusal;
}

Result<std::optional<std::string>> OtherDevice(SqlConnection& db, const DeviceHistory& history,
                                               const ArchiveCopy& copy,
                                               const std::vector<std::optional<int>>& years) {
  std::optional<Dated> first;
  std::optional<Dated> last;
  for (std::size_t i = 0; i < years.size(); ++i) {
    if (!years[i]) continue;
    const Dated dated{copy.records[i], *years[i]};
    if (!first) first = dated;
    last = dated;
  }
  if (!first) return std::optional<std::string>();
  for (const std::int64_t stretchId : history.stretchIds) {
    Result<std::optional<Dated>> from = EndOfStretch(db, stretchId, false);
    if (!from) return from.failure();
    Result<std::optional<Dated>> to = EndOfStretch(db, stretchId, true);
    if (!to) return to.failure();
    if (!*from || !*to || (*from)->Key() > first->Key() || (*to)->Key() < last->Key()) continue;
    return std::optional<std::string>(
        "не совпадает с историей устройства " + history.name + " за " +
        DayText(first->record.Day(), first->record.Month(), first->year) + "–" +
        DayText(last->record.Day(), last->record.Month(), last->year) +
        ": копия другого устройства?");
  }
  return std::optional<std::string>();
}

}  // namespace

Result<std::optional<std::string>> CopyDoesNotBelong(SqlConnection& db,
                                                     const DeviceHistory& history,
                                                     const MergePlan& plan,
                                                     const ArchiveCopy& copy) {
  const std::vector<std::optional<int>> years = YearsOf(copy.records, copy.copiedAt);
  if (plan.target) return OtherYears(db, history, plan, years);
  if (history.stretchIds.empty() || copy.forcedDevice) return std::optional<std::string>();
  return OtherDevice(db, history, copy, years);
}

}  // namespace torv::history
