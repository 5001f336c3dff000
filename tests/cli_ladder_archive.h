// The ladder archive shared by the command-line tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/sample_archive.h"

namespace torv::cli_testing {

// The ladder archive: every slot written, each field a simple function of the
// slot number k, so that every row can be predicted here without the decoder.
//   code:   51 (relay on) when k % 7 == 6, else k % 3 (input events)
//   number: k % 5 (input or relay number minus one)
//   time:   (k / 60) % 24 : k % 60 : 07       date: (1 + k / 40) . 04
inline constexpr int kLadderWriteOffset = 800;  // newest record in slot 99, oldest in slot 100
inline constexpr int kLadderNewestSlot = 99;

inline bool LadderIsRelay(int k) {
  return k % 7 == 6;
}

inline ArchiveRecord LadderRecord(int k) {
  const auto code = static_cast<std::uint8_t>(LadderIsRelay(k) ? 51 : k % 3);
  return MakeRecord(code, static_cast<std::uint8_t>(k % 5), static_cast<std::uint8_t>(k / 60 % 24),
                    static_cast<std::uint8_t>(k % 60), 7, static_cast<std::uint8_t>(1 + k / 40), 4,
                    static_cast<std::uint8_t>(k));
}

inline std::vector<std::uint8_t> LadderArchive(std::int32_t writeOffset = kLadderWriteOffset) {
  ArchiveBuilder builder;
  for (int k = 0; k < kRecordCount; ++k) builder.SetSlot(k, LadderRecord(k));
  return builder.SetWriteOffset(writeOffset).Bytes();
}

inline std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

inline std::string LadderTimeDate(int k) {
  return TwoDigits(k / 60 % 24) + ":" + TwoDigits(k % 60) + ":07 " + TwoDigits(1 + k / 40) + ".04";
}

// The four cells of slot k as the table shows them, spaces included.
inline std::vector<std::string> LadderCells(int k) {
  static const char* const kInputTexts[] = {"Норма           ", "Пред. сигн.     ", "Авар. сигн. "};
  const std::string number = std::to_string(k % 5 + 1);
  if (LadderIsRelay(k)) {
    return {"Включение реле", "реле " + number,
            TwoDigits(k / 60 % 24) + ":" + TwoDigits(k % 60) + ":07",
            TwoDigits(1 + k / 40) + ".04"};
  }
  return {kInputTexts[k % 3], number + "           ",
          TwoDigits(k / 60 % 24) + ":" + TwoDigits(k % 60) + ":07", TwoDigits(1 + k / 40) + ".04"};
}

inline int Slot(int k) {
  return ((k % kRecordCount) + kRecordCount) % kRecordCount;
}

// The slots of block `blocksBack` of the ladder, newest first.
inline std::vector<int> LadderBlockSlots(int blocksBack) {
  std::vector<int> slots;
  const int first = kLadderNewestSlot - kRecordsPerBlock * (blocksBack - 1);
  for (int i = 0; i < kRecordsPerBlock; ++i) slots.push_back(Slot(first - i));
  return slots;
}

}  // namespace torv::cli_testing
