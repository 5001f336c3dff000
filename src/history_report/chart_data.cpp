#include "history_report/chart_data.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <map>

#include "history_report/event_time.h"

namespace torv {
namespace {

// The first day of the bin that holds `day`; weeks start on Monday.
std::int64_t BinStart(ChartBin bin, std::int64_t day) {
  switch (bin) {
    case ChartBin::kDay:
      return day;
    case ChartBin::kWeek:
      // 1970-01-01 was a Thursday: Monday is 3 days before.
      return day - ((day + 3) % 7 + 7) % 7;
    case ChartBin::kMonth: {
      const history::CalendarDate date = CivilFromDays(day);
      return DaysFromCivil(date.year, date.month, 1);
    }
  }
  return day;
}

std::int64_t NextBin(ChartBin bin, std::int64_t start) {
  switch (bin) {
    case ChartBin::kDay:
      return start + 1;
    case ChartBin::kWeek:
      return start + 7;
    case ChartBin::kMonth: {
      const history::CalendarDate date = CivilFromDays(start);
      return date.month == 12 ? DaysFromCivil(date.year + 1, 1, 1)
                              : DaysFromCivil(date.year, date.month + 1, 1);
    }
  }
  return start + 1;
}

std::int64_t DayOfKey(std::int64_t key) {
  const history::CalendarDate date = DateOfKey(key);
  return DaysFromCivil(date.year, date.month, date.day);
}

std::optional<std::int64_t> DayOf(const std::optional<history::StoredEvent>& event) {
  if (!event || !event->year) return std::nullopt;
  return DaysFromCivil(*event->year, event->record.Month(), event->record.Day());
}

}  // namespace

std::string_view ChartBinName(ChartBin bin) {
  switch (bin) {
    case ChartBin::kDay:
      return "day";
    case ChartBin::kWeek:
      return "week";
    case ChartBin::kMonth:
      break;
  }
  return "month";
}

std::optional<ChartBin> ChartBinNamed(std::string_view name) {
  for (const ChartBin bin : {ChartBin::kDay, ChartBin::kWeek, ChartBin::kMonth}) {
    if (ChartBinName(bin) == name) return bin;
  }
  return std::nullopt;
}

ChartStack StackOf(EventType type) {
  switch (type) {
    case EventType::kAlarm:
      return ChartStack::kAlarm;
    case EventType::kWarning:
      return ChartStack::kWarning;
    case EventType::kNormal:
      return ChartStack::kNormal;
    case EventType::kDevice:
      return ChartStack::kFault;
    case EventType::kRelay:
      return ChartStack::kRelay;
    case EventType::kDamaged:
    case EventType::kOther:
      break;
  }
  return ChartStack::kOther;
}

std::int64_t ChartBar::Total() const {
  std::int64_t total = 0;
  for (const std::int64_t count : counts) total += count;
  return total;
}

ChartBin ChooseChartBin(std::int64_t firstDay, std::int64_t lastDay) {
  const std::int64_t days = lastDay - firstDay + 1;
  if (days <= kMostBars) return ChartBin::kDay;
  if ((days + 6) / 7 <= kMostBars) return ChartBin::kWeek;
  return ChartBin::kMonth;
}

Result<ChartData> ComputeChart(history::HistoryStore& store, const history::EventQuery& query,
                               std::optional<ChartBin> bin) {
  // The devices' counts per day and code, folded into days device by device:
  // a site's counts held all at once took hundreds of megabytes.
  Result<std::vector<history::DeviceSummary>> devices = store.Devices(query.devices, false);
  if (!devices) return devices.failure();
  ChartData chart;
  std::map<std::int64_t, std::array<std::int64_t, kChartStacks>> days;
  for (const history::DeviceSummary& device : *devices) {
    history::EventQuery one = query;
    one.devices = {device.device};
    Result<std::vector<history::CountedEvents>> counts =
        store.Counts(one, history::CountGrouping::kDayAndCode);
    if (!counts) return counts.failure();
    for (const history::CountedEvents& count : *counts) {
      if (!count.dateKey) {
        chart.undated += count.events;
        continue;
      }
      const auto stack = StackOf(TypeOfCode(static_cast<std::uint8_t>(count.code)));
      days[DayOfKey(*count.dateKey)][static_cast<std::size_t>(stack)] += count.events;
    }
  }
  std::optional<std::int64_t> first;
  std::optional<std::int64_t> last;
  if (query.from) first = DaysFromCivil(query.from->year, query.from->month, query.from->day);
  if (query.to) last = DaysFromCivil(query.to->year, query.to->month, query.to->day);
  if (days.empty() && (!first || !last)) return chart;  // nothing dated to draw
  if (!first) first = days.begin()->first;
  if (!last) last = days.rbegin()->first;
  if (*first > *last) return chart;
  chart.bin = bin ? *bin : ChooseChartBin(*first, *last);
  for (std::int64_t start = BinStart(chart.bin, *first); start <= *last;) {
    const std::int64_t next = NextBin(chart.bin, start);
    chart.bars.push_back({start, next - 1, {}});
    start = next;
  }
  for (const auto& [day, stacks] : days) {
    const auto bar =
        std::upper_bound(chart.bars.begin(), chart.bars.end(), day,
                         [](std::int64_t d, const ChartBar& b) { return d < b.firstDay; });
    if (bar == chart.bars.begin()) continue;
    for (std::size_t s = 0; s < kChartStacks; ++s) std::prev(bar)->counts[s] += stacks[s];
  }
  Result<std::vector<history::HistoryHole>> holes = store.Holes(query);
  if (!holes) return holes.failure();
  for (const history::HistoryHole& hole : *holes) {
    const std::int64_t from = DayOf(hole.before).value_or(chart.bars.front().firstDay);
    const std::int64_t to = DayOf(hole.after).value_or(chart.bars.back().lastDay);
    if (to < chart.bars.front().firstDay || from > chart.bars.back().lastDay) continue;
    chart.holes.push_back({from, to});
  }
  return chart;
}

}  // namespace torv
