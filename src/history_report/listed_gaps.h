// What a listing's gap row stands for: the holes of the device's history
// between the two events it separates, with their bounds and the copies on
// either side. Read before the listing's events, which are read in one
// transaction of their own.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "archive/result.h"
#include "history/history_store.h"

namespace torv {

struct ListedGap {
  // "нет записей с DD.MM.YYYY HH:MM:SS по DD.MM.YYYY HH:MM:SS (между копиями
  // A и B)" for each hole, "; " between.
  std::string text;
  // The hole just before the newer event, for JSON's "gap".
  std::optional<std::string> after;
  std::optional<std::string> before;
  std::optional<std::int64_t> olderCopy;
  std::optional<std::int64_t> newerCopy;
};

// What a gap row says: the gap's holes, or where they cannot be told, that
// events between copies were not stored.
std::string_view GapRowText(const ListedGap& gap);

class ListedGaps {
 public:
  // The holes and copies of the devices the query lists; the copies only
  // where a device has holes, unless `allCopies`.
  static Result<ListedGaps> Read(history::HistoryStore& store, const history::EventQuery& query,
                                 bool allCopies = false);
  // The gap between the stretches `older` and `newer` (their places among
  // the device's, oldest 0) of `device`.
  ListedGap Between(const std::string& device, std::int64_t older, std::int64_t newer) const;
  // The holes at an end of a device's listed events that reach into the
  // query's dates, where no listed event lies on their other side: before
  // the device's first listed event (`opening`, in listing order, which
  // the query's newestFirst turns round) or after its last, in `stretch`.
  ListedGap AtEnd(const std::string& device, std::int64_t stretch, bool opening) const;
  // Every hole read, by device, oldest first; and the copies read.
  const std::map<std::string, std::vector<history::HistoryHole>>& Holes() const { return holes_; }
  const std::vector<history::KeptCopy>& Copies() const { return copies_; }

 private:
  ListedGap Gather(const std::string& device, std::int64_t older, std::int64_t newer,
                   bool reachingOnly) const;
  history::EventQuery query_;
  std::map<std::string, std::vector<history::HistoryHole>> holes_;  // by device, oldest first
  std::vector<history::KeptCopy> copies_;
};

}  // namespace torv
