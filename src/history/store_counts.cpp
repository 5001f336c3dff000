// Counting events and finding the holes of a history, for the chart and the
// statistics.
#include "history/event_selection.h"
#include "history/sql_history_store.h"

namespace torv::history {
namespace {

// Byte 0 of a record: the moment's second lowest byte.
constexpr char kCodeSql[] = "moment / 256 % 256";

std::string PeriodCondition(const EventQuery& query) {
  std::string sql;
  if (query.from) sql += " AND date_key >= " + std::to_string(query.from->Key());
  if (query.to) sql += " AND date_key <= " + std::to_string(query.to->Key());
  return sql;
}

}  // namespace

Result<std::vector<CountedEvents>> SqlHistoryStore::ReadCounts(const EventQuery& query,
                                                               CountGrouping grouping) {
  Result<std::vector<Device>> devices = ListDevices(query.devices);
  if (!devices) return devices.failure();
  const bool byDay = grouping == CountGrouping::kDayAndCode;
  const bool byCopy = grouping == CountGrouping::kCopyAndCode;
  const std::string group = std::string(byDay    ? "date_key"
                                        : byCopy ? "copy_id"
                                                 : "number") +
                            ", " + kCodeSql +
                            (byCopy ? ", CASE WHEN date_key IS NULL THEN 0 ELSE 1 END" : "");
  std::vector<CountedEvents> counts;
  for (const Device& device : *devices) {
    Result<std::string> textCondition = TextCondition(query, device.id);
    if (!textCondition) return textCondition.failure();
    // Through the device's stretches: the events lie in the order of their
    // stretch's key, so that is read in one sweep, not row by row.
    const std::string sql = "SELECT " + group +
                            ", count(*) FROM events WHERE stretch_id IN "
                            "(SELECT id FROM stretches WHERE device_id = $1)" +
                            SelectionCondition(query) + PeriodCondition(query) + *textCondition +
                            " GROUP BY " + group;
    Status s = db_->Query(sql, {device.id}, [&](const SqlRow& row) {
      CountedEvents count;
      count.device = device.name;
      if (!row.IsNull(0)) {
        if (byCopy) {
          count.copy = row.Int(0);
        } else if (byDay) {
          count.dateKey = row.Int(0);
        } else {
          count.number = static_cast<int>(row.Int(0));
        }
      }
      count.code = static_cast<int>(row.Int(1));
      if (byCopy) count.dated = row.Int(2) != 0;
      count.events = row.Int(byCopy ? 3 : 2);
      counts.push_back(std::move(count));
    });
    if (!s) return s.failure();
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
