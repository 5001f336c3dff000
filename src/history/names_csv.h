// The names file: CSV (RFC 4180, UTF-8, "," or ";" between fields), the
// header row device,kind,number,name (or устройство,вид,номер,название), then
// one row per name: device, kind ("input" or "relay"), number, name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/result.h"
#include "history/history_model.h"

namespace torv::history {

// Every row of the file, or the first fault, named by its line.
Result<std::vector<NameEntry>> ParseNamesCsv(std::string_view content);

// Every name the file at `path` holds, or why it cannot be read or holds
// none (a fault of the file; what the store then does is the caller's).
Result<std::vector<NameEntry>> ReadNamesFile(const std::string& path);

}  // namespace torv::history
