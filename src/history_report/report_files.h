// The files of `history report`: one listing per device and period, named
// by a pattern such as "DIR/{device}-{period}.pdf".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "history/history_model.h"

namespace torv {

inline constexpr std::string_view kDeviceSlot = "{device}";
inline constexpr std::string_view kPeriodSlot = "{period}";

// How a period reads in a file name: "2026-11" for a whole month, "2026-Q4"
// for a whole quarter, "2026" for a whole year, "2026-12-09" for one day,
// else "FROM_TO" (an open end is "start" or "end"); "all" without dates.
std::string PeriodLabel(const std::optional<history::CalendarDate>& from,
                        const std::optional<history::CalendarDate>& to);

// `pattern` with every {device} and {period} replaced. A device name may
// hold any text: "/" and control characters become "_", and a name that is
// "." or ".." is written with "_" in front, so that the file stays in the
// pattern's folder.
std::string ReportFileName(std::string_view pattern, std::string_view device,
                           std::string_view periodLabel);

}  // namespace torv
