// An event's moment on the device's clock, as seconds since 1970-01-01
// 00:00:00 of that clock: durations and windows of the statistics and the
// bins of the chart are counted in it (the device keeps no time zone).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "history/history_model.h"

namespace torv {

// None for an event without a year or with an unset or impossible date or time.
std::optional<std::int64_t> EventSeconds(const history::StoredEvent& event);

// Days since 1970-01-01 of a calendar date (proleptic Gregorian).
std::int64_t DaysFromCivil(int year, int month, int day);
history::CalendarDate CivilFromDays(std::int64_t days);
history::CalendarDate DateOfKey(std::int64_t key);

// "YYYY-MM-DD HH:MM:SS" of device-clock seconds.
std::string ClockText(std::int64_t seconds);

}  // namespace torv
