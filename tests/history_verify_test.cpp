// The store proves itself: every change made behind its back (an event or a
// journal entry changed, removed or inserted, a kept copy's bytes changed)
// is named by verify, on both stores, and verify itself changes nothing.
#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "history_test_support.h"
#include "models/device_simulation.h"
#include "outside_program.h"

namespace torv::history {
namespace {

using testing::Backend;
using testing::StoreListing;
using testing::TestStore;

// The first stretch's first event.
constexpr char kFirstEvent[] =
    "stretch_id = (SELECT min(id) FROM stretches) AND pos = (SELECT first_pos FROM stretches "
    "WHERE id = (SELECT min(id) FROM stretches))";

class HistoryVerifyTest : public ::testing::TestWithParam<Backend> {
 protected:
  HistoryVerifyTest() : test_(GetParam()) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  // Device 5: three overlapping copies and a name; five journal entries.
  static std::unique_ptr<HistoryStore> Filled(TestStore& test) {
    auto store = test.Open();
    SimulationOptions options;
    options.seed = 9;
    SimulatedDevice device(options);
    for (const int written : {700, 500, 400}) {
      device.Write(written);
      EXPECT_TRUE(store->Import("5", device.CopyNow()).ok());
    }
    EXPECT_TRUE(store->SetNames({{"5", NumberKind::kInput, 1, "Дверь"}}).ok());
    EXPECT_TRUE(store->RenameDevice("5", "Пост 5", "табличка").ok());
    return store;
  }
  TestStore test_;
};

TEST_P(HistoryVerifyTest, AnUntouchedStoreVerifiesAndStaysAsItWas) {
  auto store = Filled(test_);
  const std::string before = StoreListing(*store);
  Result<Verification> verified = store->Verify({});
  ASSERT_TRUE(verified.ok()) << verified.failure().reason;
  EXPECT_EQ(verified->problem, std::nullopt);
  ASSERT_EQ(verified->devices.size(), 1u);
  EXPECT_EQ(verified->devices[0].device, "Пост 5");
  EXPECT_EQ(verified->devices[0].events, 1600);
  EXPECT_EQ(verified->devices[0].copies, 3);
  EXPECT_EQ(verified->journalEntries, 5);
  EXPECT_EQ(StoreListing(*store), before);
  Result<std::vector<JournalEntry>> journal = store->Journal();
  ASSERT_TRUE(journal.ok());
  EXPECT_EQ(journal->size(), 5u);
}

TEST_P(HistoryVerifyTest, EachChangeBehindTheStoresBackIsNamed) {
  const struct {
    const char* what;
    std::string sql;
    std::vector<SqlValue> parameters;
    std::string problemStart;
    std::string problemEnd;
  } cases[] = {
      {"an event's byte changed",
       std::string("UPDATE events SET spare = 255 - spare WHERE ") + kFirstEvent,
       {},
       "device \"Пост 5\": run 1, event 1: stored as bytes ",
       ""},
      {"the last event removed",
       "DELETE FROM events WHERE pos = (SELECT max(pos) FROM events)",
       {},
       "device \"Пост 5\": run 1, event 1600: missing from the store; its copies give bytes ",
       ""},
      {"an event added after the last",
       "INSERT INTO events (stretch_id, pos, device_id, moment, spare, date_key, kind, number) "
       "SELECT stretch_id, pos + 1, device_id, moment, spare, date_key, kind, number FROM events "
       "WHERE pos = (SELECT max(pos) FROM events)",
       {},
       "device \"Пост 5\": run 1, event 1601: stored as bytes ",
       ", which none of its copies gives there"},
      {"a kept copy's bytes changed",
       "UPDATE copies SET bytes = $1 WHERE id = 2",
       {SqlBlob{std::vector<std::uint8_t>(8196, 7)}},
       "copy 2 of device \"Пост 5\": its bytes no longer give the SHA-256 it was stored with",
       ""},
      {"a journal entry's reason changed",
       "UPDATE journal SET reason = 'ошибка' WHERE id = 5",
       {},
       "journal entry 5: it does not follow from the entries before it (an entry was changed, "
       "removed or inserted)",
       ""},
      {"a journal entry removed",
       "DELETE FROM journal WHERE id = 2",
       {},
       "journal entry 3: it does not follow from the entries before it",
       ""},
      {"a journal entry inserted",
       "INSERT INTO journal (id, at, kind, device, copy_id, who, version, reason, detail, "
       "copy_sha256, events_digest, hash) SELECT 6, at, kind, device, copy_id, who, version, "
       "reason, detail, copy_sha256, events_digest, hash FROM journal WHERE id = 1",
       {},
       "journal entry 6: it does not follow from the entries before it",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestStore test(GetParam());
    auto store = Filled(test);
    ASSERT_TRUE(store);
    const Status tampered = test.Raw()->Exec(c.sql, c.parameters);
    ASSERT_TRUE(tampered.ok()) << tampered.failure().reason;
    Result<Verification> verified = store->Verify({});
    ASSERT_TRUE(verified.ok()) << verified.failure().reason;
    ASSERT_TRUE(verified->problem);
    EXPECT_TRUE(verified->problem->starts_with(c.problemStart)) << *verified->problem;
    EXPECT_TRUE(verified->problem->ends_with(c.problemEnd)) << *verified->problem;
  }
}

// Another client (the database's own shell) cannot change or delete events
// or journal entries: the store refuses, and stays as it was.
TEST_P(HistoryVerifyTest, OtherClientsCannotChangeOrDeleteEventsOrTheJournal) {
  const bool sqlite = GetParam() == Backend::kSqlite;
  const char* const shell = sqlite ? "/usr/bin/sqlite3" : "/usr/bin/psql";
  ASSERT_TRUE(torv::testing::ProgramInstalled(shell, sqlite ? "sqlite3" : "postgresql-client"));
  auto store = Filled(test_);
  const std::string before = StoreListing(*store);
  const struct {
    const char* sql;
    const char* refusal;
  } edits[] = {
      {"UPDATE events SET spare = 0", "the history keeps its events as imported"},
      {"DELETE FROM events WHERE pos = 0", "the history keeps its events as imported"},
      {"UPDATE journal SET reason = 'x'",
       sqlite ? "the history's journal is only added to" : "the history keeps its journal"},
      {"DELETE FROM journal",
       sqlite ? "the history's journal is only added to" : "the history keeps its journal"},
  };
  cli_testing::ScratchFolder folder;
  for (const auto& edit : edits) {
    SCOPED_TRACE(edit.sql);
    const std::vector<std::string> args =
        sqlite ? std::vector<std::string>{test_.location().target, edit.sql}
               : std::vector<std::string>{"-X", "-v",    "ON_ERROR_STOP=1", test_.location().target,
                                          "-c", edit.sql};
    const cli_testing::ProcessResult run =
        cli_testing::RunProcess(shell, args, folder.path(), folder.path());
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find(edit.refusal), std::string::npos) << run.err;
  }
  EXPECT_EQ(StoreListing(*store), before);
  Result<Verification> verified = store->Verify({});
  ASSERT_TRUE(verified.ok()) << verified.failure().reason;
  EXPECT_EQ(verified->problem, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Stores, HistoryVerifyTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         testing::BackendName);

}  // namespace
}  // namespace torv::history
