// An SQLite file is used as a history store only when it is one: anything
// else is refused, its bytes left exactly as they were.
#include "history/sqlite_claim.h"

#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>

#include <gtest/gtest.h>

#include "history/history_store.h"
#include "history/sqlite_connection.h"
#include "temp_archive.h"

namespace torv::history {
namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int64_t ApplicationId(const std::string& path) {
  Result<std::unique_ptr<SqlConnection>> db = OpenSqlite(path, OpenMode::kRead);
  std::int64_t id = -1;
  EXPECT_TRUE(db.ok());
  if (db) {
    EXPECT_TRUE(
        (*db)
            ->Query("PRAGMA application_id", {}, [&](const SqlRow& row) { id = row.Int(0); })
            .ok());
  }
  return id;
}

void RunScript(const std::string& path, const std::string& script) {
  Result<std::unique_ptr<SqlConnection>> db = OpenSqlite(path, OpenMode::kWrite);
  ASSERT_TRUE(db.ok()) << db.failure().reason;
  ASSERT_TRUE((*db)->ExecScript(script).ok()) << script;
}

StoreLocation At(const std::string& path) {
  return {StoreKind::kSqlite, path, path};
}

TEST(SqliteClaimTest, AnotherProgramsDatabaseIsLeftAsItWas) {
  const struct {
    const char* what;
    std::string script;
    std::string reason;
  } cases[] = {
      {"a table of its own", "CREATE TABLE t (x INTEGER); INSERT INTO t VALUES (1)",
       "is not a history store (a database of another program)"},
      {"another application_id", "PRAGMA application_id = 42",
       "is not a history store (a database of another program)"},
      {"a version table alone",
       "CREATE TABLE schema_version (version INTEGER); "
       "INSERT INTO schema_version VALUES (7)",
       "is not a history store (a database of another program)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    torv::testing::TempFolder folder;
    const std::string path = (folder.path() / "other.db").string();
    RunScript(path, c.script);
    const std::string before = Bytes(path);
    for (const OpenMode mode : {OpenMode::kRead, OpenMode::kWrite}) {
      Result<std::unique_ptr<HistoryStore>> store = OpenHistoryStore(At(path), mode);
      ASSERT_FALSE(store.ok());
      EXPECT_EQ(store.failure().reason, path + ": " + c.reason);
    }
    EXPECT_EQ(Bytes(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  }
}

TEST(SqliteClaimTest, OurStoresAndEmptyFilesAreOursAndMarkedSo) {
  torv::testing::TempFolder folder;
  const std::string created = (folder.path() / "new.db").string();
  ASSERT_TRUE(OpenHistoryStore(At(created), OpenMode::kWrite).ok());
  EXPECT_EQ(ApplicationId(created), kStoreApplicationId);

  const std::string empty = folder.Write("empty.db", {});
  ASSERT_TRUE(OpenHistoryStore(At(empty), OpenMode::kWrite).ok());
  EXPECT_EQ(ApplicationId(empty), kStoreApplicationId);

  // The previous version's store had no application_id: reading leaves it
  // so, the first write marks it.
  const std::string previous = (folder.path() / "previous.db").string();
  ASSERT_TRUE(OpenHistoryStore(At(previous), OpenMode::kWrite).ok());
  RunScript(previous, "PRAGMA application_id = 0");
  ASSERT_TRUE(OpenHistoryStore(At(previous), OpenMode::kRead).ok());
  EXPECT_EQ(ApplicationId(previous), 0);
  ASSERT_TRUE(OpenHistoryStore(At(previous), OpenMode::kWrite).ok());
  EXPECT_EQ(ApplicationId(previous), kStoreApplicationId);
}

TEST(SqliteClaimTest, AStoreWithTwoNamesIsRefusedUnderEither) {
  torv::testing::TempFolder folder;
  const std::string path = (folder.path() / "h.db").string();
  ASSERT_TRUE(OpenHistoryStore(At(path), OpenMode::kWrite).ok());
  const std::string other = (folder.path() / "g.db").string();
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  const std::string before = Bytes(path);
  for (const std::string& name : {path, other}) {
    for (const OpenMode mode : {OpenMode::kRead, OpenMode::kWrite}) {
      Result<std::unique_ptr<HistoryStore>> store = OpenHistoryStore(At(name), mode);
      ASSERT_FALSE(store.ok());
      EXPECT_EQ(store.failure().reason,
                name +
                    ": has 2 hard links; a history store must have one name (SQLite locks it "
                    "by name)");
    }
  }
  EXPECT_EQ(Bytes(path), before);
}

}  // namespace
}  // namespace torv::history
