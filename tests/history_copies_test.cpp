// The store keeps every copy it imported, takes any of them back out as if
// it had never seen them, and journals every change; on both stores.
#include <algorithm>
#include <random>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "history/archive_copy.h"
#include "history/journal.h"
#include "history/kept_copy.h"
#include "history_test_support.h"
#include "models/device_simulation.h"

namespace torv::history {
namespace {

using testing::Backend;
using testing::StoreListing;
using testing::TestStore;

class HistoryCopiesTest : public ::testing::TestWithParam<Backend> {
 protected:
  HistoryCopiesTest() : test_(GetParam()) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  TestStore test_;
};

// Copies of a simulated device; `writes[i]` events are written before copy i.
std::vector<ArchiveCopy> SimulatedCopies(std::uint32_t seed, const std::vector<int>& writes) {
  SimulationOptions options;
  options.seed = seed;
  SimulatedDevice device(options);
  std::vector<ArchiveCopy> copies;
  for (const int count : writes) {
    device.Write(count);
    copies.push_back(device.CopyNow());
    copies.back().source = "copy" + std::to_string(copies.size()) + ".dat";
  }
  return copies;
}

TEST(KeptCopyTest, ADigestIsTheFilesSha256AndKeptBytesGiveTheRecordsTheFileGave) {
  EXPECT_EQ(Sha256Hex({'a', 'b', 'c'}),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  for (const int written : {0, 5, 1024, 1500}) {
    SimulationOptions options;
    SimulatedDevice device(options);
    device.Write(written);
    const ArchiveCopy copy = device.CopyNow();
    const ArchiveCopy kept = CopyOfKeptBytes(copy.bytes, copy.copiedAt, "a.dat", false);
    EXPECT_EQ(kept.records, copy.records) << written;
    EXPECT_EQ(FileBytesOf(ImageFromBytes(copy.bytes)), copy.bytes) << written;
  }
}

TEST_P(HistoryCopiesTest, EachFileIsKeptOnceAndGivenBackByteForByte) {
  auto store = test_.Open();
  ASSERT_TRUE(store);
  const std::vector<ArchiveCopy> copies = SimulatedCopies(3, {700, 300});
  ASSERT_TRUE(store->Import("3", copies[0]).ok());
  ArchiveCopy withoutBytes = copies[1];
  withoutBytes.bytes.clear();
  ASSERT_TRUE(store->Import("3", withoutBytes).ok());
  const std::string before = StoreListing(*store);

  // The same bytes again, under any name: nothing stored, and no fault.
  ArchiveCopy again = copies[0];
  again.source = "renamed.dat";
  Result<ImportOutcome> repeated = store->Import("3", again);
  ASSERT_TRUE(repeated.ok()) << repeated.failure().reason;
  ASSERT_TRUE(repeated->alreadyImported);
  EXPECT_TRUE(repeated->alreadyImported->starts_with("уже импортирован "))
      << *repeated->alreadyImported;
  EXPECT_TRUE(repeated->alreadyImported->ends_with(" (копия 1)")) << *repeated->alreadyImported;
  EXPECT_EQ(repeated->newEvents + repeated->alreadyStored, 0);
  // Under another device it is that device's copy, unless vouched for.
  Result<ImportOutcome> elsewhere = store->Import("4", again);
  ASSERT_TRUE(elsewhere.ok());
  ASSERT_TRUE(elsewhere->refusal);
  EXPECT_TRUE(elsewhere->refusal->starts_with("уже импортирован для устройства 3 "));
  EXPECT_TRUE(elsewhere->refusal->ends_with(" (копия 1): копия другого устройства?"));
  EXPECT_EQ(StoreListing(*store), before);

  Result<std::vector<KeptCopy>> kept = store->Copies(std::nullopt);
  ASSERT_TRUE(kept.ok()) << kept.failure().reason;
  ASSERT_EQ(kept->size(), 2u);
  const KeptCopy& first = (*kept)[0];
  EXPECT_EQ(
      std::tie(first.id, first.device, first.file, first.size, first.sha256, first.copiedAt,
               first.records, first.newEvents, first.gapBefore, first.forced, first.withdrawn),
      std::make_tuple(std::int64_t{1}, std::string("3"), std::string("copy1.dat"),
                      std::optional<std::int64_t>(8196), Sha256Hex(copies[0].bytes),
                      copies[0].copiedAt.unixSeconds, std::int64_t{700}, std::int64_t{700}, false,
                      false, false));
  EXPECT_EQ(first.importedBy, OperatorIdentity());
  EXPECT_EQ(first.version, TORVDOC_VERSION);
  EXPECT_FALSE((*kept)[1].HasBytes());
  EXPECT_EQ((*kept)[1].sha256, "");

  Result<std::vector<std::uint8_t>> bytes = store->CopyBytes(1);
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(*bytes, copies[0].bytes);
  const struct {
    std::int64_t id;
    std::string reason;
  } unknown[] = {
      {2, "copy 2 was imported before the store kept copies; its bytes are not known"},
      {3, "no copy 3 in the history"},
  };
  for (const auto& c : unknown) {
    Result<std::vector<std::uint8_t>> none = store->CopyBytes(c.id);
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.failure().reason, c.reason);
  }
  Result<std::vector<KeptCopy>> ofOther = store->Copies(std::string("4"));
  ASSERT_TRUE(ofOther.ok());
  EXPECT_TRUE(ofOther->empty());
}

// The model: a store that imported only the copies left, in the same order.
std::string NeverSaw(Backend backend, const std::vector<ArchiveCopy>& copies,
                     const std::set<std::size_t>& withdrawn) {
  TestStore model(backend);
  auto store = model.Open();
  for (std::size_t i = 0; i < copies.size(); ++i) {
    if (withdrawn.count(i) == 0) {
      EXPECT_TRUE(store->Import("5", copies[i]).ok());
    }
  }
  return StoreListing(*store);
}

TEST_P(HistoryCopiesTest, AWithdrawnCopyLeavesTheHistoryOfAStoreThatNeverSawIt) {
  for (const std::uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // Overlapping copies, and some that leave a gap before them.
    std::vector<int> writes;
    for (int i = 0; i < 8; ++i) writes.push_back(std::uniform_int_distribution<>(50, 1300)(random));
    const std::vector<ArchiveCopy> copies = SimulatedCopies(seed, writes);
    TestStore test(GetParam());
    auto store = test.Open();
    ASSERT_TRUE(store);
    std::vector<std::size_t> order(copies.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    for (const ArchiveCopy& copy : copies) ASSERT_TRUE(store->Import("5", copy).ok());

    // Withdrawn one at a time in a random order, each step compared.
    std::shuffle(order.begin(), order.end(), random);
    std::set<std::size_t> withdrawn;
    for (std::size_t step = 0; step < 4; ++step) {
      withdrawn.insert(order[step]);
      Result<std::vector<RebuiltDevice>> rebuilt =
          store->Withdraw({static_cast<std::int64_t>(order[step] + 1)}, "test");
      ASSERT_TRUE(rebuilt.ok()) << rebuilt.failure().reason;
      ASSERT_EQ(rebuilt->size(), 1u);
      EXPECT_EQ((*rebuilt)[0].copiesLeft, static_cast<std::int64_t>(copies.size() - step - 1));
      EXPECT_EQ(StoreListing(*store), NeverSaw(GetParam(), copies, withdrawn));
    }
    // A withdrawn copy may come back: the history is whole again.
    ArchiveCopy back = copies[order[0]];
    Result<ImportOutcome> reimported = store->Import("5", back);
    ASSERT_TRUE(reimported.ok());
    EXPECT_FALSE(reimported->alreadyImported);
    withdrawn.erase(order[0]);
    // Its place among the copies is now last: the merge gives the same
    // history whatever the order of the copies.
    EXPECT_EQ(StoreListing(*store), NeverSaw(GetParam(), copies, withdrawn));
  }
}

TEST_P(HistoryCopiesTest, AWithdrawalThatCannotBeDoneChangesNothing) {
  auto store = test_.Open();
  ASSERT_TRUE(store);
  const std::vector<ArchiveCopy> copies = SimulatedCopies(4, {400, 400, 400});
  ArchiveCopy withoutBytes = copies[0];
  withoutBytes.bytes.clear();
  ASSERT_TRUE(store->Import("5", withoutBytes).ok());
  ASSERT_TRUE(store->Import("5", copies[1]).ok());
  ASSERT_TRUE(store->Import("6", copies[2]).ok());
  ASSERT_TRUE(store->Withdraw({3}, "").ok());
  const std::string before = StoreListing(*store);
  const struct {
    std::vector<std::int64_t> ids;
    std::string reason;
    std::string failure;
  } cases[] = {
      {{2},
       "",
       "copy 1 of device \"5\" was imported before the store kept copies: without its bytes the "
       "history of the device cannot be rebuilt"},
      {{9}, "", "no copy 9 in the history"},
      {{3}, "", "copy 3 is withdrawn already"},
      {{}, "", "no copy to withdraw"},
      {{2}, "a\tb", "the reason holds a control character"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failure);
    Result<std::vector<RebuiltDevice>> refused = store->Withdraw(c.ids, c.reason);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().reason, c.failure);
    EXPECT_EQ(StoreListing(*store), before);
  }
}

TEST_P(HistoryCopiesTest, RenamesAndRemovalsAreWholeAndJournalled) {
  auto store = test_.Open();
  ASSERT_TRUE(store);
  const std::vector<ArchiveCopy> copies = SimulatedCopies(6, {300, 200});
  ASSERT_TRUE(store->Import("gate", copies[0]).ok());
  ASSERT_TRUE(store->Import("post", copies[1]).ok());
  ASSERT_TRUE(store->SetNames({{"gate", NumberKind::kInput, 2, "Дверь"}}).ok());
  const std::string before = StoreListing(*store);

  const struct {
    std::string from;
    std::string to;
    std::string failure;
  } refusedRenames[] = {
      {"gate", "post", "a device \"post\" is in the history already"},
      {"gaet", "new", "no device \"gaet\" in the history"},
      {"gate", " ", "the new device name is blank"},
  };
  for (const auto& c : refusedRenames) {
    const Status refused = store->RenameDevice(c.from, c.to, "");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().reason, c.failure);
  }
  const Status unknownRemoval = store->RemoveDevice("gaet", "");
  ASSERT_FALSE(unknownRemoval.ok());
  EXPECT_EQ(unknownRemoval.failure().reason, "no device \"gaet\" in the history");
  const Status unknownNames = store->SetNames({{"gaet", NumberKind::kInput, 1, "Окно"}});
  ASSERT_FALSE(unknownNames.ok());
  EXPECT_EQ(unknownNames.failure().reason, "no device \"gaet\" in the history");
  EXPECT_EQ(StoreListing(*store), before);

  ASSERT_TRUE(store->RenameDevice("gate", "Ворота", "табличка сменилась").ok());
  // Listed by name: the renamed device now sorts after "post".
  Result<std::vector<DeviceSummary>> devices = store->Devices();
  ASSERT_TRUE(devices.ok());
  ASSERT_EQ(devices->size(), 2u);
  EXPECT_EQ((*devices)[1].device, "Ворота");
  ASSERT_TRUE(store->RemoveDevice("post", "снят с объекта").ok());
  EXPECT_EQ(StoreListing(*store).find("post"), std::string::npos);
  ASSERT_TRUE(store->Import("post", copies[1]).ok()) << "its copy may come again";

  Result<std::vector<JournalEntry>> journal = store->Journal();
  ASSERT_TRUE(journal.ok());
  std::vector<std::string> lines;
  for (const JournalEntry& e : *journal) {
    EXPECT_EQ(e.who, OperatorIdentity());
    lines.push_back(std::to_string(e.id) + " " + e.kind + " " + e.device + " " +
                    (e.copy ? std::to_string(*e.copy) : "-") + " [" + e.reason + "] " + e.detail);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "1 import gate 1 [] copy1.dat: 300 new, 0 already stored",
                       "2 import post 2 [] copy2.dat: 500 new, 0 already stored",
                       "3 names gate - [] 1 names set",
                       "4 rename Ворота - [табличка сменилась] renamed from \"gate\"",
                       "5 remove post - [снят с объекта] removed: events 500, copies 1, names 0",
                       "6 import post 3 [] copy2.dat: 500 new, 0 already stored",
                   }));
}

INSTANTIATE_TEST_SUITE_P(Stores, HistoryCopiesTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         testing::BackendName);

}  // namespace
}  // namespace torv::history
