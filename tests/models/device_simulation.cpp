#include "models/device_simulation.h"

#include <algorithm>
#include <ctime>

namespace torv::history {

CopyTime UtcCopyTime(std::int64_t unixSeconds) {
  const std::time_t time = static_cast<std::time_t>(unixSeconds);
  std::tm utc{};
  gmtime_r(&time, &utc);
  return CopyTime{unixSeconds, utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday};
}

SimulatedDevice::SimulatedDevice(const SimulationOptions& options)
    : options_(options), random_(options.seed), clock_(options.startUnixSeconds) {}

ArchiveRecord SimulatedDevice::NextRecord() {
  std::uniform_int_distribution<int> perMille(0, 999);
  std::uniform_int_distribution<int> byte(0, 255);
  if (!written_.empty() && perMille(random_) < options_.repeatPerMille) {
    return written_.back();  // the same event again in the same second
  }
  clock_ += std::uniform_int_distribution<int>(1, options_.maxStepSeconds)(random_);
  if (perMille(random_) < options_.damagedPerMille) {
    ArchiveRecord damaged;
    damaged.bytes.fill(kDamagedCode);
    return damaged;
  }
  const std::time_t time = static_cast<std::time_t>(clock_);
  std::tm utc{};
  gmtime_r(&time, &utc);
  static constexpr std::uint8_t kCodes[] = {0, 1, 2, 0, 1, 2, 3, 4, 5, 8, 12, 16, 50, 51, 20};
  const std::uint8_t code =
      kCodes[std::uniform_int_distribution<std::size_t>(0, std::size(kCodes) - 1)(random_)];
  ArchiveRecord record;
  record.bytes = {code,
                  static_cast<std::uint8_t>(
                      std::uniform_int_distribution<int>(0, options_.numbers - 1)(random_)),
                  static_cast<std::uint8_t>(utc.tm_sec),
                  static_cast<std::uint8_t>(utc.tm_min),
                  static_cast<std::uint8_t>(utc.tm_hour),
                  static_cast<std::uint8_t>(utc.tm_mday),
                  static_cast<std::uint8_t>(utc.tm_mon + 1),
                  static_cast<std::uint8_t>(byte(random_))};
  return record;
}

void SimulatedDevice::Write(int count) {
  for (int i = 0; i < count; ++i) {
    const ArchiveRecord record = NextRecord();
    written_.push_back(record);
    if (record.IsDamaged()) {
      years_.push_back(std::nullopt);
    } else {
      years_.push_back(UtcCopyTime(clock_).year);
    }
  }
}

std::size_t SimulatedDevice::CopyStart() const {
  return written_.size() > static_cast<std::size_t>(kRecordCount)
             ? written_.size() - static_cast<std::size_t>(kRecordCount)
             : 0;
}

CopyTime SimulatedDevice::Now() const {
  return UtcCopyTime(clock_);
}

std::vector<std::uint8_t> SimulatedDevice::ArchiveBytes() const {
  std::vector<std::uint8_t> bytes(kArchiveFileSize, 0);
  if (written_.empty()) {
    bytes[kRingSize] = static_cast<std::uint8_t>(kEmptyArchiveOffset);
    return bytes;
  }
  // Event k (from the first ever written) sits in slot k mod 1024.
  for (std::size_t k = CopyStart(); k < written_.size(); ++k) {
    const std::size_t slot = k % kRecordCount;
    std::copy(written_[k].bytes.begin(), written_[k].bytes.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(slot * kRecordSize));
  }
  const auto writeOffset =
      static_cast<std::uint32_t>((written_.size() % kRecordCount) * kRecordSize);
  for (int i = 0; i < kWriteOffsetSize; ++i) {
    bytes[kRingSize + i] = static_cast<std::uint8_t>(writeOffset >> (8 * i));
  }
  return bytes;
}

ArchiveCopy SimulatedDevice::CopyNow() const {
  ArchiveCopy copy;
  copy.copiedAt = Now();
  copy.records.assign(written_.begin() + static_cast<std::ptrdiff_t>(CopyStart()), written_.end());
  copy.bytes = ArchiveBytes();
  return copy;
}

}  // namespace torv::history
