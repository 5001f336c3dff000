// Counting events and finding the holes of a history, for the chart and the
// statistics.
#include <map>
#include <tuple>

#include "archive/record_kind.h"
#include "history/event_selection.h"
#include "history/sql_history_store.h"

namespace torv::history {
namespace {

std::string PeriodCondition(const EventQuery& query) {
  std::string sql;
  if (query.from) sql += " AND date_key >= " + std::to_string(query.from->Key());
  if (query.to) sql += " AND date_key <= " + std::to_string(query.to->Key());
  return sql;
}

// Each grouping as one integer the database tallies, never null: the code
// (the moment's second lowest byte) in its lowest byte, what else groups
// above it, 0 standing for none (dates and copy ids start above 0).
std::string TallyKey(CountGrouping grouping) {
  switch (grouping) {
    case CountGrouping::kDayAndCode:
      return std::string("coalesce(date_key, 0) * 256 + ") + kCodeSql;
    case CountGrouping::kNumberAndCode:
      // The code and byte 1, which the number is read from: the lowest two bytes.
      return "moment % 65536";
    case CountGrouping::kCopyAndCode:
      return std::string(
                 "(coalesce(copy_id, 0) * 2 + CASE WHEN date_key IS NULL THEN 0 ELSE 1 END) * 256 "
                 "+ ") +
             kCodeSql;
  }
  return {};
}

CountedEvents CountOfKey(CountGrouping grouping, std::int64_t key) {
  CountedEvents count;
  count.code = static_cast<int>(key % 256);
  const std::int64_t above = key / 256;
  switch (grouping) {
    case CountGrouping::kDayAndCode:
      if (above != 0) count.dateKey = above;
      break;
    case CountGrouping::kNumberAndCode:
      count.code = static_cast<int>(above);
      // As the number column holds it: the byte plus one, for inputs and relays.
      if (IsInputEventCode(static_cast<std::uint8_t>(count.code)) ||
          IsRelayEventCode(static_cast<std::uint8_t>(count.code))) {
        count.number = static_cast<int>(key % 256) + 1;
      }
      break;
    case CountGrouping::kCopyAndCode:
      if (above / 2 != 0) count.copy = above / 2;
      count.dated = above % 2 != 0;
      break;
  }
  return count;
}

}  // namespace

Result<std::vector<CountedEvents>> SqlHistoryStore::ReadCounts(const EventQuery& query,
                                                               CountGrouping grouping) {
  Result<std::vector<Device>> devices = ListDevices(query.devices);
  if (!devices) return devices.failure();
  std::vector<CountedEvents> counts;
  for (const Device& device : *devices) {
    Result<std::string> textCondition = TextCondition(query, device.id);
    if (!textCondition) return textCondition.failure();
    // Through the device's stretches: the events lie in the order of their
    // stretch's key, so that is read in one sweep, not row by row.
    const std::string from =
        "FROM events WHERE stretch_id IN (SELECT id FROM stretches WHERE device_id = $1)" +
        SelectionCondition(query) + PeriodCondition(query) + *textCondition;
    // Several keys may give one count (the byte 1 of events without a number).
    std::map<std::tuple<std::optional<std::int64_t>, std::optional<int>,
                        std::optional<std::int64_t>, bool, int>,
             std::int64_t>
        merged;
    Status s =
        db_->Tally(TallyKey(grouping), from, {device.id}, [&](std::int64_t key, std::int64_t rows) {
          const CountedEvents count = CountOfKey(grouping, key);
          merged[{count.dateKey, count.number, count.copy, count.dated, count.code}] += rows;
        });
    if (!s) return s.failure();
    for (const auto& [group, rows] : merged) {
      CountedEvents count;
      count.device = device.name;
      std::tie(count.dateKey, count.number, count.copy, count.dated, count.code) = group;
      count.events = rows;
      counts.push_back(std::move(count));
    }
  }
  return counts;
}

Result<std::vector<HistoryHole>> SqlHistoryStore::ReadHoles(const EventQuery& query) {
  Result<std::vector<Device>> devices = ListDevices(query.devices);
  if (!devices) return devices.failure();
  std::vector<HistoryHole> holes;
  for (const Device& device : *devices) {
    Result<std::vector<Stretch>> stretches = Stretches(device.id);
    if (!stretches) return stretches.failure();
    for (std::size_t next = 1; next < stretches->size(); ++next) {
      const std::vector<Stretch> older(stretches->begin(), stretches->begin() + next);
      const std::vector<Stretch> newer(stretches->begin() + next, stretches->end());
      Result<std::optional<StoredEvent>> before = FirstDated(device, older, true);
      if (!before) return before.failure();
      Result<std::optional<StoredEvent>> after = FirstDated(device, newer, false);
      if (!after) return after.failure();
      holes.push_back({device.name, *before, *after});
    }
  }
  return holes;
}

Result<std::vector<CountedEvents>> SqlHistoryStore::Counts(const EventQuery& query,
                                                           CountGrouping grouping) {
  return db_->InReadTransaction([&] { return ReadCounts(query, grouping); });
}

Result<std::vector<HistoryHole>> SqlHistoryStore::Holes(const EventQuery& query) {
  return db_->InReadTransaction([&] { return ReadHoles(query); });
}

}  // namespace torv::history
