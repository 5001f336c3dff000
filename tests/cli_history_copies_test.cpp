// torvdoc-cli's face on the kept copies: one run through listing, giving a
// copy back, withdrawing it, renaming and removing the device, and the
// journal that keeps all of it.
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>

#include "cli_history_fixture.h"
#include "history/journal.h"
#include "history/kept_copy.h"
#include "history/sqlite_connection.h"

namespace torv::cli_testing {
namespace {

class CopiesCliTest : public HistoryCliTest {};

TEST_P(CopiesCliTest, ACopyIsListedGivenBackWithdrawnAndItsDeviceRenamedAndRemoved) {
  const std::string bytes = ReadWholeFile(std::filesystem::path(TORVDOC_SAMPLES_DIR) / "full.dat");
  std::filesystem::copy_file(std::filesystem::path(TORVDOC_SAMPLES_DIR) / "full.dat",
                             PathOf("a.dat"));
  const std::vector<std::string> import{"import",       "a.dat",       "--device",           "3",
                                        "--new-device", "--copied-at", "2025-01-10T12:00:00"};
  EXPECT_EQ(HistoryOutput(import), "a.dat: 1024 new, 0 already stored\n");
  EXPECT_EQ(WithImportTimesMasked(HistoryOutput(import)),
            "a.dat: уже импортирован DD.MM.YYYY HH:MM (копия 1)\n");

  EXPECT_EQ(HistoryOutput({"verify"}),
            "3: verified: 1024 events, 1 copy\n"
            "journal: verified: 1 entry, each following from the ones before it\n");

  const std::string listed = HistoryOutput({"copies", "--format", "csv"});
  const std::string row = "1,3,a.dat,8196," + history::Sha256Hex({bytes.begin(), bytes.end()}) +
                          ",2025-01-10 12:00:00,[-0-9: ]+," + history::OperatorIdentity() + "," +
                          TORVDOC_VERSION + ",1024,1024,нет,нет,нет\r\n";
  EXPECT_TRUE(std::regex_match(
      listed, std::regex("Копия,Устройство,Файл,Размер,SHA-256,Время копии,Импорт,Кто,Версия,"
                         "Записей,Новых,Пропуск перед,Принудительно,Снята\r\n" +
                         row)))
      << listed;

  EXPECT_EQ(HistoryOutput({"copy-file", "1", "-o", "back.dat"}), "");
  EXPECT_EQ(ReadWholeFile(PathOf("back.dat")), bytes);
  const ProcessResult missing = History({"copy-file", "7", "-o", "none.dat"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err,
            "torvdoc-cli: " + store_.location().shown + ": no copy 7 in the history\n");
  EXPECT_FALSE(std::filesystem::exists(PathOf("none.dat")));

  EXPECT_EQ(HistoryOutput({"withdraw", "1", "--reason", "чужая копия"}),
            "3: 1024 events before, 0 after, 0 copies left\n");
  // A change behind the store's back is named; the exit is 1.
  ASSERT_TRUE(store_.Raw()->Exec("UPDATE journal SET reason = 'другая' WHERE id = 2").ok());
  const ProcessResult tampered = History({"verify"});
  EXPECT_EQ(tampered.exitCode, 1);
  EXPECT_EQ(tampered.out, "3: verified: 0 events, 1 copy\n");
  EXPECT_EQ(tampered.err, "torvdoc-cli: " + store_.location().shown +
                              ": journal entry 2: it does not follow from the entries before it "
                              "(an entry was changed, removed or inserted)\n");
  ASSERT_TRUE(store_.Raw()->Exec("UPDATE journal SET reason = 'чужая копия' WHERE id = 2").ok());

  EXPECT_EQ(HistoryOutput({"devices", "rename", "3", "Склад"}), "");
  EXPECT_EQ(HistoryOutput({"devices", "remove", "Склад", "--reason", "снят"}), "");
  EXPECT_EQ(HistoryOutput({"devices"}),
            "Устройство\tСобытий\tКопий\tПропусков\tНекорректных\tПервое событие\tПоследнее "
            "событие\tИмпорт\n");

  const nlohmann::json journal =
      nlohmann::json::parse(HistoryOutput({"journal", "--format", "json"}));
  std::vector<std::string> entries;
  for (const nlohmann::json& entry : journal.at("journal")) {
    entries.push_back(entry.at("kind").get<std::string>() + " " +
                      entry.at("device").get<std::string>() + " " + entry.at("reason").dump() +
                      " " + entry.at("detail").get<std::string>());
  }
  EXPECT_EQ(entries, (std::vector<std::string>{
                         "import 3 null a.dat: 1024 new, 0 already stored",
                         "withdraw 3 \"чужая копия\" a.dat",
                         "rename Склад null renamed from \"3\"",
                         "remove Склад \"снят\" removed: events 0, copies 1, names 0",
                     }));
}

// history check: the database's own check, then verify; history backup: a
// new file that opens and verifies as a store of its own, never over a file.
TEST_P(CopiesCliTest, ACheckedStoreIsBackedUpToANewFileThatVerifies) {
  std::filesystem::copy_file(std::filesystem::path(TORVDOC_SAMPLES_DIR) / "full.dat",
                             PathOf("a.dat"));
  ASSERT_EQ(HistoryOutput({"import", "a.dat", "--device", "3", "--new-device", "--copied-at",
                           "2025-01-10T12:00:00"}),
            "a.dat: 1024 new, 0 already stored\n");
  const std::string verified =
      "3: verified: 1024 events, 1 copy\n"
      "journal: verified: 1 entry, each following from the ones before it\n";
  const bool sqlite = GetParam() == Backend::kSqlite;
  EXPECT_EQ(HistoryOutput({"check"}),
            (sqlite ? "database: SQLite file: integrity and foreign keys ok\n"
                    : "database: PostgreSQL server, data checksums off\n") +
                verified);

  const ProcessResult backup = History({"backup", "copy.sqlite3"});
  if (!sqlite) {
    EXPECT_EQ(backup.exitCode, 1);
    EXPECT_EQ(backup.err,
              "torvdoc-cli: copy.sqlite3: a PostgreSQL store is backed up with "
              "pg_dump (see the README)\n");
    EXPECT_FALSE(std::filesystem::exists(PathOf("copy.sqlite3")));
    return;
  }
  EXPECT_EQ(backup.exitCode, 0) << backup.err;
  EXPECT_EQ(backup.out, "copy.sqlite3: written\n" + verified);
  const ProcessResult fromCopy = Run({"history", "list", "--db", "copy.sqlite3"});
  // The same listing to the byte: the same coverage, journal entry and digest.
  EXPECT_EQ(fromCopy.out, History({"list"}).out);
  const std::string backedUp = ReadWholeFile(PathOf("copy.sqlite3"));
  const struct {
    std::string destination;
    std::string message;
  } refused[] = {
      {"copy.sqlite3", "exists already; a backup goes to a new file"},
      {store_.location().target + "-wal", "is the history store; it is never written"},
      {"no-folder/copy.sqlite3", "cannot write in its folder: No such file or directory"},
  };
  for (const auto& c : refused) {
    const ProcessResult again = History({"backup", c.destination});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err, "torvdoc-cli: " + c.destination + ": " + c.message + "\n");
  }
  EXPECT_EQ(ReadWholeFile(PathOf("copy.sqlite3")), backedUp);

  // A damaged page of the copy: its check names it, before any verifying.
  std::int64_t root = 0;
  std::int64_t pageSize = 0;
  {
    Result<std::unique_ptr<history::SqlConnection>> copy =
        history::OpenSqlite(PathOf("copy.sqlite3"), history::OpenMode::kRead);
    ASSERT_TRUE(copy.ok());
    ASSERT_TRUE((*copy)
                    ->Query("SELECT rootpage FROM sqlite_master WHERE name = 'events_by_date'", {},
                            [&](const history::SqlRow& row) { root = row.Int(0); })
                    .ok());
    ASSERT_TRUE((*copy)
                    ->Query("PRAGMA page_size", {},
                            [&](const history::SqlRow& row) { pageSize = row.Int(0); })
                    .ok());
  }
  std::string damaged = backedUp;
  damaged[static_cast<std::size_t>((root - 1) * pageSize)] = 0x0d;  // a table page, not an index
  std::ofstream(PathOf("copy.sqlite3"), std::ios::binary | std::ios::trunc) << damaged;
  const ProcessResult checked = Run({"history", "check", "--db", "copy.sqlite3"});
  EXPECT_EQ(checked.exitCode, 1);
  EXPECT_EQ(checked.out, "");
  EXPECT_TRUE(checked.err.starts_with("torvdoc-cli: copy.sqlite3: the SQLite file is damaged: "))
      << checked.err;
  // No partial file is left beside it.
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(PathOf("."))) {
    files += entry.path().filename().string().starts_with(".torvdoc-backup") ? 1 : 0;
  }
  EXPECT_EQ(files, 0u);
}

// A listing's digest, checked later: exit 0 while the store gives it, exit 1
// naming the import that changed it, and its filters only with --listing.
TEST_P(CopiesCliTest, AListingOnPaperIsCheckedAgainstTheStore) {
  for (const char* sample : {"full.dat", "partial.dat"}) {
    std::filesystem::copy_file(std::filesystem::path(TORVDOC_SAMPLES_DIR) / sample, PathOf(sample));
  }
  HistoryOutput({"import", "full.dat", "--device", "3", "--new-device", "--copied-at",
                 "2025-01-10T12:00:00"});
  const std::string listing = History({"list", "--input", "4"}).out;
  const std::string line = "Контрольная сумма выборки (SHA-256): ";
  const std::size_t at = listing.rfind(line);
  ASSERT_NE(at, std::string::npos);
  const std::string digest = listing.substr(at + line.size(), 64);
  const std::vector<std::string> check{"verify", "--input", "4", "--listing", digest};
  EXPECT_EQ(HistoryOutput(check),
            "listing " + digest + ": the store still gives it (journal entry 1)\n");

  HistoryOutput({"import", "partial.dat", "--device", "3", "--copied-at", "2025-05-02T09:00:00"});
  const ProcessResult changed = History(check);
  EXPECT_EQ(changed.exitCode, 1);
  EXPECT_EQ(changed.out, "");
  const std::regex said("torvdoc-cli: .*: listing " + digest +
                        ": the store now gives [0-9a-f]{64} \\(journal entry 2\\); it changed "
                        "with journal entry 2 \\([-0-9: ]+, import, device 3, copy 2, by .+\\)\n");
  EXPECT_TRUE(std::regex_match(changed.err, said)) << changed.err;

  const ProcessResult unlisted = History({"verify", "--input", "4"});
  EXPECT_EQ(unlisted.exitCode, 2);
  EXPECT_EQ(unlisted.err,
            "torvdoc-cli: --input is a listing's filter: give it with --listing DIGEST\n"
            "Try 'torvdoc-cli history verify --help'.\n");
}

INSTANTIATE_TEST_SUITE_P(Stores, CopiesCliTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         history::testing::BackendName);

// The README's roles on a server: the importing role adds copies and can
// take none back, the viewing role only reads.
class ServerRolesCliTest : public HistoryCliTest {
 protected:
  // The store's URI as role `name` (its password is its name backwards).
  std::string As(const std::string& name) const {
    std::string uri = store_.dbText();
    const std::string owner = "user=torvdoc";
    uri.replace(uri.find(owner), owner.size(),
                "user=" + name + "&password=" + std::string(name.rbegin(), name.rend()));
    return uri;
  }
  ProcessResult HistoryAs(const std::string& role, std::vector<std::string> args) {
    args.insert(args.begin(), "history");
    args.insert(args.end(), {"--db", As(role)});
    return Run(args);
  }
};

TEST_P(ServerRolesCliTest, TheImportingRoleOnlyAddsAndTheViewingRoleOnlyReads) {
  for (const char* sample : {"full.dat", "partial.dat"}) {
    std::filesystem::copy_file(std::filesystem::path(TORVDOC_SAMPLES_DIR) / sample, PathOf(sample));
  }
  // The owner's first import makes the tables.
  HistoryOutput({"import", "full.dat", "--device", "3", "--new-device", "--copied-at",
                 "2025-01-10T12:00:00"});
  const std::string schema = store_.dbText().substr(store_.dbText().rfind("%3D") + 3);
  const std::string importer = "imp_" + schema;
  const std::string viewer = "view_" + schema;
  // The README's roles, in the store's schema, each with its own password.
  const std::string readme =
      ReadWholeFile(std::filesystem::path(TORVDOC_SAMPLES_DIR).parent_path() / "README.md");
  const std::size_t block = readme.find("```sql\nCREATE ROLE torvdoc_import");
  ASSERT_NE(block, std::string::npos);
  std::string grants = readme.substr(block + 7, readme.find("```", block + 7) - block - 7);
  for (const auto& [from, to] : {std::pair{std::string("torvdoc_import"), importer},
                                 std::pair{std::string("torvdoc_view"), viewer}}) {
    const std::string password = std::string(to.rbegin(), to.rend());
    grants = std::regex_replace(grants, std::regex(from + " LOGIN PASSWORD '...'"),
                                to + " LOGIN PASSWORD '" + password + "'");
    grants = std::regex_replace(grants, std::regex(from), to);
  }
  grants = std::regex_replace(grants, std::regex("SCHEMA public"), "SCHEMA " + schema);
  ASSERT_TRUE(store_.Raw()->ExecScript(grants).ok());

  const ProcessResult viewed = HistoryAs(viewer, {"list", "--device", "3"});
  EXPECT_EQ(viewed.exitCode, 0) << viewed.err;
  EXPECT_EQ(viewed.out, History({"list", "--device", "3"}).out);
  const ProcessResult viewerImport = HistoryAs(
      viewer, {"import", "partial.dat", "--device", "3", "--copied-at", "2025-05-02T09:00:00"});
  EXPECT_EQ(viewerImport.exitCode, 1);
  EXPECT_NE(viewerImport.err.find("permission denied"), std::string::npos) << viewerImport.err;

  const ProcessResult imported = HistoryAs(
      importer, {"import", "partial.dat", "--device", "3", "--copied-at", "2025-05-02T09:00:00"});
  EXPECT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_EQ(imported.out.substr(0, 26), "partial.dat: 300 new, 0 al");
  for (const std::vector<std::string>& taking : std::vector<std::vector<std::string>>{
           {"withdraw", "2"}, {"devices", "remove", "3"}, {"devices", "rename", "3", "4"}}) {
    SCOPED_TRACE(taking.front());
    const ProcessResult refused = HistoryAs(importer, taking);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("permission denied"), std::string::npos) << refused.err;
  }
  // Nothing the refusals began is left, and the chain holds.
  EXPECT_EQ(HistoryOutput({"verify"}),
            "3: verified: 1324 events, 2 copies\n"
            "journal: verified: 2 entries, each following from the ones before it\n");
  ASSERT_TRUE(store_.Raw()
                  ->ExecScript("DROP OWNED BY " + importer + ", " + viewer + "; DROP ROLE " +
                               importer + ", " + viewer)
                  .ok());
}

INSTANTIATE_TEST_SUITE_P(Server, ServerRolesCliTest, ::testing::Values(Backend::kPostgres),
                         history::testing::BackendName);

}  // namespace
}  // namespace torv::cli_testing
