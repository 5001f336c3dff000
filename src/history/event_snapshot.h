// A device's events as stored, run by run: what verifying compares, and what
// a journal entry's digest of events is taken over.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/result.h"
#include "history/sql_connection.h"

namespace torv::history {

struct SnapshotEvent {
  std::int64_t moment = 0;
  std::int64_t spare = 0;
  std::optional<std::int64_t> dateKey;
  bool operator==(const SnapshotEvent&) const = default;
};

// Stretch by stretch (runs between gaps), oldest first.
using EventSnapshot = std::vector<std::vector<SnapshotEvent>>;

Result<EventSnapshot> ReadEventSnapshot(SqlConnection& db,
                                        const std::vector<std::int64_t>& stretchIds);

// The SHA-256 of the events, one line "moment spare date_key" each, with a
// line "gap" between runs; empty for no events.
std::string EventsDigest(const EventSnapshot& snapshot);

// "bytes 02 06 ..., year 2024": an event as a message names it.
std::string SnapshotEventText(const SnapshotEvent& event);

}  // namespace torv::history
