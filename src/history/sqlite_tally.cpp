#include "history/sqlite_tally.h"

#include <sqlite3.h>

#include <cstring>
#include <new>
#include <unordered_map>

namespace torv::history {
namespace {

using Counts = std::unordered_map<std::int64_t, std::int64_t>;

// The aggregate's state in SQLite's context: made by the first row, freed by
// the final call, which SQLite makes however the statement ends.
struct TallyState {
  Counts* counts;
};

void TallyStep(sqlite3_context* context, int, sqlite3_value** arguments) {
  auto* state = static_cast<TallyState*>(sqlite3_aggregate_context(context, sizeof(TallyState)));
  if (state == nullptr) {
    sqlite3_result_error_nomem(context);
    return;
  }
  try {
    if (state->counts == nullptr) state->counts = new Counts();
    ++(*state->counts)[sqlite3_value_int64(arguments[0])];
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(context);
  }
}

void TallyFinal(sqlite3_context* context) {
  auto* state = static_cast<TallyState*>(sqlite3_aggregate_context(context, 0));
  Counts* counts = state != nullptr ? state->counts : nullptr;
  const std::size_t bytes = counts != nullptr ? counts->size() * 2 * sizeof(std::int64_t) : 0;
  auto* pairs = static_cast<std::int64_t*>(sqlite3_malloc64(bytes == 0 ? 1 : bytes));
  if (pairs == nullptr) {
    delete counts;
    sqlite3_result_error_nomem(context);
    return;
  }
  std::size_t at = 0;
  if (counts != nullptr) {
    for (const auto& [key, rows] : *counts) {
      pairs[at++] = key;
      pairs[at++] = rows;
    }
  }
  delete counts;
  sqlite3_result_blob64(context, pairs, bytes, sqlite3_free);
}

}  // namespace

bool RegisterSqliteTally(sqlite3* db) {
  return sqlite3_create_function_v2(db, kSqliteTallyFunction, 1,
                                    SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                                    nullptr, TallyStep, TallyFinal, nullptr) == SQLITE_OK;
}

void ReadSqliteTally(const std::vector<std::uint8_t>& blob,
                     const std::function<void(std::int64_t, std::int64_t)>& sink) {
  constexpr std::size_t kPair = 2 * sizeof(std::int64_t);
  for (std::size_t at = 0; at + kPair <= blob.size(); at += kPair) {
    std::int64_t pair[2];
    std::memcpy(pair, blob.data() + at, kPair);
    sink(pair[0], pair[1]);
  }
}

}  // namespace torv::history
