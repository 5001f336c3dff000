// Listing events, devices and names.
#include <algorithm>
#include <limits>
#include <map>
#include <tuple>
#include <utility>

#include "history/event_selection.h"
#include "history/journal.h"
#include "history/operator_text.h"
#include "history/sql_history_store.h"
#include "history/stored_columns.h"
#include "history/text_match.h"

namespace torv::history {
namespace {

// Rows per statement while streaming: bounds memory on a large history.
constexpr std::int64_t kReadChunk = 4096;

struct Filter {
  std::string sql;  // " AND ..." conditions
  std::vector<SqlValue> parameters;
};

// Conditions on the events table; parameters numbered from `first`.
// `textCondition` is the device's TextCondition.
Filter BuildFilter(const EventQuery& query, int first, const std::string& textCondition = {}) {
  Filter filter;
  filter.sql = textCondition;
  const auto parameter = [&](SqlValue value) {
    filter.parameters.push_back(std::move(value));
    return "$" + std::to_string(first + static_cast<int>(filter.parameters.size()) - 1);
  };
  filter.sql += SelectionCondition(query);
  if (query.from) filter.sql += " AND date_key >= " + parameter(query.from->Key());
  if (query.to) filter.sql += " AND date_key <= " + parameter(query.to->Key());
  return filter;
}

StoredEvent EventFromRow(const SqlRow& row, const std::string& device) {
  StoredEvent event;
  event.device = device;
  event.position = row.Int(0);
  event.record = RecordOf(IdentityOfMoment(row.Int(1)), static_cast<std::uint8_t>(row.Int(2)));
  if (!row.IsNull(3)) event.year = static_cast<int>(row.Int(3) / 10000);
  event.damaged = event.record.IsDamaged();
  if (!row.IsNull(4)) event.copy = row.Int(4);
  return event;
}

constexpr char kEventColumnsSql[] = "SELECT pos, moment, spare, date_key, copy_id FROM events ";

// Positions from $first to $first + 1, both included.
std::string PositionsFrom(int first) {
  return " AND pos >= $" + std::to_string(first) + " AND pos <= $" + std::to_string(first + 1);
}

// Filter parameters after the ones given.
std::vector<SqlValue> With(std::vector<SqlValue> parameters, const Filter& filter) {
  parameters.insert(parameters.end(), filter.parameters.begin(), filter.parameters.end());
  return parameters;
}

}  // namespace

Result<std::string> SqlHistoryStore::TextCondition(const EventQuery& query, std::int64_t deviceId) {
  if (query.text.empty()) return std::string();
  const std::string folded = FoldForMatch(query.text);
  if (folded.empty()) return std::string();
  std::vector<int> inputs;
  std::vector<int> relays;
  Status s = db_->Query("SELECT kind, number, name FROM names WHERE device_id = $1", {deviceId},
                        [&](const SqlRow& row) {
                          if (!TextMatches(row.Text(2), folded)) return;
                          (NumberKindNamed(row.Text(0)) == NumberKind::kRelay ? relays : inputs)
                              .push_back(static_cast<int>(row.Int(1)));
                        });
  if (!s) return s.failure();
  // Every value is a number made here, so the condition is written out whole.
  std::vector<std::string> alternatives;
  std::vector<int> codes;
  for (const std::uint8_t code : CodesWithText(folded)) codes.push_back(code);
  if (!codes.empty()) alternatives.push_back(CodesCondition(codes));
  if (!inputs.empty()) alternatives.push_back(NumbersCondition(EventKind::kInput, inputs));
  if (!relays.empty()) alternatives.push_back(NumbersCondition(EventKind::kRelay, relays));
  if (alternatives.empty()) return std::string(" AND 1 = 0");
  std::string sql = " AND (";
  for (std::size_t i = 0; i < alternatives.size(); ++i) {
    sql += (i == 0 ? "" : " OR ") + alternatives[i];
  }
  return sql + ")";
}

Result<std::vector<SqlHistoryStore::Device>> SqlHistoryStore::ListDevices(
    const std::vector<std::string>& only) {
  std::vector<Device> devices;
  const auto sink = [&](const SqlRow& row) { devices.push_back({row.Int(0), row.Text(1)}); };
  if (only.empty()) {
    if (Status s = db_->Query("SELECT id, name FROM devices", {}, sink); !s) return s.failure();
  }
  for (const std::string& name : only) {
    const std::size_t before = devices.size();
    if (Status s = db_->Query("SELECT id, name FROM devices WHERE name = $1", {name}, sink); !s) {
      return s.failure();
    }
    if (devices.size() == before) return Failure{"no device \"" + name + "\" in the history"};
  }
  // Byte order of the UTF-8 names: the same on every database and locale.
  std::sort(devices.begin(), devices.end(),
            [](const Device& a, const Device& b) { return a.name < b.name; });
  return devices;
}

Result<std::optional<PositionRange>> SqlHistoryStore::DatedRange(const Stretch& stretch,
                                                                 const EventQuery& query) {
  std::optional<PositionRange> range;
  if (!query.from && !query.to) {
    range = PositionRange{stretch.firstPos, stretch.lastPos};
    return range;
  }
  // An event without a year has no date key and fails both bounds.
  const std::int64_t from = query.from ? query.from->Key() : std::int64_t{0};
  const std::int64_t to = query.to ? query.to->Key() : std::numeric_limits<std::int64_t>::max();
  // pos + 0, not pos: PostgreSQL answers a bare min(pos) by walking the
  // stretch's key in position order until a row in the dates turns up, which
  // for a month in the middle of years of history reads half of them.
  Status s = db_->Query(
      "SELECT min(pos + 0), max(pos + 0) FROM events "
      "WHERE stretch_id = $1 AND date_key >= $2 AND date_key <= $3",
      {stretch.id, from, to}, [&](const SqlRow& row) {
        if (!row.IsNull(0)) range = PositionRange{row.Int(0), row.Int(1)};
      });
  if (!s) return s.failure();
  return range;
}

Result<std::map<std::int64_t, PositionRange>> SqlHistoryStore::DatedRanges(
    std::int64_t deviceId, const std::vector<Stretch>& stretches, const EventQuery& query) {
  std::map<std::int64_t, PositionRange> ranges;
  if (!query.from && !query.to) {
    for (const Stretch& stretch : stretches) {
      ranges[stretch.id] = PositionRange{stretch.firstPos, stretch.lastPos};
    }
    return ranges;
  }
  const std::int64_t from = query.from ? query.from->Key() : std::int64_t{0};
  const std::int64_t to = query.to ? query.to->Key() : std::numeric_limits<std::int64_t>::max();
  // As DatedRange, for every stretch of the device in one statement: a
  // listing of many devices otherwise waits on a round trip per stretch.
  Status s = db_->Query(
      "SELECT e.stretch_id, min(e.pos + 0), max(e.pos + 0) FROM stretches s "
      "JOIN events e ON e.stretch_id = s.id AND e.date_key >= $2 AND e.date_key <= $3 "
      "WHERE s.device_id = $1 GROUP BY e.stretch_id",
      {deviceId, from, to}, [&](const SqlRow& row) {
        ranges[row.Int(0)] = PositionRange{row.Int(1), row.Int(2)};
      });
  if (!s) return s.failure();
  return ranges;
}

Result<bool> SqlHistoryStore::AnyEventIn(const Stretch& stretch, const PositionRange& range,
                                         const EventQuery& query,
                                         const std::string& textCondition) {
  const Filter filter = BuildFilter(query, 4, textCondition);
  bool any = false;
  Status s = db_->Query(
      "SELECT pos FROM events WHERE stretch_id = $1" + PositionsFrom(2) + filter.sql + " LIMIT 1",
      With({stretch.id, range.lo, range.hi}, filter), [&](const SqlRow&) { any = true; });
  if (!s) return s.failure();
  return any;
}

Status SqlHistoryStore::ReadEvents(const EventQuery& query,
                                   const std::function<void(const StoredEvent&)>& sink) {
  Result<std::vector<Device>> devices = ListDevices(query.devices);
  if (!devices) return devices.failure();
  const bool back = query.newestFirst;
  for (const Device& device : *devices) {
    Result<std::string> textCondition = TextCondition(query, device.id);
    if (!textCondition) return textCondition.failure();
    const Filter filter = BuildFilter(query, 5, *textCondition);
    // $2 the last position read, $4 the far end of the dates' positions.
    const std::string sql = std::string(kEventColumnsSql) + "WHERE stretch_id = $1 AND pos " +
                            (back ? "< $2 AND pos >= $4" : "> $2 AND pos <= $4") + filter.sql +
                            " ORDER BY pos" + (back ? " DESC" : "") + " LIMIT $3";
    Result<std::vector<Stretch>> stretches = Stretches(device.id);
    if (!stretches) return stretches.failure();
    Result<std::map<std::int64_t, PositionRange>> dated = DatedRanges(device.id, *stretches, query);
    if (!dated) return dated.failure();
    // Whether a stretch lists anything, by rank: each is asked at most once,
    // and a stretch already read answers for itself; one without events in
    // the dates lists nothing.
    std::map<std::int64_t, bool> listsAny;
    for (const Stretch& stretch : *stretches) {
      if (!dated->contains(stretch.id)) listsAny[stretch.rank] = false;
    }
    // The event next to the gap in front of a stretch (its oldest listed
    // one) shows the gap when an older stretch lists anything.
    const auto gapInFront = [&](const Stretch& stretch) -> Result<bool> {
      for (const Stretch& older : *stretches) {
        if (older.rank >= stretch.rank) continue;
        auto known = listsAny.find(older.rank);
        if (known == listsAny.end()) {
          Result<bool> any = AnyEventIn(older, dated->at(older.id), query, *textCondition);
          if (!any) return any;
          known = listsAny.emplace(older.rank, *any).first;
        }
        if (known->second) return true;
      }
      return false;
    };
    if (back) std::reverse(stretches->begin(), stretches->end());
    for (const Stretch& stretch : *stretches) {
      const auto range = dated->find(stretch.id);
      if (range == dated->end()) continue;
      std::int64_t bound = back ? range->second.hi + 1 : range->second.lo - 1;
      const std::int64_t farEnd = back ? range->second.lo : range->second.hi;
      bool first = true;
      for (;;) {
        std::vector<StoredEvent> rows;
        const std::vector<SqlValue> parameters =
            With({stretch.id, bound, kReadChunk + 1, farEnd}, filter);
        Status s = db_->Query(sql, parameters, [&](const SqlRow& row) {
          rows.push_back(EventFromRow(row, device.name));
          rows.back().stretch = stretch.rank;
        });
        if (!s) return s;
        const bool exhausted = static_cast<std::int64_t>(rows.size()) <= kReadChunk;
        if (!exhausted) rows.pop_back();
        if (rows.empty()) break;
        StoredEvent* oldest = nullptr;
        if (!back && first) oldest = &rows.front();
        if (back && exhausted) oldest = &rows.back();
        if (oldest != nullptr && stretch.rank > 0) {
          Result<bool> gap = gapInFront(stretch);
          if (!gap) return gap.failure();
          oldest->gapBefore = *gap;
        }
        for (const StoredEvent& event : rows) sink(event);
        bound = rows.back().position;
        first = false;
        if (exhausted) break;
      }
      listsAny[stretch.rank] = !first;
    }
  }
  return {};
}

Status SqlHistoryStore::ForEachEvent(const EventQuery& query,
                                     const std::function<void(const StoredEvent&)>& sink) {
  return db_->InReadTransaction([&] { return ReadEvents(query, sink); });
}

Result<std::int64_t> SqlHistoryStore::Count(const EventQuery& query) {
  return db_->InReadTransaction([&]() -> Result<std::int64_t> {
    Result<std::vector<ListingPart>> parts = ReadParts(query);
    if (!parts) return parts.failure();
    std::int64_t total = 0;
    for (const ListingPart& part : *parts) total += part.events;
    return total;
  });
}

Result<std::vector<ListingPart>> SqlHistoryStore::ReadParts(const EventQuery& query) {
  Result<std::vector<Device>> devices = ListDevices(query.devices);
  if (!devices) return devices.failure();
  const bool counted = HasEventFilter(query);
  std::vector<ListingPart> parts;
  for (const Device& device : *devices) {
    Result<std::vector<Stretch>> stretches = Stretches(device.id);
    if (!stretches) return stretches.failure();
    if (query.newestFirst) std::reverse(stretches->begin(), stretches->end());
    std::string textCondition;
    if (counted) {
      Result<std::string> condition = TextCondition(query, device.id);
      if (!condition) return condition.failure();
      textCondition = std::move(*condition);
    }
    const Filter filter = BuildFilter(query, 4, textCondition);
    std::map<std::int64_t, PositionRange> dated;
    if (counted) {
      Result<std::map<std::int64_t, PositionRange>> ranges =
          DatedRanges(device.id, *stretches, query);
      if (!ranges) return ranges.failure();
      dated = std::move(*ranges);
    }
    for (const Stretch& stretch : *stretches) {
      // A stretch has an event at every position from its first to its last.
      std::int64_t events = stretch.lastPos - stretch.firstPos + 1;
      if (counted) {
        const auto range = dated.find(stretch.id);
        if (range == dated.end()) continue;
        // Counted stretch by stretch: the events lie in the table's own order.
        Status s = db_->Query(
            "SELECT count(*) FROM events WHERE stretch_id = $1" + PositionsFrom(2) + filter.sql,
            With({stretch.id, range->second.lo, range->second.hi}, filter),
            [&](const SqlRow& row) { events = row.Int(0); });
        if (!s) return s.failure();
      }
      if (events > 0) parts.push_back({device.name, stretch.id, events, stretch.rank});
    }
  }
  return parts;
}

Result<std::vector<StoredEvent>> SqlHistoryStore::ReadPartEvents(const EventQuery& query,
                                                                 const ListingPart& part,
                                                                 std::int64_t skip, int limit) {
  std::vector<StoredEvent> events;
  Result<std::vector<Device>> devices = ListDevices({part.device});
  if (!devices) return devices.failure();
  const Device& device = devices->front();
  std::optional<Stretch> stretch;
  Status found = db_->Query(
      "SELECT id, rank, first_pos, last_pos, order_time FROM stretches "
      "WHERE id = $1 AND device_id = $2",
      {part.stretchId, device.id}, [&](const SqlRow& row) {
        stretch = Stretch{row.Int(0), row.Int(1), row.Int(2), row.Int(3), row.Int(4)};
      });
  if (!found) return found.failure();
  if (!stretch || skip < 0 || limit < 1 || skip >= part.events) return events;
  const auto sink = [&](const SqlRow& row) { events.push_back(EventFromRow(row, device.name)); };
  const std::int64_t wanted = std::min<std::int64_t>(limit, part.events - skip);

  if (!HasEventFilter(query)) {
    // Every position holds an event: the row is found by its position.
    const std::string sql = std::string(kEventColumnsSql) + "WHERE stretch_id = $1 AND pos " +
                            (query.newestFirst ? "<= $2 ORDER BY pos DESC" : ">= $2 ORDER BY pos") +
                            " LIMIT $3";
    const std::int64_t start =
        query.newestFirst ? stretch->lastPos - skip : stretch->firstPos + skip;
    Status s = db_->Query(sql, {stretch->id, start, wanted}, sink);
    if (!s) return s.failure();
    return events;
  }
  Result<std::string> textCondition = TextCondition(query, device.id);
  if (!textCondition) return textCondition.failure();
  Result<std::optional<PositionRange>> range = DatedRange(*stretch, query);
  if (!range) return range.failure();
  if (!*range) return events;
  const Filter filter = BuildFilter(query, 6, *textCondition);
  // The database steps over skipped rows one by one: in the part's second
  // half it counts from the far end instead.
  const std::int64_t fromEnd = part.events - skip - wanted;
  const bool reversed = fromEnd < skip;
  const bool descending = query.newestFirst != reversed;
  const std::string sql = std::string(kEventColumnsSql) + "WHERE stretch_id = $1" +
                          PositionsFrom(4) + filter.sql + " ORDER BY pos" +
                          (descending ? " DESC" : "") + " LIMIT $2 OFFSET $3";
  Status s = db_->Query(
      sql,
      With({stretch->id, wanted, reversed ? fromEnd : skip, (*range)->lo, (*range)->hi}, filter),
      sink);
  if (!s) return s.failure();
  if (reversed) std::reverse(events.begin(), events.end());
  return events;
}

Result<std::vector<ListingPart>> SqlHistoryStore::Parts(const EventQuery& query) {
  return db_->InReadTransaction([&] { return ReadParts(query); });
}

Result<std::vector<StoredEvent>> SqlHistoryStore::PartEvents(const EventQuery& query,
                                                             const ListingPart& part,
                                                             std::int64_t skip, int limit) {
  return db_->InReadTransaction([&] { return ReadPartEvents(query, part, skip, limit); });
}

Result<std::optional<StoredEvent>> SqlHistoryStore::FirstDated(
    const Device& device, const std::vector<Stretch>& stretches, bool newest) {
  const std::string sql = std::string(kEventColumnsSql) +
                          "WHERE stretch_id = $1 AND date_key IS NOT NULL ORDER BY pos" +
                          (newest ? " DESC" : "") + " LIMIT 1";
  std::vector<Stretch> ordered = stretches;
  if (newest) std::reverse(ordered.begin(), ordered.end());
  for (const Stretch& stretch : ordered) {
    std::optional<StoredEvent> found;
    Status s = db_->Query(sql, {stretch.id},
                          [&](const SqlRow& row) { found = EventFromRow(row, device.name); });
    if (!s) return s.failure();
    if (found) return found;
  }
  return std::optional<StoredEvent>();
}

Result<std::vector<DeviceSummary>> SqlHistoryStore::ReadDevices(
    const std::vector<std::string>& only, bool damaged) {
  Result<std::vector<Device>> devices = ListDevices(only);
  if (!devices) return devices.failure();
  std::vector<DeviceSummary> summaries;
  for (const Device& device : *devices) {
    DeviceSummary summary;
    summary.device = device.name;
    Status s = db_->Query(
        "SELECT count(*), max(imported_at) FROM copies "
        "WHERE device_id = $1 AND withdrawn_at IS NULL",
        {device.id}, [&](const SqlRow& row) {
          summary.copies = row.Int(0);
          if (!row.IsNull(1)) summary.lastImportUnixSeconds = row.Int(1);
        });
    if (!s) return s.failure();
    Result<std::vector<Stretch>> stretches = Stretches(device.id);
    if (!stretches) return stretches.failure();
    // A stretch has an event at every position from its first to its last.
    for (const Stretch& stretch : *stretches)
      summary.events += stretch.lastPos - stretch.firstPos + 1;
    summary.gaps = stretches->empty() ? 0 : static_cast<std::int64_t>(stretches->size()) - 1;
    if (damaged) {
      s = db_->Query(
          "SELECT count(*) FROM events WHERE stretch_id IN "
          "(SELECT id FROM stretches WHERE device_id = $1) AND kind = " +
              std::to_string(KindCode(EventKind::kDamaged)),
          {device.id}, [&](const SqlRow& row) { summary.damaged = row.Int(0); });
      if (!s) return s.failure();
    }
    Result<std::optional<StoredEvent>> first = FirstDated(device, *stretches, false);
    if (!first) return first.failure();
    Result<std::optional<StoredEvent>> last = FirstDated(device, *stretches, true);
    if (!last) return last.failure();
    summary.firstDated = *first;
    summary.lastDated = *last;
    summaries.push_back(std::move(summary));
  }
  return summaries;
}

Result<std::vector<DeviceSummary>> SqlHistoryStore::Devices(const std::vector<std::string>& only,
                                                            bool damaged) {
  return db_->InReadTransaction([&] { return ReadDevices(only, damaged); });
}

Status SqlHistoryStore::SetNames(const std::vector<NameEntry>& entries) {
  for (const NameEntry& entry : entries) {
    if (entry.device.empty()) return Failure{"the device name is empty"};
    if (auto problem = OperatorTextProblem(entry.device, "the device name")) {
      return Failure{*problem};
    }
    if (auto problem = OperatorTextProblem(entry.name, "the name", true)) return Failure{*problem};
    if (entry.number < kFirstNamedNumber || entry.number > kLastNamedNumber) {
      return Failure{"the number " + std::to_string(entry.number) + " is not from " +
                     std::to_string(kFirstNamedNumber) + " to " + std::to_string(kLastNamedNumber)};
    }
  }
  return db_->InWriteTransaction([&]() -> Status {
    // Names only for devices that have a history: a mistyped device gets none.
    std::map<std::string, std::int64_t> namesSet;
    for (const NameEntry& entry : entries) {
      Result<std::optional<std::int64_t>> deviceId = FindDevice(entry.device, true);
      if (!deviceId) return deviceId.failure();
      if (!*deviceId) return Failure{"no device \"" + entry.device + "\" in the history"};
      ++namesSet[entry.device];
      const std::string kind(NumberKindName(entry.kind));
      const Status s =
          entry.name.empty()
              ? db_->Exec("DELETE FROM names WHERE device_id = $1 AND kind = $2 AND number = $3",
                          {**deviceId, kind, std::int64_t{entry.number}})
              : db_->Exec(
                    "INSERT INTO names (device_id, kind, number, name) "
                    "VALUES ($1, $2, $3, $4) ON CONFLICT (device_id, kind, number) "
                    "DO UPDATE SET name = excluded.name",
                    {**deviceId, kind, std::int64_t{entry.number}, entry.name});
      if (!s) return s;
    }
    for (const auto& [device, count] : namesSet) {
      if (Status s = AppendJournal(*db_, "names", device, std::nullopt, "",
                                   std::to_string(count) + " names set");
          !s) {
        return s;
      }
    }
    return {};
  });
}

Result<std::vector<NameEntry>> SqlHistoryStore::Names() {
  std::vector<NameEntry> names;
  Status s = db_->Query(
      "SELECT d.name, n.kind, n.number, n.name FROM names n JOIN devices d ON d.id = n.device_id",
      {}, [&](const SqlRow& row) {
        names.push_back({row.Text(0), NumberKindNamed(row.Text(1)).value_or(NumberKind::kInput),
                         static_cast<int>(row.Int(2)), row.Text(3)});
      });
  if (!s) return s.failure();
  std::sort(names.begin(), names.end(), [](const NameEntry& a, const NameEntry& b) {
    return std::tie(a.device, a.kind, a.number) < std::tie(b.device, b.kind, b.number);
  });
  return names;
}

}  // namespace torv::history
