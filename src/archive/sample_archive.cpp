#include "archive/sample_archive.h"

#include <algorithm>
#include <random>

#include "archive/record_kind.h"

namespace torv {
namespace {

// A calendar without years, as the device keeps it.
struct DeviceClock {
  int month = 1, day = 1, hours = 0, minutes = 0, seconds = 0;

  static int DaysIn(int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[month - 1];
  }
  void Advance(int secondsToAdd) {
    seconds += secondsToAdd;
    minutes += seconds / 60;
    seconds %= 60;
    hours += minutes / 60;
    minutes %= 60;
    day += hours / 24;
    hours %= 24;
    while (day > DaysIn(month)) {
      day -= DaysIn(month);
      month = month % 12 + 1;
    }
  }
};

// std::mt19937 is the same on every platform; the standard distributions are
// not, so values are drawn by plain remainders.
class SampleRandom {
 public:
  explicit SampleRandom(std::uint32_t seed) : engine_(seed) {}
  int Below(int bound) { return static_cast<int>(engine_() % static_cast<std::uint32_t>(bound)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }

 private:
  std::mt19937 engine_;
};

ArchiveRecord NextRecord(SampleRandom& random, const DeviceClock& clock) {
  static constexpr std::uint8_t kCodesWithoutText[] = {17, 30, 49, 52, 100, 254};
  const auto spare = static_cast<std::uint8_t>(random.Below(256));
  auto timed = [&](std::uint8_t code, std::uint8_t number) {
    return MakeRecord(
        code, number, static_cast<std::uint8_t>(clock.hours),
        static_cast<std::uint8_t>(clock.minutes), static_cast<std::uint8_t>(clock.seconds),
        static_cast<std::uint8_t>(clock.day), static_cast<std::uint8_t>(clock.month), spare);
  };
  // Most input events come from a few busy inputs, as on a real site.
  auto input = [&] {
    return static_cast<std::uint8_t>(random.Below(3) == 0 ? random.Below(32) : random.Below(6));
  };

  // One draw a statement: the order of the draws makes the file, and the
  // order in which a compiler evaluates a call's arguments is its own. The
  // number comes before the code, as the demo archives were made.
  auto inputEvent = [&] {
    const std::uint8_t number = input();
    const auto code = static_cast<std::uint8_t>(random.Below(kAlarmCode + 1));
    return timed(code, number);
  };

  const int kind = random.Below(100);
  if (kind < 45) return inputEvent();
  if (kind < 63) {
    return timed(static_cast<std::uint8_t>(random.Between(kFirstDeviceCode, kLastDeviceCode)), 0);
  }
  if (kind < 77) {
    const auto relay = static_cast<std::uint8_t>(random.Below(8));
    const auto code = static_cast<std::uint8_t>(random.Between(kRelayOffCode, kRelayOnCode));
    return timed(code, relay);
  }
  if (kind < 81) {
    return timed(kCodesWithoutText[random.Below(std::size(kCodesWithoutText))], 0);
  }
  if (kind < 86) {
    ArchiveRecord damaged;
    for (auto& b : damaged.bytes) b = static_cast<std::uint8_t>(random.Below(256));
    damaged.bytes[kCodeByte] = kDamagedCode;
    return damaged;
  }
  ArchiveRecord record = inputEvent();
  if (kind < 92) {  // time not set
    record.bytes[kSecondsByte] = record.bytes[kMinutesByte] = record.bytes[kHoursByte] = kUnsetByte;
  } else if (kind < 96) {  // date not set
    record.bytes[kDayByte] = record.bytes[kMonthByte] = kUnsetByte;
  } else if (kind < 98) {  // half a date
    record.bytes[random.Below(2) == 0 ? kDayByte : kMonthByte] = kUnsetByte;
  } else {  // everything unset
    for (int b = kSecondsByte; b <= kMonthByte; ++b) record.bytes[b] = kUnsetByte;
  }
  return record;
}

}  // namespace

ArchiveRecord MakeRecord(std::uint8_t code, std::uint8_t number, std::uint8_t hours,
                         std::uint8_t minutes, std::uint8_t seconds, std::uint8_t day,
                         std::uint8_t month, std::uint8_t spare) {
  return ArchiveRecord{{code, number, seconds, minutes, hours, day, month, spare}};
}

ArchiveBuilder::ArchiveBuilder() : bytes_(kArchiveFileSize, 0) {}

ArchiveBuilder& ArchiveBuilder::SetSlot(int slot, const ArchiveRecord& record) {
  const int at = NormalizeRingOffset(slot * kRecordSize);
  std::copy(record.bytes.begin(), record.bytes.end(), bytes_.begin() + at);
  return *this;
}

ArchiveBuilder& ArchiveBuilder::SetWriteOffset(std::int32_t writeOffset) {
  const auto value = static_cast<std::uint32_t>(writeOffset);
  for (int i = 0; i < kWriteOffsetSize; ++i) {
    bytes_[kRingSize + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  return *this;
}

ArchiveBuilder& ArchiveBuilder::FillAll(const ArchiveRecord& record) {
  for (int slot = 0; slot < kRecordCount; ++slot) SetSlot(slot, record);
  return *this;
}

std::vector<std::uint8_t> GenerateArchive(const SampleOptions& options) {
  SampleRandom random(options.seed);
  ArchiveBuilder builder;
  if (options.fill <= 0) return builder.SetWriteOffset(kEmptyArchiveOffset).Bytes();

  DeviceClock clock;
  clock.month = random.Between(1, 12);
  clock.day = random.Between(1, 28);
  clock.hours = random.Below(24);
  clock.minutes = random.Below(60);
  clock.seconds = random.Below(60);
  for (int written = 0; written < options.fill; ++written) {
    // Events come in bursts: seconds apart, then hours of quiet.
    clock.Advance(random.Below(4) == 0 ? random.Between(600, 6 * 3600) : random.Between(1, 90));
    builder.SetSlot(written % kRecordCount, NextRecord(random, clock));
  }
  return builder.SetWriteOffset((options.fill % kRecordCount) * kRecordSize).Bytes();
}

}  // namespace torv
