// The site benchmark's generator at a small size: every copy of a site
// imported, several to a transaction, gives each device's history exactly
// as the generator says (events, copies, gaps, first and last dated events),
// and importing them all again adds nothing.
#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include "history/history_store.h"
#include "history_test_support.h"
#include "models/site_simulation.h"

namespace torv::history {
namespace {

using testing::Backend;
using testing::TestStore;

class SiteTest : public ::testing::TestWithParam<Backend> {};

// Each device's copies, in order, in transactions of up to `batch` copies.
std::int64_t ImportInBatches(HistoryStore& store,
                             const std::map<std::string, std::vector<ArchiveCopy>>& copies,
                             std::size_t batch) {
  std::int64_t added = 0;
  for (const auto& [device, list] : copies) {
    for (std::size_t at = 0; at < list.size(); at += batch) {
      const std::vector<ArchiveCopy> part(
          list.begin() + static_cast<std::ptrdiff_t>(at),
          list.begin() + static_cast<std::ptrdiff_t>(std::min(at + batch, list.size())));
      Result<std::vector<ImportOutcome>> outcomes = store.ImportAll(device, part);
      EXPECT_TRUE(outcomes.ok()) << outcomes.failure().reason;
      if (!outcomes) continue;
      EXPECT_EQ(outcomes->size(), part.size());
      for (const ImportOutcome& outcome : *outcomes) added += outcome.newEvents;
    }
  }
  return added;
}

void ExpectTotals(HistoryStore& store, const std::vector<SiteDeviceTotals>& expected) {
  Result<std::vector<DeviceSummary>> devices = store.Devices();
  ASSERT_TRUE(devices.ok()) << devices.failure().reason;
  ASSERT_EQ(devices->size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const DeviceSummary& got = (*devices)[i];
    const SiteDeviceTotals& want = expected[i];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(got.device, want.name);
    EXPECT_EQ(got.events, want.events);
    EXPECT_EQ(got.copies, want.copies);
    EXPECT_EQ(got.gaps, want.gaps);
    ASSERT_TRUE(got.firstDated && got.lastDated && want.firstDated && want.lastDated);
    EXPECT_EQ(got.firstDated->record, *want.firstDated);
    EXPECT_EQ(got.firstDated->year, want.firstYear);
    EXPECT_EQ(got.lastDated->record, *want.lastDated);
    EXPECT_EQ(got.lastDated->year, want.lastYear);
  }
}

TEST_P(SiteTest, ASiteMergesExactlyAndARerunAddsNothing) {
  SiteOptions options;
  options.devices = 4;
  options.pauseEvery = 9;
  SiteSimulation site(options);
  std::map<std::string, std::vector<ArchiveCopy>> copies;
  site.RunWeeks(30, [&](const std::string& device, const SimulatedDevice& now) {
    copies[device].push_back(now.CopyNow());
  });
  const std::vector<SiteDeviceTotals> totals = site.Totals();
  // Counted by hand from the pauses: weeks 1 to 29 where (week + 17 * device) % 9 < 2
  // are skipped; each pause, of one week or two, is a gap.
  std::int64_t events = 0;
  std::int64_t gaps = 0;
  std::int64_t copyCount = 0;
  for (const SiteDeviceTotals& total : totals) {
    events += total.events;
    gaps += total.gaps;
    copyCount += total.copies;
  }
  EXPECT_EQ(copyCount, 23 + 22 + 23 + 24);
  EXPECT_EQ(gaps, 4 + 3 + 3 + 3);

  TestStore test(GetParam());
  std::unique_ptr<HistoryStore> store = test.Open();
  ASSERT_TRUE(store);
  EXPECT_EQ(ImportInBatches(*store, copies, 7), events);
  ExpectTotals(*store, totals);
  // The same files again are no new copies.
  EXPECT_EQ(ImportInBatches(*store, copies, 32), 0);
  ExpectTotals(*store, totals);
}

INSTANTIATE_TEST_SUITE_P(Stores, SiteTest, ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         testing::BackendName);

}  // namespace
}  // namespace torv::history
