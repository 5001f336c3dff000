// A listing written to a file with -o streams as one to standard output
// does: the whole store's CSV takes no more memory either way, and the PDF
// report of many hundreds of pages no more than that of one day. Measured
// on the torvdoc-cli processes themselves (their peak resident memory).
#include "cli_history_fixture.h"
#include "models/site_simulation.h"
#include "pdf_reading.h"

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
  // `weeks` of a site of `devices`, 1000 events a week each.
  void FillSite(int devices, int weeks) {
    std::unique_ptr<history::HistoryStore> store = store_.Open();
    ASSERT_TRUE(store);
    history::SiteOptions options;
    options.devices = devices;
    options.eventsPerWeek = 1000;
    history::SiteSimulation site(options);
    site.RunWeeks(weeks, [&](const std::string& device, const history::SimulatedDevice& now) {
      ASSERT_TRUE(store->Import(device, now.CopyNow()).ok());
    });
  }
  // The text of pages `first` to `last` of `pdf` as laid out, runs of
  // spaces made one, without the form feeds between pages.
  std::vector<std::string> PdfPageLines(const std::string& pdf, int first, int last) {
    const ProcessResult text = torv::testing::RunPoppler(
        "pdftotext",
        {"-layout", "-f", std::to_string(first), "-l", std::to_string(last), pdf, "-"});
    std::vector<std::string> lines;
    for (const std::string& line : SplitLines(ReplaceAll(text.out, "\f", ""))) {
      const std::size_t start = line.find_first_not_of(' ');
      if (start != std::string::npos) lines.push_back(torv::testing::OneSpaced(line.substr(start)));
    }
    return lines;
  }
};

TEST_P(StreamingCliTest, AListingToAFileTakesNoMoreMemoryThanToStandardOutput) {
  FillSite(6, 60);
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

TEST_P(StreamingCliTest, APdfReportOfManyPagesTakesNoMoreMemoryThanOneOfADay) {
  FillSite(1, 40);
  // The rows as the text listing gives them, its cells one space apart.
  std::vector<std::string> rows;
  for (const std::string& line : SplitLines(HistoryOutput({"list"}))) {
    if (line.starts_with("site "))
      rows.push_back(torv::testing::OneSpaced(ReplaceAll(line, "\t", " ")));
  }
  ASSERT_GT(rows.size(), 30000u);
  const std::string day = rows.front().substr(std::string("site 01 ").size(), 10);
  std::string none;
  const long oneDay =
      PeakKiB({"list", "--format", "pdf", "--from", day, "--to", day, "-o", "day.pdf"}, none);
  const long whole = PeakKiB({"list", "--format", "pdf", "-o", "site.pdf"}, none);
  EXPECT_EQ(none, "");
  EXPECT_GT(oneDay, 0);
  // Held whole in memory, the rows and the file would add several times this.
  EXPECT_LT(whole, oneDay + 8 * 1024);

  const std::string pdf = PathOf("site.pdf");
  const int pages = std::stoi(torv::testing::PdfInfoField(pdf, "Pages"));
  ASSERT_GT(pages, 500);
  const std::string count = " из " + std::to_string(pages);
  const std::vector<std::string> firstPage = PdfPageLines(pdf, 1, 1);
  const std::vector<std::string> lastPage = PdfPageLines(pdf, pages, pages);
  EXPECT_TRUE(firstPage.back().ends_with("стр. 1" + count)) << firstPage.back();
  EXPECT_TRUE(lastPage.back().ends_with("стр. " + std::to_string(pages) + count));
  const auto firstRow =
      std::find_if(firstPage.begin(), firstPage.end(),
                   [](const std::string& line) { return line.starts_with("site "); });
  ASSERT_NE(firstRow, firstPage.end());
  EXPECT_EQ(*firstRow, rows.front());
  ASSERT_GE(lastPage.size(), 3u);
  EXPECT_EQ(lastPage[lastPage.size() - 3], rows.back());
  EXPECT_TRUE(lastPage[lastPage.size() - 2].starts_with("Итого: "));
  // Every row once, none lost or repeated where a page breaks.
  std::vector<std::string> printed;
  for (const std::string& line : PdfPageLines(pdf, 1, pages)) {
    if (line.starts_with("site ")) printed.push_back(line);
  }
  EXPECT_EQ(printed, rows);
}

TEST_P(StreamingCliTest, APdfReportThatCannotBeWrittenWholeLeavesTheFileAsItWas) {
  FillSite(1, 10);
  const std::filesystem::path reports = folder_.path() / "reports";
  std::filesystem::create_directories(reports);
  const std::string earlier = "%PDF- an earlier report\n";
  std::ofstream(reports / "kept.pdf") << earlier;
  // The file may grow to 128 KiB: the report fails after its first pieces
  // went to the temporary file.
  const ProcessResult result = RunProcess(
      "/bin/sh",
      {"-c", "ulimit -f 256; trap '' XFSZ; exec \"$@\"", "sh", TORVDOC_CLI_PATH, "history", "list",
       "--format", "pdf", "-o", "reports/kept.pdf", "--db", store_.dbText()},
      folder_.path(), folder_.path());
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "torvdoc-cli: reports/kept.pdf: cannot write: File too large\n");
  EXPECT_EQ(ReadWholeFile(reports / "kept.pdf"), earlier);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(reports)) {
    left.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(left, std::vector<std::string>{"kept.pdf"});
}

INSTANTIATE_TEST_SUITE_P(Stores, StreamingCliTest, ::testing::Values(Backend::kSqlite),
                         history::testing::BackendName);

}  // namespace
}  // namespace torv::cli_testing
