// The year of each record of a copy. Records carry day and month but no year;
// the year follows from the copy's date, walking from the newest record back.
#pragma once

#include <optional>
#include <vector>

#include "archive/archive_format.h"
#include "history/history_model.h"

namespace torv::history {

// A record whose date gives a year: not damaged (code 255: its other bytes
// mean nothing), month 1 to 12, day 1 to 31.
bool HasDatableDate(const ArchiveRecord& record);

// Years of `records` (oldest first), one per record. Walking back from the
// newest record: the first datable record takes the copy's year, or the year
// before when its day.month lies after the copy's day.month; after that the
// year drops by one wherever the month rises (a December record before a
// January one). A record without a datable date gets no year and does not
// move the running year.
std::vector<std::optional<int>> YearsOf(const std::vector<ArchiveRecord>& records,
                                        const CopyTime& copiedAt);

}  // namespace torv::history
