// What `history import` refuses before a copy reaches the store: a file that
// is no archive of the device, and a copy time that cannot be right.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "history/history_model.h"

namespace torv::history {

// Why a file that read as an archive is none the history takes ("размер 100
// байт, а не 8196"), or nothing. Only a file of exactly 8196 bytes is an
// archive; of its written records (neither empty nor damaged) more than half
// must have a possible time and, where set, a possible date.
std::optional<std::string> NotAnArchiveReason(std::uint64_t fileSize,
                                              const std::vector<ArchiveRecord>& records);

// The refusal "не архив ТОРВ-4 (REASON)".
std::string NotAnArchiveRefusal(const std::string& reason);

// Why a copy time is refused, or nothing: before 1990, or more than a day
// after `nowUnixSeconds`.
std::optional<std::string> CopyTimeRefusal(const CopyTime& copiedAt, std::int64_t nowUnixSeconds);

// The warning for a copy whose newest dated record lies more than 180 days
// before its copy time (the copy time is likely wrong), or nothing.
std::optional<std::string> StaleCopyWarning(const ArchiveCopy& copy);

// "DD.MM.YYYY".
std::string DayText(int day, int month, int year);

}  // namespace torv::history
