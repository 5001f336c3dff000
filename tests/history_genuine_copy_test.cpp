// The rules that tell a genuine copy and the operator's texts from what does
// not belong in the history, each on its own, as tables of cases.
#include "history/genuine_copy.h"

#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "history/operator_text.h"

namespace torv::history {
namespace {

ArchiveRecord Timed(int hours, int minutes, int seconds, int day, int month) {
  return MakeRecord(3, 0, static_cast<std::uint8_t>(hours), static_cast<std::uint8_t>(minutes),
                    static_cast<std::uint8_t>(seconds), static_cast<std::uint8_t>(day),
                    static_cast<std::uint8_t>(month));
}

std::vector<ArchiveRecord> Records(int possible, const ArchiveRecord& other, int others) {
  std::vector<ArchiveRecord> records(static_cast<std::size_t>(possible), Timed(10, 0, 0, 1, 2));
  records.insert(records.end(), static_cast<std::size_t>(others), other);
  return records;
}

TEST(GenuineCopyTest, OnlyAnArchiveOfTheRightSizeWithPossibleRecordsIsOne) {
  const ArchiveRecord damaged = MakeRecord(kDamagedCode, 9, 99, 99, 99, 99, 99);
  const ArchiveRecord unsetTime = MakeRecord(3, 0, 255, 255, 255, 1, 2);
  const ArchiveRecord unsetDate = MakeRecord(3, 0, 1, 2, 3, 255, 255);
  const struct {
    std::uint64_t size;
    std::vector<ArchiveRecord> records;
    std::optional<std::string> reason;
  } cases[] = {
      {8196, Records(10, {}, 0), std::nullopt},
      {100, Records(10, {}, 0), "размер 100 байт, а не 8196"},
      {4100, {}, "размер 4100 байт, а не 8196"},
      {8192, Records(10, {}, 0), "размер 8192 байт, а не 8196"},
      {8197, Records(10, {}, 0), "размер 8197 байт, а не 8196"},
      {8196, Records(5, Timed(24, 0, 0, 1, 1), 5), std::nullopt},  // half is not most
      {8196, Records(4, Timed(24, 0, 0, 1, 1), 5),
       "5 из 9 записей с невозможным временем или датой"},
      {8196, Records(1, Timed(1, 60, 0, 1, 1), 2),
       "2 из 3 записей с невозможным временем или датой"},
      {8196, Records(1, Timed(1, 1, 60, 1, 1), 2),
       "2 из 3 записей с невозможным временем или датой"},
      {8196, Records(1, Timed(1, 1, 1, 32, 1), 2),
       "2 из 3 записей с невозможным временем или датой"},
      {8196, Records(1, Timed(1, 1, 1, 0, 1), 2),
       "2 из 3 записей с невозможным временем или датой"},
      {8196, Records(1, Timed(1, 1, 1, 1, 13), 2),
       "2 из 3 записей с невозможным временем или датой"},
      // Unset fields and damaged records are the device's own.
      {8196, Records(1, unsetTime, 5), std::nullopt},
      {8196, Records(1, unsetDate, 5), std::nullopt},
      {8196, Records(1, damaged, 5), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + " bytes, " + std::to_string(c.records.size()));
    EXPECT_EQ(NotAnArchiveReason(c.size, c.records), c.reason);
  }
  EXPECT_EQ(NotAnArchiveRefusal("x"), "не архив ТОРВ-4 (x)");
}

TEST(GenuineCopyTest, ACopyTimeFrom1990ToADayAheadIsTaken) {
  constexpr std::int64_t kNow = 1750000000;  // 15.06.2025
  const struct {
    CopyTime time;
    std::optional<std::string> refusal;
  } cases[] = {
      {{kNow, 2025, 6, 15}, std::nullopt},
      {{kNow + 86400, 2025, 6, 16}, std::nullopt},
      {{kNow + 86401, 2025, 6, 16},
       "время копии 16.06.2025 больше чем на сутки впереди; проверьте --copied-at"},
      {{631152000, 1990, 1, 1}, std::nullopt},
      {{631151999, 1989, 12, 31}, "время копии 31.12.1989 раньше 1990 года; проверьте --copied-at"},
      {{-62167219200, 0, 1, 1}, "время копии 01.01.0000 раньше 1990 года; проверьте --copied-at"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.time.unixSeconds);
    EXPECT_EQ(CopyTimeRefusal(c.time, kNow), c.refusal);
  }
}

TEST(GenuineCopyTest, ACopyWhoseNewestRecordIsHalfAYearOldIsToldOf) {
  const struct {
    std::vector<ArchiveRecord> records;
    CopyTime time;
    std::optional<std::string> warning;
  } cases[] = {
      {{Timed(1, 0, 0, 1, 1)}, {0, 2025, 6, 30}, std::nullopt},  // 180 days
      {{Timed(1, 0, 0, 1, 1)},
       {0, 2025, 7, 1},
       "самая новая запись датирована 01.01.2025, за 181 дней до времени копии 01.07.2025; "
       "проверьте --copied-at"},
      // The newest dated record counts; one without a date is passed over.
      {{Timed(1, 0, 0, 1, 1), Timed(1, 0, 0, 20, 6), MakeRecord(3, 0, 1, 1, 1, 255, 255)},
       {0, 2025, 7, 1},
       std::nullopt},
      {{MakeRecord(3, 0, 1, 1, 1, 255, 255)}, {0, 2025, 7, 1}, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StaleCopyWarning(ArchiveCopy{c.records, c.time, "a.dat"}), c.warning);
  }
}

TEST(OperatorTextTest, TextsAreUtf8WithoutControlCharactersAndNotBlank) {
  const struct {
    std::string text;
    std::optional<std::string> problem;
  } cases[] = {
      {"Склад, ТОРВ-4 №2", std::nullopt},
      {" 3 ", std::nullopt},
      {"\xd0", "the name is not UTF-8 text"},
      {"a\xc0\x80", "the name is not UTF-8 text"},
      {std::string("a\0b", 3), "the name holds a control character"},
      {"a\tb", "the name holds a control character"},
      {"a\nb", "the name holds a control character"},
      {"a\x7f", "the name holds a control character"},
      {"a\xc2\x85", "the name holds a control character"},  // U+0085, next line
      {"", "the name is blank"},
      {"   ", "the name is blank"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(OperatorTextProblem(c.text, "the name"), c.problem);
  }
}

TEST(OperatorTextTest, OnlyAStoredDeviceOrAnAllowedNewOneTakesCopies) {
  const std::vector<std::string> stored = {"gate", "Склад 2"};
  const struct {
    std::string device;
    bool newDevice;
    std::optional<std::string> refusal;
  } cases[] = {
      {"gate", false, std::nullopt},
      {"gate", true, std::nullopt},
      {"post", true, std::nullopt},
      {"Gate", true, std::nullopt},
      {"post", false,
       "no device \"post\" is stored; give --new-device to start the history of a new device"},
      {"Gate", false, "no device \"Gate\" is stored; did you mean \"gate\"?"},
      {"СКЛАД2", false, "no device \"СКЛАД2\" is stored; did you mean \"Склад 2\"?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.device);
    const Status allowed = CheckDeviceChoice(stored, c.device, c.newDevice);
    EXPECT_EQ(allowed.ok() ? std::nullopt : std::optional(allowed.failure().reason), c.refusal);
  }
}

}  // namespace
}  // namespace torv::history
