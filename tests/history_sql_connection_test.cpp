// What the store asks of each database's connection: transactions that
// commit or roll back whole, one snapshot for a read, the schema's words.
#include "history/sql_connection.h"

#include <gtest/gtest.h>

#include "history_test_support.h"

namespace torv::history {
namespace {

using testing::Backend;
using testing::TestStore;

class SqlConnectionTest : public ::testing::TestWithParam<Backend> {
 protected:
  SqlConnectionTest() : test_(GetParam()) {}

  void SetUp() override {
    db_ = test_.Raw();
    ASSERT_TRUE(db_);
    ASSERT_TRUE(db_->ReadBesideWriter().ok());
    const Status made =
        db_->ExecScript("CREATE TABLE numbers (n " + std::string(db_->Words().integer) + ")");
    ASSERT_TRUE(made.ok()) << made.failure().reason;
  }

  static std::int64_t Rows(SqlConnection& db) {
    std::int64_t rows = -1;
    const Status s =
        db.Query("SELECT count(*) FROM numbers", {}, [&](const SqlRow& row) { rows = row.Int(0); });
    EXPECT_TRUE(s.ok()) << s.failure().reason;
    return rows;
  }

  TestStore test_;
  std::unique_ptr<SqlConnection> db_;
};

TEST_P(SqlConnectionTest, AWriteTransactionKeepsAllOfItsWorkOrNone) {
  struct Case {
    const char* name;
    bool fails;
    std::int64_t rowsAfter;
  };
  const Case cases[] = {{"succeeds", false, 2}, {"fails", true, 2}, {"succeeds again", false, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Result<int> done = db_->InWriteTransaction([&]() -> Result<int> {
      for (std::int64_t n : {1, 2}) {
        if (Status s = db_->Exec("INSERT INTO numbers (n) VALUES ($1)", {n}); !s) {
          return s.failure();
        }
      }
      if (c.fails) return Failure{"stopped after two rows"};
      return 7;
    });
    ASSERT_EQ(done.ok(), !c.fails);
    if (c.fails) {
      EXPECT_EQ(done.failure().reason, "stopped after two rows");
    } else {
      EXPECT_EQ(*done, 7);
    }
    EXPECT_EQ(Rows(*db_), c.rowsAfter);
  }
}

TEST_P(SqlConnectionTest, AReadTransactionSeesOneSnapshotWhileAnotherConnectionWrites) {
  std::unique_ptr<SqlConnection> writer = test_.Raw();
  ASSERT_TRUE(writer);
  const Status read = db_->InReadTransaction([&]() -> Status {
    EXPECT_EQ(Rows(*db_), 0);
    if (Status s = writer->Exec("INSERT INTO numbers (n) VALUES (1)"); !s) return s;
    EXPECT_EQ(Rows(*writer), 1);
    EXPECT_EQ(Rows(*db_), 0);
    return {};
  });
  ASSERT_TRUE(read.ok()) << read.failure().reason;
  EXPECT_EQ(Rows(*db_), 1);
}

TEST_P(SqlConnectionTest, TheSchemaIsAskedForTablesByName) {
  const std::pair<const char*, bool> cases[] = {
      {"numbers", true}, {"number", false}, {"events", false}};
  for (const auto& [name, exists] : cases) {
    Result<bool> has = db_->HasTable(name);
    ASSERT_TRUE(has.ok()) << has.failure().reason;
    EXPECT_EQ(*has, exists) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, SqlConnectionTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         testing::BackendName);

}  // namespace
}  // namespace torv::history
