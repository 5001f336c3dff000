// The names file: CSV (RFC 4180, UTF-8, "," between fields), a header row,
// then one row per name: device, kind ("input" or "relay"), number, name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/result.h"
#include "history/history_model.h"
#include "history/history_store.h"

namespace torv::history {

// Every row of the file, or the first fault, named by its line.
Result<std::vector<NameEntry>> ParseNamesCsv(std::string_view content);

// Reads the file at `path` and stores all of its names, or none: what
// `history names import` does.
Status ImportNamesFile(HistoryStore& store, const std::string& path);

}  // namespace torv::history
