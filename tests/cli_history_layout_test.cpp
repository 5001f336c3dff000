// A store of layout 1, as the program of that layout wrote it (tests/data),
// is refused for reading until a command that writes brings it up to date,
// and then lists what it listed before, byte for byte.
#include <filesystem>
#include <fstream>
#include <regex>

#include "cli_history_fixture.h"

namespace torv::cli_testing {
namespace {

// A listing as the previous version wrote it: an event whose code has no
// text of its own had an empty event cell, where "Код N" stands now, and a
// gap row did not yet name the bounds of its hole.
std::string AsTheFirstLayoutListed(const std::string& csv) {
  static const std::regex kCodeCell(",Код [0-9]+,");
  static const std::regex kGapCell(",нет записей с [0-9.: ]+ по [0-9.: ]+,");
  // Nor did it have the column that marks the gap rows.
  static const std::regex kGapColumn(",(Пропуск|да|)\r\n");
  const std::string columns = std::regex_replace(csv, kGapColumn, "\r\n");
  return std::regex_replace(std::regex_replace(columns, kCodeCell, ",,"), kGapCell,
                            ",*** пропуск: события между копиями не сохранены ***,");
}

std::string Data(const std::string& name) {
  return ReadWholeFile(std::filesystem::path(TORVDOC_TEST_DATA_DIR) / name);
}

class LayoutCliTest : public HistoryCliTest {
 protected:
  // Makes the test's store the layout 1 store of tests/data.
  void LoadLayout1() {
    if (GetParam() == Backend::kSqlite) {
      std::filesystem::copy_file(
          std::filesystem::path(TORVDOC_TEST_DATA_DIR) / "history-v1.sqlite3",
          store_.location().target);
      return;
    }
    std::unique_ptr<history::SqlConnection> raw = store_.Raw();
    ASSERT_TRUE(raw);
    const Status loaded = raw->ExecScript(Data("history-v1.postgres.sql"));
    ASSERT_TRUE(loaded.ok()) << loaded.failure().reason;
  }
  std::int64_t Version() {
    std::unique_ptr<history::SqlConnection> raw = store_.Raw();
    std::int64_t version = 0;
    EXPECT_TRUE(raw && raw->Query("SELECT version FROM schema_version", {},
                                  [&](const history::SqlRow& row) { version = row.Int(0); })
                           .ok());
    return version;
  }
};

TEST_P(LayoutCliTest, AStoreOfLayout1ListsAsBeforeOnceAnImportBringsItUpToDate) {
  LoadLayout1();
  const ProcessResult refused = History({"list"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(
      refused.err.find("the history store has an older layout; an import brings it up to date"),
      std::string::npos)
      << refused.err;
  EXPECT_EQ(Version(), 1);

  // The same copy again: every event is found by its identity after the move.
  std::filesystem::copy_file(std::filesystem::path(TORVDOC_SAMPLES_DIR) / "full.dat",
                             PathOf("full.dat"));
  EXPECT_EQ(
      HistoryOutput({"import", "full.dat", "--device", "3", "--copied-at", "2025-01-10T12:00:00"}),
      "full.dat: 0 new, 1024 already stored\n");
  EXPECT_EQ(Version(), history::kStoreVersion);
  EXPECT_EQ(AsTheFirstLayoutListed(HistoryOutput({"list", "--format", "csv", "--heading"})),
            Data("history-v1.list.csv"));
  // The hole after 28.12.2024 reaches into these dates: it now opens the
  // listing even though no listed event lies after it.
  std::string dated = Data("history-v1.dated.csv");
  const std::string header = "Устройство,Дата,Время,Событие,Вход,Реле,Название\r\n";
  ASSERT_NE(dated.find(header), std::string::npos);
  dated.insert(dated.find(header) + header.size(),
               "3,,,*** пропуск: события между копиями не сохранены ***,,,\r\n");
  EXPECT_EQ(
      AsTheFirstLayoutListed(HistoryOutput({"list", "--from", "2023-12-01", "--to", "2024-12-31",
                                            "--newest-first", "--format", "csv", "--heading"})),
      dated);
  EXPECT_EQ(HistoryOutput({"names", "list"}),
            "device,kind,number,name\r\n3,input,4,Дверь склада\r\n");

  // Copies of the older layouts are kept without their bytes: listed with
  // no size and no digest, and a withdrawal that needs them says so.
  const std::string copies = HistoryOutput({"copies", "--device", "3", "--format", "csv"});
  EXPECT_TRUE(std::regex_search(copies, std::regex("\r\n1,3,full\\.dat,,,[^\r]*,1024,1024,нет,"
                                                   "нет,нет\r\n2,3,partial\\.dat,,,")))
      << copies;
  EXPECT_EQ(HistoryOutput({"verify"}),
            "3: verified: 1 copy; not verifiable: 1324 events (copies 1, 2 were imported before "
            "the store kept copies)\n"
            "Склад, ТОРВ-4 №2: verified: 0 copies; not verifiable: 1324 events (copies 3, 4 were "
            "imported before the store kept copies)\n"
            "journal: verified: 1 entry, each following from the ones before it\n");
  const ProcessResult withdraw = History({"withdraw", "5"});
  EXPECT_EQ(withdraw.exitCode, 1);
  EXPECT_EQ(withdraw.err, "torvdoc-cli: " + store_.location().shown +
                              ": copy 1 of device \"3\" was imported before the store kept "
                              "copies: without its bytes the history of the device cannot be "
                              "rebuilt\n");
}

INSTANTIATE_TEST_SUITE_P(Stores, LayoutCliTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         history::testing::BackendName);

}  // namespace
}  // namespace torv::cli_testing
