// torvdoc-cli info, run as a process on archives whose every slot is known here.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "archive/sample_archive.h"
#include "cli_test_support.h"

namespace torv {
namespace {

using cli_testing::ProcessResult;
using cli_testing::ScratchFolder;
using cli_testing::SplitLines;
using Json = nlohmann::json;

// Twenty written slots of every kind, a damaged last slot, and empty slots
// elsewhere. WriteOffset 160: the newest record is slot 19, the oldest slot 20.
//   events   17: slots 0-14, 19, 20
//   damaged   3: slots 15, 16, 1023
//   empty  1004: slots 17 (spare byte only), 18 (all zero), 21-1022
std::vector<std::uint8_t> KnownArchive(std::int32_t writeOffset = 160) {
  ArchiveBuilder builder;
  builder
      .SetSlot(0, MakeRecord(0, 0, 8, 0, 0, 1, 3))      // input 1 normal
      .SetSlot(1, MakeRecord(0, 0, 8, 5, 0, 1, 3))      // input 1 normal
      .SetSlot(2, MakeRecord(1, 0, 8, 6, 0, 1, 3))      // input 1 warning
      .SetSlot(3, MakeRecord(2, 3, 9, 0, 0, 1, 3))      // input 4 alarm
      .SetSlot(4, MakeRecord(2, 31, 9, 1, 0, 1, 3))     // input 32 alarm
      .SetSlot(5, MakeRecord(1, 255, 9, 2, 0, 1, 3))    // input 256 warning
      .SetSlot(6, MakeRecord(50, 1, 10, 0, 0, 2, 3))    // relay 2 off
      .SetSlot(7, MakeRecord(50, 1, 10, 1, 0, 2, 3))    // relay 2 off
      .SetSlot(8, MakeRecord(51, 1, 10, 2, 0, 2, 3))    // relay 2 on
      .SetSlot(9, MakeRecord(51, 7, 10, 3, 0, 2, 3))    // relay 8 on
      .SetSlot(10, MakeRecord(3, 0, 11, 0, 0, 3, 3))    // device on
      .SetSlot(11, MakeRecord(3, 5, 11, 1, 0, 3, 3))    // device on, byte 1 unused
      .SetSlot(12, MakeRecord(16, 0, 11, 2, 0, 3, 3))   // programming
      .SetSlot(13, MakeRecord(17, 2, 12, 0, 0, 4, 3))   // no text
      .SetSlot(14, MakeRecord(200, 0, 12, 1, 0, 4, 3))  // no text
      .SetSlot(15, ArchiveRecord{{255, 0, 0, 0, 0, 0, 0, 0}})
      .SetSlot(16, ArchiveRecord{{255, 1, 2, 3, 4, 5, 6, 7}})
      .SetSlot(17, ArchiveRecord{{0, 0, 0, 0, 0, 0, 0, 9}})
      .SetSlot(18, MakeRecord(0, 0, 0, 0, 0, 0, 0))            // input 1 normal at zero: empty
      .SetSlot(19, MakeRecord(10, 0, 23, 59, 58, 31, 12))      // failure of МР1, the newest
      .SetSlot(20, MakeRecord(2, 0, 255, 255, 255, 255, 255))  // input 1 alarm, no time
      .SetSlot(1023, ArchiveRecord{{255, 0, 0, 0, 0, 0, 0, 0}});
  return builder.SetWriteOffset(writeOffset).Bytes();
}

// The lines after the first three (file, size, WriteOffset) and the two
// record lines.
constexpr char kKnownCounts[] =
    "Slots: 1024: 17 events, 1004 empty, 3 damaged\n"
    "Events per code:\n"
    "    0  Норма: 2\n"
    "    1  Пред. сигн.: 2\n"
    "    2  Авар. сигн.: 3\n"
    "    3  Включение  ИМ: 2\n"
    "   10  Отказ   МР1: 1\n"
    "   16  Программир.: 1\n"
    "   17  (no text): 1\n"
    "   50  Отключение реле: 2\n"
    "   51  Включение реле: 2\n"
    "  200  (no text): 1\n"
    "Input events (normal, warning, alarm):\n"
    "  input   1: 2, 1, 1\n"
    "  input   4: 0, 0, 1\n"
    "  input  32: 0, 0, 1\n"
    "  input 256: 0, 1, 0\n"
    "Relay events (off, on):\n"
    "  relay   2: 2, 1\n"
    "  relay   8: 0, 1\n";

class CliInfoTest : public cli_testing::CliRunTest {
 protected:
};

TEST_F(CliInfoTest, TextOfAKnownArchive) {
  const std::string path = Write("known.dat", KnownArchive());
  EXPECT_EQ(Output({"info", path}),
            "File: " + path + "\n" +
                "Size: 8196 bytes, as long as an archive file\n"
                "WriteOffset: 160: the newest record is at offset 152, the oldest at offset 160\n"
                "Newest record: 23:59:58 31.12\n"
                "Oldest record: (no time and date)\n" +
                kKnownCounts);
}

TEST_F(CliInfoTest, OnAPartlyWrittenRingTheOldestIsTheOldestWrittenRecord) {
  // Five records in slots 0 to 4, the device writes slot 5 next: slots 5 to
  // 1023 were never written. The newest has a day and month of 255.
  ArchiveBuilder builder;
  builder.SetSlot(0, MakeRecord(0, 0, 8, 0, 1, 20, 3))
      .SetSlot(1, MakeRecord(1, 0, 8, 0, 2, 20, 3))
      .SetSlot(2, MakeRecord(2, 0, 8, 0, 3, 20, 3))
      .SetSlot(3, MakeRecord(0, 0, 8, 0, 4, 20, 3))
      .SetSlot(4, MakeRecord(3, 0, 9, 15, 0, 255, 255))
      .SetWriteOffset(40);
  const std::string path = Write("young.dat", builder.Bytes());
  const std::vector<std::string> lines = SplitLines(Output({"info", path}));
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[2], "WriteOffset: 40: the newest record is at offset 32, the oldest at offset 0");
  EXPECT_EQ(lines[3], "Newest record: 09:15:00");
  EXPECT_EQ(lines[4], "Oldest record: 08:00:01 20.03");
  EXPECT_EQ(lines[5], "Empty slots before the oldest: 1019, from offset 40 on");
  EXPECT_EQ(lines[6], "Slots: 1024: 5 events, 1019 empty, 0 damaged");

  const Json json = Json::parse(Output({"info", path, "--format", "json"}));
  EXPECT_EQ(json["oldestOffset"], 0);
  EXPECT_EQ(json["oldestRecord"], "08:00:01 20.03");
  EXPECT_EQ(json["emptyBeforeOldest"], 1019);
  EXPECT_EQ(json["newestRecord"], "09:15:00");
  // The view's JSON names the newest record the same way, and its date cell
  // is as empty as the CSV's.
  const Json view = Json::parse(Output({"view", path, "--format", "json"}));
  EXPECT_EQ(view["newestRecord"], "09:15:00");
  EXPECT_EQ(view["records"][0]["day"], nullptr);
  EXPECT_EQ(view["records"][0]["cells"][3], "");
  EXPECT_EQ(SplitLines(Output({"view", path, "--format", "csv"})).at(1),
            "Включение  ИМ,,09:15:00,,32,3,device\r");
}

TEST_F(CliInfoTest, JsonOfAKnownArchive) {
  const std::string path = Write("known.dat", KnownArchive());
  const Json json = Json::parse(Output({"info", path, "--format", "json"}));
  EXPECT_EQ(json["file"], path);
  EXPECT_EQ(json["fileSize"], 8196);
  EXPECT_EQ(json["size"], "exact");
  EXPECT_EQ(json["writeOffset"], 160);
  EXPECT_EQ(json["writeOffsetMeaning"], "newestAndOldest");
  EXPECT_EQ(json["newestOffset"], 152);
  EXPECT_EQ(json["oldestOffset"], 160);
  EXPECT_EQ(json["newestRecord"], "23:59:58 31.12");
  EXPECT_EQ(json["oldestRecord"], "");
  EXPECT_EQ(json["slots"], 1024);
  EXPECT_EQ(json["events"], 17);
  EXPECT_EQ(json["empty"], 1004);
  EXPECT_EQ(json["damaged"], 3);
  // Event texts exactly as the table shows them, spaces included.
  EXPECT_EQ(json["perCode"], Json::parse(R"([
      {"code": 0, "text": "Норма           ", "count": 2},
      {"code": 1, "text": "Пред. сигн.     ", "count": 2},
      {"code": 2, "text": "Авар. сигн. ", "count": 3},
      {"code": 3, "text": "Включение  ИМ", "count": 2},
      {"code": 10, "text": "Отказ   МР1  ", "count": 1},
      {"code": 16, "text": "Программир. ", "count": 1},
      {"code": 17, "text": "", "count": 1},
      {"code": 50, "text": "Отключение реле", "count": 2},
      {"code": 51, "text": "Включение реле", "count": 2},
      {"code": 200, "text": "", "count": 1}])"));
  EXPECT_EQ(json["inputs"], Json::parse(R"([
      {"input": 1, "normal": 2, "warning": 1, "alarm": 1},
      {"input": 4, "normal": 0, "warning": 0, "alarm": 1},
      {"input": 32, "normal": 0, "warning": 0, "alarm": 1},
      {"input": 256, "normal": 0, "warning": 1, "alarm": 0}])"));
  EXPECT_EQ(json["relays"], Json::parse(R"([
      {"relay": 2, "off": 2, "on": 1},
      {"relay": 8, "off": 0, "on": 1}])"));
}

TEST_F(CliInfoTest, RelativeFileIsNamedWithItsFullPath) {
  Write("known.dat", KnownArchive());
  const std::vector<std::string> lines = SplitLines(Output({"info", "known.dat"}));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "File: " + (folder_.path() / "known.dat").string());
}

TEST_F(CliInfoTest, ShortFileReadsItsMissingBytesAsZero) {
  std::vector<std::uint8_t> bytes = KnownArchive();
  bytes.resize(100);  // slots 0 to 11 whole, four bytes of slot 12, no WriteOffset
  const std::string path = Write("short.dat", bytes);
  EXPECT_EQ(Output({"info", path}),
            "File: " + path + "\n" +
                "Size: 100 bytes, short: the missing 8096 bytes read as zero\n"
                "WriteOffset: 0: the newest record is at offset 8184, the oldest at offset 0\n"
                "Newest record: (an empty slot)\n"
                "Oldest record: 08:00:00 01.03\n"
                "Slots: 1024: 13 events, 1011 empty, 0 damaged\n"
                "Events per code:\n"
                "    0  Норма: 2\n"
                "    1  Пред. сигн.: 2\n"
                "    2  Авар. сигн.: 2\n"
                "    3  Включение  ИМ: 2\n"
                "   16  Программир.: 1\n"
                "   50  Отключение реле: 2\n"
                "   51  Включение реле: 2\n"
                "Input events (normal, warning, alarm):\n"
                "  input   1: 2, 1, 0\n"
                "  input   4: 0, 0, 1\n"
                "  input  32: 0, 0, 1\n"
                "  input 256: 0, 1, 0\n"
                "Relay events (off, on):\n"
                "  relay   2: 2, 1\n"
                "  relay   8: 0, 1\n");
  const Json json = Json::parse(Output({"info", path, "--format", "json"}));
  EXPECT_EQ(json["fileSize"], 100);
  EXPECT_EQ(json["size"], "short");
}

TEST_F(CliInfoTest, EmptyFileIsShortAndAllEmpty) {
  const std::string path = Write("nothing.dat", {});
  const std::vector<std::string> lines = SplitLines(Output({"info", path}));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[1], "Size: 0 bytes, short: the missing 8196 bytes read as zero");
  EXPECT_EQ(lines[5], "Slots: 1024: 0 events, 1024 empty, 0 damaged");
  EXPECT_EQ(lines[6], "Events per code: none");
  EXPECT_EQ(lines[7], "Input events: none");
  EXPECT_EQ(lines[8], "Relay events: none");
}

TEST_F(CliInfoTest, LongFileIgnoresItsTail) {
  std::vector<std::uint8_t> bytes = KnownArchive();
  bytes.resize(9000, 0xFF);
  const std::string path = Write("long.dat", bytes);
  EXPECT_EQ(Output({"info", path}),
            "File: " + path + "\n" +
                "Size: 9000 bytes, long: the 804 bytes after the archive are ignored\n"
                "WriteOffset: 160: the newest record is at offset 152, the oldest at offset 160\n"
                "Newest record: 23:59:58 31.12\n"
                "Oldest record: (no time and date)\n" +
                kKnownCounts);
  EXPECT_EQ(Json::parse(Output({"info", path, "--format", "json"}))["size"], "long");
}

TEST_F(CliInfoTest, EmptyArchiveAndDamagedPointerLocateNoRecord) {
  const std::string empty = Write("empty.dat", KnownArchive(255));
  EXPECT_EQ(Output({"info", empty}), "File: " + empty + "\n" +
                                         "Size: 8196 bytes, as long as an archive file\n"
                                         "WriteOffset: 255: the archive is empty\n" +
                                         kKnownCounts);
  const std::string damaged = Write("damaged.dat", KnownArchive(12));
  EXPECT_EQ(SplitLines(Output({"info", damaged})).at(2),
            "WriteOffset: 12: damaged: not a slot of the ring, no record can be located");
  const std::string negative = Write("negative.dat", KnownArchive(-8));
  EXPECT_EQ(SplitLines(Output({"info", negative})).at(2),
            "WriteOffset: -8: damaged: not a slot of the ring, no record can be located");

  for (const auto& [path, meaning] : {std::pair{empty, "emptyArchive"}, {damaged, "damaged"}}) {
    SCOPED_TRACE(meaning);
    const Json json = Json::parse(Output({"info", path, "--format", "json"}));
    EXPECT_EQ(json["writeOffsetMeaning"], meaning);
    EXPECT_EQ(json["newestOffset"], nullptr);
    EXPECT_EQ(json["oldestOffset"], nullptr);
    EXPECT_EQ(json["newestRecord"], nullptr);
    EXPECT_EQ(json["oldestRecord"], nullptr);
    EXPECT_EQ(json["events"], 17);
  }
}

TEST_F(CliInfoTest, WriteOffset8192ReadsLikeZero) {
  const std::string path = Write("end.dat", KnownArchive(8192));
  const std::vector<std::string> lines = SplitLines(Output({"info", path}));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[2],
            "WriteOffset: 8192: the newest record is at offset 8184, the oldest at offset 0");
  EXPECT_EQ(lines[3], "Newest record: (a damaged record)");  // slot 1023
  EXPECT_EQ(lines[4], "Oldest record: 08:00:00 01.03");
}

// The counts of a generated archive, counted here from its bytes.
TEST_F(CliInfoTest, CountsOfAGeneratedArchiveMatchItsBytes) {
  const std::vector<std::uint8_t> bytes = GenerateArchive(SampleOptions{.seed = 4, .fill = 1700});
  const std::string path = Write("generated.dat", bytes);
  int empty = 0;
  int damaged = 0;
  std::map<int, int> perCode;
  std::map<int, std::array<int, 3>> inputs;
  std::map<int, std::array<int, 2>> relays;
  for (int slot = 0; slot < 1024; ++slot) {
    const std::uint8_t* record = &bytes[slot * 8];
    if (record[0] == 255) {
      ++damaged;
    } else if (std::all_of(record, record + 7, [](std::uint8_t b) { return b == 0; })) {
      ++empty;
    } else {
      ++perCode[record[0]];
      if (record[0] <= 2) ++inputs[record[1] + 1][record[0]];
      if (record[0] == 50 || record[0] == 51) ++relays[record[1] + 1][record[0] - 50];
    }
  }
  const Json json = Json::parse(Output({"info", path, "--format", "json"}));
  EXPECT_EQ(json["empty"], empty);
  EXPECT_EQ(json["damaged"], damaged);
  EXPECT_EQ(json["events"], 1024 - empty - damaged);
  ASSERT_EQ(json["perCode"].size(), perCode.size());
  for (const Json& entry : json["perCode"]) {
    EXPECT_EQ(entry["count"], perCode.at(entry["code"].get<int>())) << entry;
  }
  ASSERT_EQ(json["inputs"].size(), inputs.size());
  for (const Json& entry : json["inputs"]) {
    const std::array<int, 3>& counts = inputs.at(entry["input"].get<int>());
    EXPECT_EQ(entry["normal"], counts[0]);
    EXPECT_EQ(entry["warning"], counts[1]);
    EXPECT_EQ(entry["alarm"], counts[2]);
  }
  ASSERT_EQ(json["relays"].size(), relays.size());
  for (const Json& entry : json["relays"]) {
    const std::array<int, 2>& counts = relays.at(entry["relay"].get<int>());
    EXPECT_EQ(entry["off"], counts[0]);
    EXPECT_EQ(entry["on"], counts[1]);
  }
  // 1700 records: the ring wrapped, the next slot is 676.
  EXPECT_EQ(json["writeOffset"], 676 * 8);
  EXPECT_EQ(json["newestOffset"], 675 * 8);
  EXPECT_EQ(json["oldestOffset"], 676 * 8);
}

TEST_F(CliInfoTest, UnreadableArchiveCannotBeOpened) {
  std::filesystem::create_directory(folder_.path() / "folder.dat");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"missing.dat", "нет такого файла"}, {"folder.dat", "это папка"}};
  for (const auto& [name, reason] : cases) {
    SCOPED_TRACE(name);
    for (const char* format : {"text", "json"}) {
      const ProcessResult result = Run({"info", name, "--format", format});
      EXPECT_EQ(result.exitCode, 1);
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err,
                "torvdoc-cli: " + name + ": Архив не удается открыть (" + reason + ")\n");
    }
  }
}

}  // namespace
}  // namespace torv
