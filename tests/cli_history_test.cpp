// torvdoc-cli history import, list, devices and names, run as processes on
// both stores, their outputs checked byte for byte.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <nlohmann/json.hpp>

#include "cli_history_fixture.h"
#ifdef TORVDOC_HISTORY_PDF
#include "history_report/chart_data.h"
#include "history_report/history_pdf.h"
#include "history_report/report_heading.h"
#include "pdf_reading.h"
#endif

namespace torv::cli_testing {
namespace {

constexpr char kDevice[] = "3";
constexpr char kStoreroom[] = "Склад, ТОРВ-4 №2";
constexpr char kGapText[] =
    "нет записей с 19.01.2025 11:00:00 по 20.02.2025 12:00:00 (между копиями copy2.dat и "
    "copy3.dat)";
const std::string kGapRow = std::string("\t") + kGapText + "\n";
constexpr char kDevicesHeader[] =
    "Устройство\tСобытий\tКопий\tПропусков\tНекорректных\tПервое событие\tПоследнее "
    "событие\tИмпорт\n";

// Two copies that overlap by two records, then one that shares nothing with
// them, and the damaged record at its end.
const ArchiveRecord kAlarm7 = MakeRecord(2, 6, 23, 59, 58, 31, 12);  // 31.12, input 7
const ArchiveRecord kNormal7 = MakeRecord(0, 6, 0, 0, 5, 1, 1);      // 01.01, input 7
const ArchiveRecord kRelay2On = MakeRecord(51, 1, 8, 0, 0, 2, 1);    // 02.01, relay 2
const ArchiveRecord kWarning3 = MakeRecord(1, 2, 9, 30, 0, 9, 1);    // 09.01, input 3
const ArchiveRecord kDeviceOn = MakeRecord(3, 0, 10, 0, 0, 15, 1);   // 15.01
const ArchiveRecord kNormal3 = MakeRecord(0, 2, 11, 0, 0, 19, 1);    // 19.01, input 3
const ArchiveRecord kAlarm1 = MakeRecord(2, 0, 12, 0, 0, 20, 2);     // 20.02, input 1

// The rows `history list` shows of each record once stored (device 3).
constexpr char kAlarm7Row[] = "3\t31.12.2024\t23:59:58\tАвар. сигн.\t7\t\t";
constexpr char kNormal7Row[] = "3\t01.01.2025\t00:00:05\tНорма\t7\t\t";
constexpr char kRelay2OnRow[] = "3\t02.01.2025\t08:00:00\tВключение реле\t\t2\t";
constexpr char kWarning3Row[] = "3\t09.01.2025\t09:30:00\tПред. сигн.\t3\t\t";
constexpr char kDeviceOnRow[] = "3\t15.01.2025\t10:00:00\tВключение  ИМ\t\t\t";
constexpr char kNormal3Row[] = "3\t19.01.2025\t11:00:00\tНорма\t3\t\t";
constexpr char kAlarm1Row[] = "3\t20.02.2025\t12:00:00\tАвар. сигн.\t1\t\t";
constexpr char kDamagedRow[] = "3\t\t\t**НЕКОРР ЗАП.**\t\t\t";

class HistoryCommandsTest : public HistoryCliTest {
 protected:
  // copy1.dat (taken 2025-01-10), copy2.dat (2025-01-20) and copy3.dat
  // (2025-03-01) of device 3, in one import each.
  void ImportThreeCopies() {
    WriteArchive("copy1.dat", {kAlarm7, kNormal7, kRelay2On, kWarning3});
    WriteArchive("copy2.dat", {kRelay2On, kWarning3, kDeviceOn, kNormal3});
    WriteArchive("copy3.dat", {kAlarm1, DamagedRecord()});
    // Each file's time agrees with its copy time, as a real copy's does.
    SetModified(PathOf("copy1.dat"), 1736510400);  // 2025-01-10 12:00:00 UTC
    SetModified(PathOf("copy2.dat"), 1737374400);  // 2025-01-20 12:00:00 UTC
    SetModified(PathOf("copy3.dat"), 1740830400);  // 2025-03-01 12:00:00 UTC
    EXPECT_EQ(HistoryOutput({"import", "--new-device", "copy1.dat", "--device", kDevice,
                             "--copied-at", "2025-01-10T12:00:00"}),
              "copy1.dat: 4 new, 0 already stored\n");
    EXPECT_EQ(HistoryOutput({"import", "--new-device", "copy2.dat", "--device", kDevice,
                             "--copied-at", "2025-01-20T12:00:00"}),
              "copy2.dat: 2 new, 2 already stored\n");
    EXPECT_EQ(HistoryOutput({"import", "--new-device", "--copied-at", "2025-03-01T12:00:00",
                             "copy3.dat", "--device", kDevice}),
              "copy3.dat: 2 new, 0 already stored, gap before: между копиями устройство "
              "записало не меньше 2 событий; копируйте архив чаще\n");
  }
};

// --- import ---

TEST_P(HistoryCommandsTest, ImportPrintsALinePerFileAndAGapWhereNothingOverlaps) {
  ImportThreeCopies();
  // The same copies again add nothing; several files in one run.
  EXPECT_EQ(WithImportTimesMasked(HistoryOutput({"import", "--new-device", "copy1.dat", "copy2.dat",
                                                 "copy3.dat", "--device", kDevice})),
            "copy1.dat: уже импортирован DD.MM.YYYY HH:MM (копия 1)\n"
            "copy2.dat: уже импортирован DD.MM.YYYY HH:MM (копия 2)\n"
            "copy3.dat: уже импортирован DD.MM.YYYY HH:MM (копия 3)\n"
            "3 files: 0 new events, 0 already stored, 0 gaps, 0 refused\n");
  EXPECT_EQ(HistoryOutput({"list"}), Opening() + kAlarm7Row + "\n" + kNormal7Row + "\n" +
                                         kRelay2OnRow + "\n" + kWarning3Row + "\n" + kDeviceOnRow +
                                         "\n" + kNormal3Row + "\n" + kDevice + kGapRow +
                                         kAlarm1Row + "\n" + kDamagedRow + "\n");
}

// Each gap with its bounds and the copies on either side, in the period
// it reaches into.
TEST_P(HistoryCommandsTest, GapsAreListedWithTheirBoundsAndCopies) {
  ImportThreeCopies();
  const std::string text =
      "Устройство\tПосле\tДо\tСтарая копия\tНовая копия\tПропуск\n"
      "3\t2025-01-19T11:00:00\t2025-02-20T12:00:00\t2\t3\tнет записей с 19.01.2025 11:00:00 по "
      "20.02.2025 12:00:00 (между копиями copy2.dat и copy3.dat)\n";
  EXPECT_EQ(HistoryOutput({"gaps"}), text);
  for (const char* period : {"2025-01", "2025-02", "2025"}) {
    EXPECT_EQ(HistoryOutput({"gaps", "--period", period}), text) << period;
  }
  EXPECT_EQ(HistoryOutput({"gaps", "--period", "2025-03"}), text.substr(0, text.find('\n') + 1));
  EXPECT_EQ(HistoryOutput({"gaps", "--to", "2025-01-18"}), text.substr(0, text.find('\n') + 1));
  // A period inside the gap lists no event, and says why.
  const std::string inside = "Период: с 01.02.2025 по 10.02.2025";
  const std::string note =
      "за период записей нет: пропуск устройства 3 с 19.01.2025 11:00:00 по 20.02.2025 12:00:00";
  EXPECT_EQ(HistoryOutput({"list", "--from", "2025-02-01", "--to", "2025-02-10"}),
            Opening(kAllDevices, inside) + note + "\n");
  EXPECT_EQ(
      HistoryOutput({"list", "--from", "2025-02-01", "--to", "2025-02-10", "--format", "csv"}),
      "Устройство,Дата,Время,Событие,Вход,Реле,Название,Пропуск\r\n,,," + note + ",,,,да\r\n");
  EXPECT_EQ(nlohmann::json::parse(HistoryOutput({"list", "--from", "2025-02-01", "--to",
                                                 "2025-02-10", "--format", "json"}))
                .at("note"),
            note);
  EXPECT_EQ(nlohmann::json::parse(HistoryOutput({"gaps", "--format", "json"})),
            nlohmann::json::parse(R"json({"gaps": [{"device": "3", "after": "2025-01-19T11:00:00",
              "before": "2025-02-20T12:00:00", "older_copy": 2, "newer_copy": 3,
              "text": "нет записей с 19.01.2025 11:00:00 по 20.02.2025 12:00:00 (между копиями copy2.dat и copy3.dat)"}]})json"));
}

// A site's copies in a folder per device: each folder names its device, and
// --quiet prints only the totals.
TEST_P(HistoryCommandsTest, ImportsASiteByFolderAndSaysTheTotals) {
  std::filesystem::create_directories(folder_.path() / "site/gate");
  std::filesystem::create_directories(folder_.path() / "site/post2");
  WriteArchive("site/gate/gate_2025-01-10.dat", {kAlarm7, kNormal7});
  WriteArchive("site/post2/post2_2025-01-10.dat", {kRelay2On});
  WriteArchive("site/post2/post2_2025-01-20.dat", {kRelay2On, kWarning3});
  const std::vector<std::string> import = {"import",       "site",        "--device-from-folder",
                                           "--new-device", "--copied-at", "2025-01-20T12:00:00"};
  EXPECT_EQ(HistoryOutput(import),
            "site/gate/gate_2025-01-10.dat: 2 new, 0 already stored\n"
            "site/post2/post2_2025-01-10.dat: 1 new, 0 already stored\n"
            "site/post2/post2_2025-01-20.dat: 1 new, 1 already stored\n"
            "3 files: 4 new events, 1 already stored, 0 gaps, 0 refused\n");
  std::vector<std::string> quiet = import;
  quiet.push_back("--quiet");
  EXPECT_EQ(HistoryOutput(quiet), "3 files: 0 new events, 0 already stored, 0 gaps, 0 refused\n");
  EXPECT_EQ(HistoryOutput({"list", "--device", "post2"}),
            Opening("Устройство: post2") + "post2" + std::string(kRelay2OnRow).substr(1) + "\n" +
                "post2" + std::string(kWarning3Row).substr(1) + "\n");
}

// A report writes each device's listing of the period to a file of its own.
TEST_P(HistoryCommandsTest, ReportWritesAListingPerDeviceNamedByThePattern) {
  ImportThreeCopies();
  WriteArchive("other.dat", {kNormal3});
  HistoryOutput({"import", "other.dat", "--device", "склад", "--new-device", "--copied-at",
                 "2025-01-20T12:00:00"});
  std::filesystem::create_directory(folder_.path() / "out");
  EXPECT_EQ(HistoryOutput({"report", "--period", "01.2025", "--format", "csv", "-o",
                           "out/{device}-{period}.csv"}),
            "out/3-2025-01.csv\nout/склад-2025-01.csv\n");
  for (const char* device : {"3", "склад"}) {
    EXPECT_EQ(
        history::testing::WithoutListingFrame(cli_testing::ReadWholeFile(
            folder_.path() / "out" / (std::string(device) + "-2025-01.csv"))),
        HistoryOutput({"list", "--period", "2025-01", "--device", device, "--format", "csv"}));
  }
  // Devices named again and again: those, in the order named.
  EXPECT_EQ(HistoryOutput({"report", "--period", "01.2025", "--device", "склад", "--device", "3",
                           "-o", "out/{device}.txt"}),
            "out/склад.txt\nout/3.txt\n");
  EXPECT_EQ(HistoryOutput({"list", "--device", "склад", "--device", "3", "--format", "csv"}),
            HistoryOutput({"list", "--format", "csv"}));
  const ProcessResult oneFile = History({"report", "--period", "2025-01", "-o", "all.txt"});
  EXPECT_EQ(oneFile.exitCode, 2);
  EXPECT_EQ(oneFile.err,
            "torvdoc-cli: -o PATTERN needs {device} unless --device names one device\n"
            "Try 'torvdoc-cli history report --help'.\n");
}

// A watch run in the background until it is told to stop: its outputs go to
// the files NAME.out and NAME.err of the scratch folder.
class BackgroundWatch {
 public:
  BackgroundWatch(const std::filesystem::path& folder, const std::string& name,
                  std::vector<std::string> args)
      : out_(folder / (name + ".out")), err_(folder / (name + ".err")) {
    args.insert(args.begin(), {TORVDOC_CLI_PATH, "history", "watch"});
    pid_ = ::fork();
    if (pid_ == 0) {
      std::vector<char*> argv;
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      const int out = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
          ::chdir(folder.c_str()) != 0) {
        ::_exit(126);
      }
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
  }
  // Waits (30 s at most) until standard output holds `lines` lines.
  std::string OutOnceItHas(std::size_t lines) const {
    for (int tenth = 0; tenth < 300; ++tenth) {
      const std::string out = cli_testing::ReadWholeFile(out_);
      if (static_cast<std::size_t>(std::count(out.begin(), out.end(), '\n')) >= lines) return out;
      ::usleep(100'000);
    }
    return cli_testing::ReadWholeFile(out_);
  }
  // SIGTERM, then the exit status.
  int Stop() {
    ::kill(pid_, SIGTERM);
    int status = 0;
    if (::waitpid(pid_, &status, 0) != pid_ || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }
  std::string Err() const { return cli_testing::ReadWholeFile(err_); }

 private:
  std::filesystem::path out_;
  std::filesystem::path err_;
  pid_t pid_ = -1;
};

// Copies dropped into a watched folder: one there at the start, one written
// slowly, one that cannot be imported (told once); stopped and started
// again, the watch takes only the copy that came meanwhile.
TEST_P(HistoryCommandsTest, WatchImportsEachCopyOnceItIsWholeAcrossARestart) {
  std::filesystem::create_directories(folder_.path() / "drop/gate");
  // Copies of January 2025, taken then: the copy time is the file's time.
  constexpr std::int64_t kTaken = 1737374400;  // 2025-01-20 12:00:00 UTC
  WriteArchive("drop/gate/a.dat", {kAlarm7, kNormal7});
  SetModified(PathOf("drop/gate/a.dat"), kTaken);
  const std::vector<std::string> args = {
      "drop",    "--device-from-folder", "--new-device", "--interval",   "1", "--settle", "4",
      "--state", "watch.state",          "--db",         store_.dbText()};
  BackgroundWatch first(folder_.path(), "first", args);
  EXPECT_EQ(first.OutOnceItHas(1), "drop/gate/a.dat: 2 new, 0 already stored\n");
  // Written a quarter at a time: never still for 4 s before it is whole, even on a busy machine.
  const std::vector<std::uint8_t> whole = ArchiveOf({kNormal7, kRelay2On, kWarning3});
  for (std::size_t quarter = 1; quarter <= 4; ++quarter) {
    folder_.Write("drop/gate/b.dat",
                  std::vector<std::uint8_t>(
                      whole.begin(),
                      whole.begin() + static_cast<std::ptrdiff_t>(whole.size() * quarter / 4)));
    SetModified(PathOf("drop/gate/b.dat"), kTaken);
    ::usleep(500'000);
  }
  folder_.Write("drop/gate/damaged.dat", ArchiveOf({kWarning3}, 12));
  EXPECT_EQ(first.OutOnceItHas(2),
            "drop/gate/a.dat: 2 new, 0 already stored\n"
            "drop/gate/b.dat: 2 new, 1 already stored\n");
  ::sleep(4);  // time for damaged.dat to be told, and for nothing to be told twice
  EXPECT_EQ(first.Stop(), 0);
  EXPECT_EQ(first.Err(), "torvdoc-cli: drop/gate/damaged.dat: Архив поврежден\n");

  WriteArchive("drop/gate/c.dat", {kRelay2On, kWarning3, kDeviceOn});
  SetModified(PathOf("drop/gate/c.dat"), kTaken);
  BackgroundWatch second(folder_.path(), "second", args);
  EXPECT_EQ(second.OutOnceItHas(1), "drop/gate/c.dat: 1 new, 2 already stored\n");
  ::sleep(3);
  EXPECT_EQ(second.Stop(), 0);
  EXPECT_EQ(cli_testing::ReadWholeFile(folder_.path() / "second.out"),
            "drop/gate/c.dat: 1 new, 2 already stored\n");
  EXPECT_EQ(second.Err(), "");
}

TEST_P(HistoryCommandsTest, AFailingFileGetsItsMessageAndTheOthersAreStillImported) {
  WriteArchive("copy1.dat", {kAlarm7, kNormal7});
  WriteArchive("copy2.dat", {kNormal7, kRelay2On});
  folder_.Write("damaged.dat", ArchiveOf({kWarning3}, 12));
  folder_.Write("empty.dat", ArchiveOf({}, kEmptyArchiveOffset));
  std::filesystem::create_directory(folder_.path() / "folder.dat");
  ASSERT_EQ(::mkfifo(PathOf("pipe.dat").c_str(), 0600), 0);
  const ProcessResult result =
      History({"import", "--new-device", "copy1.dat", "missing.dat", "damaged.dat", "folder.dat",
               "pipe.dat", "empty.dat", "copy2.dat", "--device", kDevice, "--copied-at",
               "2025-01-10T12:00:00"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out,
            "copy1.dat: 2 new, 0 already stored\n"
            "empty.dat: архив пуст\n"
            "copy2.dat: 1 new, 1 already stored\n"
            "7 files: 3 new events, 1 already stored, 0 gaps, 4 refused\n");
  // A folder is taken for the copies under it: this one has none.
  EXPECT_EQ(result.err,
            "torvdoc-cli: missing.dat: Архив не удается открыть (нет такого файла)\n"
            "torvdoc-cli: damaged.dat: Архив поврежден\n"
            "torvdoc-cli: folder.dat: holds no .dat file\n"
            "torvdoc-cli: pipe.dat: Архив не удается открыть (не обычный файл)\n");
  EXPECT_EQ(HistoryOutput({"list"}),
            Opening() + kAlarm7Row + "\n" + kNormal7Row + "\n" + kRelay2OnRow + "\n");
}

TEST_P(HistoryCommandsTest, TheFilesTimeGivesTheYearsUnlessACopyTimeIsGiven) {
  WriteArchive("copy.dat", {kAlarm7, kNormal7});
  // 2026-01-05 12:00:00 UTC: 01.01 is in 2026, the December before it in 2025.
  SetModified(PathOf("copy.dat"), 1767614400);
  EXPECT_EQ(HistoryOutput({"import", "--new-device", "copy.dat", "--device", "A"}),
            "copy.dat: 2 new, 0 already stored\n");
  // The same file is A's copy: B takes it only when vouched for.
  EXPECT_EQ(HistoryOutput({"import", "--new-device", "copy.dat", "--device", "B", "--copied-at",
                           "2025-01-01T00:00:05", "--force-device"}),
            "copy.dat: 2 new, 0 already stored\n");
  EXPECT_EQ(HistoryOutput({"list", "--format", "csv"}),
            "Устройство,Дата,Время,Событие,Вход,Реле,Название,Пропуск\r\n"
            "A,31.12.2025,23:59:58,Авар. сигн.,7,,,\r\n"
            "A,01.01.2026,00:00:05,Норма,7,,,\r\n"
            "B,31.12.2024,23:59:58,Авар. сигн.,7,,,\r\n"
            "B,01.01.2025,00:00:05,Норма,7,,,\r\n");
}

TEST_P(HistoryCommandsTest, WhatDoesNotBelongIsRefusedWithAMessageAndNothingStored) {
  ImportThreeCopies();
  const std::string before = HistoryOutput({"list"});
  WriteArchive("copy4.dat", {kNormal3, kAlarm1});
  const std::vector<std::uint8_t> full = ArchiveOf({kAlarm1}, 0);
  folder_.Write("cut.dat", std::vector<std::uint8_t>(full.begin(), full.begin() + 4100));
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"import", "copy4.dat", "--device", "4"},
       "torvdoc-cli: no device \"4\" is stored; give --new-device to start the history of a new "
       "device\n"},
      {{"import", "copy4.dat", "--device", " 3"},
       "torvdoc-cli: no device \" 3\" is stored; did you mean \"3\"?\n"},
      {{"names", "set", "--device", "4", "--input", "1", "x"},
       "torvdoc-cli: no device \"4\" is stored; give --new-device to start the history of a new "
       "device\n"},
      {{"import", "cut.dat", "--device", kDevice},
       "torvdoc-cli: cut.dat: не архив ТОРВ-4 (размер 4100 байт, а не 8196)\n"},
      {{"import", "copy4.dat", "--device", kDevice, "--copied-at", "1989-12-31T23:59:59"},
       "torvdoc-cli: copy4.dat: время копии 31.12.1989 раньше 1990 года; проверьте --copied-at\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.args[1]);
    const ProcessResult result = History(c.args);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(HistoryOutput({"list"}), before);
  }
  EXPECT_EQ(HistoryOutput({"devices"}).find("\n4\t"), std::string::npos);
  EXPECT_EQ(HistoryOutput({"names", "list"}), "device,kind,number,name\r\n");
  // The other files of the run are still imported; an old copy time is told.
  const ProcessResult mixed = History({"import", "cut.dat", "copy4.dat", "--device", kDevice,
                                       "--copied-at", "2025-09-01T12:00:00"});
  EXPECT_EQ(mixed.exitCode, 1);
  EXPECT_EQ(mixed.out,
            "copy4.dat: 0 new, 2 already stored\n"
            "2 files: 0 new events, 2 already stored, 0 gaps, 1 refused\n");
  EXPECT_EQ(mixed.err,
            "torvdoc-cli: cut.dat: не архив ТОРВ-4 (размер 4100 байт, а не 8196)\n"
            "torvdoc-cli: copy4.dat: самая новая запись датирована 20.02.2025, за 193 дней до "
            "времени копии 01.09.2025; проверьте --copied-at\n");
}

// --- list ---

TEST_P(HistoryCommandsTest, ListFiltersByDeviceDateInputAndKind) {
  ImportThreeCopies();
  WriteArchive("other.dat", {kNormal3});
  EXPECT_EQ(HistoryOutput({"import", "--new-device", "other.dat", "--device", kStoreroom,
                           "--copied-at", "2025-01-20T12:00:00"}),
            "other.dat: 1 new, 0 already stored\n");
  const std::string otherRow = std::string(kStoreroom) + "\t19.01.2025\t11:00:00\tНорма\t3\t\t";

  EXPECT_EQ(HistoryOutput({"list", "--device", kStoreroom}),
            Opening(std::string("Устройство: ") + kStoreroom) + otherRow + "\n");
  EXPECT_EQ(HistoryOutput({"list", "--from", "2025-01-02", "--to", "2025-01-15"}),
            Opening(kAllDevices, "Период: с 02.01.2025 по 15.01.2025") + kRelay2OnRow + "\n" +
                kWarning3Row + "\n" + kDeviceOnRow + "\n");
  // A date filter leaves out the damaged record, which has no year.
  EXPECT_EQ(HistoryOutput({"list", "--from", "2025-01-19", "--device", kDevice}),
            Opening("Устройство: 3", "Период: с 19.01.2025") + kNormal3Row + "\n" + kDevice +
                kGapRow + kAlarm1Row + "\n");
  EXPECT_EQ(HistoryOutput({"list", "--to", "2024-12-31"}),
            Opening(kAllDevices, "Период: по 31.12.2024") + kAlarm7Row + "\n");
  // A named period and dates as the listings show them choose the same days.
  const std::string year2024 =
      Opening(kAllDevices, "Период: с 01.01.2024 по 31.12.2024") + kAlarm7Row + "\n";
  EXPECT_EQ(HistoryOutput({"list", "--period", "2024"}), year2024);
  EXPECT_EQ(HistoryOutput({"list", "--from", "01.01.2024", "--to", "31.12.2024"}), year2024);
  EXPECT_EQ(HistoryOutput({"list", "--input", "3"}),
            Opening(kAllDevices, kAllTime, "Отбор: вход 3") + kWarning3Row + "\n" + kNormal3Row +
                "\n" + kDevice + kGapRow + otherRow + "\n");
  EXPECT_EQ(HistoryOutput({"list", "--events", "damaged,relay"}),
            Opening(kAllDevices, kAllTime, "Отбор: события: некорректные, реле") + kRelay2OnRow +
                "\n" + kDevice + kGapRow + kDamagedRow + "\n");
  EXPECT_EQ(HistoryOutput({"list", "--events", "device", "--device", kDevice}),
            Opening("Устройство: 3", kAllTime, "Отбор: события: устройство") + kDeviceOnRow + "\n" +
                kDevice + kGapRow);
  // A device name the store does not know is most likely mistyped.
  const ProcessResult unknown = History({"list", "--device", "4"});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_EQ(unknown.out, "");
  EXPECT_EQ(unknown.err,
            "torvdoc-cli: " + store_.location().shown + ": no device \"4\" in the history\n");
}

TEST_P(HistoryCommandsTest, ListFindsTextInEventsAndNamesAndListsNewestFirst) {
  ImportThreeCopies();
  EXPECT_EQ(HistoryOutput({"list", "--text", "СИГН"}),
            Opening(kAllDevices, kAllTime, "Отбор: текст «СИГН»") + kAlarm7Row + "\n" +
                kWarning3Row + "\n" + kDevice + kGapRow + kAlarm1Row + "\n");
  // Newest first, the gap stands between the later stretch and the earlier.
  EXPECT_EQ(HistoryOutput({"list", "--text=сигн", "--newest-first"}),
            Opening(kAllDevices, kAllTime, "Отбор: текст «сигн»; сначала новые") + kAlarm1Row +
                "\n" + kDevice + kGapRow + kWarning3Row + "\n" + kAlarm7Row + "\n");
  // The text is looked for in the names too, spaces counted as one.
  EXPECT_EQ(HistoryOutput({"names", "set", "--device", kDevice, "--input", "7", "Окно  Север"}),
            "");
  EXPECT_EQ(HistoryOutput({"list", "--text", "окно север", "--events", "input"}),
            Opening(kAllDevices, kAllTime, "Отбор: события: входы; текст «окно север»") +
                kAlarm7Row + "Окно  Север\n" + kNormal7Row + "Окно  Север\n" + kDevice + kGapRow);
  // Nothing found: the listing names the hole no copy could see into.
  EXPECT_EQ(HistoryOutput({"list", "--text", "нет такого"}),
            Opening(kAllDevices, kAllTime, "Отбор: текст «нет такого»") +
                "за период записей нет: пропуск устройства 3 с 19.01.2025 11:00:00 по 20.02.2025 "
                "12:00:00\n");

  const ProcessResult blank = History({"list", "--text", "  "});
  EXPECT_EQ(blank.exitCode, 2);
  EXPECT_EQ(blank.out, "");
  EXPECT_EQ(blank.err,
            "torvdoc-cli: --text wants a text to find\n"
            "Try 'torvdoc-cli history list --help'.\n");
}

#ifdef TORVDOC_HISTORY_PDF
// The printed report the history window exports, written without a display.
TEST_P(HistoryCommandsTest, ListAsPdfIsTheWindowsPrintedReport) {
  ImportThreeCopies();
  EXPECT_EQ(HistoryOutput({"names", "set", "--device", kDevice, "--input", "7", "Дверь"}), "");
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("XDG_RUNTIME_DIR");
  const std::vector<std::string> filters = {"--device", kDevice, "--text", "сигн"};
  std::vector<std::string> args = {"list", "--format", "pdf", "-o", "report.pdf"};
  args.insert(args.end(), filters.begin(), filters.end());
  // Nothing on standard error: Qt's own notes stay off it.
  EXPECT_EQ(HistoryOutput(args), "");
  const std::string text = torv::testing::PdfTextWithoutPrintTime(PathOf("report.pdf"));
  EXPECT_EQ(
      text,
      "История событий ТОРВ-4\n"
      "Устройство: 3\n"
      "Период: всё время\n"
      "Отбор: текст «сигн»\n"
      // What it covers, the journal entry it was made from and its digest.
      "Охват 3: хранятся события с 31.12.2024 23:59:58 по 20.02.2025 12:00:00; копий 2, снятых "
      "с 10.01.2025 12:00 по\n"
      "01.03.2025 12:00; последний импорт DD.MM.YYYY HH:MM; пропусков в периоде 1; событий 3, "
      "некорректных 0, без даты 0\n"
      "Журнал: запись 4, HASH\n"
      "Контрольная сумма выборки (SHA-256): "
      "496cc3a985d556c10b53b9b211fdca48de9c987e9f3243e3a5ea192121b1b539\n"
      // The chart: its legend, the value axis and the dates under the bars.
      "Авар. сигн. Пред. сигн. Норма Неисправности Реле Прочие\n"
      "1\n"
      "0\n"
      "31.12.2024 06.01.2025 12.01.2025 18.01.2025 24.01.2025 30.01.2025 05.02.2025 11.02.2025 "
      "17.02.2025\n"
      "Устройство Дата Время Событие Вход Реле Название\n"
      "3 31.12.2024 23:59:58 Авар. сигн. 7 Дверь\n"
      "3 09.01.2025 09:30:00 Пред. сигн. 3\n"
      // The gap row's text wraps inside its row.
      "3 нет записей с 19.01.2025 11:00:00 по 20.02.2025 12:00:00 (между копиями copy2.dat и\n"
      "copy3.dat)\n"
      "3 20.02.2025 12:00:00 Авар. сигн. 1\n"
      "Итого: событий 3, некорректных 0, без даты 0; копий 2; пропусков 1\n"
      "выборка 496cc3a985d5, журнал: запись 4 стр. 1 из 1\n");
  EXPECT_NE(torv::testing::PdfInfoField(PathOf("report.pdf"), "Page size").find("(A4)"),
            std::string::npos);

  // The window's export of the same filters reads the same.
  Result<std::unique_ptr<history::HistoryStore>> store =
      history::OpenHistoryStore(store_.location(), history::OpenMode::kRead);
  ASSERT_TRUE(store.ok()) << store.failure().reason;
  history::EventQuery query;
  query.devices = {kDevice};
  query.text = "сигн";
  ASSERT_TRUE(
      WriteHistoryPdf(**store, query, HeadingFor(query, std::time(nullptr)), PathOf("window.pdf"))
          .ok());
  EXPECT_EQ(torv::testing::PdfTextWithoutPrintTime(PathOf("window.pdf")), text);

  // "-o -", or no -o, writes the PDF to standard output.
  args[4] = "-";
  const std::string piped = HistoryOutput(args);
  EXPECT_EQ(piped.rfind("%PDF-", 0), 0u);
  folder_.Write("piped.pdf", std::vector<std::uint8_t>(piped.begin(), piped.end()));
  EXPECT_EQ(torv::testing::PdfTextWithoutPrintTime(PathOf("piped.pdf")), text);

  // A file that cannot be written: its reason, and nothing left behind.
  args[4] = PathOf("нет/report.pdf");
  const ProcessResult missing = History(args);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "torvdoc-cli: " + args[4] + ": cannot write: No such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(PathOf("нет")));

  // A digest reads on paper as it was made: "ff" stays two letters, never
  // the ligature the font has for it.
  std::string input;
  std::string digest;
  for (int n = 1; n <= 32 && digest.empty(); ++n) {
    input = std::to_string(n);
    const std::string listed = History({"list", "--input", input}).out;
    const std::string line = listed.substr(listed.rfind(": ") + 2, 64);
    if (line.find("ff") != std::string::npos) digest = line;
  }
  ASSERT_FALSE(digest.empty());
  EXPECT_EQ(HistoryOutput({"list", "--input", input, "--format", "pdf", "-o", "ff.pdf"}), "");
  EXPECT_NE(torv::testing::PdfTextWithoutPrintTime(PathOf("ff.pdf"))
                .find("Контрольная сумма выборки (SHA-256): " + digest + "\n"),
            std::string::npos);

  const ProcessResult bom = History({"list", "--format", "pdf", "--bom"});
  EXPECT_EQ(bom.exitCode, 2);
  EXPECT_EQ(bom.err,
            "torvdoc-cli: --bom needs --format csv\nTry 'torvdoc-cli history list --help'.\n");
  const ProcessResult devices = History({"devices", "--format", "pdf"});
  EXPECT_EQ(devices.exitCode, 2);
  EXPECT_EQ(devices.err,
            "torvdoc-cli: --format is text or json, not \"pdf\"\n"
            "Try 'torvdoc-cli history devices --help'.\n");
}

// The chart as an image file: the one the window and the printed report
// draw, of the filters' events, at the size asked for.
TEST_P(HistoryCommandsTest, ChartIsWrittenAsThePngOrSvgTheLibraryDraws) {
  ImportThreeCopies();
  EXPECT_EQ(HistoryOutput({"chart", "--device", kDevice, "--bin", "week", "--size", "600x240", "-o",
                           "c.png"}),
            "");
  const std::string png = cli_testing::ReadWholeFile(PathOf("c.png"));
  Result<std::unique_ptr<history::HistoryStore>> store =
      history::OpenHistoryStore(store_.location(), history::OpenMode::kRead);
  ASSERT_TRUE(store.ok());
  history::EventQuery query;
  query.devices = {kDevice};
  Result<ChartData> chart = ComputeChart(**store, query, ChartBin::kWeek);
  ASSERT_TRUE(chart.ok());
  const auto drawn = [&](std::string_view format, int width, int height) {
    Result<std::string> image = HistoryChartImage(*chart, format, width, height);
    EXPECT_TRUE(image.ok());
    return image ? *image : std::string();
  };
  EXPECT_EQ(png, drawn("png", 600, 240));
  // PNG's header holds the width and the height, big-endian, from byte 16.
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(12, 12), std::string("IHDR\0\0\x02\x58\0\0\0\xF0", 12));

  EXPECT_EQ(HistoryOutput(
                {"chart", "--device", kDevice, "--bin", "week", "--format", "svg", "-o", "c.svg"}),
            "");
  const std::string svg = cli_testing::ReadWholeFile(PathOf("c.svg"));
  EXPECT_EQ(svg, drawn("svg", 1200, 400));
  EXPECT_NE(svg.find("viewBox=\"0 0 1200 400\""), std::string::npos);
  EXPECT_NE(svg.find("Авар. сигн."), std::string::npos);

  // An SQLite store's own file is never written over.
  if (GetParam() != Backend::kSqlite) return;
  const ProcessResult overStore = History({"chart", "-o", store_.location().target});
  EXPECT_EQ(overStore.exitCode, 1);
  EXPECT_EQ(overStore.err, "torvdoc-cli: " + store_.location().target +
                               ": is the history store; it is never written\n");
}
#endif

// With --heading, the CSV opens with what it shows (and covers) and closes
// with its digest; without, it is the table alone.
TEST_P(HistoryCommandsTest, ListAsCsvWithAByteOrderMarkAndItsHeading) {
  ImportThreeCopies();
  const std::string rows =
      "Устройство,Дата,Время,Событие,Вход,Реле,Название,Пропуск\r\n"
      "3,15.01.2025,10:00:00,Включение  ИМ,,,,\r\n"
      "3,19.01.2025,11:00:00,Норма,3,,,\r\n"
      "3,,," +
      std::string(kGapText) +
      ",,,,да\r\n"
      "3,20.02.2025,12:00:00,Авар. сигн.,1,,,\r\n";
  EXPECT_EQ(HistoryOutput({"list", "--format", "csv", "--bom", "--from", "2025-01-15"}),
            "\xEF\xBB\xBF" + rows);
  const std::string headed =
      History({"list", "--format", "csv", "--bom", "--heading", "--from", "2025-01-15"}).out;
  EXPECT_EQ(history::testing::WithoutListingFrame(headed),
            "\xEF\xBB\xBF"
            "Устройства: все\r\nПериод: с 15.01.2025\r\nОтбор: нет\r\n\r\n" +
                rows);
  EXPECT_NE(headed.find("\r\n\"Охват 3: хранятся события с 31.12.2024 23:59:58"),
            std::string::npos);
  EXPECT_NE(headed.find("\r\n\r\nКонтрольная сумма выборки (SHA-256): "), std::string::npos);
  const ProcessResult textHeading = History({"list", "--heading"});
  EXPECT_EQ(textHeading.exitCode, 2);
  EXPECT_EQ(textHeading.err,
            "torvdoc-cli: --heading needs --format csv (the other formats always have it)\n"
            "Try 'torvdoc-cli history list --help'.\n");
}

TEST_P(HistoryCommandsTest, ListAsJsonReadsBackWithEveryField) {
  ImportThreeCopies();
  ASSERT_EQ(HistoryOutput({"names", "set", "Дверь склада", "--device", kDevice, "--input", "7"}),
            "");
  const nlohmann::json document =
      nlohmann::json::parse(HistoryOutput({"list", "--format", "json"}));
  ASSERT_EQ(document.size(), 5u);
  // What it covers, the journal entry it was made from, and the digest the
  // text listing of the same query closes with.
  EXPECT_EQ(document.at("coverage").at("totals"),
            nlohmann::json::parse(
                R"({"copies": 3, "holes": 1, "events": 8, "damaged": 1, "undated": 1})"));
  EXPECT_EQ(document.at("journal").at("entry"), 4);
  const std::string text = History({"list"}).out;
  EXPECT_NE(text.find("Контрольная сумма выборки (SHA-256): " +
                      document.at("digest").get<std::string>() + "\n"),
            std::string::npos);
  EXPECT_EQ(document.at("filters").at("lines"),
            nlohmann::json::array({kAllDevices, kAllTime, kNoFilter}));
  const nlohmann::json& events = document.at("events");
  ASSERT_EQ(events.size(), 8u);  // a gap is no event of its own
  EXPECT_EQ(events[0], nlohmann::json::parse(R"({"device": "3", "year": 2024,
              "bytes": [2, 6, 58, 59, 23, 31, 12, 0], "gap_before": false,
              "date": "31.12.2024", "time": "23:59:58", "event": "Авар. сигн.",
              "code": 2, "kind": "alarm", "input": 7, "relay": null,
              "name": "Дверь склада", "copy": 1})"));
  EXPECT_EQ(events[2].at("relay"), 2);
  EXPECT_EQ(events[2].at("input"), nullptr);
  EXPECT_EQ(events[2].at("name"), nullptr);
  std::vector<bool> gaps;
  for (const nlohmann::json& event : events) gaps.push_back(event.at("gap_before"));
  EXPECT_EQ(gaps, std::vector<bool>({false, false, false, false, false, false, true, false}));
  EXPECT_EQ(events[7], nlohmann::json::parse(R"({"device": "3", "year": null,
              "bytes": [255, 255, 255, 255, 255, 255, 255, 255], "gap_before": false,
              "date": "", "time": "", "event": "**НЕКОРР ЗАП.**", "code": 255,
              "kind": "damaged", "input": null, "relay": null, "name": null, "copy": 3})"));
  const nlohmann::json none =
      nlohmann::json::parse(HistoryOutput({"list", "--format", "json", "--input", "30"}));
  EXPECT_EQ(none.at("events"), nlohmann::json::array());
  EXPECT_EQ(none.at("filters").at("input"), 30);
  EXPECT_EQ(none.at("filters").at("lines").at(2), "Отбор: вход 30");

  // The alarms of the listing are the alarms the statistics count.
  const nlohmann::json alarms = nlohmann::json::parse(HistoryOutput(
      {"list", "--format", "json", "--events", "alarm,relay", "--input", "7,250-256"}));
  EXPECT_EQ(alarms.at("filters").at("kinds"), nlohmann::json::array({"relay", "alarm"}));
  EXPECT_EQ(alarms.at("filters").at("inputs"),
            nlohmann::json::array({7, 250, 251, 252, 253, 254, 255, 256}));
  ASSERT_FALSE(alarms.at("events").empty());
  for (const nlohmann::json& event : alarms.at("events")) EXPECT_EQ(event.at("kind"), "alarm");
  const nlohmann::json stats = nlohmann::json::parse(
      HistoryOutput({"stats", "--format", "json", "--device", kDevice, "--input", "7"}));
  const nlohmann::json& device = stats.at("devices").at(0);
  EXPECT_EQ(device.at("counts").at("alarm"), alarms.at("events").size());
  EXPECT_EQ(device.at("inputs").at(0).at("input"), 7);
  EXPECT_EQ(device.at("inputs").at(0).at("alarms"), alarms.at("events").size());
  EXPECT_EQ(stats.at("coverage").at("lines").at(2), "Отбор: вход 7");
}

// --- names ---

TEST_P(HistoryCommandsTest, NamesSetImportedAndListedShowBesideTheNumbers) {
  ImportThreeCopies();
  EXPECT_EQ(HistoryOutput({"names", "set", "--device", kDevice, "--relay", "2", "Сирена"}), "");
  EXPECT_EQ(HistoryOutput({"names", "set", "--device", kDevice, "--input", "7", "Дверь"}), "");
  const std::string csv =
      "device,kind,number,name\n"
      "3,input,7,\"Дверь \"\"А\"\", склад\"\n"
      "3,input,3,Окно\n"
      "3,relay,1,Табло\n";
  folder_.Write("names.csv", std::vector<std::uint8_t>(csv.begin(), csv.end()));
  EXPECT_EQ(HistoryOutput({"names", "import", "names.csv"}), "names.csv: 3 names set\n");
  // The file's name for input 7 replaced the one set before it.
  EXPECT_EQ(HistoryOutput({"names", "list"}),
            "device,kind,number,name\r\n"
            "3,input,3,Окно\r\n"
            "3,input,7,\"Дверь \"\"А\"\", склад\"\r\n"
            "3,relay,1,Табло\r\n"
            "3,relay,2,Сирена\r\n");
  EXPECT_EQ(HistoryOutput({"list", "--to", "2025-01-09"}),
            Opening(kAllDevices, "Период: по 09.01.2025") + kAlarm7Row + "Дверь \"А\", склад\n" +
                kNormal7Row + "Дверь \"А\", склад\n" + kRelay2OnRow + "Сирена\n" + kWarning3Row +
                "Окно\n");
}

TEST_P(HistoryCommandsTest, ABadNamesFileStoresNoName) {
  const std::string csv =
      "device,kind,number,name\n"
      "3,input,7,Дверь\n"
      "3,door,1,Окно\n";
  folder_.Write("names.csv", std::vector<std::uint8_t>(csv.begin(), csv.end()));
  ProcessResult result = History({"names", "import", "names.csv"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "torvdoc-cli: names.csv: line 3: the kind \"door\" is neither input nor relay\n");
  result = History({"names", "import", "absent.csv"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "torvdoc-cli: absent.csv: cannot be read: No such file or directory\n");
  EXPECT_EQ(HistoryOutput({"names", "list"}), "device,kind,number,name\r\n");
}

// --- devices ---

// The last import's time as the devices report prints it, checked to lie
// between `before` and `after`.
std::string ImportTime(const nlohmann::json& device, std::time_t before, std::time_t after) {
  const std::string text = device.at("last_import");
  std::tm parts{};
  EXPECT_NE(::strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &parts), nullptr) << text;
  const std::time_t at = ::timegm(&parts);
  EXPECT_LE(before, at);
  EXPECT_LE(at, after);
  return text;
}

TEST_P(HistoryCommandsTest, DevicesCountEventsCopiesAndGaps) {
  const std::time_t before = std::time(nullptr);
  ImportThreeCopies();
  WriteArchive("other.dat", {DamagedRecord()});
  EXPECT_EQ(HistoryOutput({"import", "--new-device", "other.dat", "--device", kStoreroom}),
            "other.dat: 1 new, 0 already stored\n");
  const std::time_t after = std::time(nullptr);

  const nlohmann::json document =
      nlohmann::json::parse(HistoryOutput({"devices", "--format", "json"}));
  ASSERT_EQ(document.at("devices").size(), 2u);
  const nlohmann::json& first = document.at("devices")[0];
  const nlohmann::json& second = document.at("devices")[1];
  const std::string firstImport = ImportTime(first, before, after);
  const std::string secondImport = ImportTime(second, before, after);
  EXPECT_EQ(document, nlohmann::json::parse(R"({"devices": [
              {"device": "3", "events": 8, "copies": 3, "gaps": 1, "damaged": 1,
               "first_event": "31.12.2024 23:59:58", "last_event": "20.02.2025 12:00:00",
               "last_import": ")" + firstImport +
                                            R"("},
              {"device": "Склад, ТОРВ-4 №2", "events": 1, "copies": 1, "gaps": 0, "damaged": 1,
               "first_event": null, "last_event": null,
               "last_import": ")" + secondImport +
                                            R"("}]})"));
  EXPECT_EQ(HistoryOutput({"devices"}), std::string(kDevicesHeader) +
                                            "3\t8\t3\t1\t1\t31.12.2024 23:59:58\t20.02.2025 "
                                            "12:00:00\t" +
                                            firstImport + "\n" + kStoreroom + "\t1\t1\t0\t1\t\t\t" +
                                            secondImport + "\n");
}

TEST_P(HistoryCommandsTest, ACopyWithoutEventsListsOnlyHeaders) {
  WriteArchive("blank.dat", {});  // every slot empty, WriteOffset 0
  EXPECT_EQ(HistoryOutput({"import", "--new-device", "blank.dat", "--device", kDevice}),
            "blank.dat: 0 new, 0 already stored\n");
  EXPECT_EQ(HistoryOutput({"list"}), Opening());
  EXPECT_EQ(HistoryOutput({"list", "--format", "csv"}),
            "Устройство,Дата,Время,Событие,Вход,Реле,Название,Пропуск\r\n");
  // A copy without events tells nothing of the device: it is not kept.
  EXPECT_EQ(HistoryOutput({"devices", "--format", "json"}), "{\n  \"devices\": []\n}\n");
}

INSTANTIATE_TEST_SUITE_P(Stores, HistoryCommandsTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         history::testing::BackendName);

}  // namespace
}  // namespace torv::cli_testing
