// The figures that need the order of a device's alarms and normals: time in
// alarm, standing alarms, floods and chattering. One pass, oldest first, over
// the alarm and normal events of one device in one period.
//
// An alarm episode of an input starts at an alarm while the input is not in
// alarm and ends at its next normal (further alarms and warnings leave it in
// alarm). A hole between an event and the one before it (the history's gap)
// hides what happened: an episode the hole cuts has no known duration.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace torv {

inline constexpr std::int64_t kStandingSeconds = 24 * 3600;
inline constexpr std::int64_t kFloodWindowSeconds = 600;
inline constexpr std::int64_t kFloodAlarms = 10;  // more than this many in a window
inline constexpr std::int64_t kChatterSeconds = 300;
inline constexpr int kChatterChanges = 5;  // this many or more within kChatterSeconds

struct PassEvent {
  std::int64_t seconds = 0;  // EventSeconds
  int input = 0;
  bool alarm = false;  // else a normal
  bool holeBefore = false;
};

struct InputEpisodes {
  std::int64_t timeInAlarmSeconds = 0;  // of the episodes with a known duration
  std::int64_t longestAlarmSeconds = 0;
  std::int64_t unknownEpisodes = 0;  // cut by a hole
};

// A run of consecutive 10-minute windows (from a multiple of 600 s) with more
// than 10 alarms each.
struct Flood {
  std::int64_t start = 0;
  std::int64_t end = 0;
  std::int64_t alarms = 0;
  bool operator==(const Flood&) const = default;
};

// An input with 5 or more changes (an alarm while not in alarm, a normal
// while in alarm) within 5 minutes, no hole among them.
struct Chattering {
  int input = 0;
  std::int64_t first = 0;  // the first event of its first such 5 minutes
  int mostChanges = 0;     // the most changes within any 5 minutes
  bool operator==(const Chattering&) const = default;
};

// An episode without a normal for more than 24 hours; `known` false where a
// hole came less than 24 hours after its start, before any normal.
struct StandingAlarm {
  int input = 0;
  std::int64_t start = 0;
  std::optional<std::int64_t> end;  // its normal, when seen with no hole between
  bool known = true;
  bool operator==(const StandingAlarm&) const = default;
};

struct PassFigures {
  std::map<int, InputEpisodes> inputs;
  std::vector<Flood> floods;
  std::int64_t floodWindows = 0;
  std::vector<Chattering> chattering;   // by input
  std::vector<StandingAlarm> standing;  // by start
};

class AlarmPass {
 public:
  void Add(const PassEvent& event);
  // The figures once every event was added.
  PassFigures Finish();

 private:
  struct Open {
    std::int64_t start = 0;
    std::optional<std::int64_t> holeAt;  // the last moment seen before a hole cut it
  };
  struct Chatter {
    std::vector<std::int64_t> recent;  // since the last hole, within 5 minutes
    std::optional<Chattering> found;
  };
  void Close(int input, const Open& open, std::optional<std::int64_t> normal);
  void CountFloodWindow();

  PassFigures figures_;
  std::map<int, Open> open_;
  std::map<int, Chatter> chatter_;
  std::optional<std::int64_t> last_;
  std::optional<std::int64_t> window_;  // the flood window being counted
  std::int64_t windowAlarms_ = 0;
};

}  // namespace torv
