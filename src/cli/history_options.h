// What the history commands of torvdoc-cli take beyond the common options:
// the store, the device, the copy time, the listing's filters and the
// number a name belongs to.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/record_kind.h"
#include "history/history_model.h"

namespace torv {

struct HistoryOptions {
  std::optional<std::string> db;              // --db; else TORVDOC_DB, else the default file
  std::optional<std::string> device;          // --device
  std::optional<history::CopyTime> copiedAt;  // import: --copied-at
  // list: the filters
  std::optional<history::CalendarDate> from;
  std::optional<history::CalendarDate> to;
  std::optional<int> input;  // list: the input's events; names set: the input named
  std::vector<EventKind> kinds;
  std::string text;          // list: --text
  bool newestFirst = false;  // list: --newest-first
  std::optional<int> relay;  // names set: the relay named
};

}  // namespace torv
