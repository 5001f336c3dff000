#include "history/copy_watch.h"

#include <sstream>

namespace torv::history {

CopyWatch::CopyWatch(std::int64_t settleSeconds, std::map<std::string, FileLook> taken)
    : settleSeconds_(settleSeconds), taken_(std::move(taken)) {}

std::vector<std::string> CopyWatch::Ready(const std::map<std::string, FileLook>& present,
                                          std::int64_t nowSeconds) {
  std::vector<std::string> ready;
  std::map<std::string, Pending> stillPending;
  for (const auto& [path, look] : present) {
    if (const auto taken = taken_.find(path); taken != taken_.end() && taken->second == look) {
      continue;
    }
    Pending pending{look, nowSeconds};
    if (const auto seen = pending_.find(path);
        seen != pending_.end() && seen->second.look == look) {
      pending.since = seen->second.since;
    }
    if (nowSeconds - pending.since >= settleSeconds_) {
      ready.push_back(path);
    } else {
      stillPending.emplace(path, pending);
    }
  }
  // A file that went away is forgotten; one that comes back starts anew.
  pending_ = std::move(stillPending);
  return ready;
}

void CopyWatch::Taken(const std::string& path, const FileLook& look) {
  taken_[path] = look;
}

std::string WatchStateText(const std::map<std::string, FileLook>& taken) {
  std::string text;
  for (const auto& [path, look] : taken) {
    text += std::to_string(look.size) + " " + std::to_string(look.modifiedNs) + " " + path + "\n";
  }
  return text;
}

Result<std::map<std::string, FileLook>> ParseWatchState(const std::string& text) {
  std::map<std::string, FileLook> taken;
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    std::istringstream fields(line);
    FileLook look;
    std::string path;
    if (!(fields >> look.size >> look.modifiedNs) || fields.get() != ' ' ||
        !std::getline(fields, path) || path.empty()) {
      return Failure{"line " + std::to_string(number) + " is not \"SIZE MODIFIED_NS PATH\""};
    }
    taken[path] = look;
  }
  return taken;
}

}  // namespace torv::history
