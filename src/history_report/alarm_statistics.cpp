#include "history_report/alarm_statistics.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>

#include "history_report/event_time.h"

namespace torv {
namespace {

std::int64_t StartOf(const history::CalendarDate& date) {
  return DaysFromCivil(date.year, date.month, date.day) * 86400;
}

InputStatistics& InputOf(DeviceStatistics& device, int input) {
  const auto at =
      std::lower_bound(device.inputs.begin(), device.inputs.end(), input,
                       [](const InputStatistics& s, int number) { return s.input < number; });
  if (at != device.inputs.end() && at->input == input) return *at;
  return *device.inputs.insert(at, InputStatistics{input, 0, 0, 0, {}});
}

void AddCount(DeviceStatistics& device, const history::CountedEvents& count) {
  const EventType type = TypeOfCode(static_cast<std::uint8_t>(count.code));
  device.byType[static_cast<std::size_t>(type)] += count.events;
  const auto code = std::lower_bound(device.byCode.begin(), device.byCode.end(), count.code,
                                     [](const CodeCount& c, int value) { return c.code < value; });
  if (code != device.byCode.end() && code->code == count.code) {
    code->events += count.events;
  } else {
    device.byCode.insert(code, CodeCount{count.code, count.events});
  }
  if (!count.number || !IsInputEventCode(static_cast<std::uint8_t>(count.code))) return;
  InputStatistics& input = InputOf(device, *count.number);
  if (type == EventType::kAlarm) input.alarms += count.events;
  if (type == EventType::kWarning) input.warnings += count.events;
  if (type == EventType::kNormal) input.normals += count.events;
}

// The seconds of [from, to] that a hole covers.
std::int64_t Overlap(const StatisticsHole& hole, std::int64_t from, std::int64_t to) {
  const std::int64_t start = std::max(hole.from.value_or(from), from);
  const std::int64_t end = std::min(hole.to.value_or(to), to);
  return std::max<std::int64_t>(0, end - start);
}

// The moment of an event beside a hole; one without a time stands for the
// whole of its day, so the hole takes that day in.
std::optional<std::int64_t> SideOfHole(const history::StoredEvent& event, bool before) {
  if (const std::optional<std::int64_t> seconds = EventSeconds(event)) return seconds;
  const ArchiveRecord& r = event.record;
  if (!event.year || r.Month() < 1 || r.Month() > 12 || r.Day() < 1 || r.Day() > 31) {
    return std::nullopt;
  }
  const std::int64_t day = DaysFromCivil(*event.year, r.Month(), r.Day()) * 86400;
  return before ? day : day + 86400 - 1;
}

void Finish(DeviceStatistics& device, AlarmPass& pass) {
  device.pass = pass.Finish();
  for (const auto& [number, episodes] : device.pass.inputs)
    InputOf(device, number).episodes = episodes;
  device.top = device.inputs;
  std::stable_sort(
      device.top.begin(), device.top.end(),
      [](const InputStatistics& a, const InputStatistics& b) { return a.alarms > b.alarms; });
  std::erase_if(device.top, [](const InputStatistics& s) { return s.alarms == 0; });
  if (device.top.size() > kTopInputs) device.top.resize(kTopInputs);
  if (device.firstSeen && device.lastSeen) {
    device.observedSeconds = *device.lastSeen - *device.firstSeen;
    for (const StatisticsHole& hole : device.holes) {
      device.observedSeconds -= Overlap(hole, *device.firstSeen, *device.lastSeen);
    }
  }
}

}  // namespace

std::optional<double> DeviceStatistics::AlarmsPerHour() const {
  if (observedSeconds < 3600) return std::nullopt;
  return static_cast<double>(Count(EventType::kAlarm)) * 3600.0 / observedSeconds;
}

std::optional<double> DeviceStatistics::FloodShare() const {
  const std::int64_t windows = observedSeconds / kFloodWindowSeconds;
  if (windows == 0) return std::nullopt;
  return std::min(1.0, static_cast<double>(pass.floodWindows) / static_cast<double>(windows));
}

Result<AlarmStatistics> ComputeAlarmStatistics(history::HistoryStore& store,
                                               const history::EventQuery& query) {
  AlarmStatistics statistics;
  statistics.query = query;
  // Fails for a device named that is not stored.
  Result<std::vector<history::DeviceSummary>> summaries = store.Devices(query.devices, false);
  if (!summaries) return summaries.failure();
  std::map<std::string, DeviceStatistics> devices;
  for (const history::DeviceSummary& summary : *summaries) {
    devices[summary.device].device = summary.device;
  }

  Result<std::vector<history::CountedEvents>> counts =
      store.Counts(query, history::CountGrouping::kNumberAndCode);
  if (!counts) return counts.failure();
  for (const history::CountedEvents& count : *counts) AddCount(devices[count.device], count);

  // The period's first and last second; the whole clock without dates.
  const std::int64_t periodStart =
      query.from ? StartOf(*query.from) : std::numeric_limits<std::int64_t>::min();
  const std::int64_t periodEnd =
      query.to ? StartOf(*query.to) + 86400 - 1 : std::numeric_limits<std::int64_t>::max();
  Result<std::vector<history::HistoryHole>> holes = store.Holes(query);
  if (!holes) return holes.failure();
  for (const history::HistoryHole& hole : *holes) {
    StatisticsHole seen;
    if (hole.before) seen.from = SideOfHole(*hole.before, true);
    if (hole.after) seen.to = SideOfHole(*hole.after, false);
    if ((seen.to && *seen.to < periodStart) || (seen.from && *seen.from > periodEnd)) continue;
    devices[hole.device].holes.push_back(seen);
  }

  history::EventQuery alarms = query;
  alarms.kinds.clear();
  alarms.codes.clear();
  alarms.types = {EventType::kAlarm, EventType::kNormal};
  alarms.newestFirst = false;
  AlarmPass pass;
  std::set<std::string> passed;
  DeviceStatistics* current = nullptr;
  bool holePending = false;
  Status read = store.ForEachEvent(alarms, [&](const history::StoredEvent& event) {
    if (current == nullptr || current->device != event.device) {
      if (current != nullptr) Finish(*current, pass);
      pass = AlarmPass();
      current = &devices[event.device];
      passed.insert(event.device);
      holePending = false;
    }
    holePending = holePending || event.gapBefore;
    const std::optional<std::int64_t> seconds = EventSeconds(event);
    if (!seconds) return;
    if (!current->firstSeen) current->firstSeen = *seconds;
    current->lastSeen = *seconds;
    pass.Add({*seconds, NumberBehindByte1(event.record), event.record.Code() == kAlarmCode,
              holePending});
    holePending = false;
  });
  if (!read) return read.failure();
  if (current != nullptr) Finish(*current, pass);
  for (auto& [name, device] : devices) {
    if (!passed.contains(name)) {
      AlarmPass none;
      Finish(device, none);
    }
    statistics.devices.push_back(std::move(device));
  }
  return statistics;
}

}  // namespace torv
