// A simulated ТОРВ-4 device: it writes events into its ring as the real one
// does, with a clock that runs across new years, so that tests, the fuzz
// target and the benchmarks can take copies at any moment and know exactly
// which events (and years) the history must end up with.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "archive/archive_format.h"
#include "history/history_model.h"

namespace torv::history {

struct SimulationOptions {
  std::uint32_t seed = 1;
  // The clock at the start, UTC.
  std::int64_t startUnixSeconds = 1703980800;  // 2023-12-31 00:00:00
  // The clock moves on by 1 to this many seconds between two events.
  int maxStepSeconds = 3600;
  // Chances out of 1000 per event.
  int damagedPerMille = 20;  // a damaged record, all bytes 255
  int repeatPerMille = 30;   // the same record again in the same second
  // Byte 1 (the input or relay number - 1) runs from 0 to numbers - 1.
  int numbers = 32;
};

class SimulatedDevice {
 public:
  explicit SimulatedDevice(const SimulationOptions& options);

  void Write(int count);
  // Every event written, oldest first, and the year each one happened in
  // (none for damaged records).
  const std::vector<ArchiveRecord>& Written() const { return written_; }
  const std::vector<std::optional<int>>& WrittenYears() const { return years_; }

  // The archive file as the device holds it now: 8196 bytes.
  std::vector<std::uint8_t> ArchiveBytes() const;
  // The copy an import of ArchiveBytes() taken now gives: the last up to 1024
  // events, at the current clock (its UTC date), with the file's bytes.
  ArchiveCopy CopyNow() const;
  // Index in Written() of the oldest event a copy taken now holds.
  std::size_t CopyStart() const;
  CopyTime Now() const;

 private:
  ArchiveRecord NextRecord();

  SimulationOptions options_;
  std::mt19937 random_;
  std::int64_t clock_;
  std::vector<ArchiveRecord> written_;
  std::vector<std::optional<int>> years_;
};

// The UTC calendar date of an instant (the simulation's clock is UTC).
CopyTime UtcCopyTime(std::int64_t unixSeconds);

}  // namespace torv::history
