// The store's own refusals of a copy, checked inside the import's
// transaction once the merge has placed it: what the copy says must agree
// with what the device's history already holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/result.h"
#include "history/history_model.h"
#include "history/merge.h"
#include "history/sql_connection.h"

namespace torv::history {

// The device's history as the import sees it: its name and the keys of its
// stretches, oldest first (the indices a MergePlan uses).
struct DeviceHistory {
  std::int64_t id = 0;
  std::string name;
  std::vector<std::int64_t> stretchIds;
};

// Why `copy`, placed by `plan`, does not belong in the history, or nothing:
// - its copy time gives events it shares with the history other years than
//   they were stored with;
// - it shares no record with the history, yet one stretch (a run without a
//   gap) spans its time: a genuine copy of the device would overlap it.
//   `copy.forcedDevice` lets it in as a stretch of its own.
Result<std::optional<std::string>> CopyDoesNotBelong(SqlConnection& db,
                                                     const DeviceHistory& history,
                                                     const MergePlan& plan,
                                                     const ArchiveCopy& copy);

}  // namespace torv::history
