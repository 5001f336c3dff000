#include "archive/view_engine.h"

#include <gtest/gtest.h>

#include <climits>

#include "archive/sample_archive.h"
#include "recording_screen.h"
#include "temp_archive.h"

namespace torv {
namespace {

using testing::RecordingScreen;
using testing::TempFolder;

const std::string k11Spaces(11, ' ');

// Slot k holds a device event whose time tells the slot: hours k / 100,
// minutes k % 100, so "10:23:00" is slot 1023. Dates are valid and vary.
ArchiveRecord SlotRecord(int slot) {
  return MakeRecord(
      5, 0, static_cast<std::uint8_t>(slot / 100), static_cast<std::uint8_t>(slot % 100), 0,
      static_cast<std::uint8_t>(1 + slot % 28), static_cast<std::uint8_t>(1 + slot % 12));
}

ArchiveBuilder SlotArchive(std::int32_t writeOffset) {
  ArchiveBuilder builder;
  for (int slot = 0; slot < kRecordCount; ++slot) builder.SetSlot(slot, SlotRecord(slot));
  builder.SetWriteOffset(writeOffset);
  return builder;
}

int SlotOfTime(const std::string& time) {
  return std::stoi(time.substr(0, 2)) * 100 + std::stoi(time.substr(3, 2));
}

// Slots shown in the table's data rows, top to bottom.
std::vector<int> ShownSlots(const RecordingScreen& screen) {
  std::vector<int> slots;
  for (std::size_t row = 1; row < screen.table.size(); ++row) {
    slots.push_back(SlotOfTime(screen.table[row][2]));
  }
  return slots;
}

// Sixteen slots going back from `first`, wrapping below 0.
std::vector<int> BlockFrom(int first) {
  std::vector<int> slots;
  for (int i = 0; i < kRecordsPerBlock; ++i) slots.push_back(((first - i) % 1024 + 1024) % 1024);
  return slots;
}

class ViewEngineTest : public ::testing::Test {
 protected:
  void UseArchive(const std::vector<std::uint8_t>& bytes) {
    state.ArchiveFileName = folder.Write("archive.dat", bytes);
  }
  std::string Status() const { return "Архив: файл " + state.ArchiveFileName; }
  ViewResult Request() { return Button1Click(state, screen); }
  void ShowBlock(int blocksBack) {
    state.BlocksBack = blocksBack;
    ASSERT_EQ(Request(), ViewResult::kShown);
  }
  void Step(bool forward) {
    (forward ? state.StepForwardPending : state.StepBackwardPending) = 1;
    ASSERT_EQ(Request(), ViewResult::kShown);
  }
  void SetAllFlags() {
    state.DateSearchPending = state.InputFilterPending = 1;
    state.StepForwardPending = state.StepBackwardPending = 1;
  }
  void ExpectFlagsCleared() const {
    EXPECT_EQ(state.DateSearchPending, 0);
    EXPECT_EQ(state.InputFilterPending, 0);
    EXPECT_EQ(state.StepForwardPending, 0);
    EXPECT_EQ(state.StepBackwardPending, 0);
  }

  TempFolder folder;
  ViewState state;
  RecordingScreen screen;
};

TEST_F(ViewEngineTest, NewestBlockWithWriteOffsetZero) {
  UseArchive(SlotArchive(0).Bytes());
  ShowBlock(1);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(1023));
  EXPECT_EQ(screen.newestRecordText, "10:23:00 16.04");
  EXPECT_EQ(screen.status, Status());
  EXPECT_TRUE(screen.stepButtonsEnabled);
  EXPECT_EQ(screen.table.size(), 17u);
  EXPECT_EQ(screen.table[0], (EventRow{"Событие", "Номер входа", " Время", "Дата"}));
  EXPECT_EQ(screen.table[1], (EventRow{"Включен. блок", k11Spaces, "10:23:00", "16.04"}));
  EXPECT_EQ(state.ShownRowCount, 16);
  EXPECT_EQ(state.ReadOffset, 1007 * 8);
  EXPECT_TRUE(screen.messages.empty());
  ExpectFlagsCleared();
}

TEST_F(ViewEngineTest, ShownRecordsCarryTheirRingOffsets) {
  UseArchive(SlotArchive(16).Bytes());
  state.BlocksBack = 1;
  const ViewOutcome view = RequestView(state, PendingRequest(state));
  ASSERT_EQ(view.rows.size(), 16u);
  EXPECT_EQ(view.rows[0].shown.offset, 8);
  EXPECT_EQ(view.rows[0].shown.record, SlotRecord(1));
  EXPECT_EQ(view.rows[2].shown.offset, 8184);
  EXPECT_EQ(view.rows[2].shown.record, SlotRecord(1023));
  EXPECT_EQ(view.rows[2].cells, DecodeRecord(SlotRecord(1023)));
  // The screen shows exactly these rows.
  ShowBlock(1);
  for (std::size_t row = 0; row < view.rows.size(); ++row) {
    EXPECT_EQ(screen.table[row + 1], view.rows[row].cells);
  }
}

TEST_F(ViewEngineTest, WriteOffset8192ReadsLikeZero) {
  UseArchive(SlotArchive(8192).Bytes());
  ShowBlock(1);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(1023));
}

TEST_F(ViewEngineTest, WriteOffset8184StartsAtSlot1022) {
  UseArchive(SlotArchive(8184).Bytes());
  ShowBlock(1);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(1022));
  ShowBlock(64);  // ends with the oldest record, slot 1023
  EXPECT_EQ(ShownSlots(screen), BlockFrom(15 + 1023));
  EXPECT_EQ(ShownSlots(screen).back(), 1023);
}

TEST_F(ViewEngineTest, BlocksBackZeroActsLikeOne) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(0);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99));
}

TEST_F(ViewEngineTest, OldestBlockEndsWithTheOldestRecord) {
  UseArchive(SlotArchive(800).Bytes());  // slot 100 is written next: the oldest
  ShowBlock(64);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(115));
  EXPECT_EQ(state.ReadOffset, 99 * 8);
  EXPECT_EQ(screen.status, Status());
}

TEST_F(ViewEngineTest, BlocksBackBeyondTheRingWrapsRoundIt) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(65);  // 64 blocks back is the whole ring: the newest block again
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99));
  ShowBlock(INT_MAX);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99 - 16 * ((INT_MAX - 1) % 64)));
}

TEST_F(ViewEngineTest, StepsBackThenForward) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(1);
  Step(false);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99 - 16));
  Step(false);
  Step(false);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99 - 48));
  EXPECT_EQ(state.ReadOffset, (99 - 64) * 8);
  Step(true);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99 - 32));
  EXPECT_EQ(state.ReadOffset, (99 - 48) * 8);
  ExpectFlagsCleared();
}

TEST_F(ViewEngineTest, StepsWrapRoundTheRingBothWays) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(1);
  Step(true);  // forward from the newest block: the oldest block
  EXPECT_EQ(ShownSlots(screen), BlockFrom(115));
  ShowBlock(64);
  Step(false);  // back from the oldest block: the newest block
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99));
}

TEST_F(ViewEngineTest, StepStatusLineShowsTheFirstRecordsTime) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(1);
  Step(false);  // first row: slot 83
  EXPECT_EQ(screen.status, Status() + "  время: 00:83:00 28.12");
}

TEST_F(ViewEngineTest, StepStatusLineWithoutTimeForDayOrMonthZeroOr255) {
  const std::pair<std::uint8_t, std::uint8_t> noDates[] = {{0, 5}, {5, 0}, {255, 5}, {5, 255}};
  for (const auto& [day, month] : noDates) {
    ArchiveBuilder builder = SlotArchive(800);
    builder.SetSlot(83, MakeRecord(5, 0, 1, 2, 3, day, month));
    UseArchive(builder.Bytes());
    ShowBlock(1);
    Step(false);
    EXPECT_EQ(screen.status, Status()) << int(day) << "." << int(month);
  }
  // A damaged record with a valid date still gives its time-date text.
  ArchiveBuilder builder = SlotArchive(800);
  builder.SetSlot(83, ArchiveRecord{{255, 0, 3, 2, 1, 4, 5, 0}});
  UseArchive(builder.Bytes());
  ShowBlock(1);
  Step(false);
  EXPECT_EQ(screen.status, Status() + "  время: 01:02:03 04.05");
}

TEST_F(ViewEngineTest, EmptyBlockReachedByAStepShowsSixteenEmptyRows) {
  ArchiveBuilder builder;
  for (int slot = 0; slot < 20; ++slot) builder.SetSlot(slot, SlotRecord(slot));
  builder.SetWriteOffset(20 * 8);
  UseArchive(builder.Bytes());
  ShowBlock(1);
  Step(false);  // slots 3..0 then 1023..1012
  Step(false);  // slots 1011..996: never written
  EXPECT_EQ(screen.table.size(), 17u);
  for (std::size_t row = 1; row <= 16; ++row) EXPECT_EQ(screen.table[row], EventRow{});
  EXPECT_EQ(state.ShownRowCount, 16);
  EXPECT_EQ(screen.status, Status());
}

TEST_F(ViewEngineTest, StepsDoNotEnableTheStepButtons) {
  UseArchive(SlotArchive(800).Bytes());
  state.StepBackwardPending = 1;
  ASSERT_EQ(Request(), ViewResult::kShown);
  EXPECT_FALSE(screen.stepButtonsEnabled);
}

TEST_F(ViewEngineTest, ViewPriorityStepBeforeInputBeforeDate) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(1);
  state.SearchDateKey = "01.01";
  state.InputNumber = 1;
  SetAllFlags();
  ASSERT_EQ(Request(), ViewResult::kShown);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99 - 32 + 48));  // forward wins: the oldest block
  ExpectFlagsCleared();

  ShowBlock(1);
  state.StepBackwardPending = 1;
  state.InputFilterPending = 1;
  ASSERT_EQ(Request(), ViewResult::kShown);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99 - 16));
  EXPECT_EQ(state.ShownRowCount, 16);
  ExpectFlagsCleared();

  ShowBlock(1);
  state.StepBackwardPending = 1;
  state.DateSearchPending = 1;
  ASSERT_EQ(Request(), ViewResult::kShown);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99 - 16));
  ExpectFlagsCleared();
}

TEST_F(ViewEngineTest, DateSearchRunsOnlyWhenItsFlagIsOne) {
  UseArchive(SlotArchive(800).Bytes());
  state.SearchDateKey = "01.01";
  state.DateSearchPending = 2;
  ASSERT_EQ(Request(), ViewResult::kShown);
  EXPECT_EQ(screen.status, Status());  // the plain view ran
  EXPECT_EQ(state.DateSearchPending, 0);
}

// --- messages ---

TEST_F(ViewEngineTest, NoFileNameClearsEveryFlagAndNothingElse) {
  SetAllFlags();
  state.ReadOffset = 64;
  EXPECT_EQ(Request(), ViewResult::kMessage);
  EXPECT_EQ(screen.messages, std::vector<std::string>{"Не задано имя файла архива"});
  ExpectFlagsCleared();
  EXPECT_EQ(state.ReadOffset, 64);
  EXPECT_EQ(screen.tableFills, 0);
  EXPECT_EQ(screen.status, "Документирование");
}

TEST_F(ViewEngineTest, UnopenableFileClearsEveryFlagAndLeavesTheView) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(1);
  const auto table = screen.table;
  const std::string edit1 = screen.newestRecordText;
  const std::int32_t readOffset = state.ReadOffset;
  state.ArchiveFileName = (folder.path() / "gone.dat").string();
  state.StepBackwardPending = 1;
  EXPECT_EQ(Request(), ViewResult::kMessage);
  EXPECT_EQ(screen.messages, std::vector<std::string>{"Архив не удается открыть"});
  ExpectFlagsCleared();
  EXPECT_EQ(screen.table, table);
  EXPECT_EQ(screen.newestRecordText, edit1);
  EXPECT_EQ(state.ReadOffset, readOffset);
  EXPECT_EQ(state.ShownRowCount, 16);

  // The failed step does not linger: "Последняя запись" on a readable file
  // shows the newest block, not a step back.
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(1);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99));
}

TEST_F(ViewEngineTest, FolderPipeAndDeviceCannotBeOpened) {
  const std::string fifo = (folder.path() / "pipe.dat").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& name : {folder.path().string(), fifo, std::string("/dev/zero")}) {
    screen.messages.clear();
    state.ArchiveFileName = name;
    EXPECT_EQ(Request(), ViewResult::kMessage);
    EXPECT_EQ(screen.messages, std::vector<std::string>{"Архив не удается открыть"}) << name;
  }
}

TEST_F(ViewEngineTest, EmptyArchiveDropsPendingRequests) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(1);
  const auto table = screen.table;
  UseArchive(SlotArchive(255).Bytes());
  SetAllFlags();
  EXPECT_EQ(Request(), ViewResult::kMessage);
  EXPECT_EQ(screen.messages, std::vector<std::string>{"архив пуст"});
  ExpectFlagsCleared();
  EXPECT_EQ(screen.table, table);
  EXPECT_EQ(screen.newestRecordText, "00:99:00 16.04");  // from the earlier view
  EXPECT_EQ(state.ReadOffset, 83 * 8);
}

TEST_F(ViewEngineTest, InvalidWriteOffsetIsADamagedArchive) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(1);
  const auto table = screen.table;
  const std::string status = screen.status;
  for (std::int32_t offset : {4, -8, 8200, 100000, INT_MIN, 8191}) {
    screen.messages.clear();
    UseArchive(SlotArchive(offset).Bytes());
    SetAllFlags();
    EXPECT_EQ(Request(), ViewResult::kMessage) << offset;
    EXPECT_EQ(screen.messages, std::vector<std::string>{"Архив поврежден"}) << offset;
    ExpectFlagsCleared();
    EXPECT_EQ(screen.table, table);
    EXPECT_EQ(screen.status, status);
    EXPECT_EQ(screen.newestRecordText, "00:99:00 16.04");
    EXPECT_EQ(state.ShownRowCount, 16);
    EXPECT_EQ(state.ReadOffset, 83 * 8);
  }
}

TEST_F(ViewEngineTest, ShortFileReadsZeroesWhereItEnds) {
  std::vector<std::uint8_t> bytes = SlotArchive(800).Bytes();
  bytes.resize(8 * 5);  // five records, no write offset: offset 0
  UseArchive(bytes);
  ShowBlock(1);
  EXPECT_EQ(screen.newestRecordText, "00:00:00 00.00");  // slot 1023 was not in the file
  for (std::size_t row = 1; row <= 16; ++row) EXPECT_EQ(screen.table[row], EventRow{});
  ShowBlock(64);  // slots 15..0: the five written ones last
  EXPECT_EQ(screen.table[12][2], "00:04:00");
  EXPECT_EQ(screen.table[16][2], "00:00:00");
  EXPECT_EQ(screen.table[11], EventRow{});
}

TEST_F(ViewEngineTest, EveryRequestReadsTheFileAnew) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(1);
  UseArchive(SlotArchive(1600).Bytes());  // the operator replaced the file
  ShowBlock(1);
  EXPECT_EQ(ShownSlots(screen), BlockFrom(199));
  EXPECT_EQ(screen.newestRecordText, "01:99:00 04.08");
}

// --- date search ---

class DateSearchTest : public ViewEngineTest {
 protected:
  void Search(const std::string& key) {
    state.SearchDateKey = key;
    state.DateSearchPending = 1;
    Request();
  }
};

TEST_F(DateSearchTest, FindsTheNewestRecordOfThatDay) {
  ArchiveBuilder builder = SlotArchive(800);
  builder.SetSlot(40, MakeRecord(1, 4, 9, 5, 30, 24, 7));
  builder.SetSlot(30, MakeRecord(2, 4, 9, 5, 30, 24, 7));
  UseArchive(builder.Bytes());
  Search("24.07");
  EXPECT_EQ(screen.status, Status() + "  24.07");
  EXPECT_EQ(screen.table[1], (EventRow{"Пред. сигн.     ", "5" + k11Spaces, "09:05:30", "24.07"}));
  EXPECT_EQ(SlotOfTime(screen.table[2][2]), 39);
  EXPECT_EQ(state.ReadOffset, (40 - 16) * 8);
  EXPECT_EQ(state.ShownRowCount, 16);
  EXPECT_TRUE(screen.stepButtonsEnabled);
  EXPECT_EQ(screen.newestRecordText, "00:99:00 16.04");
  ExpectFlagsCleared();
}

TEST_F(DateSearchTest, NewestRecordMatchingShowsTheNewestBlock) {
  UseArchive(SlotArchive(800).Bytes());
  Search("16.04");  // slot 99
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99));
  EXPECT_EQ(screen.status, Status() + "  16.04");
}

TEST_F(DateSearchTest, NotFoundKeepsTheViewAndReturnsToTheNewestRecord) {
  UseArchive(SlotArchive(800).Bytes());
  ShowBlock(3);
  screen.stepButtonsEnabled = false;
  const auto table = screen.table;
  Search("30.02");
  EXPECT_EQ(screen.messages, std::vector<std::string>{"Указанная дата не найдена"});
  EXPECT_EQ(screen.table, table);
  EXPECT_EQ(screen.status, Status());
  EXPECT_EQ(state.ReadOffset, 99 * 8);
  EXPECT_EQ(state.ShownRowCount, 16);
  EXPECT_FALSE(screen.stepButtonsEnabled);
  ExpectFlagsCleared();
}

TEST_F(DateSearchTest, KeyWithAnotherSeparatorNeverMatches) {
  UseArchive(SlotArchive(800).Bytes());
  Search("16/04");
  EXPECT_EQ(screen.messages, std::vector<std::string>{"Указанная дата не найдена"});
}

TEST_F(DateSearchTest, OnlyTheFirstFiveCharactersCountButTheStatusShowsAll) {
  UseArchive(SlotArchive(800).Bytes());
  Search("16.04.2026");
  EXPECT_EQ(ShownSlots(screen), BlockFrom(99));
  EXPECT_EQ(screen.status, Status() + "  16.04.2026");
}

TEST_F(DateSearchTest, ShortKeyFindsNothing) {
  UseArchive(SlotArchive(800).Bytes());
  Search("16.0");
  EXPECT_EQ(screen.messages, std::vector<std::string>{"Указанная дата не найдена"});
}

TEST_F(DateSearchTest, RecordsWithoutDayOrMonthNeverMatchAndAreShownAsStored) {
  ArchiveBuilder builder;
  // Newest first: slot 9 has no month, slot 8 no day, slot 7 a full date.
  builder.SetSlot(9, MakeRecord(3, 0, 1, 2, 3, 0, 255));
  builder.SetSlot(8, MakeRecord(3, 0, 1, 2, 3, 255, 0));
  builder.SetSlot(7, MakeRecord(3, 0, 1, 2, 3, 5, 6));
  builder.SetWriteOffset(80);
  UseArchive(builder.Bytes());
  Search("00.00");
  // Slots 9 and 8 were passed over; slot 6, never written, is the first
  // record whose text is 00:00:00 00.00.
  EXPECT_EQ(screen.table[1], EventRow{});
  EXPECT_EQ(state.ReadOffset, (6 - 16 + 1024) * 8);

  Search("05.06");
  EXPECT_EQ(screen.table[1][3], "05.06");
  Search("00.255");
  EXPECT_EQ(screen.messages.back(), "Указанная дата не найдена");
}

TEST_F(DateSearchTest, BlockWrappingPastTheOldestRecordShowsRecordsAsStored) {
  ArchiveBuilder builder = SlotArchive(800);  // oldest is slot 100
  builder.SetSlot(105, MakeRecord(0, 2, 6, 6, 6, 29, 2));
  builder.SetSlot(99, MakeRecord(1, 0, 8, 8, 8, 255, 3));  // the newest record: no day
  builder.SetSlot(98, MakeRecord(1, 0, 255, 255, 255, 255, 255));
  UseArchive(builder.Bytes());
  Search("29.02");
  EXPECT_EQ(screen.table[1], (EventRow{"Норма           ", "3" + k11Spaces, "06:06:06", "29.02"}));
  EXPECT_EQ(screen.table[6][2], "01:00:00");  // slot 100, the oldest
  EXPECT_EQ(screen.table[7], (EventRow{"Пред. сигн.     ", "1" + k11Spaces, "08:08:08", "255.03"}));
  EXPECT_EQ(screen.table[8], (EventRow{"Пред. сигн.     ", "1" + k11Spaces, " ", ""}));
  EXPECT_EQ(screen.newestRecordText, "08:08:08 255.03");
}

TEST_F(DateSearchTest, EmptyAndDamagedRecordsAnswerByTheirBytes) {
  ArchiveBuilder builder = SlotArchive(800);
  builder.SetSlot(50, ArchiveRecord{{255, 0, 0, 0, 0, 13, 13, 0}});
  UseArchive(builder.Bytes());
  Search("13.13");
  EXPECT_EQ(screen.table[1], (EventRow{"**НЕКОРР ЗАП.**", "", "", ""}));
  EXPECT_EQ(state.ReadOffset, (50 - 16) * 8);
}

TEST_F(DateSearchTest, ThreeDigitValuesNeverMatchTwoDigitKeys) {
  ArchiveBuilder builder;
  builder.SetSlot(2, MakeRecord(3, 0, 1, 1, 1, 100, 9));   // 100.09
  builder.SetSlot(1, MakeRecord(3, 0, 1, 1, 1, 8, 100));   // 08.100
  builder.SetSlot(0, MakeRecord(3, 0, 100, 1, 1, 8, 10));  // hours shift the date
  builder.SetWriteOffset(24);
  UseArchive(builder.Bytes());
  for (const char* key : {"00.09", "08.10", "8.100"}) {
    screen.messages.clear();
    Search(key);
    EXPECT_EQ(screen.messages, std::vector<std::string>{"Указанная дата не найдена"}) << key;
  }
}

// --- input view ---

class InputViewTest : public ViewEngineTest {
 protected:
  ViewResult ShowInput(int number) {
    state.InputNumber = number;
    state.InputFilterPending = 1;
    return Request();
  }
};

TEST_F(InputViewTest, ListsTheInputsEventsNewestFirst) {
  ArchiveBuilder builder;
  builder.SetSlot(1, MakeRecord(0, 2, 1, 0, 0, 1, 1));
  builder.SetSlot(2, MakeRecord(51, 2, 2, 0, 0, 1, 1));  // relay 3: not input 3
  builder.SetSlot(3, MakeRecord(2, 2, 3, 0, 0, 1, 1));
  builder.SetSlot(4, MakeRecord(1, 3, 4, 0, 0, 1, 1));  // input 4
  builder.SetSlot(5, MakeRecord(8, 2, 5, 0, 0, 1, 1));  // device event
  builder.SetSlot(6, MakeRecord(1, 2, 6, 0, 0, 1, 1));
  builder.SetSlot(1000, MakeRecord(1, 2, 7, 0, 0, 1, 1));  // beyond the newest: oldest part
  builder.SetWriteOffset(8 * 10);
  UseArchive(builder.Bytes());
  ASSERT_EQ(ShowInput(3), ViewResult::kShown);
  EXPECT_EQ(screen.status, Status() + " вход № 3");
  ASSERT_EQ(screen.table.size(), 5u);
  EXPECT_EQ(screen.table[1], (EventRow{"Пред. сигн.     ", "3" + k11Spaces, "06:00:00", "01.01"}));
  EXPECT_EQ(screen.table[2], (EventRow{"Авар. сигн. ", "3" + k11Spaces, "03:00:00", "01.01"}));
  EXPECT_EQ(screen.table[3], (EventRow{"Норма           ", "3" + k11Spaces, "01:00:00", "01.01"}));
  EXPECT_EQ(screen.table[4][2], "07:00:00");
  EXPECT_EQ(state.ShownRowCount, 4);
  EXPECT_EQ(state.ReadOffset, 9 * 8);
  EXPECT_FALSE(screen.stepButtonsEnabled);
  ExpectFlagsCleared();
}

TEST_F(InputViewTest, InputOneSkipsEmptyRecords) {
  ArchiveBuilder builder;  // everything zero: code 0, input 1, but empty
  builder.SetSlot(5, MakeRecord(0, 0, 0, 0, 0, 0, 0, /*spare=*/1));
  builder.SetSlot(6, MakeRecord(0, 0, 0, 0, 0, 0, 3));
  builder.SetWriteOffset(8);
  UseArchive(builder.Bytes());
  ASSERT_EQ(ShowInput(1), ViewResult::kShown);
  EXPECT_EQ(state.ShownRowCount, 1);
  EXPECT_EQ(screen.table.size(), 2u);
  EXPECT_EQ(screen.table[1], (EventRow{"Норма           ", "1" + k11Spaces, "00:00:00", "00.03"}));
}

TEST_F(InputViewTest, EveryRecordMatching) {
  ArchiveBuilder builder;
  builder.FillAll(MakeRecord(2, 31, 1, 2, 3, 4, 5)).SetWriteOffset(0);
  UseArchive(builder.Bytes());
  ASSERT_EQ(ShowInput(32), ViewResult::kShown);
  EXPECT_EQ(state.ShownRowCount, 1024);
  EXPECT_EQ(screen.table.size(), 1025u);
  EXPECT_EQ(screen.table[1024], (EventRow{"Авар. сигн. ", "32" + k11Spaces, "01:02:03", "04.05"}));
  // A block view afterwards brings the table back to 17 rows.
  ShowBlock(1);
  EXPECT_EQ(screen.table.size(), 17u);
  EXPECT_EQ(state.ShownRowCount, 16);
}

TEST_F(InputViewTest, NoEventsKeepsTheView) {
  UseArchive(SlotArchive(800).Bytes());  // device events only
  ShowBlock(2);
  const auto table = screen.table;
  const std::string status = screen.status;
  EXPECT_EQ(ShowInput(3), ViewResult::kMessage);
  EXPECT_EQ(screen.messages, std::vector<std::string>{"нет событий"});
  EXPECT_EQ(screen.table, table);
  EXPECT_EQ(screen.status, status);
  EXPECT_EQ(state.ShownRowCount, 16);
  EXPECT_EQ(state.ReadOffset, 99 * 8);
  ExpectFlagsCleared();
}

TEST_F(InputViewTest, OutOfRangeInputNumberFindsNothing) {
  ArchiveBuilder builder;
  builder.FillAll(MakeRecord(0, 255, 1, 2, 3, 4, 5)).SetWriteOffset(0);
  UseArchive(builder.Bytes());
  EXPECT_EQ(ShowInput(0), ViewResult::kMessage);
  EXPECT_EQ(ShowInput(256), ViewResult::kShown);  // byte 1 = 255 is input 256
  EXPECT_EQ(screen.table[1][1], "256" + k11Spaces);
}

TEST_F(InputViewTest, ExtremeInputNumbersFindNothing) {
  ArchiveBuilder builder;
  builder.FillAll(MakeRecord(0, 255, 1, 2, 3, 4, 5)).SetWriteOffset(0);
  UseArchive(builder.Bytes());
  for (int number : {INT_MIN, INT_MIN + 1, -1, 257, INT_MAX}) {
    screen.messages.clear();
    EXPECT_EQ(ShowInput(number), ViewResult::kMessage) << number;
    EXPECT_EQ(screen.messages, std::vector<std::string>{"нет событий"}) << number;
  }
}

TEST_F(InputViewTest, PartlyWrittenGeneratedArchive) {
  const std::vector<std::uint8_t> bytes = GenerateArchive({.seed = 11, .fill = 300});
  UseArchive(bytes);
  const ArchiveImage image = ImageFromBytes(bytes);
  // Count input 1's events independently of the engine.
  int expected = 0;
  for (int slot = 0; slot < kRecordCount; ++slot) {
    const auto* b = &image.ring[slot * 8];
    const bool empty =
        b[0] == 0 && b[1] == 0 && b[2] == 0 && b[3] == 0 && b[4] == 0 && b[5] == 0 && b[6] == 0;
    if (!empty && b[0] <= 2 && b[1] == 0) ++expected;
  }
  ASSERT_GT(expected, 0);
  ASSERT_EQ(ShowInput(1), ViewResult::kShown);
  EXPECT_EQ(state.ShownRowCount, expected);
  for (int row = 1; row <= expected; ++row) EXPECT_EQ(screen.table[row][1], "1" + k11Spaces);
}

}  // namespace
}  // namespace torv
