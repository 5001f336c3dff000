// How the database answers the store's statements on events: every one goes
// through an index, and a date-bounded listing through the date index, so
// that a later change of a statement or of the layout cannot fall back to
// reading a whole history unnoticed. Checked on both stores, with the plans
// the databases give for the statements the store itself runs.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <functional>

#include "history/event_selection.h"
#include "history/sql_history_store.h"
#include "history/store_schema.h"
#include "history_test_support.h"
#include "models/device_simulation.h"

namespace torv::history {
namespace {

using testing::Backend;
using testing::TestStore;

// A statement on the events table and the plan the database gave for it.
struct Planned {
  std::string sql;
  std::string plan;  // the plan's lines, each ending in "\n"
};

// Passes every statement on to the store's own connection, and first asks
// the database for the plan of each one that reads events.
class PlanRecorder final : public SqlConnection {
 public:
  PlanRecorder(std::unique_ptr<SqlConnection> db, Backend backend, std::vector<Planned>& plans)
      : db_(std::move(db)), backend_(backend), plans_(plans) {}

  const SqlWords& Words() const override { return db_->Words(); }
  Status Query(std::string_view sql, const std::vector<SqlValue>& parameters,
               const RowSink& sink) override {
    if (sql.starts_with("SELECT") && sql.find("FROM events") != std::string_view::npos) {
      const bool sqlite = backend_ == Backend::kSqlite;
      Planned planned{std::string(sql), {}};
      const Status explained =
          db_->Query((sqlite ? "EXPLAIN QUERY PLAN " : "EXPLAIN ") + planned.sql, parameters,
                     [&](const SqlRow& row) { planned.plan += row.Text(sqlite ? 3 : 0) + "\n"; });
      if (!explained) ADD_FAILURE() << planned.sql << ": " << explained.failure().reason;
      plans_.push_back(std::move(planned));
    }
    return db_->Query(sql, parameters, sink);
  }
  Status ExecScript(std::string_view sql) override { return db_->ExecScript(sql); }
  Status BeginRead() override { return db_->BeginRead(); }
  Status BeginWrite() override { return db_->BeginWrite(); }
  Status LockLayout() override { return db_->LockLayout(); }
  Status ReadBesideWriter() override { return db_->ReadBesideWriter(); }
  Result<std::string> CheckDatabase() override { return db_->CheckDatabase(); }
  Status BackupTo(const std::string& destination) override { return db_->BackupTo(destination); }

 private:
  std::unique_ptr<SqlConnection> db_;
  Backend backend_;
  std::vector<Planned>& plans_;
};

class QueryPlanTest : public ::testing::TestWithParam<Backend> {
 protected:
  QueryPlanTest() : test_(GetParam()) {}

  // A store of three simulated devices, each a few copies with a gap, read
  // through the recorder.
  void SetUp() override {
    std::unique_ptr<SqlConnection> db = test_.Raw();
    ASSERT_TRUE(db);
    ASSERT_TRUE(PrepareSchema(*db, OpenMode::kWrite).ok());
    // A small table is read whole whenever that is cheaper; the planner is
    // kept from it so that a plan shows whether an index could serve.
    if (GetParam() == Backend::kPostgres) {
      ASSERT_TRUE(db->Exec("SET enable_seqscan = off").ok());
    }
    store_ = std::make_unique<SqlHistoryStore>(
        std::make_unique<PlanRecorder>(std::move(db), GetParam(), plans_));
    for (std::uint32_t device = 1; device <= 3; ++device) {
      SimulatedDevice simulated({.seed = device, .maxStepSeconds = 4 * 3600});
      for (const int events : {1500, 300, 2000, 200}) {
        simulated.Write(events);
        const Result<ImportOutcome> imported =
            store_->Import("device " + std::to_string(device), simulated.CopyNow());
        ASSERT_TRUE(imported.ok()) << imported.failure().reason;
      }
    }
  }

  // Every plan recorded since the last call; none reads the events whole.
  std::vector<Planned> TakePlans() {
    std::vector<Planned> plans = std::move(plans_);
    plans_.clear();
    for (const Planned& planned : plans) {
      SCOPED_TRACE(planned.sql);
      if (GetParam() == Backend::kSqlite) {
        EXPECT_EQ(planned.plan.find("SCAN events"), std::string::npos) << planned.plan;
      } else {
        EXPECT_EQ(planned.plan.find("Seq Scan on events"), std::string::npos) << planned.plan;
      }
    }
    return plans;
  }

  // The statements of `plans` that take the query's dates through the date
  // index, and that the listing's rows are then read in position order.
  void ExpectDatesThroughTheirIndex(const std::vector<Planned>& plans) {
    int dated = 0;
    for (const Planned& planned : plans) {
      SCOPED_TRACE(planned.sql);
      if (planned.sql.find("max(pos + 0)") != std::string::npos ||
          planned.sql.find("max(e.pos + 0)") != std::string::npos) {
        ++dated;
        EXPECT_NE(planned.plan.find("events_by_date"), std::string::npos) << planned.plan;
      } else if (planned.sql.find(" LIMIT ") != std::string::npos) {
        // Rows come in position order: no sort of everything in the dates.
        EXPECT_EQ(planned.plan.find(GetParam() == Backend::kSqlite ? "TEMP B-TREE" : "Sort"),
                  std::string::npos)
            << planned.plan;
      }
    }
    EXPECT_GT(dated, 0);
  }

  TestStore test_;
  std::vector<Planned> plans_;
  std::unique_ptr<SqlHistoryStore> store_;
};

TEST_P(QueryPlanTest, ImportsFindIdentitiesAndWindowsThroughIndexes) {
  const std::vector<Planned> plans = TakePlans();
  bool byMoment = false;
  for (const Planned& planned : plans)
    byMoment |= planned.sql.find("moment = $2") != std::string::npos;
  EXPECT_TRUE(byMoment);
}

TEST_P(QueryPlanTest, DateBoundedListingsGoThroughTheDateIndex) {
  const CalendarDate from{2024, 3, 1};
  const CalendarDate to{2024, 3, 31};
  const auto dated = [&](const auto& more) {
    EventQuery query;
    query.from = from;
    query.to = to;
    more(query);
    return query;
  };
  // Changes of the dated query (a list of queries trips a false warning of
  // GCC 12 about the temporaries).
  const std::vector<std::function<void(EventQuery&)>> changes = {
      [](EventQuery&) {},
      [](EventQuery& q) { q.to.reset(); },
      [](EventQuery& q) { q.from.reset(), q.newestFirst = true; },
      [](EventQuery& q) { q.devices = {"device 2"}; },
      [](EventQuery& q) {
        q.kinds = {EventKind::kInput, EventKind::kRelay};
      },
      [](EventQuery& q) { q.input = 3, q.newestFirst = true; },
      [](EventQuery& q) { q.text = "норма"; },
  };
  for (const auto& change : changes) {
    const EventQuery query = dated(change);
    std::int64_t listed = 0;
    ASSERT_TRUE(store_->ForEachEvent(query, [&](const StoredEvent&) { ++listed; }).ok());
    Result<std::vector<ListingPart>> parts = store_->Parts(query);
    ASSERT_TRUE(parts.ok());
    std::int64_t inParts = 0;
    for (const ListingPart& part : *parts) {
      inParts += part.events;
      ASSERT_TRUE(store_->PartEvents(query, part, part.events / 2, 50).ok());
    }
    EXPECT_EQ(inParts, listed);
    Result<std::int64_t> counted = store_->Count(query);
    ASSERT_TRUE(counted.ok());
    EXPECT_EQ(*counted, listed);
    ExpectDatesThroughTheirIndex(TakePlans());
  }
}

TEST_P(QueryPlanTest, WholeListingsAndSummariesReadInPositionOrder) {
  std::int64_t listed = 0;
  ASSERT_TRUE(store_->ForEachEvent({}, [&](const StoredEvent&) { ++listed; }).ok());
  ASSERT_TRUE(store_->Devices().ok());
  EventQuery text;
  text.text = "вход";
  ASSERT_TRUE(store_->ForEachEvent(text, [](const StoredEvent&) {}).ok());
  // Three devices, each a stretch of two copies and one of two.
  EXPECT_EQ(listed, 3 * ((1024 + 300) + (1024 + 200)));
  EXPECT_FALSE(TakePlans().empty());
}

INSTANTIATE_TEST_SUITE_P(Stores, QueryPlanTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         testing::BackendName);

// Device ids follow one another however often a device is imported again:
// an insert that meets the name already there uses up no id.
class DeviceIdTest : public ::testing::TestWithParam<Backend> {};

TEST_P(DeviceIdTest, ImportsOfAKnownDeviceUseUpNoId) {
  TestStore test(GetParam());
  std::unique_ptr<HistoryStore> store = test.Open();
  ASSERT_TRUE(store);
  SimulatedDevice simulated({});
  for (const char* device : {"a", "a", "a", "b", "a", "b", "c"}) {
    simulated.Write(10);
    ASSERT_TRUE(store->Import(device, simulated.CopyNow()).ok());
  }
  ASSERT_TRUE(store->SetNames({{"a", NumberKind::kInput, 1, "door"}}).ok());
  simulated.Write(10);
  ASSERT_TRUE(store->Import("d", simulated.CopyNow()).ok());
  std::unique_ptr<SqlConnection> raw = test.Raw();
  ASSERT_TRUE(raw);
  std::string ids;
  ASSERT_TRUE(raw->Query("SELECT id, name FROM devices ORDER BY id", {},
                         [&](const SqlRow& row) {
                           ids += std::to_string(row.Int(0)) + " " + row.Text(1) + "\n";
                         })
                  .ok());
  EXPECT_EQ(ids, "1 a\n2 b\n3 c\n4 d\n");
}

INSTANTIATE_TEST_SUITE_P(Stores, DeviceIdTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         testing::BackendName);

// A filter on codes is estimated from what the table holds: a planner that
// guessed one event in two hundred chose to read and sort the whole table
// for every page of alarms. PostgreSQL alone keeps such statistics.
TEST(CodeStatisticsTest, ThePlannerKnowsHowOftenACodeOccurs) {
  TestStore test(Backend::kPostgres);
  std::unique_ptr<HistoryStore> store = test.Open();
  ASSERT_TRUE(store);
  std::unique_ptr<SqlConnection> raw = test.Raw();
  ASSERT_TRUE(raw);
  // The server's own ANALYZE, started by these imports, could meet the
  // test's and fail it ("tuple concurrently updated").
  ASSERT_TRUE(raw->Exec("ALTER TABLE events SET (autovacuum_enabled = false)").ok());
  SimulatedDevice simulated({.seed = 5});
  for (int copy = 0; copy < 4; ++copy) {
    simulated.Write(1000);
    ASSERT_TRUE(store->Import("a", simulated.CopyNow()).ok());
  }
  // As the server's autovacuum does after so many rows were added.
  const Status analysed = raw->Exec("ANALYZE events");
  ASSERT_TRUE(analysed.ok()) << analysed.failure().reason;
  const std::string from = "FROM events WHERE " + CodesCondition({0, 2});
  std::int64_t actual = 0;
  ASSERT_TRUE(
      raw->Query("SELECT count(*) " + from, {}, [&](const SqlRow& row) { actual = row.Int(0); })
          .ok());
  std::string plan;
  ASSERT_TRUE(raw->Query("EXPLAIN SELECT pos " + from, {},
                         [&](const SqlRow& row) {
                           if (plan.empty()) plan = row.Text(0);
                         })
                  .ok());
  const std::size_t rows = plan.find("rows=");
  ASSERT_NE(rows, std::string::npos) << plan;
  const std::int64_t estimate = std::stoll(plan.substr(rows + 5));
  ASSERT_GT(actual, 1000);
  EXPECT_GT(estimate, actual * 3 / 4) << plan;
  EXPECT_LT(estimate, actual * 5 / 4) << plan;
}

}  // namespace
}  // namespace torv::history
