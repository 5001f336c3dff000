// Where torvdoc-cli's history commands find the store, what they say of a
// store they cannot use, and where their output goes: files, a standard
// output that fails, and a listing that streams.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "cli/cli_commands.h"
#include "cli/command_streams.h"
#include "cli/history_messages.h"
#include "cli_history_fixture.h"
#include "without_privileges.h"

namespace torv::cli_testing {
namespace {

const ArchiveRecord kAlarm7 = MakeRecord(2, 6, 23, 59, 58, 31, 12);
const ArchiveRecord kNormal7 = MakeRecord(0, 6, 0, 0, 5, 1, 1);
constexpr char kAlarm7Row[] = "3\t31.12.2024\t23:59:58\tАвар. сигн.\t7\t\t\n";
constexpr char kNormal7Row[] = "3\t01.01.2025\t00:00:05\tНорма\t7\t\t\n";

class StoreCliTest : public HistoryCliTest {
 protected:
  // An import of copy.dat (two records, device 3, taken 2025-01-10) with
  // `args` added must succeed.
  void ExpectImported(const std::vector<std::string>& args) {
    std::vector<std::string> line{
        "history",     "import", "copy.dat", "--device", "3", "--copied-at", "2025-01-10T12:00:00",
        "--new-device"};
    line.insert(line.end(), args.begin(), args.end());
    const ProcessResult result = Run(line);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "copy.dat: 2 new, 0 already stored\n");
    EXPECT_EQ(result.err, "");
  }
};
using StoreLocationTest = StoreCliTest;
using StoreOutputTest = StoreCliTest;
using SqliteOutputTest = StoreCliTest;

// --- where the store is ---

TEST_P(StoreLocationTest, WithoutDbTheStoreIsInTheUsersDataFolder) {
  WriteArchive("copy.dat", {kAlarm7, kNormal7});
  ExpectImported({});
  const std::filesystem::path store = home_ / ".local/share/torvdoc/history.sqlite3";
  EXPECT_TRUE(std::filesystem::is_regular_file(store));
  const ProcessResult list = Run({"history", "list", "--db", store.string()});
  EXPECT_EQ(history::testing::WithoutListingFrame(list.out), Opening() + kAlarm7Row + kNormal7Row);

  ::setenv("XDG_DATA_HOME", (folder_.path() / "data").c_str(), 1);
  ExpectImported({});
  EXPECT_TRUE(std::filesystem::is_regular_file(folder_.path() / "data/torvdoc/history.sqlite3"));

  // TORVDOC_DB names the store; --db wins over it.
  ::setenv("TORVDOC_DB", store_.dbText().c_str(), 1);
  ExpectImported({});
  EXPECT_EQ(history::testing::WithoutListingFrame(Run({"history", "list"}).out),
            Opening() + kAlarm7Row + kNormal7Row);
  ExpectImported({"--db", "sqlite:named.sqlite3"});
  EXPECT_TRUE(std::filesystem::is_regular_file(folder_.path() / "named.sqlite3"));
  // A bare file name is a store in the current folder.
  ExpectImported({"--db", "here.sqlite3"});
  EXPECT_EQ(
      history::testing::WithoutListingFrame(Run({"history", "list", "--db", "here.sqlite3"}).out),
      Opening() + kAlarm7Row + kNormal7Row);
}

TEST_P(StoreLocationTest, ReadingCommandsCreateNoStore) {
  const std::string path = PathOf("none/history.sqlite3");
  for (const std::vector<std::string>& command :
       std::vector<std::vector<std::string>>{{"list"}, {"devices"}, {"names", "list"}}) {
    std::vector<std::string> args{"history"};
    args.insert(args.end(), command.begin(), command.end());
    args.insert(args.end(), {"--db", path});
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "torvdoc-cli: " + path + ": no history store here yet; import a copy first\n");
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / "none"));
}

INSTANTIATE_TEST_SUITE_P(Sqlite, StoreLocationTest, ::testing::Values(Backend::kSqlite),
                         history::testing::BackendName);

// --- stores that cannot be used ---

class BadStoreCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    archive_ = folder_.Write("a.dat", ArchiveOf({kAlarm7}));
  }
  // Runs each history command against `db`: each must fail with `message`.
  void ExpectRefused(const std::string& db, const std::string& message) {
    const std::vector<std::vector<std::string>> commands = {
        {"history", "import", "--new-device", archive_, "--device", "3"},
        {"history", "list", "--format", "json"},
        {"history", "devices"},
        {"history", "names", "set", "Дверь", "--device", "3", "--input", "1"},
        {"history", "names", "list"}};
    for (std::vector<std::string> args : commands) {
      SCOPED_TRACE(args[1]);
      args.insert(args.end(), {"--db", db});
      const ProcessResult result =
          RunProcess(TORVDOC_CLI_PATH, args, folder_.path(), folder_.path());
      EXPECT_EQ(result.exitCode, 1);
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err, message + "\n");
    }
  }
  // A folder of the test's own where a command run as nobody leaves its
  // outputs: a shared folder such as /tmp may hold another test's.
  std::filesystem::path CaptureFolderForAnyone() {
    ::chmod(folder_.path().c_str(), 0755);
    const std::filesystem::path capture = folder_.path() / "capture";
    std::filesystem::create_directory(capture);
    ::chmod(capture.c_str(), 0777);
    return capture;
  }

  ScratchFolder folder_;
  std::string archive_;
};

TEST_F(BadStoreCliTest, AFileThatIsNotADatabaseIsLeftUntouched) {
  const std::string text = "the duty roster, not a database\n";
  const std::string path =
      folder_.Write("roster.txt", std::vector<std::uint8_t>(text.begin(), text.end()));
  ExpectRefused(path, "torvdoc-cli: " + path + ": is not a history store: file is not a database");
  EXPECT_EQ(ReadWholeFile(path), text);
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
}

TEST_F(BadStoreCliTest, AFolderIsRefused) {
  const std::string path = folder_.path().string();
  ExpectRefused(path, "torvdoc-cli: " + path + ": is a folder, not a history store");
}

TEST_F(BadStoreCliTest, AReadOnlyStoreIsListedButNeverWritten) {
  ::chmod(folder_.path().c_str(), 0755);
  const std::filesystem::path store = folder_.path() / "store" / "history.sqlite3";
  const ProcessResult made = RunProcess(
      TORVDOC_CLI_PATH,
      {"history", "import", "--new-device", archive_, "--device", "3", "--db", store.string()},
      folder_.path(), folder_.path());
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const std::string before = ReadWholeFile(store);
  ::chmod(store.c_str(), 0444);
  ::chmod(store.parent_path().c_str(), 0555);
  // Root writes any file: the commands run as nobody instead.
  const std::filesystem::path capture = CaptureFolderForAnyone();
  torv::testing::RunWithoutPrivileges([&] {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"history", "import", "--new-device", archive_,
                                                "--device", "3", "--db", store.string()},
                                               {"history", "names", "set", "Дверь", "--device", "3",
                                                "--input", "1", "--db", store.string()}}) {
      const ProcessResult result = RunProcess(TORVDOC_CLI_PATH, args, "/", capture);
      EXPECT_EQ(result.exitCode, 1);
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err,
                "torvdoc-cli: " + store.string() + ": the history store is read-only\n");
    }
  });
  EXPECT_EQ(ReadWholeFile(store), before);
  const auto files = std::distance(std::filesystem::directory_iterator(store.parent_path()),
                                   std::filesystem::directory_iterator());
  EXPECT_EQ(files, 1) << "a file was left beside the store";
}

TEST_F(BadStoreCliTest, AStoreInAReadOnlyFolderSaysWhyItCannotBeRead) {
  ::chmod(folder_.path().c_str(), 0755);
  const std::filesystem::path store = folder_.path() / "store" / "history.sqlite3";
  ASSERT_EQ(RunProcess(TORVDOC_CLI_PATH,
                       {"history", "import", "--new-device", archive_, "--device", "3", "--db",
                        store.string()},
                       folder_.path(), folder_.path())
                .exitCode,
            0);
  ::chmod(store.parent_path().c_str(), 0555);
  const std::filesystem::path capture = CaptureFolderForAnyone();
  torv::testing::RunWithoutPrivileges([&] {
    const ProcessResult result =
        RunProcess(TORVDOC_CLI_PATH, {"history", "list", "--db", store.string()}, "/", capture);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "torvdoc-cli: " + store.string() +
                              ": cannot be read in a read-only folder: SQLite needs to create "
                              "its -shm and -wal files beside it\n");
  });
  ::chmod(store.parent_path().c_str(), 0755);
}

TEST_F(BadStoreCliTest, AnUnreachableServerIsNamedWithItsDatabase) {
  const std::string db = "postgresql:///sitehistory?host=/nonexistent-torvdoc-socket";
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"history", "import", "--new-device", archive_, "--device", "3", "--db", db},
           {"history", "list", "--db", db}}) {
    const ProcessResult result = RunProcess(TORVDOC_CLI_PATH, args, folder_.path(), folder_.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    const std::string start = "torvdoc-cli: " + db +
                              ": cannot connect to the PostgreSQL server on host "
                              "/nonexistent-torvdoc-socket, database sitehistory: ";
    EXPECT_EQ(result.err.substr(0, start.size()), start) << result.err;
    EXPECT_NE(result.err.find("No such file or directory"), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
}

TEST_F(BadStoreCliTest, ARefusedLoginNamesHostAndDatabaseButNeverThePassword) {
  const std::string socket = history::testing::PostgresTestSocketFolder();
  ASSERT_FALSE(socket.empty());
  const std::string db = "postgresql://clerk:Wrong-Secret-551@/torvdoc_test?host=" + socket;
  const ProcessResult result = RunProcess(TORVDOC_CLI_PATH, {"history", "devices", "--db", db},
                                          folder_.path(), folder_.path());
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  const std::string start = "torvdoc-cli: postgresql://clerk@/torvdoc_test?host=" + socket +
                            ": cannot connect to the PostgreSQL server on host " + socket +
                            ", database torvdoc_test: ";
  EXPECT_EQ(result.err.substr(0, start.size()), start) << result.err;
  EXPECT_NE(result.err.find("password authentication failed for user \"clerk\""), std::string::npos)
      << result.err;
  EXPECT_EQ(result.err.find("Wrong-Secret"), std::string::npos) << result.err;
}

// --- output ---

TEST_P(StoreOutputTest, ListToAFileWritesWhatStandardOutputShows) {
  WriteArchive("copy.dat", {kAlarm7, kNormal7});
  ExpectImported({"--db", store_.dbText()});
  const std::string shown = History({"list", "--format", "csv"}).out;
  EXPECT_EQ(HistoryOutput({"list", "--format", "csv", "-o", "out.csv"}), "");
  EXPECT_EQ(ReadWholeFile(folder_.path() / "out.csv"), shown);
  EXPECT_EQ(shown,
            "Устройство,Дата,Время,Событие,Вход,Реле,Название,Пропуск\r\n"
            "3,31.12.2024,23:59:58,Авар. сигн.,7,,,\r\n"
            "3,01.01.2025,00:00:05,Норма,7,,,\r\n");

  const ProcessResult nowhere = History({"list", "-o", "nowhere/out.txt"});
  EXPECT_EQ(nowhere.exitCode, 1);
  EXPECT_EQ(nowhere.out, "");
  EXPECT_EQ(nowhere.err, "torvdoc-cli: nowhere/out.txt: cannot write: No such file or directory\n");
}

TEST_P(StoreOutputTest, AFailingStandardOutputIsAMessageAndImportsStillHappen) {
  WriteArchive("copy.dat", {kAlarm7, kNormal7});
  WriteArchive("more.dat", {kNormal7, MakeRecord(3, 0, 8, 0, 0, 2, 1)});
  const ProcessResult import =
      RunProcess(TORVDOC_CLI_PATH,
                 {"history", "import", "--new-device", "copy.dat", "more.dat", "--device", "3",
                  "--copied-at", "2025-01-10T12:00:00", "--db", store_.dbText()},
                 folder_.path(), folder_.path(), "/dev/full");
  EXPECT_EQ(import.exitCode, 1);
  EXPECT_EQ(import.err, "torvdoc-cli: standard output: cannot write: No space left on device\n");
  EXPECT_EQ(HistoryOutput({"list"}), Opening() + kAlarm7Row + kNormal7Row +
                                         "3\t02.01.2025\t08:00:00\tВключение  ИМ\t\t\t\n");
  for (const char* command : {"list", "devices"}) {
    const ProcessResult result =
        RunProcess(TORVDOC_CLI_PATH, {"history", command, "--db", store_.dbText()}, folder_.path(),
                   folder_.path(), "/dev/full");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "torvdoc-cli: standard output: cannot write: No space left on device\n");
  }
}

// Pieces of what a command writes to standard output.
class PieceStreams final : public CommandStreams {
 public:
  bool Out(std::string_view bytes) override {
    pieces.emplace_back(bytes);
    return true;
  }
  void Err(std::string_view text) override { err += text; }
  std::vector<std::string> pieces;
  std::string err;
};

TEST_P(StoreOutputTest, AListingStreamsInPieces) {
  // Four full rings of generated events, about 175 KB of text.
  std::vector<std::string> args{"history", "import"};
  for (const std::uint32_t seed : {1u, 2u, 3u, 4u}) {
    const std::string name = "sample" + std::to_string(seed) + ".dat";
    folder_.Write(name, GenerateArchive({.seed = seed, .fill = 1024}));
    args.push_back(PathOf(name));
  }
  args.insert(args.end(), {"--device", "7", "--new-device", "--db", store_.dbText()});
  ASSERT_EQ(RunCommandLine(args).exitCode, 0);

  const std::vector<std::string> list{"history", "list", "--db", store_.dbText()};
  const CommandOutcome whole = RunCommandLine(list);
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  PieceStreams streams;
  const CommandOutcome streamed = RunCommandLine(list, &streams);
  EXPECT_EQ(streamed.exitCode, 0);
  EXPECT_EQ(streamed.out, "");
  EXPECT_EQ(streams.err, "");
  std::string joined;
  std::size_t largest = 0;
  for (const std::string& piece : streams.pieces) {
    joined += piece;
    largest = std::max(largest, piece.size());
  }
  EXPECT_EQ(joined, whole.out);
  EXPECT_GT(whole.out.size(), 170000u);
  EXPECT_GE(streams.pieces.size(), 3u);
  EXPECT_LT(largest, 70000u);
}

// Only an SQLite store is a file that -o could name.
TEST_P(SqliteOutputTest, AListingIsNeverWrittenOverTheStore) {
  WriteArchive("copy.dat", {kAlarm7, kNormal7});
  ExpectImported({"--db", store_.dbText()});
  const std::string before = ReadWholeFile(store_.dbText());
  for (const std::string& output : {store_.dbText(), store_.dbText() + "-wal"}) {
    const ProcessResult result = History({"list", "-o", output});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1),
              "torvdoc-cli: " + output + ": is the history store; it is never written\n");
  }
  EXPECT_EQ(ReadWholeFile(store_.dbText()), before);
  EXPECT_EQ(HistoryOutput({"list"}), Opening() + kAlarm7Row + kNormal7Row);
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreOutputTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         history::testing::BackendName);
INSTANTIATE_TEST_SUITE_P(Sqlite, SqliteOutputTest, ::testing::Values(Backend::kSqlite),
                         history::testing::BackendName);

// --- the wording of messages ---

TEST(HistoryMessagesTest, ArchiveFailuresKeepTheWindowsTextWithTheReason) {
  const Failure cannotOpen{"Архив не удается открыть", 0};
  EXPECT_EQ(ArchiveFailureText("a.dat", Failure{cannotOpen.reason, ENOENT}),
            "Архив не удается открыть (нет такого файла)");
  EXPECT_EQ(ArchiveFailureText("a.dat", Failure{cannotOpen.reason, EACCES}),
            "Архив не удается открыть (нет доступа)");
  EXPECT_EQ(ArchiveFailureText("a.dat", Failure{cannotOpen.reason, EPERM}),
            "Архив не удается открыть (нет доступа)");
  EXPECT_EQ(ArchiveFailureText("a.dat", Failure{cannotOpen.reason, EISDIR}),
            "Архив не удается открыть (это папка)");
  // No reason that the window's language has a word for: the text alone.
  EXPECT_EQ(ArchiveFailureText("a.dat", Failure{cannotOpen.reason, EIO}),
            "Архив не удается открыть");
  EXPECT_EQ(ArchiveFailureText("/nonexistent/a.dat", cannotOpen), "Архив не удается открыть");
  EXPECT_EQ(ArchiveFailureText("/dev/null", cannotOpen),
            "Архив не удается открыть (не обычный файл)");
  EXPECT_EQ(ArchiveFailureText("a.dat", Failure{"Архив поврежден", 0}), "Архив поврежден");
}

TEST(HistoryMessagesTest, EachMessageNamesWhatFailedAndWhy) {
  EXPECT_EQ(CliMessage("a.dat", "why"), "torvdoc-cli: a.dat: why\n");
  EXPECT_EQ(CliMessage("", "why"), "torvdoc-cli: why\n");
  EXPECT_EQ(ImportFailureMessage("copy.dat", Failure{"Архив поврежден", 0}, "/s/h.sqlite3"),
            "torvdoc-cli: copy.dat: Архив поврежден\n");
  EXPECT_EQ(ImportFailureMessage("copy.dat", Failure{"disk I/O error", 0}, "/s/h.sqlite3"),
            "torvdoc-cli: copy.dat: cannot import into /s/h.sqlite3: disk I/O error\n");
  EXPECT_EQ(CannotWriteMessage("/x/out.csv", SystemFailure(ENOENT)),
            "torvdoc-cli: /x/out.csv: cannot write: No such file or directory\n");
}

}  // namespace
}  // namespace torv::cli_testing
