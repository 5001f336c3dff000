// One suite for every store: the embedded SQLite file and the PostgreSQL
// server must answer alike.
#include "history/history_store.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "history/sql_connection.h"
#include "history_test_support.h"
#include "models/device_simulation.h"
#include "models/memory_history.h"

namespace torv::history {
namespace {

using testing::Backend;
using testing::TestStore;

ArchiveRecord Event(int n, int day = 1, int month = 1) {
  return MakeRecord(3, 0, static_cast<std::uint8_t>(n / 3600),
                    static_cast<std::uint8_t>(n / 60 % 60), static_cast<std::uint8_t>(n % 60),
                    static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month));
}

ArchiveCopy CopyOf(std::vector<ArchiveRecord> records, std::int64_t time,
                   CopyTime date = {0, 2024, 1, 2}) {
  date.unixSeconds = time;
  return ArchiveCopy{std::move(records), date, "copy.dat"};
}

std::vector<StoredEvent> All(HistoryStore& store, const EventQuery& query = {}) {
  std::vector<StoredEvent> events;
  const Status s = store.ForEachEvent(query, [&](const StoredEvent& e) { events.push_back(e); });
  EXPECT_TRUE(s.ok()) << s.failure().reason;
  return events;
}

// What a memory history of one device holds, as the store lists it.
std::vector<StoredEvent> Expected(const MemoryHistory& history, const std::string& device) {
  std::vector<StoredEvent> events;
  for (std::size_t s = 0; s < history.Stretches().size(); ++s) {
    const MemoryStretch& stretch = history.Stretches()[s];
    for (std::size_t i = 0; i < stretch.records.size(); ++i) {
      StoredEvent event;
      event.device = device;
      event.record = stretch.records[i];
      event.year = stretch.years[i];
      event.damaged = stretch.records[i].IsDamaged();
      event.gapBefore = s > 0 && i == 0;
      events.push_back(event);
    }
  }
  return events;
}

// Compares what a listing shows; positions are the store's own business.
void ExpectSameEvents(const std::vector<StoredEvent>& actual,
                      const std::vector<StoredEvent>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    SCOPED_TRACE("event " + std::to_string(i));
    EXPECT_EQ(actual[i].device, expected[i].device);
    EXPECT_EQ(actual[i].record, expected[i].record);
    EXPECT_EQ(actual[i].year, expected[i].year);
    EXPECT_EQ(actual[i].damaged, expected[i].damaged);
    EXPECT_EQ(actual[i].gapBefore, expected[i].gapBefore);
  }
}

class HistoryStoreTest : public ::testing::TestWithParam<Backend> {
 protected:
  HistoryStoreTest() : test_(GetParam()) {}
  std::unique_ptr<HistoryStore> Open(OpenMode mode = OpenMode::kWrite) { return test_.Open(mode); }
  ImportOutcome Import(HistoryStore& store, const std::string& device, const ArchiveCopy& copy) {
    Result<ImportOutcome> outcome = store.Import(device, copy);
    EXPECT_TRUE(outcome.ok()) << outcome.failure().reason;
    return outcome.ok() ? *outcome : ImportOutcome{};
  }
  TestStore test_;
};

TEST_P(HistoryStoreTest, ImportsMergeAsTheRuleSays) {
  auto store = Open();
  ASSERT_TRUE(store);
  const ImportOutcome first = Import(*store, "3", CopyOf({Event(1), Event(2), Event(3)}, 100));
  EXPECT_EQ(first.newEvents, 3);
  EXPECT_EQ(first.alreadyStored, 0);
  EXPECT_FALSE(first.gapBefore);
  const ImportOutcome again = Import(*store, "3", CopyOf({Event(1), Event(2), Event(3)}, 100));
  EXPECT_EQ(again.newEvents, 0);
  EXPECT_EQ(again.alreadyStored, 3);
  const ImportOutcome apart = Import(*store, "3", CopyOf({Event(20), Event(21)}, 300));
  EXPECT_EQ(apart.newEvents, 2);
  EXPECT_TRUE(apart.gapBefore);
  // Bridges both stretches: the gap closes.
  const ImportOutcome bridge =
      Import(*store, "3", CopyOf({Event(3), Event(4), Event(19), Event(20)}, 200));
  EXPECT_EQ(bridge.newEvents, 2);
  EXPECT_EQ(bridge.alreadyStored, 2);
  EXPECT_FALSE(bridge.gapBefore);

  const std::vector<StoredEvent> events = All(*store);
  std::vector<ArchiveRecord> records;
  for (const StoredEvent& e : events) {
    records.push_back(e.record);
    EXPECT_FALSE(e.gapBefore);
  }
  EXPECT_EQ(records, (std::vector<ArchiveRecord>{Event(1), Event(2), Event(3), Event(4), Event(19),
                                                 Event(20), Event(21)}));
}

TEST_P(HistoryStoreTest, TheListingEqualsTheRuleAppliedInMemory) {
  SimulationOptions options;
  options.seed = 11;
  options.startUnixSeconds = 1735500000;  // 29 December 2024
  options.maxStepSeconds = 600;
  SimulatedDevice device(options);
  MemoryHistory memory;
  auto store = Open();
  ASSERT_TRUE(store);
  for (const int written : {300, 500, 1500, 200, 900}) {
    device.Write(written);
    const ArchiveCopy copy = device.CopyNow();
    const ImportOutcome expected = memory.Import(copy);
    const ImportOutcome outcome = Import(*store, "Склад, ТОРВ-4 №2", copy);
    EXPECT_EQ(outcome.newEvents, expected.newEvents);
    EXPECT_EQ(outcome.alreadyStored, expected.alreadyStored);
    EXPECT_EQ(outcome.gapBefore, expected.gapBefore);
  }
  ASSERT_EQ(memory.Stretches().size(), 2u);
  ExpectSameEvents(All(*store), Expected(memory, "Склад, ТОРВ-4 №2"));
}

TEST_P(HistoryStoreTest, DevicesAreListedByNameAndKeptApart) {
  auto store = Open();
  ASSERT_TRUE(store);
  (void)Import(*store, "b", CopyOf({Event(5)}, 100));
  (void)Import(*store, "a", CopyOf({Event(5), Event(6)}, 100));
  const std::vector<StoredEvent> events = All(*store);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].device, "a");
  EXPECT_EQ(events[1].device, "a");
  EXPECT_EQ(events[2].device, "b");
  (void)Import(*store, "c", CopyOf({Event(7)}, 100));
  EventQuery onlyB;
  onlyB.devices = {"b"};
  ASSERT_EQ(All(*store, onlyB).size(), 1u);
  // Several devices: still by name, whatever order they were named in.
  EventQuery cAndA;
  cAndA.devices = {"c", "a"};
  std::vector<std::string> listed;
  for (const StoredEvent& event : All(*store, cAndA)) listed.push_back(event.device);
  EXPECT_EQ(listed, (std::vector<std::string>{"a", "a", "c"}));
  Result<std::vector<DeviceSummary>> summaries = store->Devices(cAndA.devices, false);
  ASSERT_TRUE(summaries.ok());
  ASSERT_EQ(summaries->size(), 2u);
  EXPECT_EQ((*summaries)[1].device, "c");

  EventQuery unknown;
  unknown.devices = {"a", "d"};
  const Status s = store->ForEachEvent(unknown, [](const StoredEvent&) {});
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.failure().reason, "no device \"d\" in the history");
}

TEST_P(HistoryStoreTest, FiltersByDateInputAndKind) {
  auto store = Open();
  ASSERT_TRUE(store);
  ArchiveRecord damaged;
  damaged.bytes.fill(255);
  const std::vector<ArchiveRecord> records{
      MakeRecord(2, 6, 1, 0, 0, 30, 12),   // alarm, input 7, 30.12.2023
      MakeRecord(51, 6, 2, 0, 0, 31, 12),  // relay 7 on, 31.12.2023
      damaged,                             // no year
      MakeRecord(0, 6, 3, 0, 0, 1, 1),     // normal, input 7, 1.1.2024
      MakeRecord(1, 2, 4, 0, 0, 1, 1),     // warning, input 3, 1.1.2024
      MakeRecord(3, 0, 5, 0, 0, 2, 1),     // device event, 2.1.2024
      MakeRecord(20, 0, 6, 0, 0, 0, 0),    // a code without text, no date
  };
  (void)Import(*store, "1", CopyOf(records, 100, {0, 2024, 1, 2}));
  const auto hours = [&](const EventQuery& query) {
    std::vector<int> result;
    for (const StoredEvent& e : All(*store, query)) {
      result.push_back(e.damaged ? -1 : e.record.Hours());
    }
    return result;
  };
  EventQuery input7;
  input7.input = 7;
  EXPECT_EQ(hours(input7), (std::vector<int>{1, 3}));
  EventQuery fromNewYear;
  fromNewYear.from = CalendarDate{2024, 1, 1};
  EXPECT_EQ(hours(fromNewYear), (std::vector<int>{3, 4, 5}));
  EventQuery lastDays;
  lastDays.from = CalendarDate{2023, 12, 31};
  lastDays.to = CalendarDate{2024, 1, 1};
  EXPECT_EQ(hours(lastDays), (std::vector<int>{2, 3, 4}));
  EventQuery kinds;
  kinds.kinds = {EventKind::kRelay, EventKind::kDamaged, EventKind::kOther};
  EXPECT_EQ(hours(kinds), (std::vector<int>{2, -1, 6}));
  EventQuery inputsOnly;
  inputsOnly.kinds = {EventKind::kInput};
  inputsOnly.to = CalendarDate{2023, 12, 31};
  EXPECT_EQ(hours(inputsOnly), (std::vector<int>{1}));
  Result<std::int64_t> count = store->Count(kinds);
  ASSERT_TRUE(count.ok());
  EXPECT_EQ(*count, 3);

  const std::vector<StoredEvent> all = All(*store);
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(all[0].year, 2023);
  EXPECT_EQ(all[1].year, 2023);
  EXPECT_EQ(all[2].year, std::nullopt);
  EXPECT_TRUE(all[2].damaged);
  EXPECT_EQ(all[3].year, 2024);
  EXPECT_EQ(all[6].year, std::nullopt);
}

TEST_P(HistoryStoreTest, AFilteredListingShowsTheGapBeforeItsFirstEventAfterIt) {
  auto store = Open();
  ASSERT_TRUE(store);
  (void)Import(*store, "1",
               CopyOf({MakeRecord(2, 0, 1, 0, 0, 1, 1), MakeRecord(3, 0, 2, 0, 0, 1, 1)}, 100));
  (void)Import(*store, "1",
               CopyOf({MakeRecord(3, 0, 3, 0, 0, 1, 1), MakeRecord(2, 0, 4, 0, 0, 1, 1)}, 200));
  EventQuery input1;
  input1.input = 1;
  const std::vector<StoredEvent> oldestFirst = All(*store, input1);
  ASSERT_EQ(oldestFirst.size(), 2u);
  EXPECT_FALSE(oldestFirst[0].gapBefore);
  EXPECT_TRUE(oldestFirst[1].gapBefore);
  input1.newestFirst = true;
  const std::vector<StoredEvent> newestFirst = All(*store, input1);
  ASSERT_EQ(newestFirst.size(), 2u);
  EXPECT_EQ(newestFirst[0].record.Hours(), 4);
  EXPECT_TRUE(newestFirst[0].gapBefore);
  EXPECT_FALSE(newestFirst[1].gapBefore);
  // Nothing of the query lies before the gap: no gap to show.
  (void)Import(*store, "2", CopyOf({MakeRecord(3, 0, 1, 0, 0, 1, 1)}, 100));
  (void)Import(*store, "2", CopyOf({MakeRecord(2, 0, 2, 0, 0, 1, 1)}, 200));
  EventQuery device2 = input1;
  device2.devices = {"2"};
  const std::vector<StoredEvent> alone = All(*store, device2);
  ASSERT_EQ(alone.size(), 1u);
  EXPECT_FALSE(alone[0].gapBefore);
  device2.input.reset();
  device2.newestFirst = false;
  const std::vector<StoredEvent> both = All(*store, device2);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_TRUE(both[1].gapBefore);
}

TEST_P(HistoryStoreTest, BothDirectionsListTheSameEventsWithTheSameGaps) {
  SimulationOptions options;
  options.seed = 3;
  SimulatedDevice device(options);
  auto store = Open();
  ASSERT_TRUE(store);
  for (const int written : {400, 1300, 300, 2000, 100}) {
    device.Write(written);
    (void)Import(*store, "p", device.CopyNow());
  }
  // The same records under another device: not the same file, which would
  // be refused as that device's.
  ArchiveCopy sameRecords = device.CopyNow();
  sameRecords.bytes.clear();
  (void)Import(*store, "q", sameRecords);
  // A device's events come in reverse order, and a gap shows on the same
  // event either way: the one next to it in time.
  std::vector<EventQuery> queries(3);
  queries[0].devices = {"q"};
  queries[1].devices = {"p"};
  queries[2].input = 3;
  queries[2].devices = {"p"};
  for (std::size_t q = 0; q < queries.size(); ++q) {
    SCOPED_TRACE("query " + std::to_string(q));
    EventQuery query = queries[q];
    const std::vector<StoredEvent> oldest = All(*store, query);
    query.newestFirst = true;
    const std::vector<StoredEvent> newest = All(*store, query);
    ASSERT_EQ(newest.size(), oldest.size());
    ASSERT_FALSE(oldest.empty());
    for (const bool newestFirst : {false, true}) {
      query.newestFirst = newestFirst;
      Result<std::int64_t> count = store->Count(query);
      ASSERT_TRUE(count.ok());
      EXPECT_EQ(*count, static_cast<std::int64_t>(oldest.size()));
    }
    if (q == 1) {
      EXPECT_EQ(std::count_if(oldest.begin(), oldest.end(),
                              [](const StoredEvent& e) { return e.gapBefore; }),
                2);
    }
    for (std::size_t i = 0; i < oldest.size(); ++i) {
      const StoredEvent& reversed = newest[newest.size() - 1 - i];
      ASSERT_EQ(reversed.device, oldest[i].device) << i;
      ASSERT_EQ(reversed.record, oldest[i].record) << i;
      ASSERT_EQ(reversed.gapBefore, oldest[i].gapBefore) << i;
    }
  }
}

// A text filter writes its matches into the statement, so a long session
// prepares ever new texts; the connection drops what it kept past a bound,
// but never a statement whose rows are still being read.
TEST_P(HistoryStoreTest, ConnectionsKeepAnsweringPastTheirPreparedStatementBound) {
  ASSERT_TRUE(Open());  // the schema
  std::unique_ptr<SqlConnection> db = test_.Raw();
  ASSERT_TRUE(db);
  const auto sum = [&db](std::size_t k, std::int64_t value) {
    std::int64_t answer = -1;
    const Status s = db->Query("SELECT " + std::to_string(k) + " + $1", {value},
                               [&](const SqlRow& row) { answer = row.Int(0); });
    EXPECT_TRUE(s.ok()) << s.failure().reason;
    return answer;
  };
  const std::int64_t rows = static_cast<std::int64_t>(kMaxPreparedStatements) + 10;
  std::int64_t seen = 0;
  bool inner = true;
  const Status outer = db->Query(
      "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < $1) "
      "SELECT k FROM n",
      {rows}, [&](const SqlRow& row) {
        ++seen;
        const std::int64_t k = row.Int(0);
        inner = inner && sum(static_cast<std::size_t>(k), 1000) == k + 1000;
      });
  ASSERT_TRUE(outer.ok()) << outer.failure().reason;
  EXPECT_EQ(seen, rows);
  EXPECT_TRUE(inner);
  for (std::size_t k = 0; k < 3 * kMaxPreparedStatements; ++k) {
    ASSERT_EQ(sum(k % (2 * kMaxPreparedStatements), 7),
              static_cast<std::int64_t>(k % (2 * kMaxPreparedStatements)) + 7)
        << k;
  }
}

TEST_P(HistoryStoreTest, NamesAreSetReplacedAndListed) {
  auto store = Open();
  ASSERT_TRUE(store);
  // Names only for devices with a history.
  for (const char* device : {"1", "3", "4"}) {
    ASSERT_TRUE(store->Import(device, CopyOf({MakeRecord(3, 0, 1, 0, 0, 1, 1)}, 100)).ok());
  }
  ASSERT_TRUE(store
                  ->SetNames({{"3", NumberKind::kRelay, 2, "Сирена"},
                              {"3", NumberKind::kInput, 7, "Склад, дверь"},
                              {"1", NumberKind::kInput, 1, "Вход"}})
                  .ok());
  // An empty name removes one; removing a name never given is no fault.
  ASSERT_TRUE(store
                  ->SetNames({{"3", NumberKind::kInput, 7, "Склад, окно"},
                              {"1", NumberKind::kInput, 1, ""},
                              {"1", NumberKind::kInput, 2, ""}})
                  .ok());
  Result<std::vector<NameEntry>> names = store->Names();
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(*names, (std::vector<NameEntry>{{"3", NumberKind::kInput, 7, "Склад, окно"},
                                            {"3", NumberKind::kRelay, 2, "Сирена"}}));
  // All or nothing: the good first entry is not kept.
  const Status bad =
      store->SetNames({{"4", NumberKind::kInput, 1, "x"}, {"4", NumberKind::kInput, 0, "y"}});
  ASSERT_FALSE(bad.ok());
  EXPECT_EQ(bad.failure().reason, "the number 0 is not from 1 to 256");
  Result<std::vector<NameEntry>> after = store->Names();
  ASSERT_TRUE(after.ok());
  EXPECT_EQ(after->size(), 2u);
}

TEST_P(HistoryStoreTest, DeviceSummariesCountEventsCopiesAndGaps) {
  auto store = Open();
  ASSERT_TRUE(store);
  const CopyTime february{0, 2024, 2, 1};
  const ArchiveRecord undated = MakeRecord(3, 0, 9, 0, 0, 0, 0);
  const ArchiveRecord undatedLater = MakeRecord(3, 0, 10, 0, 0, 0, 0);
  (void)Import(*store, "7", CopyOf({undated, Event(1, 5, 1), Event(2, 6, 1)}, 100, february));
  (void)Import(*store, "7", CopyOf({Event(2, 6, 1), Event(3, 7, 1)}, 150, february));
  (void)Import(*store, "7", CopyOf({Event(9, 9, 1), undatedLater}, 200, february));
  Result<std::vector<DeviceSummary>> devices = store->Devices();
  ASSERT_TRUE(devices.ok()) << devices.failure().reason;
  ASSERT_EQ(devices->size(), 1u);
  const DeviceSummary& d = devices->front();
  EXPECT_EQ(d.device, "7");
  EXPECT_EQ(d.events, 6);
  EXPECT_EQ(d.copies, 3);
  EXPECT_EQ(d.gaps, 1);
  ASSERT_TRUE(d.firstDated);
  EXPECT_EQ(d.firstDated->record, Event(1, 5, 1));
  EXPECT_EQ(d.firstDated->year, 2024);
  ASSERT_TRUE(d.lastDated);
  EXPECT_EQ(d.lastDated->record, Event(9, 9, 1));
  ASSERT_TRUE(d.lastImportUnixSeconds);
  EXPECT_GT(*d.lastImportUnixSeconds, 1700000000);
}

TEST_P(HistoryStoreTest, AReopenedStoreHoldsWhatWasImported) {
  {
    auto store = Open();
    ASSERT_TRUE(store);
    (void)Import(*store, "1", CopyOf({Event(1), Event(2)}, 100));
  }
  auto reader = Open(OpenMode::kRead);
  ASSERT_TRUE(reader);
  EXPECT_EQ(All(*reader).size(), 2u);
}

TEST_P(HistoryStoreTest, AStoreOfANewerLayoutIsRefusedUntouched) {
  {
    auto store = Open();
    ASSERT_TRUE(store);
    (void)Import(*store, "1", CopyOf({Event(1)}, 100));
  }
  {
    auto raw = test_.Raw();
    ASSERT_TRUE(raw);
    ASSERT_TRUE(raw->Exec("UPDATE schema_version SET version = 99").ok());
  }
  std::string before;
  if (GetParam() == Backend::kSqlite) {
    std::ifstream in(test_.location().target, std::ios::binary);
    before.assign(std::istreambuf_iterator<char>(in), {});
  }
  for (const OpenMode mode : {OpenMode::kWrite, OpenMode::kRead}) {
    Result<std::unique_ptr<HistoryStore>> store = OpenHistoryStore(test_.location(), mode);
    ASSERT_FALSE(store.ok());
    EXPECT_EQ(store.failure().reason,
              test_.location().shown +
                  ": the history store has layout version 99, newer than this program's " +
                  std::to_string(kStoreVersion) + "; use a newer torvdoc");
  }
  if (GetParam() == Backend::kSqlite) {
    std::ifstream in(test_.location().target, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
  }
  auto raw = test_.Raw();
  ASSERT_TRUE(raw);
  std::int64_t events = 0;
  ASSERT_TRUE(
      raw->Query("SELECT count(*) FROM events", {}, [&](const SqlRow& row) { events = row.Int(0); })
          .ok());
  EXPECT_EQ(events, 1);
}

TEST_P(HistoryStoreTest, ReadingAStoreWithoutHistoryFails) {
  if (GetParam() == Backend::kPostgres) {
    Result<std::unique_ptr<HistoryStore>> store =
        OpenHistoryStore(test_.location(), OpenMode::kRead);
    ASSERT_FALSE(store.ok());
    EXPECT_EQ(store.failure().reason,
              test_.location().shown + ": no history stored here yet; import a copy first");
  } else {
    Result<std::unique_ptr<HistoryStore>> store =
        OpenHistoryStore(test_.location(), OpenMode::kRead);
    ASSERT_FALSE(store.ok());
    EXPECT_EQ(store.failure().reason,
              test_.location().shown + ": no history store here yet; import a copy first");
    EXPECT_FALSE(std::filesystem::exists(test_.location().target));
  }
}

TEST_P(HistoryStoreTest, TheTextFilterFindsEventTextsAndNamesIgnoringCaseAndSpaces) {
  auto store = Open();
  ASSERT_TRUE(store);
  ArchiveRecord damaged;
  damaged.bytes.fill(255);
  const std::vector<ArchiveRecord> records{
      MakeRecord(2, 6, 1, 0, 0, 30, 12),   // alarm, input 7
      MakeRecord(51, 1, 2, 0, 0, 31, 12),  // relay 2 on
      damaged,                             // no text of its own but "**НЕКОРР ЗАП.**"
      MakeRecord(0, 6, 3, 0, 0, 1, 1),     // normal, input 7
      MakeRecord(1, 2, 4, 0, 0, 1, 1),     // warning, input 3
      MakeRecord(3, 0, 5, 0, 0, 2, 1),     // "Включение  ИМ"
      MakeRecord(20, 0, 6, 0, 0, 2, 1),    // a code without text
  };
  (void)Import(*store, "1", CopyOf(records, 100, {0, 2024, 1, 2}));
  (void)Import(*store, "2", CopyOf({MakeRecord(0, 6, 7, 0, 0, 1, 1)}, 100, {0, 2024, 1, 2}));
  ASSERT_TRUE(store
                  ->SetNames({{"1", NumberKind::kInput, 7, "Склад, Дверь"},
                              {"1", NumberKind::kRelay, 2, "Сирена ёлка"},
                              {"2", NumberKind::kInput, 7, "Окно"}})
                  .ok());
  const auto hours = [&](const std::string& text, EventQuery query = {}) {
    query.text = text;
    std::vector<int> result;
    for (const StoredEvent& e : All(*store, query)) {
      result.push_back(e.damaged ? -1 : e.record.Hours());
    }
    Result<std::int64_t> count = store->Count(query);
    EXPECT_TRUE(count.ok());
    EXPECT_EQ(count.ok() ? *count : -1, static_cast<std::int64_t>(result.size())) << text;
    return result;
  };
  EXPECT_EQ(hours("АВАР.  сигн"), (std::vector<int>{1}));
  EXPECT_EQ(hours("авар сигн"), (std::vector<int>{}));
  EXPECT_EQ(hours("дверь"), (std::vector<int>{1, 3}));  // input 7 of device 1 only
  EXPECT_EQ(hours("  СИРЕНА ЁЛКА "), (std::vector<int>{2}));
  EXPECT_EQ(hours("реле"), (std::vector<int>{2}));
  EXPECT_EQ(hours("некорр"), (std::vector<int>{-1}));
  EXPECT_EQ(hours("включение им"), (std::vector<int>{5}));
  EXPECT_EQ(hours("включение"), (std::vector<int>{2, 5}));
  EXPECT_EQ(hours("норма"), (std::vector<int>{3, 7}));
  EXPECT_EQ(hours("нет такого"), (std::vector<int>{}));
  EXPECT_EQ(hours("   "), (std::vector<int>{1, 2, -1, 3, 4, 5, 6, 7}));
  EventQuery input3;
  input3.input = 3;
  EXPECT_EQ(hours("сигн", input3), (std::vector<int>{4}));
  EventQuery device2;
  device2.devices = {"2"};
  EXPECT_EQ(hours("ОКНО", device2), (std::vector<int>{7}));
  EXPECT_EQ(hours("окно"), (std::vector<int>{7}));
}

// Reads a whole listing part by part, `chunk` events at a time.
std::vector<StoredEvent> ByParts(HistoryStore& store, const EventQuery& query,
                                 const std::vector<ListingPart>& parts, int chunk) {
  std::vector<StoredEvent> events;
  for (const ListingPart& part : parts) {
    for (std::int64_t skip = 0; skip < part.events; skip += chunk) {
      Result<std::vector<StoredEvent>> read = store.PartEvents(query, part, skip, chunk);
      EXPECT_TRUE(read.ok()) << read.failure().reason;
      if (!read.ok()) return events;
      EXPECT_EQ(static_cast<std::int64_t>(read->size()),
                std::min<std::int64_t>(chunk, part.events - skip));
      events.insert(events.end(), read->begin(), read->end());
    }
  }
  return events;
}

TEST_P(HistoryStoreTest, PartsReachEveryRowOfTheListingFromEitherEnd) {
  SimulationOptions options;
  options.seed = 5;
  options.startUnixSeconds = 1735500000;  // 29 December 2024
  options.maxStepSeconds = 900;
  SimulatedDevice device(options);
  auto store = Open();
  ASSERT_TRUE(store);
  for (const int written : {400, 1300, 300, 2000, 100}) {
    device.Write(written);
    (void)Import(*store, "p", device.CopyNow());
  }
  (void)Import(*store, "q", device.CopyNow());
  ASSERT_TRUE(store->SetNames({{"p", NumberKind::kInput, 3, "Окно"}}).ok());

  std::vector<EventQuery> queries(5);
  queries[1].input = 3;
  queries[2].kinds = {EventKind::kRelay, EventKind::kDamaged};
  queries[3].text = "окно";
  queries[4].from = CalendarDate{2025, 1, 1};
  queries[4].devices = {"p"};
  for (std::size_t q = 0; q < queries.size(); ++q) {
    for (const bool newestFirst : {false, true}) {
      SCOPED_TRACE("query " + std::to_string(q) + (newestFirst ? ", newest first" : ""));
      EventQuery query = queries[q];
      query.newestFirst = newestFirst;
      const std::vector<StoredEvent> all = All(*store, query);
      ASSERT_FALSE(all.empty());
      Result<std::vector<ListingPart>> parts = store->Parts(query);
      ASSERT_TRUE(parts.ok()) << parts.failure().reason;
      std::int64_t total = 0;
      int gaps = 0;
      for (std::size_t i = 0; i < parts->size(); ++i) {
        total += (*parts)[i].events;
        if (i > 0 && (*parts)[i].device == (*parts)[i - 1].device) ++gaps;
      }
      EXPECT_EQ(total, static_cast<std::int64_t>(all.size()));
      EXPECT_EQ(gaps, std::count_if(all.begin(), all.end(),
                                    [](const StoredEvent& e) { return e.gapBefore; }));
      if (q == 0) {
        EXPECT_EQ(gaps, 2);
      }
      for (const int chunk : {1, 7, 500}) {
        std::vector<StoredEvent> read = ByParts(*store, query, *parts, chunk);
        ASSERT_EQ(read.size(), all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
          ASSERT_EQ(read[i].device, all[i].device) << i;
          ASSERT_EQ(read[i].record, all[i].record) << i;
          ASSERT_EQ(read[i].year, all[i].year) << i;
        }
      }
      // A row in the middle of the longest part, read alone.
      const auto longest = std::max_element(
          parts->begin(), parts->end(),
          [](const ListingPart& a, const ListingPart& b) { return a.events < b.events; });
      std::int64_t before = 0;
      for (auto it = parts->begin(); it != longest; ++it) before += it->events;
      const std::int64_t skip = longest->events * 2 / 3;
      Result<std::vector<StoredEvent>> one = store->PartEvents(query, *longest, skip, 1);
      ASSERT_TRUE(one.ok());
      ASSERT_EQ(one->size(), 1u);
      EXPECT_EQ(one->front().record, all[static_cast<std::size_t>(before + skip)].record);
      Result<std::vector<StoredEvent>> past =
          store->PartEvents(query, *longest, longest->events, 5);
      ASSERT_TRUE(past.ok());
      EXPECT_TRUE(past->empty());
    }
  }
  EventQuery none;
  none.text = "нет такого события";
  Result<std::vector<ListingPart>> empty = store->Parts(none);
  ASSERT_TRUE(empty.ok());
  EXPECT_TRUE(empty->empty());
}

TEST_P(HistoryStoreTest, APartWhoseStretchWasJoinedGivesNoEvents) {
  auto store = Open();
  ASSERT_TRUE(store);
  (void)Import(*store, "1", CopyOf({Event(1), Event(2)}, 100));
  (void)Import(*store, "1", CopyOf({Event(5), Event(6)}, 300));
  Result<std::vector<ListingPart>> before = store->Parts({});
  ASSERT_TRUE(before.ok());
  ASSERT_EQ(before->size(), 2u);
  EXPECT_EQ((*before)[0].events, 2);
  (void)Import(*store, "1", CopyOf({Event(2), Event(3), Event(4), Event(5)}, 200));
  Result<std::vector<ListingPart>> after = store->Parts({});
  ASSERT_TRUE(after.ok());
  ASSERT_EQ(after->size(), 1u);
  EXPECT_EQ(after->front().events, 6);
  int vanished = 0;
  for (const ListingPart& old : *before) {
    if (old.stretchId == after->front().stretchId) continue;
    ++vanished;
    Result<std::vector<StoredEvent>> events = store->PartEvents({}, old, 0, 10);
    ASSERT_TRUE(events.ok());
    EXPECT_TRUE(events->empty());
  }
  EXPECT_EQ(vanished, 1);
  ListingPart wrongDevice = after->front();
  wrongDevice.device = "2";
  Result<std::vector<StoredEvent>> unknown = store->PartEvents({}, wrongDevice, 0, 10);
  ASSERT_FALSE(unknown.ok());
  EXPECT_EQ(unknown.failure().reason, "no device \"2\" in the history");
}

INSTANTIATE_TEST_SUITE_P(Stores, HistoryStoreTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         testing::BackendName);

TEST(SqliteStoreTest, ABareFileNameIsAStoreInTheCurrentFolder) {
  const torv::testing::TempFolder folder;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  Result<std::unique_ptr<HistoryStore>> store =
      OpenHistoryStore({StoreKind::kSqlite, "here.sqlite3", "here.sqlite3"}, OpenMode::kWrite);
  std::filesystem::current_path(previous);
  ASSERT_TRUE(store.ok()) << store.failure().reason;
  EXPECT_TRUE(std::filesystem::is_regular_file(folder.path() / "here.sqlite3"));
}

}  // namespace
}  // namespace torv::history
