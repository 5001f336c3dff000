// What the history commands of torvdoc-cli take beyond the common options:
// the store, the copy time, the listing's query (whose device and input
// `import` and `names set` take too) and the relay a name belongs to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
  // import: the device of each copy from its folder's name or its file name
  // (instead of --device), and only the totals and the problems printed
  bool deviceFromFolder = false;
  std::optional<std::string> deviceFromName;
  bool quiet = false;
  // withdraw, devices rename and remove: why, for the journal (--reason)
  std::string reason;
  // copy-file and withdraw: the copies named by their numbers
  std::vector<std::int64_t> copyIds;
  // watch: seconds between looks at the folders, seconds a copy must stand
  // still before it is taken, and the file that keeps what was taken
  std::int64_t watchInterval = 5;
  std::int64_t watchSettle = 5;
  std::optional<std::string> watchState;
  // verify: the digest of a listing to check (--listing), with `query`
  std::optional<std::string> listingDigest;
  // list and report as CSV: the heading lines and the digest (--heading)
  bool heading = false;
  // chart: "day", "week" or "month" (--bin; empty: chosen by the period's
  // length), and the image's size in pixels (--size)
  std::string chartBin;
  int chartWidth = 1200;
  int chartHeight = 400;
};

}  // namespace torv
