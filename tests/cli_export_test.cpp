// torvdoc-cli's CSV, JSON and RTF outputs and its output files, run as a
// process on archives built here and checked field by field.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "archive/sample_archive.h"
#include "cli_csv_reader.h"
#include "cli_ladder_archive.h"
#include "cli_test_support.h"
#include "report/rtf_writer.h"
#include "report/view_export.h"
#include "save_rules.h"

namespace torv {
namespace {

using cli_testing::CsvRecord;
using cli_testing::kLadderNewestSlot;
using cli_testing::LadderArchive;
using cli_testing::LadderBlockSlots;
using cli_testing::LadderCells;
using cli_testing::LadderIsRelay;
using cli_testing::LadderRecord;
using cli_testing::LadderTimeDate;
using cli_testing::ProcessResult;
using cli_testing::ReadCsv;
using cli_testing::ReadWholeFile;
using cli_testing::ScratchFolder;
using cli_testing::Slot;
using cli_testing::SplitLines;
using Json = nlohmann::json;
using testing::Entries;
using testing::LongestCyrillicName;
using testing::ModeOf;
using testing::PutFile;

const CsvRecord kCsvHeader = {"Событие", "Номер входа", "Время", "Дата", "Смещение"};

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The CSV record of ladder slot k: its cells without the padding spaces, and
// its ring offset.
CsvRecord LadderCsvRecord(int k) {
  CsvRecord record;
  for (const std::string& cell : LadderCells(k)) record.push_back(Trimmed(cell));
  record.push_back(std::to_string(k * kRecordSize));
  return record;
}

std::vector<std::string> SplitCells(const std::string& reportLine) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  for (std::size_t tab = reportLine.find("\t\t"); tab != std::string::npos;
       tab = reportLine.find("\t\t", start)) {
    cells.push_back(reportLine.substr(start, tab - start));
    start = tab + 2;
  }
  cells.push_back(reportLine.substr(start));
  return cells;
}

Json NumberOrNull(bool unset, int value) {
  return unset ? Json(nullptr) : Json(value);
}

class CliExportTest : public cli_testing::CliRunTest {
 protected:
  std::vector<CsvRecord> Csv(const std::vector<std::string>& args) {
    const auto records = ReadCsv(Output(args));
    EXPECT_TRUE(records.has_value()) << "not RFC 4180";
    return records.value_or(std::vector<CsvRecord>{});
  }
  Json JsonOutput(const std::vector<std::string>& args) { return Json::parse(Output(args)); }
};

// --- CSV ---

TEST(CsvQuotingTest, CellWithAQuoteAndACommaIsQuotedAndReadsBack) {
  ViewExport view;
  const ArchiveRecord record = MakeRecord(3, 0, 1, 2, 3, 4, 5);
  view.rows = {{{8, record}, EventRow{"  say \"hi\", then  ", "a,b", "no quote", "\"x\""}}};
  const std::string csv = ExportCsv(view, false);
  EXPECT_EQ(csv,
            "Событие,Номер входа,Время,Дата,Смещение\r\n"
            "\"say \"\"hi\"\", then\",\"a,b\",no quote,\"\"\"x\"\"\",8\r\n");
  const auto records = ReadCsv(csv);
  ASSERT_TRUE(records.has_value());
  ASSERT_EQ(records->size(), 2u);
  EXPECT_EQ(records->at(1), (CsvRecord{"say \"hi\", then", "a,b", "no quote", "\"x\"", "8"}));
}

TEST(CsvQuotingTest, ReaderRefusesWhatIsNotRfc4180) {
  EXPECT_FALSE(ReadCsv("a,b\n").has_value());         // LF alone
  EXPECT_FALSE(ReadCsv("a,b").has_value());           // no line end
  EXPECT_FALSE(ReadCsv("a\"b,c\r\n").has_value());    // bare quote
  EXPECT_FALSE(ReadCsv("\"a\"b,c\r\n").has_value());  // text after the closing quote
  EXPECT_FALSE(ReadCsv("\"a,b\r\n").has_value());     // unterminated quote
  EXPECT_EQ(ReadCsv("a,,\"\"\r\n"), (std::vector<CsvRecord>{{"a", "", ""}}));
}

TEST_F(CliExportTest, ViewCsvHasOneRecordPerShownRowInDisplayOrder) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const std::vector<CsvRecord> records = Csv({"view", path, "--block", "2", "--format", "csv"});
  ASSERT_EQ(records.size(), 1u + kRecordsPerBlock);
  EXPECT_EQ(records[0], kCsvHeader);
  const std::vector<int> slots = LadderBlockSlots(2);
  for (int row = 0; row < kRecordsPerBlock; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(records[row + 1], LadderCsvRecord(slots[row]));
  }
  // Slot 83: relay 4 switched on at 01:23:07 on 03.04.
  EXPECT_EQ(records[1], (CsvRecord{"Включение реле", "реле 4", "01:23:07", "03.04", "664"}));
  // Slot 82: a warning of input 3.
  EXPECT_EQ(records[2], (CsvRecord{"Пред. сигн.", "3", "01:22:07", "03.04", "656"}));
}

TEST_F(CliExportTest, StepsAndInputViewsExportTheLastView) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const std::vector<CsvRecord> stepped = Csv({"view", path, "--steps", "bbbf", "--format", "csv"});
  ASSERT_EQ(stepped.size(), 17u);
  EXPECT_EQ(stepped[1], LadderCsvRecord(LadderBlockSlots(3)[0]));
  EXPECT_EQ(stepped[16], LadderCsvRecord(LadderBlockSlots(3)[15]));

  const std::vector<CsvRecord> input = Csv({"view", path, "--input", "3", "--format", "csv"});
  std::vector<int> slots;  // input 3, newest first
  for (int i = 0; i < kRecordCount; ++i) {
    const int k = Slot(kLadderNewestSlot - i);
    if (k % 5 == 2 && !LadderIsRelay(k)) slots.push_back(k);
  }
  ASSERT_EQ(input.size(), 1 + slots.size());
  for (std::size_t i = 0; i < slots.size(); ++i) EXPECT_EQ(input[i + 1], LadderCsvRecord(slots[i]));
}

TEST_F(CliExportTest, ReportCsvHoldsEveryRecordNewestFirst) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const std::vector<CsvRecord> records = Csv({"report", path, "--format", "csv"});
  ASSERT_EQ(records.size(), 1u + kRecordCount);
  EXPECT_EQ(records[0], kCsvHeader);
  for (int i = 0; i < kRecordCount; ++i) {
    ASSERT_EQ(records[i + 1], LadderCsvRecord(Slot(kLadderNewestSlot - i))) << "row " << i;
  }
}

TEST_F(CliExportTest, CsvOfSpecialRecordsShowsTheirCellsTrimmed) {
  ArchiveBuilder builder;
  builder.SetSlot(9, ArchiveRecord{{255, 1, 2, 3, 4, 5, 6, 7}});  // damaged
  builder.SetSlot(8, MakeRecord(0, 0, 255, 255, 255, 5, 6));      // time unset
  builder.SetSlot(7, MakeRecord(17, 4, 10, 11, 12, 255, 255));    // no text, date unset
  builder.SetSlot(6, MakeRecord(50, 1, 1, 2, 3, 4, 5));           // relay 2 off
  builder.SetSlot(5, ArchiveRecord{{0, 0, 0, 0, 0, 0, 0, 9}});    // empty
  const std::string path = Write("special.dat", builder.SetWriteOffset(80).Bytes());
  const std::vector<CsvRecord> records = Csv({"view", path, "--format", "csv"});
  ASSERT_EQ(records.size(), 17u);
  EXPECT_EQ(records[1], (CsvRecord{"**НЕКОРР ЗАП.**", "", "", "", "72"}));
  EXPECT_EQ(records[2], (CsvRecord{"Норма", "1", "", "05.06", "64"}));
  EXPECT_EQ(records[3], (CsvRecord{"", "", "10:11:12", "", "56"}));
  EXPECT_EQ(records[4], (CsvRecord{"Отключение реле", "реле 2", "01:02:03", "04.05", "48"}));
  EXPECT_EQ(records[5], (CsvRecord{"", "", "", "", "40"}));
  EXPECT_EQ(records[16], (CsvRecord{"", "", "", "", "8144"}));  // walked back past slot 0
}

TEST_F(CliExportTest, ByteOrderMarkOnlyWhenAskedFor) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const std::string plain = Output({"view", path, "--format", "csv"});
  const std::string marked = Output({"view", path, "--format", "csv", "--bom"});
  EXPECT_EQ(plain.substr(0, std::string("Событие").size()), "Событие");
  EXPECT_EQ(marked.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(marked.substr(3), plain);
}

// --- JSON ---

// Checks one exported record against the bytes it came from; `cells` are the
// texts the table showed for it.
void ExpectRecord(const Json& record, int offset, const ArchiveRecord& bytes,
                  const std::vector<std::string>& cells) {
  SCOPED_TRACE("offset " + std::to_string(offset));
  EXPECT_EQ(record["offset"], offset);
  EXPECT_EQ(record["raw"], std::vector<int>(bytes.bytes.begin(), bytes.bytes.end()));
  const bool damaged = bytes.Code() == 255;
  bool empty = !damaged;
  for (int i = 0; i < 7; ++i) empty = empty && bytes.bytes[i] == 0;
  const int code = bytes.Code();
  const bool numbered = !damaged && !empty && (code <= 2 || code == 50 || code == 51);
  const bool noTime =
      damaged || empty || (bytes.bytes[2] == 255 && bytes.bytes[3] == 255 && bytes.bytes[4] == 255);
  const bool noDate = damaged || empty || (bytes.bytes[5] == 255 && bytes.bytes[6] == 255);
  EXPECT_EQ(record["kind"], damaged ? "damaged" : empty ? "empty" : "event");
  EXPECT_EQ(record["code"], NumberOrNull(empty, code));
  EXPECT_EQ(record["number"], NumberOrNull(!numbered, bytes.bytes[1] + 1));
  EXPECT_EQ(record["seconds"], NumberOrNull(noTime, bytes.bytes[2]));
  EXPECT_EQ(record["minutes"], NumberOrNull(noTime, bytes.bytes[3]));
  EXPECT_EQ(record["hours"], NumberOrNull(noTime, bytes.bytes[4]));
  EXPECT_EQ(record["day"], NumberOrNull(noDate, bytes.bytes[5]));
  EXPECT_EQ(record["month"], NumberOrNull(noDate, bytes.bytes[6]));
  EXPECT_EQ(record["cells"], cells);
}

TEST_F(CliExportTest, ViewJsonHoldsTheViewAndEveryRecordFieldByField) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const Json json = JsonOutput({"view", path, "--block", "2", "--steps", "b", "--format", "json"});
  // The step's status line names the first record shown: block 3 starts at slot 67.
  EXPECT_EQ(json["status"], "Архив: файл " + path + "  время: " + LadderTimeDate(67));
  EXPECT_EQ(json["view"], (Json{{"kind", "block"}, {"block", 2}, {"steps", "b"}}));
  EXPECT_EQ(json["writeOffset"], 800);
  EXPECT_EQ(json["newestRecord"], LadderTimeDate(kLadderNewestSlot));
  ASSERT_EQ(json["records"].size(), 16u);
  const std::vector<int> slots = LadderBlockSlots(3);
  for (int row = 0; row < kRecordsPerBlock; ++row) {
    const int k = slots[row];
    ExpectRecord(json["records"][row], k * 8, LadderRecord(k), LadderCells(k));
  }
  // Slot 67: an input event, its number and time as numbers.
  const Json& first = json["records"][0];
  EXPECT_EQ(first["code"], 1);
  EXPECT_EQ(first["number"], 3);
  EXPECT_EQ(first["hours"], 1);
  EXPECT_EQ(first["minutes"], 7);
  EXPECT_EQ(first["seconds"], 7);
  EXPECT_EQ(first["day"], 2);
  EXPECT_EQ(first["month"], 4);
  EXPECT_EQ(first["raw"], (std::vector<int>{1, 2, 7, 7, 1, 2, 4, 67}));
}

TEST_F(CliExportTest, JsonLeavesUnsetFieldsNull) {
  ArchiveBuilder builder;
  builder.SetSlot(3, ArchiveRecord{{255, 1, 2, 3, 4, 5, 6, 7}});  // damaged
  builder.SetSlot(2, MakeRecord(4, 9, 255, 255, 255, 255, 255));  // device event, nothing set
  builder.SetSlot(1, MakeRecord(51, 0, 255, 10, 7, 255, 3));      // relay 1 on, partly unset
  builder.SetSlot(0, ArchiveRecord{{0, 0, 0, 0, 0, 0, 0, 9}});    // empty
  const std::string path = Write("special.dat", builder.SetWriteOffset(32).Bytes());
  const Json json = JsonOutput({"view", path, "--format", "json"});
  // The newest record is the damaged one; its time and date bytes still count.
  EXPECT_EQ(json["newestRecord"], "04:03:02 05.06");
  ASSERT_EQ(json["records"].size(), 16u);
  const Json& damaged = json["records"][0];
  EXPECT_EQ(damaged["kind"], "damaged");
  EXPECT_EQ(damaged["code"], 255);
  EXPECT_EQ(damaged["number"], nullptr);
  EXPECT_EQ(damaged["hours"], nullptr);
  EXPECT_EQ(damaged["month"], nullptr);
  EXPECT_EQ(damaged["cells"], (std::vector<std::string>{"**НЕКОРР ЗАП.**", "", "", ""}));
  const Json& device = json["records"][1];
  EXPECT_EQ(device["code"], 4);
  EXPECT_EQ(device["number"], nullptr);
  EXPECT_EQ(device["seconds"], nullptr);
  EXPECT_EQ(device["day"], nullptr);
  EXPECT_EQ(device["cells"], (std::vector<std::string>{"Отключение ИМ", "           ", " ", ""}));
  const Json& relay = json["records"][2];
  EXPECT_EQ(relay["number"], 1);
  EXPECT_EQ(relay["hours"], 255);
  EXPECT_EQ(relay["minutes"], 10);
  EXPECT_EQ(relay["day"], 255);
  EXPECT_EQ(relay["month"], 3);
  EXPECT_EQ(relay["cells"],
            (std::vector<std::string>{"Включение реле", "реле 1", "255:10:07", "255.03"}));
  const Json& empty = json["records"][3];
  EXPECT_EQ(empty["kind"], "empty");
  EXPECT_EQ(empty["code"], nullptr);
  EXPECT_EQ(empty["raw"], (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 9}));
}

TEST_F(CliExportTest, DateAndInputViewsNameTheirParameters) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const Json date = JsonOutput({"view", path, "--date", "02.04.", "--format", "json"});
  EXPECT_EQ(date["view"], (Json{{"kind", "date"}, {"date", "02.04."}, {"steps", ""}}));
  EXPECT_EQ(date["status"], "Архив: файл " + path + "  02.04.");
  // The newest record of day 2 is slot 79.
  EXPECT_EQ(date["records"][0]["offset"], 79 * 8);

  const Json input = JsonOutput({"view", path, "--input", "5", "--format", "json"});
  EXPECT_EQ(input["view"], (Json{{"kind", "input"}, {"input", 5}}));
  EXPECT_EQ(input["status"], "Архив: файл " + path + " вход № 5");
  for (const Json& record : input["records"]) {
    EXPECT_EQ(record["number"], 5);
    EXPECT_LE(record["code"].get<int>(), 2);
  }
}

TEST_F(CliExportTest, ReportJsonOfAGeneratedArchiveMatchesItsBytesAndItsReport) {
  const std::vector<std::uint8_t> bytes = GenerateArchive(SampleOptions{.seed = 11, .fill = 1300});
  const std::string path = Write("generated.dat", bytes);
  const Json json = JsonOutput({"report", path, "--format", "json"});
  const std::vector<std::string> text = SplitLines(Output({"report", path}));
  ASSERT_EQ(text.size(), 4u + kRecordCount);

  const int writeOffset = bytes[8192] | bytes[8193] << 8 | bytes[8194] << 16 | bytes[8195] << 24;
  EXPECT_EQ(writeOffset, (1300 - 1024) * 8);
  EXPECT_EQ(json["view"], (Json{{"kind", "report"}}));
  EXPECT_EQ(json["status"], text[0]);
  EXPECT_EQ(json["writeOffset"], writeOffset);
  const int newest = writeOffset - 8;
  const Json& newestRecord = json["records"][0];
  EXPECT_EQ(newestRecord["offset"], newest);
  ASSERT_EQ(json["records"].size(), static_cast<std::size_t>(kRecordCount));
  for (int i = 0; i < kRecordCount; ++i) {
    const int offset = ((newest - 8 * i) % kRingSize + kRingSize) % kRingSize;
    ArchiveRecord record;
    for (int b = 0; b < kRecordSize; ++b) record.bytes[b] = bytes[offset + b];
    ExpectRecord(json["records"][i], offset, record, SplitCells(text[4 + i]));
    if (HasFailure()) break;
  }
}

// --- RTF ---

TEST_F(CliExportTest, RtfIsTheDocumentTheWindowSaves) {
  const std::string path = Write("ladder.dat", LadderArchive());
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"view", path, "--input", "2"},
        std::vector<std::string>{"report", path}}) {
    SCOPED_TRACE(command[0]);
    std::string pane = Output(command);
    ASSERT_EQ(pane.back(), '\n');
    pane.pop_back();
    const std::string saved = (folder_.path() / "saved.rtf").string();
    ASSERT_TRUE(SaveRtfFile(saved, pane));

    std::vector<std::string> rtf = command;
    rtf.insert(rtf.end(), {"--format", "rtf"});
    const std::string document = Output(rtf);
    EXPECT_EQ(document, ReadWholeFile(saved));
    EXPECT_EQ(document.rfind("{\\rtf1\\ansi\\ansicpg1251", 0), 0u);
  }
}

// --- output files ---

TEST_F(CliExportTest, OutputFileGetsExactlyWhatStandardOutputWould) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const std::vector<std::vector<std::string>> commands = {
      {"view", path, "--block", "5"},
      {"view", path, "--encoding", "cp1251"},
      {"view", path, "--format", "csv", "--bom"},
      {"view", path, "--format", "json", "--date", "01.04"},
      {"report", path, "--format", "rtf"},
      {"report", path, "--format", "csv"},
      {"info", path, "--format", "json"},
      {"info", path},
  };
  for (const std::vector<std::string>& command : commands) {
    SCOPED_TRACE(command[0] + " " + command.back());
    const std::string expected = Output(command);
    ASSERT_FALSE(expected.empty());
    std::vector<std::string> toFile = command;
    toFile.insert(toFile.end(), {"-o", "out.file"});
    const ProcessResult result = Run(toFile);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadWholeFile(folder_.path() / "out.file"), expected);
  }
}

TEST_F(CliExportTest, OutputReplacesAFileAndLeavesNoTemporaryFile) {
  const std::string path = Write("ladder.dat", LadderArchive());
  Write("out.csv", std::vector<std::uint8_t>(50000, 'x'));
  const ProcessResult result = Run({"view", path, "--format", "csv", "--output", "out.csv"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadWholeFile(folder_.path() / "out.csv"), Output({"view", path, "--format", "csv"}));
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"ladder.dat", "out.csv"}));
}

TEST_F(CliExportTest, OutputIntoAMissingFolderFails) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const std::string target = (folder_.path() / "missing" / "out.json").string();
  const ProcessResult result = Run({"report", path, "--format", "json", "-o", target});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "torvdoc-cli: cannot write " + target + "\n");
  EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(CliExportTest, OutputKeepsTheModeOfTheFileItReplacesAndFollowsItsLink) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const std::string expected = Output({"report", path});
  PutFile(folder_.path() / "mode.txt", "old", 0640);
  std::filesystem::create_directory(folder_.path() / "links");
  std::filesystem::create_directory(folder_.path() / "files");
  PutFile(folder_.path() / "files" / "report.txt", "old", 0604);
  std::filesystem::create_symlink("../files/report.txt", folder_.path() / "links" / "report.txt");

  for (const std::string target : {"mode.txt", "links/report.txt"}) {
    const ProcessResult result = Run({"report", path, "-o", target});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
  }
  EXPECT_EQ(ReadWholeFile(folder_.path() / "mode.txt"), expected);
  EXPECT_EQ(ModeOf(folder_.path() / "mode.txt"), 0640u);
  EXPECT_TRUE(std::filesystem::is_symlink(folder_.path() / "links" / "report.txt"));
  EXPECT_EQ(ReadWholeFile(folder_.path() / "files" / "report.txt"), expected);
  EXPECT_EQ(ModeOf(folder_.path() / "files" / "report.txt"), 0604u);
  EXPECT_EQ(Entries(folder_.path() / "links"), std::vector<std::string>{"report.txt"});
  EXPECT_EQ(Entries(folder_.path() / "files"), std::vector<std::string>{"report.txt"});
}

TEST_F(CliExportTest, OutputRefusesAReadOnlyFileAndKeepsIt) {
  const std::string path = Write("ladder.dat", LadderArchive());
  PutFile(folder_.path() / "kept.rtf", "earlier report", 0444);
  const ProcessResult result = Run({"report", path, "--format", "rtf", "-o", "kept.rtf"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "torvdoc-cli: cannot write kept.rtf\n");
  EXPECT_EQ(ReadWholeFile(folder_.path() / "kept.rtf"), "earlier report");
  EXPECT_EQ(ModeOf(folder_.path() / "kept.rtf"), 0444u);
  EXPECT_EQ(Entries(folder_.path()), (std::vector<std::string>{"kept.rtf", "ladder.dat"}));
}

TEST_F(CliExportTest, OutputUnderTheLongestNameTheFileSystemTakes) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const std::string name = LongestCyrillicName(".rtf");
  const ProcessResult result = Run({"report", path, "--format", "rtf", "-o", name});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadWholeFile(folder_.path() / name), Output({"report", path, "--format", "rtf"}));
  EXPECT_EQ(Entries(folder_.path()), (std::vector<std::string>{"ladder.dat", name}));
}

TEST_F(CliExportTest, OutputNeverReplacesTheArchive) {
  const std::vector<std::uint8_t> bytes = LadderArchive();
  const std::string path = Write("ladder.dat", bytes);
  std::filesystem::create_symlink(path, folder_.path() / "link.dat");
  const std::vector<std::vector<std::string>> commands = {
      {"view", path, "-o", path},
      {"report", "ladder.dat", "--format", "csv", "-o", "./ladder.dat"},
      {"info", "link.dat", "-o", "ladder.dat"},
      {"view", "ladder.dat", "-o", "link.dat"},
  };
  for (const std::vector<std::string>& command : commands) {
    SCOPED_TRACE(command.back());
    const ProcessResult result = Run(command);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(SplitLines(result.err).at(0),
              "torvdoc-cli: " + command.back() + " is the archive itself; it is never written");
  }
  EXPECT_EQ(ReadWholeFile(path), std::string(bytes.begin(), bytes.end()));
  EXPECT_TRUE(std::filesystem::is_symlink(folder_.path() / "link.dat"));
}

TEST_F(CliExportTest, ViewEndingInAMessageLeavesTheOutputFileAlone) {
  Write("out.txt", {'o', 'l', 'd'});
  const std::string path = Write("ladder.dat", LadderArchive());
  const std::vector<std::vector<std::string>> commands = {
      {"view", "missing.dat", "-o", "out.txt"},
      {"view", path, "--date", "30.12", "--format", "json", "-o", "out.txt"},
      {"report", "missing.dat", "--format", "csv", "-o", "out.txt"},
      {"info", "missing.dat", "-o", "out.txt"},
  };
  const std::vector<std::string> messages = {
      "Архив не удается открыть", "Указанная дата не найдена", "Архив не удается открыть",
      "Архив не удается открыть"};
  for (std::size_t i = 0; i < commands.size(); ++i) {
    SCOPED_TRACE(messages[i]);
    const ProcessResult result = Run(commands[i]);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, messages[i] + "\n");
    EXPECT_EQ(ReadWholeFile(folder_.path() / "out.txt"), "old");
  }
}

}  // namespace
}  // namespace torv
