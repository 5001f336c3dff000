#include <ctime>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "archive/sample_archive.h"
#include "history_report/event_list.h"
#include "history_report/history_summaries.h"
#include "history_report/listing_formats.h"
#include "history_report/report_files.h"
#include "history_report/report_heading.h"
#include "history_test_support.h"
#include "models/device_simulation.h"

namespace torv {
namespace {

using history::testing::Backend;
using history::testing::TestStore;

// The listing in the format --format `name` writes.
std::string List(history::HistoryStore& store, std::string_view name,
                 const history::EventQuery& query = {},
                 const CsvDialect& dialect = Rfc4180Dialect(), bool heading = false) {
  std::string out;
  const ListingSettings settings{.csv = dialect, .heading = heading};
  const Status s = FindListingFormat(name)->writer(store, query, settings,
                                                   [&](std::string_view piece) { out += piece; });
  EXPECT_TRUE(s.ok()) << s.failure().reason;
  // What a listing covers and its digest have tests of their own.
  return name == "json" ? out : history::testing::WithoutListingFrame(out);
}

class HistoryReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = test_.Open();
    ASSERT_TRUE(store_);
    ArchiveRecord damaged;
    damaged.bytes.fill(255);
    history::ArchiveCopy first;
    first.copiedAt = {100, 2025, 1, 2};
    first.records = {MakeRecord(2, 6, 23, 59, 58, 31, 12, 7),     // alarm, input 7
                     damaged, MakeRecord(51, 1, 0, 0, 5, 1, 1)};  // relay 2 on
    ASSERT_TRUE(store_->Import("Склад, ТОРВ-4 №2", first).ok());
    history::ArchiveCopy second;
    second.copiedAt = {200, 2025, 1, 20};
    second.records = {MakeRecord(3, 0, 8, 0, 0, 19, 1), MakeRecord(20, 0, 255, 255, 255, 255, 255)};
    ASSERT_TRUE(store_->Import("Склад, ТОРВ-4 №2", second).ok());
    ASSERT_TRUE(
        store_
            ->SetNames({{"Склад, ТОРВ-4 №2", history::NumberKind::kInput, 7, "Дверь \"А\", склад"},
                        {"Склад, ТОРВ-4 №2", history::NumberKind::kRelay, 2, "Сирена"}})
            .ok());
  }
  TestStore test_{Backend::kSqlite};
  std::unique_ptr<history::HistoryStore> store_;
};

TEST_F(HistoryReportTest, TextHasAHeaderOneLinePerEventAndGapLines) {
  EXPECT_EQ(List(*store_, "text"),
            "Устройства: все\n"
            "Период: всё время\n"
            "Отбор: нет\n"
            "\n"
            "Устройство\tДата\tВремя\tСобытие\tВход\tРеле\tНазвание\n"
            "Склад, ТОРВ-4 №2\t31.12.2024\t23:59:58\tАвар. сигн.\t7\t\tДверь \"А\", склад\n"
            "Склад, ТОРВ-4 №2\t\t\t**НЕКОРР ЗАП.**\t\t\t\n"
            "Склад, ТОРВ-4 №2\t01.01.2025\t00:00:05\tВключение реле\t\t2\tСирена\n"
            "Склад, ТОРВ-4 №2\tнет записей с 01.01.2025 00:00:05 по 19.01.2025 08:00:00 "
            "(между копиями 1 и 2)\n"
            "Склад, ТОРВ-4 №2\t19.01.2025\t08:00:00\tВключение  ИМ\t\t\t\n"
            "Склад, ТОРВ-4 №2\t\t\tКод 20\t\t\t\n");
}

TEST_F(HistoryReportTest, CsvQuotesWhatNeedsItAndKeepsTheGapRow) {
  history::EventQuery relay;
  relay.kinds = {EventKind::kRelay, EventKind::kDevice};
  // With its heading (what it shows, then an empty record) before the column
  // row; a gap row marked in the last column.
  EXPECT_EQ(List(*store_, "csv", relay, Rfc4180Dialect(), true),
            "Устройства: все\r\n"
            "Период: всё время\r\n"
            "\"Отбор: события: реле, устройство\"\r\n"
            "\r\n"
            "Устройство,Дата,Время,Событие,Вход,Реле,Название,Пропуск\r\n"
            "\"Склад, ТОРВ-4 №2\",01.01.2025,00:00:05,Включение реле,,2,Сирена,\r\n"
            "\"Склад, ТОРВ-4 №2\",,,нет записей с 01.01.2025 00:00:05 по 19.01.2025 08:00:00 "
            "(между копиями 1 и 2),,,,да\r\n"
            "\"Склад, ТОРВ-4 №2\",19.01.2025,08:00:00,Включение  ИМ,,,,\r\n");
  history::EventQuery input7;
  input7.input = 7;
  EXPECT_EQ(List(*store_, "csv", input7, SpreadsheetDialect({1, 2})),
            "\xEF\xBB\xBF"
            "Устройство;\"Дата\";\"Время\";Событие;Вход;Реле;Название;Пропуск\r\n"
            // The device's comma is quoted too: an import that also splits at commas
            // keeps the name in one cell.
            "\"Склад, ТОРВ-4 №2\";\"31.12.2024\";\"23:59:58\";Авар. сигн.;7;;\"Дверь \"\"А\"\", "
            "склад\";\r\n"
            // No filter hides a hole: the one after the last listed event too.
            "\"Склад, ТОРВ-4 №2\";\"\";\"\";нет записей с 01.01.2025 00:00:05 по 19.01.2025 "
            "08:00:00 (между копиями 1 и 2);;;;да\r\n");
}

TEST_F(HistoryReportTest, NewestFirstTheGapLineStillStandsBetweenTheTwoStretches) {
  history::EventQuery newest;
  newest.newestFirst = true;
  newest.kinds = {EventKind::kRelay, EventKind::kDevice, EventKind::kInput};
  EXPECT_EQ(List(*store_, "text", newest),
            "Устройства: все\n"
            "Период: всё время\n"
            "Отбор: события: реле, устройство, входы; сначала новые\n"
            "\n"
            "Устройство\tДата\tВремя\tСобытие\tВход\tРеле\tНазвание\n"
            "Склад, ТОРВ-4 №2\t19.01.2025\t08:00:00\tВключение  ИМ\t\t\t\n"
            "Склад, ТОРВ-4 №2\tнет записей с 01.01.2025 00:00:05 по 19.01.2025 08:00:00 "
            "(между копиями 1 и 2)\n"
            "Склад, ТОРВ-4 №2\t01.01.2025\t00:00:05\tВключение реле\t\t2\tСирена\n"
            "Склад, ТОРВ-4 №2\t31.12.2024\t23:59:58\tАвар. сигн.\t7\t\tДверь \"А\", склад\n");
}

// A filter that skips a whole stretch hides none of its holes: the gap row
// between the two listed events names both, oldest first in either order,
// and JSON gives the hole next to the event after the gap.
TEST_F(HistoryReportTest, AGapRowNamesEveryHoleBetweenTheEventsItSeparates) {
  history::ArchiveCopy third;
  third.copiedAt = {300, 2025, 2, 3};
  third.source = "/media/usb/post_2025-02-03.dat";
  third.records = {MakeRecord(2, 6, 10, 0, 0, 1, 2, 7)};  // alarm, input 7
  Result<history::ImportOutcome> imported = store_->Import("Склад, ТОРВ-4 №2", third);
  ASSERT_TRUE(imported.ok() && !imported->refusal && imported->gapBefore);
  const std::string gap =
      "Склад, ТОРВ-4 №2\tнет записей с 01.01.2025 00:00:05 по 19.01.2025 08:00:00 (между копиями "
      "1 и 2); нет записей с 19.01.2025 08:00:00 по 01.02.2025 10:00:00 (между копиями 2 и "
      "post_2025-02-03.dat)\n";
  const std::string older =
      "Склад, ТОРВ-4 №2\t31.12.2024\t23:59:58\tАвар. сигн.\t7\t\tДверь \"А\", склад\n";
  const std::string newer =
      "Склад, ТОРВ-4 №2\t01.02.2025\t10:00:00\tАвар. сигн.\t7\t\tДверь \"А\", склад\n";
  history::EventQuery input7;
  input7.input = 7;
  const std::string oldest = List(*store_, "text", input7);
  EXPECT_TRUE(oldest.ends_with("Название\n" + older + gap + newer)) << oldest;
  input7.newestFirst = true;
  const std::string newest = List(*store_, "text", input7);
  EXPECT_TRUE(newest.ends_with("Название\n" + newer + gap + older)) << newest;

  // A period that starts or ends inside the holes: they stand before its
  // first event, or after its last, in place of the events not listed.
  history::EventQuery from = input7;
  from.newestFirst = false;
  from.from = history::CalendarDate{2025, 1, 10};
  const std::string late = List(*store_, "text", from);
  EXPECT_TRUE(late.ends_with("Название\n" + gap + newer)) << late;
  history::EventQuery to = input7;
  to.newestFirst = false;
  to.to = history::CalendarDate{2025, 1, 25};
  const std::string early = List(*store_, "text", to);
  EXPECT_TRUE(early.ends_with("Название\n" + older + gap)) << early;

  input7.newestFirst = false;
  const nlohmann::json events = nlohmann::json::parse(List(*store_, "json", input7)).at("events");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_FALSE(events[0].contains("gap"));
  EXPECT_EQ(events[1].at("gap"), nlohmann::json::parse(R"({"after": "2025-01-19T08:00:00",
      "before": "2025-02-01T10:00:00", "older_copy": 2, "newer_copy": 3})"));
}

TEST_F(HistoryReportTest, TheTextFilterChoosesTheRowsOfEveryFormat) {
  history::EventQuery door;
  door.text = "ДВЕРЬ";
  EXPECT_EQ(List(*store_, "csv", door, ListSpreadsheetDialect()),
            "\xEF\xBB\xBF"
            "Устройство;\"Дата\";\"Время\";Событие;Вход;Реле;Название;Пропуск\r\n"
            "\"Склад, ТОРВ-4 №2\";\"31.12.2024\";\"23:59:58\";Авар. сигн.;7;;\"Дверь \"\"А\"\", "
            "склад\";\r\n"
            "\"Склад, ТОРВ-4 №2\";\"\";\"\";нет записей с 01.01.2025 00:00:05 по 19.01.2025 "
            "08:00:00 (между копиями 1 и 2);;;;да\r\n");
  door.text = "сирена";
  const nlohmann::json events = nlohmann::json::parse(List(*store_, "json", door)).at("events");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].at("event"), "Включение реле");
}

TEST(ReportHeadingTest, NamesDevicePeriodFiltersAndTimeOfPrinting) {
  // The printing time is local: 2024-03-05 14:07 here is built from a local date.
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 2;
  local.tm_mday = 5;
  local.tm_hour = 14;
  local.tm_min = 7;
  local.tm_isdst = -1;
  const std::int64_t printed = std::mktime(&local);
  history::EventQuery query;
  HistoryReportHeading heading = HeadingFor(query, printed);
  EXPECT_EQ(heading.title, "История событий ТОРВ-4");
  EXPECT_EQ(heading.lines,
            (std::vector<std::string>{"Устройства: все", "Период: всё время", "Отбор: нет",
                                      "Напечатано: 05.03.2024 14:07"}));
  query.devices = {"Склад, ТОРВ-4 №2"};
  query.from = history::CalendarDate{2024, 1, 2};
  query.to = history::CalendarDate{2024, 12, 31};
  query.input = 7;
  query.kinds = {EventKind::kInput, EventKind::kDamaged};
  query.text = "дверь";
  query.newestFirst = true;
  heading = HeadingFor(query, printed);
  EXPECT_EQ(heading.lines,
            (std::vector<std::string>{
                "Устройство: Склад, ТОРВ-4 №2", "Период: с 02.01.2024 по 31.12.2024",
                "Отбор: вход 7; события: входы, некорректные; текст «дверь»; сначала новые",
                "Напечатано: 05.03.2024 14:07"}));
  query = {};
  query.devices = {"склад", "3"};
  EXPECT_EQ(HeadingFor(query, printed).lines.front(), "Устройства: склад, 3");
  query = {};
  query.to = history::CalendarDate{2025, 2, 28};
  EXPECT_EQ(HeadingFor(query, printed).lines[1], "Период: по 28.02.2025");
  query = {};
  query.from = history::CalendarDate{2025, 2, 28};
  query.kinds = {EventKind::kDevice, EventKind::kRelay, EventKind::kOther};
  EXPECT_EQ(HeadingFor(query, printed).lines[1], "Период: с 28.02.2025");
  EXPECT_EQ(FilterText(query), "события: устройство, реле, прочие");
  query = {};
  query.input = 3;
  query.inputs = {7, 12, 13, 14, 15};
  query.relays = {1, 2};
  query.kinds = {EventKind::kRelay};
  query.types = {EventType::kAlarm, EventType::kWarning};
  query.codes = {2, 50, 51};
  EXPECT_EQ(
      FilterText(query),
      "входы 3, 7, 12–15; реле 1, 2; события: реле, авар. сигн., пред. сигн.; коды 2, 50, 51");
  query = {};
  query.codes = {20};
  query.types = {EventType::kNormal};
  EXPECT_EQ(FilterText(query), "события: норма; код 20");
}

TEST_F(HistoryReportTest, JsonHasEveryFieldScriptsRelyOn) {
  const std::string json = List(*store_, "json");
  const nlohmann::json document = nlohmann::json::parse(json);
  ASSERT_EQ(document.size(), 5u);  // also "coverage", "journal" and "digest"
  EXPECT_EQ(document.at("filters"),
            nlohmann::json::parse(R"({"device": null, "devices": [], "from": null,
              "to": null, "input": null, "kinds": [], "codes": [], "inputs": [], "relays": [],
              "text": null, "newest_first": false,
              "lines": ["Устройства: все", "Период: всё время", "Отбор: нет"]})"));
  const nlohmann::json& events = document.at("events");
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0], nlohmann::json::parse(R"({"device": "Склад, ТОРВ-4 №2", "year": 2024,
              "bytes": [2, 6, 58, 59, 23, 31, 12, 7], "gap_before": false,
              "date": "31.12.2024", "time": "23:59:58", "event": "Авар. сигн.",
              "code": 2, "kind": "alarm", "input": 7, "relay": null,
              "name": "Дверь \"А\", склад", "copy": 1})"));
  EXPECT_EQ(events[1], nlohmann::json::parse(R"({"device": "Склад, ТОРВ-4 №2", "year": null,
              "bytes": [255, 255, 255, 255, 255, 255, 255, 255], "gap_before": false,
              "date": "", "time": "", "event": "**НЕКОРР ЗАП.**", "code": 255,
              "kind": "damaged", "input": null, "relay": null, "name": null, "copy": 1})"));
  EXPECT_EQ(events[2].at("relay"), 2);
  EXPECT_EQ(events[2].at("name"), "Сирена");
  EXPECT_EQ(events[3].at("gap_before"), true);
  EXPECT_EQ(events[3].at("year"), 2025);
  EXPECT_EQ(events[4].at("year"), nullptr);
  EXPECT_EQ(events[4].at("date"), "");
  EXPECT_EQ(events[4].at("event"), "Код 20");
  EXPECT_EQ(events[4].at("code"), 20);
  EXPECT_EQ(events[4].at("kind"), "other");
  // One event per line between the brackets.
  EXPECT_EQ(json.substr(0, 12), "{\"filters\": ");
  EXPECT_NE(json.find("},\n\"events\": [\n{\"bytes\""), std::string::npos);
  EXPECT_NE(json.find("\n],\n\"digest\": \""), std::string::npos);

  history::EventQuery none;
  none.devices = {"Склад, ТОРВ-4 №2"};
  none.from = history::CalendarDate{2024, 1, 2};
  none.to = history::CalendarDate{2025, 12, 31};
  none.input = 30;
  none.kinds = {EventKind::kInput, EventKind::kDamaged};
  none.text = "дверь";
  none.newestFirst = true;
  const std::string empty = List(*store_, "json", none);
  EXPECT_NE(empty.find("\n\"events\": [],\n\"note\": \"за период записей нет: пропуск с "
                       "01.01.2025 00:00:05 по 19.01.2025 08:00:00\",\n\"digest\": \""),
            std::string::npos)
      << empty;
  nlohmann::json read = nlohmann::json::parse(empty);
  for (const char* frame : {"coverage", "journal", "digest"}) read.erase(frame);
  EXPECT_EQ(read, nlohmann::json::parse(R"({"filters": {
              "device": "Склад, ТОРВ-4 №2", "devices": ["Склад, ТОРВ-4 №2"],
              "from": "2024-01-02", "to": "2025-12-31",
              "input": 30, "kinds": ["input", "damaged"], "codes": [], "inputs": [], "relays": [],
              "text": "дверь", "newest_first": true,
              "lines": ["Устройство: Склад, ТОРВ-4 №2", "Период: с 02.01.2024 по 31.12.2025",
                        "Отбор: вход 30; события: входы, некорректные; текст «дверь»; сначала новые"]},
              "events": [],
              "note": "за период записей нет: пропуск с 01.01.2025 00:00:05 по 19.01.2025 08:00:00"})"));
}

TEST_F(HistoryReportTest, DevicesAsTextAndJson) {
  // A device whose one copy was withdrawn holds nothing.
  ASSERT_TRUE(
      store_->Import("пустой", {{MakeRecord(3, 0, 1, 0, 0, 1, 1)}, {100, 2024, 1, 2}, "x.dat"})
          .ok());
  Result<std::vector<history::KeptCopy>> kept = store_->Copies(std::string("пустой"));
  ASSERT_TRUE(kept.ok() && kept->size() == 1);
  ASSERT_TRUE(store_->Withdraw({kept->front().id}, "").ok());
  Result<std::vector<history::DeviceSummary>> devices = store_->Devices();
  ASSERT_TRUE(devices.ok());
  ASSERT_EQ(devices->size(), 2u);
  const std::string imported = LocalTimeText(*devices->at(0).lastImportUnixSeconds);
  EXPECT_EQ(FindSummaryFormat("text")->writer(*devices),
            "Устройство\tСобытий\tКопий\tПропусков\tНекорректных\tПервое событие\tПоследнее "
            "событие\tИмпорт\n"
            "Склад, ТОРВ-4 №2\t5\t2\t1\t1\t31.12.2024 23:59:58\t19.01.2025 08:00:00\t" +
                imported +
                "\n"
                "пустой\t0\t0\t0\t0\t\t\t\n");
  EXPECT_EQ(nlohmann::json::parse(FindSummaryFormat("json")->writer(*devices)),
            nlohmann::json::parse(R"({"devices": [
              {"device": "Склад, ТОРВ-4 №2", "events": 5, "copies": 2, "gaps": 1, "damaged": 1,
               "first_event": "31.12.2024 23:59:58", "last_event": "19.01.2025 08:00:00",
               "last_import": ")" +
                                  imported + R"("},
              {"device": "пустой", "events": 0, "copies": 0, "gaps": 0, "damaged": 0,
               "first_event": null, "last_event": null, "last_import": null}]})"));
}

TEST_F(HistoryReportTest, NamesListAsTheNamesFileReadsThem) {
  Result<std::vector<history::NameEntry>> names = store_->Names();
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(FormatNames(*names),
            "device,kind,number,name\r\n"
            "\"Склад, ТОРВ-4 №2\",input,7,\"Дверь \"\"А\"\", склад\"\r\n"
            "\"Склад, ТОРВ-4 №2\",relay,2,Сирена\r\n");
}

TEST(ImportLineTest, NewStoredGapAndEmpty) {
  history::ImportOutcome outcome;
  outcome.newEvents = 64;
  outcome.alreadyStored = 960;
  EXPECT_EQ(ImportLine("a.dat", outcome), "a.dat: 64 new, 960 already stored");
  outcome.gapBefore = true;
  EXPECT_EQ(ImportLine("a.dat", outcome),
            "a.dat: 64 new, 960 already stored, gap before: между копиями устройство записало не "
            "меньше 1024 событий; копируйте архив чаще");
  EXPECT_EQ(ImportLine("a.dat", outcome, ImportWording::kWindow),
            "a.dat: новых событий 64, уже хранилось 960; пропуск перед копией: между копиями "
            "устройство записало не меньше 1024 событий; копируйте архив чаще");
  // The word after the number, as Russian has it.
  const std::pair<std::int64_t, const char*> counts[] = {
      {1, "1 событие"},     {2, "2 события"},       {4, "4 события"},       {5, "5 событий"},
      {11, "11 событий"},   {12, "12 событий"},     {21, "21 событие"},     {22, "22 события"},
      {111, "111 событий"}, {1024, "1024 события"}, {1001, "1001 событие"}, {0, "0 событий"}};
  for (const auto& [n, text] : counts)
    EXPECT_EQ(RussianCount(n, "событие", "события", "событий"), text);
  history::ImportOutcome empty;
  empty.emptyArchive = true;
  EXPECT_EQ(ImportLine("/x/b.dat", empty), "/x/b.dat: архив пуст");

  // Several files add up; one file and one gap are singular.
  ImportTotals totals;
  totals.files = 1;
  totals.Add(outcome);
  EXPECT_EQ(ImportTotalsLine(totals),
            "1 file: 64 new events, 960 already stored, 1 gap, 0 refused");
  totals.files = 88;
  totals.refused = 2;
  totals.Add(outcome);
  totals.Add(empty);
  EXPECT_EQ(ImportTotalsLine(totals),
            "88 files: 128 new events, 1920 already stored, 2 gaps, 2 refused");
  EXPECT_EQ(ImportTotalsLine(totals, ImportWording::kWindow),
            "Файлов: 88; новых событий: 128, уже хранилось: 1920, пропусков: 2, не принято: 2");
}

TEST(ReportFilesTest, PeriodLabelsAndFileNames) {
  using history::CalendarDate;
  using Date = std::optional<CalendarDate>;
  const struct {
    Date from, to;
    const char* label;
  } periods[] = {
      {CalendarDate{2026, 11, 1}, CalendarDate{2026, 11, 30}, "2026-11"},
      {CalendarDate{2024, 2, 1}, CalendarDate{2024, 2, 29}, "2024-02"},
      {CalendarDate{2024, 2, 1}, CalendarDate{2024, 2, 28}, "2024-02-01_2024-02-28"},
      {CalendarDate{2026, 10, 1}, CalendarDate{2026, 12, 31}, "2026-Q4"},
      {CalendarDate{2026, 9, 1}, CalendarDate{2026, 11, 30}, "2026-09-01_2026-11-30"},
      {CalendarDate{2026, 1, 1}, CalendarDate{2026, 12, 31}, "2026"},
      {CalendarDate{2026, 12, 9}, CalendarDate{2026, 12, 9}, "2026-12-09"},
      {CalendarDate{2026, 12, 7}, CalendarDate{2026, 12, 13}, "2026-12-07_2026-12-13"},
      {CalendarDate{2026, 12, 7}, std::nullopt, "2026-12-07_end"},
      {std::nullopt, CalendarDate{2026, 12, 7}, "start_2026-12-07"},
      {std::nullopt, std::nullopt, "all"},
  };
  for (const auto& period : periods) {
    EXPECT_EQ(PeriodLabel(period.from, period.to), period.label);
  }
  EXPECT_EQ(ReportFileName("out/{device}-{period}.pdf", "Склад №2", "2026-11"),
            "out/Склад №2-2026-11.pdf");
  // A device name never leads out of the pattern's folder.
  EXPECT_EQ(ReportFileName("{device}/{device}.csv", "a/../b\n", "x"), "a_.._b_/a_.._b_.csv");
  EXPECT_EQ(ReportFileName("r/{device}", "..", "x"), "r/_..");
  EXPECT_EQ(ReportFileName("fixed.json", "gate", "2026"), "fixed.json");
}

TEST(HistoryReportSimulationTest, NamesFollowEachEventsInputAndRelay) {
  history::SimulationOptions options;
  options.seed = 17;
  history::SimulatedDevice device(options);
  device.Write(1500);
  TestStore test(Backend::kSqlite);
  auto store = test.Open();
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->Import("4", device.CopyNow()).ok());
  std::vector<history::NameEntry> names;
  for (int n = 1; n <= 32; n += 2) {
    names.push_back({"4", history::NumberKind::kInput, n, "вход " + std::to_string(n)});
    names.push_back({"4", history::NumberKind::kRelay, n, "реле " + std::to_string(n)});
  }
  ASSERT_TRUE(store->SetNames(names).ok());
  const nlohmann::json events = nlohmann::json::parse(List(*store, "json")).at("events");
  const std::vector<ArchiveRecord> copied(device.Written().end() - 1024, device.Written().end());
  ASSERT_EQ(events.size(), copied.size());
  int named = 0;
  for (std::size_t i = 0; i < copied.size(); ++i) {
    const std::optional<int> input = InputNumberOf(copied[i]);
    const std::optional<int> relay = RelayNumberOf(copied[i]);
    nlohmann::json expected = nullptr;
    if (input && *input % 2 == 1) expected = "вход " + std::to_string(*input);
    if (relay && *relay % 2 == 1) expected = "реле " + std::to_string(*relay);
    ASSERT_EQ(events[i].at("name"), expected) << i;
    ASSERT_EQ(events[i].at("input"), input ? nlohmann::json(*input) : nlohmann::json(nullptr));
    named += expected.is_null() ? 0 : 1;
  }
  EXPECT_GT(named, 100);
}

}  // namespace
}  // namespace torv
