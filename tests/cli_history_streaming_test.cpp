// A listing written to a file with -o streams as one to standard output
// does: the whole store's CSV takes no more memory either way. Measured on
// the torvdoc-cli processes themselves (their peak resident memory).
#include "cli_history_fixture.h"
#include "models/site_simulation.h"

namespace torv::cli_testing {
namespace {

class StreamingCliTest : public HistoryCliTest {
 protected:
  // The peak resident memory of `history ARGS... --db STORE` in KiB, run
  // through peak_memory; its standard output goes to `out`.
  long PeakKiB(std::vector<std::string> args, std::string& out) {
    args.insert(args.begin(), {TORVDOC_CLI_PATH, "history"});
    args.insert(args.end(), {"--db", store_.dbText()});
    const ProcessResult result =
        RunProcess(TORVDOC_PEAK_MEMORY_PATH, args, folder_.path(), folder_.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    out = result.out;
    const std::size_t at = result.err.rfind("peak KiB ");
    return at == std::string::npos ? -1 : std::stol(result.err.substr(at + 9));
  }
};

TEST_P(StreamingCliTest, AListingToAFileTakesNoMoreMemoryThanToStandardOutput) {
  {
    std::unique_ptr<history::HistoryStore> store = store_.Open();
    ASSERT_TRUE(store);
    history::SiteOptions options;
    options.devices = 6;
    options.eventsPerWeek = 1000;
    history::SiteSimulation site(options);
    site.RunWeeks(60, [&](const std::string& device, const history::SimulatedDevice& now) {
      ASSERT_TRUE(store->Import(device, now.CopyNow()).ok());
    });
  }
  std::string listed;
  const long toStandardOutput = PeakKiB({"list", "--format", "csv"}, listed);
  // Held whole in memory, the listing would add this much and more.
  ASSERT_GT(listed.size(), 16u << 20);
  std::string none;
  const long toFile = PeakKiB({"list", "--format", "csv", "-o", "site.csv"}, none);
  EXPECT_EQ(none, "");
  EXPECT_GT(toStandardOutput, 0);
  EXPECT_LT(toFile, toStandardOutput + 8 * 1024);
  EXPECT_EQ(ReadWholeFile(PathOf("site.csv")), listed);
}

INSTANTIATE_TEST_SUITE_P(Stores, StreamingCliTest, ::testing::Values(Backend::kSqlite),
                         history::testing::BackendName);

}  // namespace
}  // namespace torv::cli_testing
