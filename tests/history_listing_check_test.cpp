// A listing's digest is the SHA-256 of its documented canonical form, and
// `history verify --listing` tells whether the store still gives it, and if
// not, the journal entry with which it changed, on both stores.
#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "history/kept_copy.h"
#include "history/sha256_stream.h"
#include "history_report/listing_check.h"
#include "history_report/listing_digest.h"
#include "history_test_support.h"
#include "models/device_simulation.h"

namespace torv {
namespace {

using history::testing::Backend;
using history::testing::TestStore;

// Day `day` of January 2025 at noon, input 3.
ArchiveRecord Alarm(int day) {
  return MakeRecord(2, 2, 12, 0, 0, static_cast<std::uint8_t>(day), 1);
}

// A copy as an import of its file gives it: with the bytes the store keeps,
// which the journal is played again from.
history::ArchiveCopy CopyOf(const std::vector<ArchiveRecord>& records, std::int64_t at,
                            const std::string& file) {
  ArchiveBuilder builder;
  for (std::size_t i = 0; i < records.size(); ++i) builder.SetSlot(static_cast<int>(i), records[i]);
  builder.SetWriteOffset(static_cast<std::int32_t>(8 * records.size()));
  return history::CopyOfKeptBytes(builder.Bytes(), history::UtcCopyTime(at), file, false);
}

class ListingCheckTest : public ::testing::TestWithParam<Backend> {};

TEST_P(ListingCheckTest, TheDigestIsTheDocumentedFormOfFiltersAndRows) {
  TestStore test(GetParam());
  std::unique_ptr<history::HistoryStore> store = test.Open();
  ASSERT_TRUE(store);
  // 20 January 2025 12:00 UTC and a month later: two copies that share
  // nothing, so a hole lies between them.
  ASSERT_TRUE(store->Import("пост", CopyOf({Alarm(1), Alarm(2)}, 1737374400, "a.dat")).ok());
  ASSERT_TRUE(store->Import("пост", CopyOf({Alarm(5)}, 1740052800, "b.dat")).ok());
  history::EventQuery query;
  query.devices = {"пост"};
  const std::string form =
      "torvdoc listing 1\n"
      "Устройство: пост\n"
      "Период: всё время\n"
      "Отбор: нет\n"
      "E\tпост\t2025\t020200000c010100\n"
      "E\tпост\t2025\t020200000c020100\n"
      "G\tпост\t2025-01-02T12:00:00\t2025-01-05T12:00:00\n"
      "E\tпост\t2025\t020200000c050100\n";
  history::Sha256Stream sha;
  sha.Add(form);
  Result<std::string> digest = DigestOfListing(*store, query);
  ASSERT_TRUE(digest.ok()) << digest.failure().reason;
  EXPECT_EQ(*digest, sha.Hex());
}

// Each case changes the store, then checks the listing made at the start.
TEST_P(ListingCheckTest, ALaterStoreGivesTheListingOrNamesTheEntryThatChangedIt) {
  TestStore test(GetParam());
  std::unique_ptr<history::HistoryStore> store = test.Open();
  ASSERT_TRUE(store);
  ASSERT_TRUE(
      store->Import("пост", CopyOf({Alarm(1), Alarm(2), Alarm(3)}, 1737374400, "a.dat")).ok());
  history::EventQuery whole;
  whole.devices = {"пост"};
  // Days that end before the hole after the first copy: a copy after it
  // changes nothing in them.
  history::EventQuery early = whole;
  early.to = history::CalendarDate{2025, 1, 2};
  const std::string wholeOnPaper = *DigestOfListing(*store, whole);
  const std::string earlyOnPaper = *DigestOfListing(*store, early);

  const auto withdrawNewest = [&] {
    Result<std::vector<history::KeptCopy>> copies = store->Copies(std::string("пост"));
    ASSERT_TRUE(copies.ok());
    ASSERT_TRUE(store->Withdraw({copies->back().id}, "не та копия").ok());
  };
  struct Case {
    const char* name;
    std::function<void()> change;
    const history::EventQuery& query;
    const std::string& digest;
    bool matches;
    std::optional<std::int64_t> changedBy;  // journal entry
    std::string untold;                     // the start of why not
  };
  const std::string unknown(64, 'a');
  const Case cases[] = {
      {"unchanged", [] {}, whole, wholeOnPaper, true, {}, ""},
      {"a copy after a hole adds events",
       [&] { ASSERT_TRUE(store->Import("пост", CopyOf({Alarm(9)}, 1740052800, "b.dat")).ok()); },
       whole, wholeOnPaper, false, 2, ""},
      {"outside the listing's dates it changes nothing", [] {}, early, earlyOnPaper, true, {}, ""},
      {"the copy withdrawn gives it back", withdrawNewest, whole, wholeOnPaper, true, {}, ""},
      {"a digest no state gives", [] {}, whole, unknown, false, {}, "no state of the journal"},
      {"an event deleted behind the journal",
       [&] {
         ASSERT_TRUE(test.Raw()
                         ->Exec("DELETE FROM events WHERE pos = (SELECT max(pos) FROM "
                                "events)")
                         .ok());
       },
       whole,
       wholeOnPaper,
       false,
       {},
       "the journal's copies give this listing but"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.change();
    Result<ListingCheck> check = CheckListing(*store, c.query, c.digest);
    ASSERT_TRUE(check.ok()) << check.failure().reason;
    EXPECT_EQ(check->matches, c.matches);
    EXPECT_EQ(check->matches, check->digest == c.digest);
    EXPECT_EQ(check->changedBy ? std::optional(check->changedBy->id) : std::nullopt, c.changedBy);
    EXPECT_TRUE(check->untold.starts_with(c.untold)) << check->untold;
    if (c.changedBy) {
      EXPECT_EQ(check->changedBy->kind, "import");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, ListingCheckTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         history::testing::BackendName);

}  // namespace
}  // namespace torv
