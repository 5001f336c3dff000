// Watching folders that copies are dropped into: a copy is taken once its
// size and modification time have stood still for a while (a copy still
// being written keeps changing), and a file taken once is not taken again
// until it changes. What was taken is kept in a state file, so that a
// watch started again neither repeats nor misses a copy.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "archive/result.h"

namespace torv::history {

// What a file looked like when it was last seen.
struct FileLook {
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  bool operator==(const FileLook&) const = default;
};

class CopyWatch {
 public:
  // `taken`: the files taken before, as the state file keeps them.
  CopyWatch(std::int64_t settleSeconds, std::map<std::string, FileLook> taken);

  // Of the files present now (by path), those to take: unchanged for
  // settleSeconds since they were first seen so, and not taken as they are.
  std::vector<std::string> Ready(const std::map<std::string, FileLook>& present,
                                 std::int64_t nowSeconds);
  // The file was taken (imported, or refused and told): not again while it
  // looks the same.
  void Taken(const std::string& path, const FileLook& look);
  const std::map<std::string, FileLook>& TakenFiles() const { return taken_; }

 private:
  struct Pending {
    FileLook look;
    std::int64_t since = 0;
  };
  std::int64_t settleSeconds_;
  std::map<std::string, FileLook> taken_;
  std::map<std::string, Pending> pending_;
};

// The state file's text: a line "SIZE MODIFIED_NS PATH" per file taken.
std::string WatchStateText(const std::map<std::string, FileLook>& taken);
Result<std::map<std::string, FileLook>> ParseWatchState(const std::string& text);

}  // namespace torv::history
