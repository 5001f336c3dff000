// The CSV of --csv-dialect excel opened in LibreOffice Calc, as a spreadsheet
// user in a Russian locale opens it, and read back cell by cell.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "built_locale.h"
#include "cli_csv_reader.h"
#include "cli_test_support.h"
#include "outside_program.h"

namespace torv {
namespace {

namespace fs = std::filesystem;
using cli_testing::CsvRecord;
using cli_testing::ProcessResult;
using cli_testing::ProcessSetting;
using cli_testing::ReadCsv;
using cli_testing::ReadWholeFile;
using cli_testing::RunProcess;
using cli_testing::ScratchFolder;
using cli_testing::SplitLines;

const fs::path kSamplesDir = TORVDOC_SAMPLES_DIR;

// The options LibreOffice's text import starts with on a fresh profile (its
// Office.Calc/Dialogs/CSVImport defaults): split at comma, semicolon and TAB,
// '"' around text, the locale's character set, from line 1; quoted fields
// are not forced to text and special numbers are not detected. A headless
// conversion without any options would split at commas only and read
// Windows-1252, which is not what a user meets.
constexpr char kImportOptions[] = "Text - txt - csv (StarCalc):44/59/9,34,,1";
// Written back as TAB-separated UTF-8 with every text cell quoted, so that
// text and numbers are told apart in what is read back.
constexpr char kExportOptions[] = "csv:Text - txt - csv (StarCalc):9,34,76,1,,0,true";

bool IsNumber(const std::string& cell) {
  return !cell.empty() && cell.find_first_not_of("0123456789") == std::string::npos;
}

bool IsTime(const std::string& cell) {
  return cell.size() == 8 && cell[2] == ':' && cell[5] == ':';
}

// What LibreOffice writes back for one record of the view: every cell in
// its own column, Cyrillic as it was; numbers and times (which Calc reads as
// time values shown as the same text) bare, every other cell quoted as text,
// the dates among them; an empty cell empty.
std::string ReadBackLine(const CsvRecord& record) {
  std::string line;
  for (std::size_t i = 0; i < record.size(); ++i) {
    if (i > 0) line += '\t';
    const std::string& cell = record[i];
    line += cell.empty() || IsNumber(cell) || IsTime(cell) ? cell : "\"" + cell + "\"";
  }
  return line + "\n";
}

TEST(SpreadsheetImportTest, CalcReadsTheExcelDialectOneValueACellWithDatesAsText) {
  ASSERT_TRUE(testing::ProgramInstalled("soffice", "libreoffice-calc-nogui"));
  ASSERT_TRUE(fs::exists("/usr/lib/libreoffice/program/libsclo.so"))
      << "LibreOffice Calc is missing: it comes with the Debian package libreoffice-calc-nogui";
  ScratchFolder folder;
  const fs::path locales = folder.path() / "locales";
  fs::create_directory(locales);
  ASSERT_TRUE(testing::BuildLocale(locales, "ru_RU", "UTF-8", "ru_RU.UTF-8"));

  // The newest block of the partly written demo archive: dates "01.05", an
  // unset date, an event without text, relays, inputs and device events.
  const std::string archive = (kSamplesDir / "partial.dat").string();
  const ProcessResult excel =
      RunProcess(TORVDOC_CLI_PATH,
                 {"view", archive, "--format", "csv", "--csv-dialect", "excel", "-o", "view.csv"},
                 folder.path(), folder.path());
  ASSERT_EQ(excel.exitCode, 0) << excel.err;
  const std::string excelBytes = ReadWholeFile(folder.path() / "view.csv");
  ASSERT_EQ(excelBytes.substr(0, excelBytes.find('\n') + 1),
            "\xEF\xBB\xBF"
            "Событие;Номер входа;\"Время\";\"Дата\";Смещение;Код;Вид\r\n");
  const ProcessResult rfc = RunProcess(TORVDOC_CLI_PATH, {"view", archive, "--format", "csv"},
                                       folder.path(), folder.path());
  const std::optional<std::vector<CsvRecord>> records = ReadCsv(rfc.out);
  ASSERT_TRUE(records.has_value());
  ASSERT_EQ(records->size(), 17u);
  ASSERT_EQ(records->at(1).at(3), "01.05");

  ProcessSetting russian;
  russian.environment = {"LOCPATH=" + locales.string(), "LC_ALL=ru_RU.UTF-8",
                         "HOME=" + folder.path().string()};
  const ProcessResult converted =
      RunProcess("/usr/bin/soffice",
                 {"-env:UserInstallation=file://" + (folder.path() / "profile").string(),
                  "--headless", std::string("--infilter=") + kImportOptions, "--convert-to",
                  kExportOptions, "--outdir", (folder.path() / "out").string(), "view.csv"},
                 folder.path(), folder.path(), russian);
  ASSERT_EQ(converted.exitCode, 0) << converted.out << converted.err;

  std::string expected;
  for (const CsvRecord& record : *records) expected += ReadBackLine(record);
  const std::string readBack = ReadWholeFile(folder.path() / "out" / "view.csv");
  EXPECT_EQ(readBack, expected);
  // For example the newest record: a device event at 14:47:52 on "01.05",
  // the date still text and not the number 1.05 or a date value.
  ASSERT_GE(SplitLines(readBack).size(), 2u);
  EXPECT_EQ(SplitLines(readBack)[1],
            "\"Отказ   МИнд\"\t\t14:47:52\t\"01.05\"\t2392\t12\t\"device\"");
}

}  // namespace
}  // namespace torv
