#include "history_report/alarm_pass.h"

#include <algorithm>
#include <tuple>

namespace torv {

void AlarmPass::Close(int input, const Open& open, std::optional<std::int64_t> normal) {
  InputEpisodes& episodes = figures_.inputs[input];
  if (normal && !open.holeAt) {
    const std::int64_t duration = *normal - open.start;
    episodes.timeInAlarmSeconds += duration;
    episodes.longestAlarmSeconds = std::max(episodes.longestAlarmSeconds, duration);
    if (duration > kStandingSeconds) figures_.standing.push_back({input, open.start, normal, true});
    return;
  }
  if (open.holeAt) ++episodes.unknownEpisodes;
  // Still in alarm at the last moment seen: before the hole, or at the end.
  const std::int64_t seenUntil = open.holeAt ? *open.holeAt : last_.value_or(open.start);
  if (seenUntil - open.start > kStandingSeconds) {
    figures_.standing.push_back({input, open.start, std::nullopt, true});
  } else if (open.holeAt) {
    figures_.standing.push_back({input, open.start, std::nullopt, false});
  }
}

void AlarmPass::CountFloodWindow() {
  if (!window_ || windowAlarms_ <= kFloodAlarms) return;
  ++figures_.floodWindows;
  if (!figures_.floods.empty() && figures_.floods.back().end == *window_) {
    figures_.floods.back().end += kFloodWindowSeconds;
    figures_.floods.back().alarms += windowAlarms_;
  } else {
    figures_.floods.push_back({*window_, *window_ + kFloodWindowSeconds, windowAlarms_});
  }
}

void AlarmPass::Add(const PassEvent& event) {
  if (event.holeBefore && last_) {
    for (auto& [input, open] : open_) {
      if (!open.holeAt) open.holeAt = *last_;
    }
    for (auto& [input, chatter] : chatter_) chatter.recent.clear();
  }
  last_ = event.seconds;

  // A change: an alarm of an input not in alarm, a normal of one in alarm.
  bool change = false;
  if (event.alarm) {
    const std::int64_t window = event.seconds - event.seconds % kFloodWindowSeconds;
    if (window_ != window) {
      CountFloodWindow();
      window_ = window;
      windowAlarms_ = 0;
    }
    ++windowAlarms_;
    change = open_.try_emplace(event.input, Open{event.seconds, std::nullopt}).second;
  } else if (const auto open = open_.find(event.input); open != open_.end()) {
    Close(event.input, open->second, event.seconds);
    open_.erase(open);
    change = true;
  }
  if (!change) return;

  Chatter& chatter = chatter_[event.input];
  chatter.recent.push_back(event.seconds);
  const auto inWindow = std::lower_bound(chatter.recent.begin(), chatter.recent.end(),
                                         event.seconds - kChatterSeconds);
  chatter.recent.erase(chatter.recent.begin(), inWindow);
  const int changes = static_cast<int>(chatter.recent.size());
  if (changes >= kChatterChanges) {
    if (!chatter.found) chatter.found = Chattering{event.input, chatter.recent.front(), 0};
    chatter.found->mostChanges = std::max(chatter.found->mostChanges, changes);
  }
}

PassFigures AlarmPass::Finish() {
  CountFloodWindow();
  window_.reset();
  for (const auto& [input, open] : open_) Close(input, open, std::nullopt);
  open_.clear();
  for (const auto& [input, chatter] : chatter_) {
    if (chatter.found) figures_.chattering.push_back(*chatter.found);
  }
  std::sort(figures_.standing.begin(), figures_.standing.end(),
            [](const StandingAlarm& a, const StandingAlarm& b) {
              return std::tie(a.start, a.input) < std::tie(b.start, b.input);
            });
  return std::move(figures_);
}

}  // namespace torv
