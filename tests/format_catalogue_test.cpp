// The format catalogues: each row reached from its name, its suffix and its
// dialog filter; and the one function that writes a listing never writing
// over the history store.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_usage.h"
#include "cli/history_option_rules.h"
#include "cli/output_formats.h"
#include "cli_test_support.h"
#include "history_report/history_summaries.h"
#include "history_report/listing_output.h"
#include "history_test_support.h"

namespace torv {
namespace {

// Every named row parses back to itself from `--format NAME` and stands in
// the command's usage line; every row a dialog offers names its suffix in
// its filter, and a file with that suffix is saved in that suffix's format
// whichever filter was chosen, in this very row when it was chosen.
template <typename Row>
void ExpectRowsRoundTrip(std::span<const Row> rows, std::vector<std::string> command) {
  std::vector<std::string_view> named;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name) + " " + std::string(row.dialogFilter));
    if (!row.name.empty()) {
      std::vector<std::string> args = command;
      args.insert(args.end(), {"--format", std::string(row.name)});
      const ParsedCommandLine parsed = ParseCommandLine(args);
      ASSERT_EQ(parsed.outcome, ParsedCommandLine::Outcome::kRun) << parsed.text;
      EXPECT_EQ(FindFormat(rows, parsed.options.format), &row);
      named.push_back(row.name);
    }
    if (row.dialogFilter.empty()) continue;
    EXPECT_NE(row.dialogFilter.find("(*." + std::string(row.suffix) + ")"), std::string::npos);
    EXPECT_EQ(&FormatForFile(rows, row.suffix, row), &row);
    for (const Row& chosen : rows) {
      if (chosen.dialogFilter.empty()) continue;
      const Row& saved = FormatForFile(rows, row.suffix, chosen);
      EXPECT_EQ(saved.suffix, row.suffix);
      EXPECT_FALSE(saved.dialogFilter.empty());
    }
  }
  std::vector<std::string> usageArgs = command;
  usageArgs.push_back("--help");
  if (usageArgs.front() != "history") usageArgs.erase(usageArgs.begin() + 1);
  const std::string usage = ParseCommandLine(usageArgs).text;
  EXPECT_NE(usage.find("[--format " + JoinFormatNames(named, "|", "|") + "]"), std::string::npos)
      << usage;
}

TEST(FormatCatalogueTest, EveryRowRoundTrips) {
  ExpectRowsRoundTrip(ReportFormats(), {"view", "a.dat"});
  ExpectRowsRoundTrip(ReportFormats(), {"report", "a.dat"});
  ExpectRowsRoundTrip(InfoFormats(), {"info", "a.dat"});
  ExpectRowsRoundTrip(ListingFormats(), {"history", "list"});
  ExpectRowsRoundTrip(SummaryFormats(), {"history", "devices"});
}

// The store's files as they are while it is open; a companion SQLite has not
// made yet stands in as a file of its own.
TEST(FormatCatalogueTest, AListingNeverOverwritesTheStoreOrTheFilesBesideIt) {
  history::testing::TestStore test(history::testing::Backend::kSqlite);
  std::unique_ptr<history::HistoryStore> store = test.Open();
  ASSERT_TRUE(store);
  const std::string db = test.location().target;
  const ListingFormat& csv = *FindListingFormat("csv");
  ListingDestination to;
  to.store = &test.location();
  for (const std::string& file : {db, db + "-wal", db + "-shm", db + "-journal"}) {
    SCOPED_TRACE(file);
    if (!std::filesystem::exists(file)) std::ofstream(file) << "companion";
    const std::string before = cli_testing::ReadWholeFile(file);
    to.file = file;
    EXPECT_EQ(WriteListing(csv, *store, {}, {}, to).fault, ListingFault::kStoreFile);
    EXPECT_EQ(cli_testing::ReadWholeFile(file), before);
  }
  // Any other file, and a stream, get the listing.
  to.file = (test.folder() / "listing.csv").string();
  ASSERT_TRUE(WriteListing(csv, *store, {}, {}, to));
  std::string streamed;
  to.file.clear();
  to.stream = [&](std::string_view piece) { streamed += piece; };
  ASSERT_TRUE(WriteListing(csv, *store, {}, {}, to));
  EXPECT_EQ(cli_testing::ReadWholeFile(test.folder() / "listing.csv"), streamed);
  EXPECT_NE(streamed.find("Устройство,Дата"), std::string::npos);
}

}  // namespace
}  // namespace torv
