// The alarm statistics as `history stats` writes them and the window saves
// them: text, CSV, JSON and PDF, one row each (the writer computes and writes).
//
// Every format opens with QueryLines, as the listings do. JSON:
// {"coverage": {"device", "from", "to", "lines", "holes"}, "devices": [{"device",
// "counts": {"alarm", "warning", "normal", "device", "relay", "damaged", "other"},
// "codes": [{"code", "events"}], "inputs": [{"input", "alarms", "warnings",
// "normals", "time_in_alarm_s", "longest_alarm_s", "unknown_alarms"}],
// "top_inputs": [{"input", "alarms", "share"}], "observed_s", "first_seen",
// "last_seen", "alarms_per_hour", "flood_windows", "flood_share", "floods":
// [{"start", "end", "alarms"}], "chattering": [{"input", "first",
// "most_changes"}], "standing": [{"input", "start", "end", "known"}], "holes":
// [{"from", "to"}]}]}; moments "YYYY-MM-DD HH:MM:SS" of the device's clock,
// null where unknown.
// CSV: one row per figure: device, figure (the JSON name), input, value.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "history_report/alarm_statistics.h"
#include "history_report/listing_formats.h"

namespace torv {

std::span<const ListingFormat> StatisticsFormats();
const ListingFormat* FindStatisticsFormat(std::string_view name);
// What the printed statistics end with: each figure defined, in Russian.
std::vector<std::string> StatisticsNotes();

// The text, CSV (in `dialect`) and JSON of computed statistics.
std::string StatisticsText(const AlarmStatistics& statistics);
std::string StatisticsCsv(const AlarmStatistics& statistics, const CsvDialect& dialect);
std::string StatisticsJson(const AlarmStatistics& statistics);

}  // namespace torv
