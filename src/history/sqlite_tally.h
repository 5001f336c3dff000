// SQLite's GROUP BY sorts every row it groups: counting the events of a
// device's ten years by code took longer than reading them. The function
// torvdoc_tally(key) counts the rows by an integer key in a hash table as
// the scan goes and gives the counts as one blob.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct sqlite3;

namespace torv::history {

inline constexpr char kSqliteTallyFunction[] = "torvdoc_tally";

// Makes torvdoc_tally known to the connection; false when SQLite refused.
bool RegisterSqliteTally(sqlite3* db);

// Calls `sink` once per (key, rows) pair of a torvdoc_tally blob.
void ReadSqliteTally(const std::vector<std::uint8_t>& blob,
                     const std::function<void(std::int64_t, std::int64_t)>& sink);

}  // namespace torv::history
