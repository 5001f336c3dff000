// What the history commands of torvdoc-cli take beyond the common options:
// the store, the copy time, the listing's query (whose device and input
// `import` and `names set` take too) and the relay a name belongs to.
#pragma once

#include <optional>
#include <string>

#include "history/history_model.h"

namespace torv {

struct HistoryOptions {
  std::optional<std::string> db;              // --db; else TORVDOC_DB, else the default file
  std::optional<history::CopyTime> copiedAt;  // import: --copied-at
  // list: every filter, one option each; import and names set: the device
  // (--device); names set: the input named (--input)
  history::EventQuery query;
  std::optional<int> relay;  // names set: the relay named
  bool newDevice = false;    // import: --new-device
  bool forceDevice = false;  // import: --force-device
};

}  // namespace torv
