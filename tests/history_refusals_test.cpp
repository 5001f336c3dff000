// What does not belong in the history is refused on every store, and the
// store lists afterwards exactly what it listed before.
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "history/archive_copy.h"
#include "history_test_support.h"

namespace torv::history {
namespace {

using testing::Backend;
using testing::StoreListing;
using testing::TestStore;

std::vector<std::uint8_t> Resized(std::vector<std::uint8_t> bytes, std::size_t size) {
  bytes.resize(size, 0);
  return bytes;
}

// A file of the right size whose records are clock fields out of range.
std::vector<std::uint8_t> Garbage() {
  ArchiveBuilder builder;
  builder.FillAll(MakeRecord(3, 0, 77, 88, 99, 40, 20));
  builder.SetWriteOffset(0);
  return builder.Bytes();
}

class HistoryRefusalTest : public ::testing::TestWithParam<Backend> {
 protected:
  HistoryRefusalTest() : test_(GetParam()) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  TestStore test_;
};

TEST_P(HistoryRefusalTest, AFileThatIsNoGenuineCopyStoresNothing) {
  auto store = test_.Open();
  ASSERT_TRUE(store);
  const std::vector<std::uint8_t> genuine = GenerateArchive({.seed = 7, .fill = 600});
  const CopyTime at{1735689600, 2025, 1, 1};
  torv::testing::TempFolder files;
  ASSERT_TRUE(ImportArchiveFile(*store, "3", files.Write("first.dat", genuine), at).ok());
  ASSERT_TRUE(store->SetNames({{"3", NumberKind::kInput, 1, "Дверь"}}).ok());
  const std::string before = StoreListing(*store);
  ASSERT_NE(before, "");

  const struct {
    const char* file;
    std::vector<std::uint8_t> bytes;
    std::optional<CopyTime> copiedAt;
    std::string refusal;
  } cases[] = {
      {"cut4100.dat", Resized(genuine, 4100), at, "не архив ТОРВ-4 (размер 4100 байт, а не 8196)"},
      {"cut100.dat", Resized(genuine, 100), at, "не архив ТОРВ-4 (размер 100 байт, а не 8196)"},
      {"long.dat", Resized(genuine, 8200), at, "не архив ТОРВ-4 (размер 8200 байт, а не 8196)"},
      {"noise.dat", Garbage(), at,
       "не архив ТОРВ-4 (1024 из 1024 записей с невозможным временем или датой)"},
      {"old.dat", genuine, CopyTime{0, 1989, 12, 31},
       "время копии 31.12.1989 раньше 1990 года; проверьте --copied-at"},
      {"ahead.dat", genuine, CopyTime{std::int64_t{1} << 40, 9999, 1, 1},
       "время копии 01.01.9999 больше чем на сутки впереди; проверьте --copied-at"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Result<ImportOutcome> outcome =
        ImportArchiveFile(*store, "3", files.Write(c.file, c.bytes), c.copiedAt);
    ASSERT_TRUE(outcome.ok()) << outcome.failure().reason;
    EXPECT_EQ(outcome->refusal, c.refusal);
    EXPECT_EQ(outcome->newEvents, 0);
    EXPECT_EQ(StoreListing(*store), before);
  }
  // A WriteOffset the viewer rejects keeps the viewer's message.
  ArchiveBuilder damaged;
  damaged.SetWriteOffset(12);
  Result<ImportOutcome> refused =
      ImportArchiveFile(*store, "3", files.Write("d.dat", damaged.Bytes()), at);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.failure().reason, "Архив поврежден");
  EXPECT_EQ(StoreListing(*store), before);
}

TEST_P(HistoryRefusalTest, TextsThatWouldBreakAListingAreNeverStored) {
  auto store = test_.Open();
  ASSERT_TRUE(store);
  const ArchiveCopy copy{{MakeRecord(3, 0, 1, 2, 3, 4, 5)}, {0, 2025, 6, 1}, "a.dat"};
  ASSERT_TRUE(store->Import("3", copy).ok());
  const std::string before = StoreListing(*store);
  const struct {
    std::string device;
    std::string name;
    std::string reason;
  } cases[] = {
      {std::string("3\0x", 3), "Дверь", "the device name holds a control character"},
      {"3\t4", "Дверь", "the device name holds a control character"},
      {"\xd0", "Дверь", "the device name is not UTF-8 text"},
      {"  ", "Дверь", "the device name is blank"},
      {"3", std::string("Дв\0ерь", 7), "the name holds a control character"},
      {"3", "Дверь\nсклада", "the name holds a control character"},
      {"3", "\xff", "the name is not UTF-8 text"},
      {"3", " ", "the name is blank"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    if (c.name == "Дверь") {
      Result<ImportOutcome> imported = store->Import(c.device, copy);
      ASSERT_FALSE(imported.ok());
      EXPECT_EQ(imported.failure().reason, c.reason);
    }
    const Status named = store->SetNames({{c.device, NumberKind::kInput, 1, c.name}});
    ASSERT_FALSE(named.ok());
    EXPECT_EQ(named.failure().reason, c.reason);
    EXPECT_EQ(StoreListing(*store), before);
  }
}

// Records of 01.01 at second `from` to `to` of the day; `code` 3 or 4 makes
// two devices' records that never coincide.
std::vector<ArchiveRecord> Seconds(int from, int to, std::uint8_t code = 3) {
  std::vector<ArchiveRecord> records;
  for (int s = from; s <= to; ++s) {
    records.push_back(MakeRecord(code, 0, 0, static_cast<std::uint8_t>(s / 60),
                                 static_cast<std::uint8_t>(s % 60), 1, 1));
  }
  return records;
}

TEST_P(HistoryRefusalTest, ACopyThatContradictsTheStoredHistoryIsRefused) {
  auto store = test_.Open();
  ASSERT_TRUE(store);
  const CopyTime in2024{100, 2024, 1, 2};
  ASSERT_TRUE(store->Import("gate", ArchiveCopy{Seconds(1, 100), in2024, "a.dat"}).ok());
  ASSERT_TRUE(store->Import("gate", ArchiveCopy{Seconds(300, 310), in2024, "b.dat"}).ok());
  const std::string before = StoreListing(*store);
  const struct {
    const char* what;
    ArchiveCopy copy;
    std::string refusal;
  } cases[] = {
      {"another device's copy inside a stretch",
       {Seconds(20, 30, 4), in2024, "post.dat"},
       "не совпадает с историей устройства gate за 01.01.2024–01.01.2024: копия другого "
       "устройства?"},
      {"one spanning the stretch exactly",
       {Seconds(1, 100, 4), in2024, "post.dat"},
       "не совпадает с историей устройства gate за 01.01.2024–01.01.2024: копия другого "
       "устройства?"},
      {"a copy time a year late",
       {Seconds(90, 120), {100, 2025, 1, 2}, "late.dat"},
       "время копии даёт 2025 год событиям, сохранённым с 2024 годом; проверьте --copied-at"},
      {"a copy time a year early",
       {Seconds(305, 320), {100, 2023, 1, 2}, "early.dat"},
       "время копии даёт 2023 год событиям, сохранённым с 2024 годом; проверьте --copied-at"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Result<ImportOutcome> outcome = store->Import("gate", c.copy);
    ASSERT_TRUE(outcome.ok()) << outcome.failure().reason;
    EXPECT_EQ(outcome->refusal, c.refusal);
    EXPECT_EQ(StoreListing(*store), before);
  }
  // Beyond the stretches, in the gap between them, or vouched for: stored.
  ArchiveCopy vouched{Seconds(20, 30, 4), in2024, "post.dat"};
  vouched.forcedDevice = true;
  for (const ArchiveCopy& copy :
       {ArchiveCopy{Seconds(150, 160, 4), in2024, "gap.dat"},
        ArchiveCopy{Seconds(400, 410, 4), in2024, "later.dat"}, vouched}) {
    SCOPED_TRACE(copy.source);
    Result<ImportOutcome> outcome = store->Import("gate", copy);
    ASSERT_TRUE(outcome.ok()) << outcome.failure().reason;
    EXPECT_EQ(outcome->refusal, std::nullopt);
    EXPECT_EQ(outcome->newEvents, 11);
    EXPECT_TRUE(outcome->gapBefore);
  }
}

TEST_P(HistoryRefusalTest, AVersionThatIsNoSmallNumberIsNoStore) {
  ASSERT_TRUE(test_.Open());
  const struct {
    std::int64_t version;
    std::string reason;
  } cases[] = {
      {4294967297,
       "its version table holds 4294967297, no layout version; it is not a history "
       "store"},
      {0, "its version table holds 0, no layout version; it is not a history store"},
      {-1, "its version table holds -1, no layout version; it is not a history store"},
      {7, "the history store has layout version 7, newer than this program's " +
              std::to_string(kStoreVersion) + "; use a newer torvdoc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    ASSERT_TRUE(test_.Raw()->Exec("UPDATE schema_version SET version = $1", {c.version}).ok());
    for (const OpenMode mode : {OpenMode::kRead, OpenMode::kWrite}) {
      Result<std::unique_ptr<HistoryStore>> store = OpenHistoryStore(test_.location(), mode);
      ASSERT_FALSE(store.ok());
      EXPECT_EQ(store.failure().reason, test_.location().shown + ": " + c.reason);
    }
  }
}

// Layout 5 changes nothing on SQLite: a store of layout 4 there is read as
// it is, while a server's waits for the import that gives it statistics.
TEST_P(HistoryRefusalTest, ALayoutOlderOnlyByStepsThisDatabaseSkipsIsRead) {
  ASSERT_TRUE(test_.Open());
  ASSERT_TRUE(test_.Raw()->Exec("UPDATE schema_version SET version = 4").ok());
  Result<std::unique_ptr<HistoryStore>> store = OpenHistoryStore(test_.location(), OpenMode::kRead);
  if (GetParam() == Backend::kSqlite) {
    EXPECT_TRUE(store.ok()) << store.failure().reason;
  } else {
    ASSERT_FALSE(store.ok());
    EXPECT_EQ(store.failure().reason,
              test_.location().shown +
                  ": the history store has an older layout; an import brings it up to date");
  }
}

TEST_P(HistoryRefusalTest, AStoreThatIsGoneEndsTheImport) {
  StoreLocation location = test_.location();
  // A name to find this test's own connection by among the server's.
  const std::string application = "torvdoc_gone_" + std::to_string(::getpid());
  if (GetParam() == Backend::kPostgres) location.target += "&application_name=" + application;
  Result<std::unique_ptr<HistoryStore>> store = OpenHistoryStore(location, OpenMode::kWrite);
  ASSERT_TRUE(store.ok()) << store.failure().reason;
  ASSERT_TRUE((*store)->Import("3", ArchiveCopy{Seconds(1, 5), {100, 2024, 1, 2}, "a.dat"}).ok());
  EXPECT_TRUE(StoreStillThere(**store, location, false).ok());
  EXPECT_TRUE(StoreStillThere(**store, location, true).ok());

  if (GetParam() == Backend::kSqlite) {
    std::filesystem::remove_all(test_.folder());
    const Status gone = StoreStillThere(**store, location, false);
    ASSERT_FALSE(gone.ok());
    EXPECT_EQ(gone.failure().reason, "the store's file is gone");
    return;
  }
  ASSERT_TRUE(test_.Raw()
                  ->Exec("SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity WHERE "
                         "application_name = $1",
                         {application})
                  .ok());
  // Only a failure of the store's own makes it ask the server.
  EXPECT_TRUE(StoreStillThere(**store, location, false).ok());
  EXPECT_FALSE(StoreStillThere(**store, location, true).ok());
}

INSTANTIATE_TEST_SUITE_P(Stores, HistoryRefusalTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         testing::BackendName);

}  // namespace
}  // namespace torv::history
