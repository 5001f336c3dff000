// Listing events, devices and names.
#include <algorithm>
#include <limits>
#include <tuple>

#include "history/sql_history_store.h"
#include "history/store_schema.h"
#include "history/stored_columns.h"

namespace torv::history {
namespace {

// Rows per statement while streaming: bounds memory on a large history.
constexpr std::int64_t kReadChunk = 4096;

struct Filter {
  std::string sql;  // " AND ..." conditions
  std::vector<SqlValue> parameters;
};

// Conditions on the events table; parameters numbered from `first`.
Filter BuildFilter(const EventQuery& query, int first) {
  Filter filter;
  const auto parameter = [&](SqlValue value) {
    filter.parameters.push_back(std::move(value));
    return "$" + std::to_string(first + static_cast<int>(filter.parameters.size()) - 1);
  };
  if (!query.kinds.empty()) {
    std::string codes;
    for (const EventKind kind : query.kinds) {
      codes += (codes.empty() ? "" : ", ") + std::to_string(KindCode(kind));
    }
    filter.sql += " AND kind IN (" + codes + ")";
  }
  if (query.input) {
    filter.sql += " AND kind = " + std::to_string(KindCode(EventKind::kInput)) +
                  " AND number = " + parameter(std::int64_t{*query.input});
  }
  if (query.from) filter.sql += " AND date_key >= " + parameter(query.from->Key());
  if (query.to) filter.sql += " AND date_key <= " + parameter(query.to->Key());
  return filter;
}

StoredEvent EventFromRow(const SqlRow& row, const std::string& device, std::int64_t rank) {
  StoredEvent event;
  event.device = device;
  event.position = row.Int(0);
  event.record = RecordOf(row.Int(1), static_cast<std::uint8_t>(row.Int(2)));
  if (!row.IsNull(3)) event.year = static_cast<int>(row.Int(3));
  event.damaged = event.record.IsDamaged();
  event.stretchRank = static_cast<int>(rank);
  return event;
}

constexpr char kEventColumnsSql[] = "SELECT pos, ident, spare, year FROM events ";

}  // namespace

Status SqlHistoryStore::BeginRead() {
  // One snapshot for every statement of a listing, even while others import.
  return db_->ExecScript(db_->Dialect() == SqlDialect::kSqlite
                             ? "BEGIN"
                             : "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
}

Result<std::vector<SqlHistoryStore::Device>> SqlHistoryStore::ListDevices(
    const std::optional<std::string>& only) {
  std::vector<Device> devices;
  const auto sink = [&](const SqlRow& row) { devices.push_back({row.Int(0), row.Text(1)}); };
  Status s = only ? db_->Query("SELECT id, name FROM devices WHERE name = $1", {*only}, sink)
                  : db_->Query("SELECT id, name FROM devices", {}, sink);
  if (!s) return s.failure();
  if (only && devices.empty()) return Failure{"no device \"" + *only + "\" in the history"};
  // Byte order of the UTF-8 names: the same on every database and locale.
  std::sort(devices.begin(), devices.end(),
            [](const Device& a, const Device& b) { return a.name < b.name; });
  return devices;
}

Result<bool> SqlHistoryStore::AnyEventIn(const Stretch& stretch, const EventQuery& query) {
  const Filter filter = BuildFilter(query, 2);
  std::vector<SqlValue> parameters{stretch.id};
  parameters.insert(parameters.end(), filter.parameters.begin(), filter.parameters.end());
  bool any = false;
  Status s = db_->Query("SELECT pos FROM events WHERE stretch_id = $1" + filter.sql + " LIMIT 1",
                        parameters, [&](const SqlRow&) { any = true; });
  if (!s) return s.failure();
  return any;
}

Status SqlHistoryStore::ReadEvents(const EventQuery& query, const std::optional<EventCursor>& after,
                                   std::int64_t limit,
                                   const std::function<void(const StoredEvent&)>& sink) {
  Result<std::vector<Device>> devices = ListDevices(query.device);
  if (!devices) return devices.failure();
  const bool back = query.newestFirst;
  const Filter filter = BuildFilter(query, 4);
  const std::string sql = std::string(kEventColumnsSql) + "WHERE stretch_id = $1 AND pos " +
                          (back ? "< $2" : "> $2") + filter.sql + " ORDER BY pos" +
                          (back ? " DESC" : "") + " LIMIT $3";
  std::int64_t delivered = 0;
  for (const Device& device : *devices) {
    if (after && device.name < after->device) continue;
    Result<std::vector<Stretch>> stretches = Stretches(device.id);
    if (!stretches) return stretches.failure();
    if (back) std::reverse(stretches->begin(), stretches->end());
    for (const Stretch& stretch : *stretches) {
      std::int64_t bound = back ? stretch.lastPos + 1 : stretch.firstPos - 1;
      bool fromEdge = true;
      if (after && device.name == after->device) {
        if (back ? stretch.rank > after->stretchRank : stretch.rank < after->stretchRank) continue;
        if (stretch.rank == after->stretchRank) {
          bound = after->position;
          fromEdge = false;
        }
      }
      // The event next to the gap in front of this stretch (its oldest
      // listed one) shows the gap, when an older stretch lists anything.
      const auto gapInFront = [&]() -> Result<bool> {
        for (const Stretch& older : *stretches) {
          if (older.rank >= stretch.rank) continue;
          Result<bool> any = AnyEventIn(older, query);
          if (!any || *any) return any;
        }
        return false;
      };
      bool first = true;
      for (;;) {
        if (delivered >= limit) return {};
        const std::int64_t want = std::min(kReadChunk, limit - delivered);
        std::vector<StoredEvent> rows;
        std::vector<SqlValue> parameters{stretch.id, bound, want + 1};
        parameters.insert(parameters.end(), filter.parameters.begin(), filter.parameters.end());
        Status s = db_->Query(sql, parameters, [&](const SqlRow& row) {
          rows.push_back(EventFromRow(row, device.name, stretch.rank));
        });
        if (!s) return s;
        const bool exhausted = static_cast<std::int64_t>(rows.size()) <= want;
        if (!exhausted) rows.pop_back();
        if (rows.empty()) break;
        StoredEvent* oldest = nullptr;
        if (!back && first && fromEdge) oldest = &rows.front();
        if (back && exhausted) oldest = &rows.back();
        if (oldest != nullptr && stretch.rank > 0) {
          Result<bool> gap = gapInFront();
          if (!gap) return gap.failure();
          oldest->gapBefore = *gap;
        }
        for (const StoredEvent& event : rows) sink(event);
        delivered += static_cast<std::int64_t>(rows.size());
        bound = rows.back().position;
        first = false;
        if (exhausted) break;
      }
    }
  }
  return {};
}

Status SqlHistoryStore::ForEachEvent(const EventQuery& query,
                                     const std::function<void(const StoredEvent&)>& sink) {
  if (Status s = BeginRead(); !s) return s;
  Status read = ReadEvents(query, std::nullopt, std::numeric_limits<std::int64_t>::max(), sink);
  if (!read) {
    (void)Rollback();
    return read;
  }
  return db_->ExecScript("COMMIT");
}

Result<EventPage> SqlHistoryStore::Page(const EventQuery& query,
                                        const std::optional<EventCursor>& after, int limit) {
  if (limit < 1) return Failure{"a page holds at least one event"};
  EventPage page;
  if (Status s = BeginRead(); !s) return s.failure();
  // One more than asked tells whether another page follows.
  Status read = ReadEvents(query, after, std::int64_t{limit} + 1,
                           [&](const StoredEvent& event) { page.events.push_back(event); });
  if (!read) {
    (void)Rollback();
    return read.failure();
  }
  if (Status s = db_->ExecScript("COMMIT"); !s) return s.failure();
  if (page.events.size() > static_cast<std::size_t>(limit)) {
    page.events.pop_back();
    const StoredEvent& last = page.events.back();
    page.next = EventCursor{last.device, last.stretchRank, last.position};
  }
  return page;
}

Result<std::int64_t> SqlHistoryStore::Count(const EventQuery& query) {
  if (Status s = BeginRead(); !s) return s.failure();
  const auto fail = [this](const Failure& failure) {
    (void)Rollback();
    return failure;
  };
  Result<std::vector<Device>> devices = ListDevices(query.device);
  if (!devices) return fail(devices.failure());
  const Filter filter = BuildFilter(query, 2);
  std::int64_t total = 0;
  for (const Device& device : *devices) {
    std::vector<SqlValue> parameters{device.id};
    parameters.insert(parameters.end(), filter.parameters.begin(), filter.parameters.end());
    Status s = db_->Query("SELECT count(*) FROM events WHERE device_id = $1" + filter.sql,
                          parameters, [&](const SqlRow& row) { total += row.Int(0); });
    if (!s) return fail(s.failure());
  }
  if (Status s = db_->ExecScript("COMMIT"); !s) return s.failure();
  return total;
}

Result<std::optional<StoredEvent>> SqlHistoryStore::FirstDated(
    const Device& device, const std::vector<Stretch>& stretches, bool newest) {
  const std::string sql = std::string(kEventColumnsSql) +
                          "WHERE stretch_id = $1 AND year IS NOT NULL ORDER BY pos" +
                          (newest ? " DESC" : "") + " LIMIT 1";
  std::vector<Stretch> ordered = stretches;
  if (newest) std::reverse(ordered.begin(), ordered.end());
  for (const Stretch& stretch : ordered) {
    std::optional<StoredEvent> found;
    Status s = db_->Query(sql, {stretch.id}, [&](const SqlRow& row) {
      found = EventFromRow(row, device.name, stretch.rank);
    });
    if (!s) return s.failure();
    if (found) return found;
  }
  return std::optional<StoredEvent>();
}

Result<std::vector<DeviceSummary>> SqlHistoryStore::Devices() {
  if (Status s = BeginRead(); !s) return s.failure();
  const auto fail = [this](const Failure& failure) {
    (void)Rollback();
    return failure;
  };
  Result<std::vector<Device>> devices = ListDevices(std::nullopt);
  if (!devices) return fail(devices.failure());
  std::vector<DeviceSummary> summaries;
  for (const Device& device : *devices) {
    DeviceSummary summary;
    summary.device = device.name;
    Status s = db_->Query("SELECT count(*) FROM events WHERE device_id = $1", {device.id},
                          [&](const SqlRow& row) { summary.events = row.Int(0); });
    if (s) {
      s = db_->Query("SELECT count(*), max(imported_at) FROM copies WHERE device_id = $1",
                     {device.id}, [&](const SqlRow& row) {
                       summary.copies = row.Int(0);
                       if (!row.IsNull(1)) summary.lastImportUnixSeconds = row.Int(1);
                     });
    }
    if (!s) return fail(s.failure());
    Result<std::vector<Stretch>> stretches = Stretches(device.id);
    if (!stretches) return fail(stretches.failure());
    summary.gaps = stretches->empty() ? 0 : static_cast<std::int64_t>(stretches->size()) - 1;
    Result<std::optional<StoredEvent>> first = FirstDated(device, *stretches, false);
    if (!first) return fail(first.failure());
    Result<std::optional<StoredEvent>> last = FirstDated(device, *stretches, true);
    if (!last) return fail(last.failure());
    summary.firstDated = *first;
    summary.lastDated = *last;
    summaries.push_back(std::move(summary));
  }
  if (Status s = db_->ExecScript("COMMIT"); !s) return s.failure();
  return summaries;
}

Status SqlHistoryStore::SetNames(const std::vector<NameEntry>& entries) {
  for (const NameEntry& entry : entries) {
    if (entry.device.empty()) return Failure{"the device name is empty"};
    if (entry.number < 1 || entry.number > 256) {
      return Failure{"the number " + std::to_string(entry.number) + " is not from 1 to 256"};
    }
  }
  if (Status s = BeginWrite(*db_); !s) return s;
  for (const NameEntry& entry : entries) {
    Result<std::int64_t> deviceId = LockDevice(entry.device);
    Status s = deviceId ? db_->Exec(
                              "INSERT INTO names (device_id, kind, number, name) "
                              "VALUES ($1, $2, $3, $4) ON CONFLICT (device_id, kind, number) "
                              "DO UPDATE SET name = excluded.name",
                              {*deviceId, std::string(NumberKindName(entry.kind)),
                               std::int64_t{entry.number}, entry.name})
                        : Status(deviceId.failure());
    if (!s) {
      (void)Rollback();
      return s;
    }
  }
  return db_->ExecScript("COMMIT");
}

Result<std::vector<NameEntry>> SqlHistoryStore::Names() {
  std::vector<NameEntry> names;
  Status s = db_->Query(
      "SELECT d.name, n.kind, n.number, n.name FROM names n JOIN devices d ON d.id = n.device_id",
      {}, [&](const SqlRow& row) {
        names.push_back({row.Text(0),
                         row.Text(1) == "relay" ? NumberKind::kRelay : NumberKind::kInput,
                         static_cast<int>(row.Int(2)), row.Text(3)});
      });
  if (!s) return s.failure();
  std::sort(names.begin(), names.end(), [](const NameEntry& a, const NameEntry& b) {
    return std::tie(a.device, a.kind, a.number) < std::tie(b.device, b.kind, b.number);
  });
  return names;
}

}  // namespace torv::history
