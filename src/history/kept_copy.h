// A copy as the store keeps it: its bytes, their SHA-256, and the records
// they hold, so that a kept copy can be merged again exactly as it was
// imported.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "history/history_model.h"

namespace torv::history {

// The written records of the ring, oldest first (the one at WriteOffset),
// empty records left out; none for an empty archive (WriteOffset 255).
std::vector<ArchiveRecord> RecordsOfImage(const ArchiveImage& image);

// The SHA-256 of `bytes` in 64 lowercase hexadecimal digits.
std::string Sha256Hex(const std::vector<std::uint8_t>& bytes);

// The copy a kept file gives: its records, the copy time it was imported
// with, its name and bytes.
ArchiveCopy CopyOfKeptBytes(std::vector<std::uint8_t> bytes, const CopyTime& copiedAt,
                            std::string source, bool forcedDevice);

// The copy time's local date as one number (YYYYMMDD), kept beside the
// instant: the year rule then dates a re-merged copy as it dated it first,
// whatever the time zone of the machine that rebuilds it.
std::int64_t CopyDayKey(const CopyTime& copiedAt);
CopyTime CopyTimeOfKept(std::int64_t unixSeconds, std::int64_t dayKey);

}  // namespace torv::history

namespace torv::history {

// What an import of a file stored already says: "уже импортирован
// DD.MM.YYYY HH:MM (копия N)"; for a file stored under another device,
// "уже импортирован для устройства NAME DD.MM.YYYY HH:MM (копия N): копия
// другого устройства?".
std::string AlreadyImportedText(const KeptCopy& stored, bool otherDevice = false);

}  // namespace torv::history
