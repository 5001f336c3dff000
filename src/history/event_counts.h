// What the store counts for the chart and the statistics, so that they need
// not read every event: events per day or per input, by code, and the holes
// of each device's history.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "history/history_model.h"

namespace torv::history {

enum class CountGrouping {
  kDayAndCode,     // per date (CalendarDate::Key; none without a year) and code
  kNumberAndCode,  // per input or relay number (none for other kinds) and code
  kCopyAndCode,    // per copy first stored from (none for older layouts), code and dated or not
};

struct CountedEvents {
  std::string device;
  std::optional<std::int64_t> dateKey;  // kDayAndCode
  int code = 0;
  std::optional<int> number;         // kNumberAndCode
  std::optional<std::int64_t> copy;  // kCopyAndCode
  bool dated = true;                 // kCopyAndCode: whether the events have a year
  std::int64_t events = 0;
  bool operator==(const CountedEvents&) const = default;
};

// A gap of a device's history, seen from both sides: the newest dated event
// before it and the oldest dated event after it (none where that side has no
// dated event).
struct HistoryHole {
  std::string device;
  std::optional<StoredEvent> before;
  std::optional<StoredEvent> after;
};

// Whether the hole reaches into the query's dates: the event before it lies
// on or before their end, the event after it on or after their start.
inline bool HoleReachesInto(const HistoryHole& hole, const EventQuery& query) {
  const auto dayOf = [](const std::optional<StoredEvent>& event) {
    return event && event->year ? std::optional(*event->year * 10000LL +
                                                event->record.Month() * 100LL + event->record.Day())
                                : std::nullopt;
  };
  const std::optional<std::int64_t> start = dayOf(hole.before);
  const std::optional<std::int64_t> end = dayOf(hole.after);
  return !(query.to && start && *start > query.to->Key()) &&
         !(query.from && end && *end < query.from->Key());
}

}  // namespace torv::history
