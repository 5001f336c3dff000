#include "report/view_export.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "archive/sample_archive.h"

namespace torv {
namespace {

const std::string k11Spaces(11, ' ');

ViewExport TwoRowExport() {
  ViewExport view;
  view.status = "Архив: файл /tmp/a.dat";
  view.view = {.kind = "block", .block = 2, .date = {}, .input = {}, .steps = "bf"};
  view.writeOffset = 800;
  view.newestTimeDate = "07:05:30 05.11";
  const ArchiveRecord input = MakeRecord(1, 4, 7, 5, 30, 5, 11, 0x99);
  const ArchiveRecord unset = MakeRecord(3, 0, 255, 255, 255, 255, 255);
  view.rows = {{{96, input}, DecodeRecord(input)}, {{88, unset}, DecodeRecord(unset)}};
  return view;
}

TEST(ExportCsvTest, HeaderRowsAndTrimmedCells) {
  EXPECT_EQ(ExportCsv(TwoRowExport(), Rfc4180Dialect()),
            "Событие,Номер входа,Время,Дата,Смещение,Код,Вид\r\n"
            "Пред. сигн.,5,07:05:30,05.11,96,1,input\r\n"
            "Включение  ИМ,,,,88,3,device\r\n");
}

TEST(ExportCsvTest, ByteOrderMarkOnRequest) {
  const std::string csv = ExportCsv(TwoRowExport(), Rfc4180Dialect(true));
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(csv.substr(3), ExportCsv(TwoRowExport(), Rfc4180Dialect()));
}

TEST(ExportCsvTest, QuotesFieldsWithQuotesCommasAndLineBreaks) {
  ViewExport view;
  view.rows = {{{0, ArchiveRecord{}}, EventRow{" say \"hi\", then ", "a,b", "x\ny", "plain"}}};
  EXPECT_EQ(ExportCsv(view, Rfc4180Dialect()),
            "Событие,Номер входа,Время,Дата,Смещение,Код,Вид\r\n"
            "\"say \"\"hi\"\", then\",\"a,b\",\"x\ny\",plain,0,,empty\r\n");
}

TEST(ExportCsvTest, TheSpreadsheetDialectQuotesTimesAndDates) {
  ViewExport view = TwoRowExport();
  const ArchiveRecord empty{};
  view.rows.push_back({{80, empty}, DecodeRecord(empty)});
  EXPECT_EQ(ExportCsv(view, SpreadsheetExportDialect()),
            "\xEF\xBB\xBF"
            "Событие;Номер входа;\"Время\";\"Дата\";Смещение;Код;Вид\r\n"
            "Пред. сигн.;5;\"07:05:30\";\"05.11\";96;1;input\r\n"
            "Включение  ИМ;;\"\";\"\";88;3;device\r\n"
            ";;\"\";\"\";80;;empty\r\n");
}

TEST(ExportJsonTest, FieldsParseBackExactly) {
  const auto json = nlohmann::json::parse(ExportJson(TwoRowExport()));
  EXPECT_EQ(json["status"], "Архив: файл /tmp/a.dat");
  EXPECT_EQ(json["view"], (nlohmann::json{{"kind", "block"}, {"block", 2}, {"steps", "bf"}}));
  EXPECT_EQ(json["writeOffset"], 800);
  EXPECT_EQ(json["newestRecord"], "07:05:30 05.11");
  ASSERT_EQ(json["records"].size(), 2u);

  const auto& first = json["records"][0];
  EXPECT_EQ(first["offset"], 96);
  EXPECT_EQ(first["raw"], (std::vector<int>{1, 4, 30, 5, 7, 5, 11, 0x99}));
  EXPECT_EQ(first["kind"], "event");
  EXPECT_EQ(first["code"], 1);
  EXPECT_EQ(first["number"], 5);
  EXPECT_EQ(first["hours"], 7);
  EXPECT_EQ(first["minutes"], 5);
  EXPECT_EQ(first["seconds"], 30);
  EXPECT_EQ(first["day"], 5);
  EXPECT_EQ(first["month"], 11);
  EXPECT_EQ(first["cells"],
            (std::vector<std::string>{"Пред. сигн.     ", "5" + k11Spaces, "07:05:30", "05.11"}));

  const auto& second = json["records"][1];
  EXPECT_EQ(second["code"], 3);
  EXPECT_TRUE(second["number"].is_null());
  EXPECT_TRUE(second["hours"].is_null());
  EXPECT_TRUE(second["minutes"].is_null());
  EXPECT_TRUE(second["seconds"].is_null());
  EXPECT_TRUE(second["day"].is_null());
  EXPECT_TRUE(second["month"].is_null());
  EXPECT_EQ(second["cells"], (std::vector<std::string>{"Включение  ИМ", k11Spaces, " ", ""}));
}

TEST(ExportJsonTest, EmptyAndDamagedRecordsAndRelays) {
  ViewExport view;
  view.view.kind = "input";
  view.view.input = 3;
  const ArchiveRecord damaged{{255, 1, 2, 3, 4, 5, 6, 7}};
  const ArchiveRecord empty = MakeRecord(0, 0, 0, 0, 0, 0, 0, 5);
  const ArchiveRecord relay = MakeRecord(51, 0, 1, 2, 3, 4, 5);
  view.rows = {{{0, damaged}, DecodeRecord(damaged)},
               {{8, empty}, DecodeRecord(empty)},
               {{16, relay}, DecodeRecord(relay)}};
  const auto json = nlohmann::json::parse(ExportJson(view));
  EXPECT_EQ(json["view"], (nlohmann::json{{"kind", "input"}, {"input", 3}}));
  const auto& records = json["records"];
  EXPECT_EQ(records[0]["kind"], "damaged");
  EXPECT_EQ(records[0]["code"], 255);
  EXPECT_TRUE(records[0]["day"].is_null());
  EXPECT_EQ(records[0]["cells"][0], "**НЕКОРР ЗАП.**");
  EXPECT_EQ(records[1]["kind"], "empty");
  EXPECT_TRUE(records[1]["code"].is_null());
  EXPECT_EQ(records[1]["raw"][7], 5);
  EXPECT_EQ(records[2]["number"], 1);
  EXPECT_EQ(records[2]["cells"][1], "реле 1");
}

TEST(ExportJsonTest, InvalidUtf8IsReplacedNotFatal) {
  ViewExport view;
  view.status = "Архив: файл /tmp/\xff.dat";
  const auto json = nlohmann::json::parse(ExportJson(view));
  EXPECT_EQ(json["status"], "Архив: файл /tmp/\xEF\xBF\xBD.dat");
}

}  // namespace
}  // namespace torv
