// The printed history report as a PDF, read back as a person's viewer reads
// it: the heading, every row in order with its cells in their columns, the
// page footers, the paper. Runs without a QGuiApplication of its own: the
// PDF writer must make one on the offscreen platform.
#include "history_report/history_pdf.h"

#include <QImage>

#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "history/archive_copy.h"
#include "history_report/event_list.h"
#include "history_report/listed_event.h"
#include "history_report/report_heading.h"
#include "history_report/statistics_formats.h"
#include "history_test_support.h"
#include "models/device_simulation.h"
#include "pdf_reading.h"

namespace torv {
namespace {

using history::testing::Backend;
using history::testing::TestStore;
using torv::testing::OneSpaced;
using torv::testing::PdfLine;
using torv::testing::PdfLines;
using torv::testing::PdfWord;
using torv::testing::PdfWords;

constexpr char kWarehouse[] = "Склад, ТОРВ-4 №2";

// One row as the PDF shows it: seven cells, or a device and a gap text.
struct ReadRow {
  std::vector<std::string> cells;
  std::vector<double> starts;  // each non-empty cell's first word's left edge
};

// Lines of one wrapped cell lie one line spacing (about 10.6 pt at 9 pt)
// apart; rows at least a line and their padding (about 12.8 pt).
constexpr double kContinuedLineStep = 11.7;

// The table rows of every page, cut into columns at the header's words.
std::vector<ReadRow> TableRows(const std::vector<PdfLine>& lines, int* pagesWithHeader) {
  std::vector<ReadRow> rows;
  std::vector<double> columns;
  bool inTable = false;
  *pagesWithHeader = 0;
  int page = 0;
  double lastY = 0;
  for (const PdfLine& line : lines) {
    if (line.page != page) {
      page = line.page;
      inTable = false;
    }
    const double step = line.y - lastY;
    lastY = line.y;
    if (line.Text() == "Устройство Дата Время Событие Вход Реле Название") {
      columns.clear();
      for (const auto& word : line.words) columns.push_back(word.xMin);
      inTable = true;
      ++*pagesWithHeader;
      continue;
    }
    // Not rows: the footer (the listing's short digest, the page) and the
    // totals after the last row.
    if (!inTable || line.Text().starts_with("выборка ") || line.Text().starts_with("Итого: ")) {
      continue;
    }
    // A line closer below the one before than a row's height goes on a
    // wrapped cell of that row.
    const bool continued = !rows.empty() && step < kContinuedLineStep;
    if (!continued) {
      rows.emplace_back();
      rows.back().cells.assign(columns.size(), "");
      rows.back().starts.assign(columns.size(), -1);
    }
    ReadRow& row = rows.back();
    for (const auto& word : line.words) {
      std::size_t column = 0;
      while (column + 1 < columns.size() && word.xMin + 0.01 >= columns[column + 1]) ++column;
      std::string& cell = row.cells[column];
      if (cell.empty()) row.starts[column] = word.xMin;
      cell += (cell.empty() ? "" : " ") + word.text;
    }
  }
  return rows;
}

// The rows the text listing (the command line's) gives for the same query.
std::vector<std::vector<std::string>> ListedRows(history::HistoryStore& store,
                                                 const history::EventQuery& query) {
  std::string text;
  EXPECT_TRUE(WriteTextList(store, query, [&](std::string_view s) { text += s; }).ok());
  text = history::testing::WithoutListingFrame(text);
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : cli_testing::SplitLines(text)) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
      const std::size_t tab = line.find('\t', start);
      cells.push_back(OneSpaced(line.substr(start, tab - start)));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    rows.push_back(cells);
  }
  // The listing's opening: what it shows (the printout's heading says the
  // same), an empty line, the header line.
  const std::size_t opening = QueryLines(query).size() + 2;
  EXPECT_GE(rows.size(), opening);
  rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(opening));
  return rows;
}

class HistoryPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = test_.Open();
    ASSERT_TRUE(store_);
    history::SimulationOptions options;
    options.seed = 23;
    options.startUnixSeconds = 1735300000;  // 27 December 2024
    options.maxStepSeconds = 1800;
    history::SimulatedDevice device(options);
    device.Write(300);
    const auto copyOf = [&](std::size_t from, std::size_t to, std::int64_t at) {
      history::ArchiveCopy copy;
      copy.records.assign(device.Written().begin() + static_cast<std::ptrdiff_t>(from),
                          device.Written().begin() + static_cast<std::ptrdiff_t>(to));
      copy.copiedAt = history::UtcCopyTime(at);
      return copy;
    };
    // Two copies with events missed between them: a gap.
    ASSERT_TRUE(store_->Import(kWarehouse, copyOf(0, 110, 1735600000)).ok());
    ASSERT_TRUE(store_->Import(kWarehouse, copyOf(160, 300, 1736000000)).ok());
    ASSERT_TRUE(store_->Import("1", copyOf(40, 95, 1735600000)).ok());
    std::vector<history::NameEntry> names;
    for (int n = 1; n <= 32; n += 3) {
      names.push_back({kWarehouse, history::NumberKind::kInput, n, "Дверь " + std::to_string(n)});
    }
    names.push_back({kWarehouse, history::NumberKind::kRelay, 2, "Сирена \"А\" & <свет>"});
    ASSERT_TRUE(store_->SetNames(names).ok());
  }

  std::filesystem::path WritePdf(const history::EventQuery& query, const std::string& name) {
    const std::filesystem::path path = test_.folder() / name;
    const Status s = WriteHistoryPdf(*store_, query, HeadingFor(query, 1733000000), path.string());
    EXPECT_TRUE(s.ok()) << s.failure().reason;
    return path;
  }

  TestStore test_{Backend::kSqlite};
  std::unique_ptr<history::HistoryStore> store_;
};

TEST_F(HistoryPrintTest, EveryRowInOrderInItsColumnsUnderHeadersOnEveryPage) {
  const history::EventQuery all;
  const std::filesystem::path pdf = WritePdf(all, "all.pdf");
  const std::vector<PdfLine> lines = PdfLines(PdfWords(pdf));
  int pagesWithHeader = 0;
  const std::vector<ReadRow> rows = TableRows(lines, &pagesWithHeader);
  const std::vector<std::vector<std::string>> expected = ListedRows(*store_, all);
  ASSERT_EQ(expected.size(), 110u + 140u + 55u + 1u);

  const int pages = std::stoi(torv::testing::PdfInfoField(pdf, "Pages"));
  EXPECT_GE(pages, 5);
  EXPECT_EQ(pagesWithHeader, pages);
  ASSERT_EQ(rows.size(), expected.size());
  std::map<std::size_t, std::set<double>> starts;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    if (expected[i].size() == 2) {  // a gap line: device, gap text
      EXPECT_EQ(rows[i].cells[0], expected[i][0]);
      std::string gap;
      for (std::size_t c = 1; c < rows[i].cells.size(); ++c) {
        if (!rows[i].cells[c].empty()) gap += (gap.empty() ? "" : " ") + rows[i].cells[c];
      }
      // The hole's bounds and copies, as the listing names them.
      EXPECT_TRUE(gap.starts_with("нет записей с ")) << gap;
      EXPECT_EQ(gap, expected[i][1]);
      continue;
    }
    ASSERT_EQ(rows[i].cells, expected[i]);
    for (std::size_t c = 0; c < rows[i].cells.size(); ++c) {
      if (rows[i].starts[c] >= 0) starts[c].insert(std::round(rows[i].starts[c] * 100) / 100);
    }
  }
  // Each column's cells start at one x, and every column was filled somewhere.
  ASSERT_EQ(starts.size(), 7u);
  for (const auto& [column, xs] : starts) {
    EXPECT_EQ(xs.size(), 1u) << "column " << column;
  }
}

TEST_F(HistoryPrintTest, HeadingFootersAndPaper) {
  history::EventQuery query;
  query.devices = {kWarehouse};
  query.kinds = {EventKind::kInput, EventKind::kRelay};
  query.text = "дверь";
  const std::filesystem::path pdf = WritePdf(query, "heading.pdf");
  const std::vector<PdfLine> lines = PdfLines(PdfWords(pdf));
  const HistoryReportHeading heading = HeadingFor(query, 1733000000);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0].page, 1);
  EXPECT_EQ(lines[0].Text(), "История событий ТОРВ-4");
  for (std::size_t i = 0; i < heading.lines.size(); ++i) {
    EXPECT_EQ(lines[i + 1].Text(), heading.lines[i]);
  }
  EXPECT_EQ(lines[2].Text(), "Период: всё время");
  EXPECT_EQ(lines[3].Text(), "Отбор: события: входы, реле; текст «дверь»");

  const std::string pages = torv::testing::PdfInfoField(pdf, "Pages");
  // Every footer: the listing's digest short (the heading has it whole), the
  // journal entry it was made from, and the page.
  std::string digest;
  for (const PdfLine& line : lines) {
    constexpr std::string_view kDigest = "Контрольная сумма выборки (SHA-256): ";
    if (line.Text().starts_with(kDigest)) digest = line.Text().substr(kDigest.size());
  }
  ASSERT_EQ(digest.size(), 64u);
  std::vector<std::string> footers;
  for (const PdfLine& line : lines) {
    if (line.Text().starts_with("выборка ")) footers.push_back(line.Text());
  }
  ASSERT_EQ(std::to_string(footers.size()), pages);
  for (std::size_t i = 0; i < footers.size(); ++i) {
    EXPECT_EQ(footers[i], "выборка " + digest.substr(0, 12) + ", журнал: запись 4 стр. " +
                              std::to_string(i + 1) + " из " + pages);
  }
  EXPECT_EQ(torv::testing::PdfInfoField(pdf, "Page size"), "595 x 842 pts (A4)");
  EXPECT_EQ(torv::testing::PdfInfoField(pdf, "Title"), "История событий ТОРВ-4");
  // Margins of 15 mm (42.52 pt): nothing closer to the paper's edge.
  for (const PdfLine& line : lines) {
    for (const auto& word : line.words) {
      ASSERT_GE(word.xMin, 42.5) << word.text;
      ASSERT_GE(word.yMin, 42.5) << word.text;
    }
  }
  int pagesWithHeader = 0;
  const std::vector<ReadRow> rows = TableRows(lines, &pagesWithHeader);
  EXPECT_EQ(rows.size(), ListedRows(*store_, query).size());
  int gapRows = 0;
  for (const ReadRow& row : rows) {
    if (row.cells[1].rfind("нет записей", 0) == 0) {
      ++gapRows;
      continue;
    }
    ASSERT_EQ(row.cells[6].rfind("Дверь ", 0), 0u) << row.cells[6];
  }
  EXPECT_EQ(gapRows, 1);
}

// The statistics on paper: the heading, each device's figures as the text
// gives them, and the notes that define them, every page numbered.
TEST_F(HistoryPrintTest, TheStatisticsPrintTheirFiguresAndTheirDefinitions) {
  history::EventQuery query;
  query.devices = {kWarehouse};
  const std::filesystem::path pdf = test_.folder() / "stats.pdf";
  std::string bytes;
  ASSERT_TRUE(FindStatisticsFormat("pdf")
                  ->writer(*store_, query, {}, [&](std::string_view part) { bytes += part; })
                  .ok());
  std::ofstream(pdf, std::ios::binary) << bytes;
  Result<AlarmStatistics> statistics = ComputeAlarmStatistics(*store_, query);
  ASSERT_TRUE(statistics.ok());
  // Wrapped or not, the same words in the same order.
  std::string expected = "Статистика тревог ТОРВ-4";
  std::istringstream text(StatisticsText(*statistics) + "\n" + [] {
    std::string notes;
    for (const std::string& note : StatisticsNotes()) notes += note + "\n";
    return notes;
  }());
  for (std::string line; std::getline(text, line);) {
    if (!line.empty())
      expected += " " + torv::testing::OneSpaced(line.substr(line.find_first_not_of(' ')));
  }
  std::string printed;
  std::vector<std::string> footers;
  for (const PdfLine& line : PdfLines(PdfWords(pdf))) {
    if (line.Text().starts_with("стр. ")) {
      footers.push_back(line.Text());
    } else if (!line.Text().starts_with("Напечатано: ")) {
      printed += (printed.empty() ? "" : " ") + line.Text();
    }
  }
  EXPECT_EQ(printed, expected);
  const std::string pages = torv::testing::PdfInfoField(pdf, "Pages");
  ASSERT_EQ(std::to_string(footers.size()), pages);
  EXPECT_EQ(footers.back(), "стр. " + pages + " из " + pages);
  EXPECT_EQ(torv::testing::PdfInfoField(pdf, "Title"), "Статистика тревог ТОРВ-4");
}

// Alarm and warning rows stand out on paper, in black and white too: a
// tint and a band at the row's left, solid for an alarm, an outline for a
// warning; other rows have neither.
TEST_F(HistoryPrintTest, AlarmAndWarningRowsAreMarkedByTintAndBand) {
  const std::filesystem::path pdf = WritePdf({}, "marks.pdf");
  const std::filesystem::path png = test_.folder() / "marks";
  torv::testing::RunPoppler("pdftoppm", {"-r", "288", "-f", "1", "-l", "1", "-png", "-singlefile",
                                         pdf.string(), png.string()});
  const QImage page(QString::fromStdString(png.string() + ".png"));
  ASSERT_FALSE(page.isNull());
  constexpr double kScale = 288.0 / 72;
  // The middle of the band: 15 mm margin, then half of its 1 mm.
  const int bandX = static_cast<int>((15.5 / 25.4 * 72) * kScale);
  std::map<std::string, std::set<QRgb>> seen;
  for (const PdfLine& line : PdfLines(PdfWords(pdf))) {
    if (line.page != 1 || line.words.size() < 4) continue;
    const std::string event = line.words[3].text;
    const std::string kind = event == "Авар." ? "alarm" : event == "Пред." ? "warning" : "";
    if (kind.empty() && event != "Норма") continue;
    const int y = static_cast<int>((line.words[0].yMin + 3.5) * kScale);
    seen[kind.empty() ? "normal" : kind].insert(page.pixel(bandX, y) & 0xFFFFFF);
  }
  EXPECT_EQ(seen["alarm"], std::set<QRgb>{0x000000});
  EXPECT_EQ(seen["warning"], std::set<QRgb>{0xFAEBC8});
  EXPECT_EQ(seen["normal"], std::set<QRgb>{0xFFFFFF});
}

TEST_F(HistoryPrintTest, AnEmptyListingPrintsOnePageThatSaysSo) {
  history::EventQuery none;
  none.text = "нет такого";
  const std::filesystem::path pdf = WritePdf(none, "none.pdf");
  const std::vector<PdfLine> lines = PdfLines(PdfWords(pdf));
  std::string text;
  for (const PdfLine& line : lines) text += line.Text() + "\n";
  ASSERT_EQ(lines.size(), 16u) << text;
  EXPECT_EQ(lines[12].Text(), "Устройство Дата Время Событие Вход Реле Название");
  EXPECT_EQ(lines[13].Text(), "Событий, отвечающих отбору, нет.");
  EXPECT_EQ(lines[14].Text(), "Итого: событий 0, некорректных 0, без даты 0; копий 0; пропусков 1");
}

TEST_F(HistoryPrintTest, LongNamesWrapInsideTheirColumn) {
  const std::string longName =
      "Дверь запасного выхода в северном крыле склада готовой продукции, второй этаж";
  ASSERT_TRUE(store_
                  ->SetNames({{"1", history::NumberKind::kInput, 1, longName},
                              {"1", history::NumberKind::kInput, 2, longName},
                              {"1", history::NumberKind::kInput, 3, longName},
                              {"1", history::NumberKind::kInput, 4, longName}})
                  .ok());
  history::EventQuery query;
  query.devices = {"1"};
  query.text = "северном";
  const std::filesystem::path pdf = WritePdf(query, "long.pdf");
  const std::vector<PdfWord> words = PdfWords(pdf);
  ASSERT_FALSE(words.empty());
  double nameColumn = 0;
  for (const PdfWord& word : words) {
    if (word.text == "Название") nameColumn = word.xMin;
  }
  ASSERT_GT(nameColumn, 0);
  // Every word of a name stays in the name column, on lines of its own.
  int firstWords = 0;
  for (const PdfWord& word : words) {
    if (word.text == "Дверь") {
      ++firstWords;
      EXPECT_NEAR(word.xMin, nameColumn, 0.01);
    }
    if (word.text == "этаж") {
      EXPECT_GE(word.xMin, nameColumn);
    }
  }
  Result<std::int64_t> count = store_->Count(query);
  ASSERT_TRUE(count.ok());
  ASSERT_GT(*count, 0);
  EXPECT_EQ(firstWords, *count);
}

TEST_F(HistoryPrintTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
  const std::filesystem::path missing = test_.folder() / "no such folder" / "r.pdf";
  const Status s = WriteHistoryPdf(*store_, {}, HeadingFor({}, 0), missing.string());
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.failure().reason, missing.string() + ": No such file or directory");
  EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));

  // An existing file is replaced whole.
  const std::filesystem::path pdf = test_.folder() / "kept.pdf";
  std::ofstream(pdf) << "old";
  ASSERT_TRUE(WriteHistoryPdf(*store_, {}, HeadingFor({}, 0), pdf.string()).ok());
  EXPECT_EQ(cli_testing::ReadWholeFile(pdf).substr(0, 5), "%PDF-");
  history::EventQuery unknown;
  unknown.devices = {"нет"};
  const Status failed = WriteHistoryPdf(*store_, unknown, HeadingFor({}, 0), pdf.string());
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.failure().reason, "no device \"нет\" in the history");
  EXPECT_EQ(cli_testing::ReadWholeFile(pdf).substr(0, 5), "%PDF-");
}

// The store of a test, with a copy of a new device imported by another
// connection just before the `changeAt`th reading of its events: between
// the report's passes over its rows.
class StoreChangedBetweenReads : public history::HistoryStore {
 public:
  StoreChangedBetweenReads(history::HistoryStore& store, TestStore& test, int changeAt)
      : store_(store), test_(test), changeAt_(changeAt) {}

  Status ForEachEvent(const history::EventQuery& query,
                      const std::function<void(const history::StoredEvent&)>& sink) override {
    if (++reads_ == changeAt_) {
      history::SimulationOptions options;
      options.seed = static_cast<std::uint32_t>(changeAt_);  // a copy the store has not seen
      history::SimulatedDevice device(options);
      device.Write(20);
      EXPECT_TRUE(
          test_.Open()->Import("Другой " + std::to_string(changeAt_), device.CopyNow()).ok());
    }
    return store_.ForEachEvent(query, sink);
  }
  int Reads() const { return reads_; }

  // Everything else as the store itself.
  Result<history::ImportOutcome> Import(const std::string& d,
                                        const history::ArchiveCopy& c) override {
    return store_.Import(d, c);
  }
  Result<std::vector<history::ImportOutcome>> ImportAll(
      const std::string& d, const std::vector<history::ArchiveCopy>& c) override {
    return store_.ImportAll(d, c);
  }
  Status SetNames(const std::vector<history::NameEntry>& e) override { return store_.SetNames(e); }
  Result<std::vector<history::NameEntry>> Names() override { return store_.Names(); }
  Result<std::vector<history::DeviceSummary>> Devices(const std::vector<std::string>& only,
                                                      bool damaged) override {
    return store_.Devices(only, damaged);
  }
  Result<std::int64_t> Count(const history::EventQuery& q) override { return store_.Count(q); }
  Result<std::vector<history::ListingPart>> Parts(const history::EventQuery& q) override {
    return store_.Parts(q);
  }
  Result<std::vector<history::StoredEvent>> PartEvents(const history::EventQuery& q,
                                                       const history::ListingPart& p,
                                                       std::int64_t skip, int limit) override {
    return store_.PartEvents(q, p, skip, limit);
  }
  Result<std::vector<history::CountedEvents>> Counts(const history::EventQuery& q,
                                                     history::CountGrouping g) override {
    return store_.Counts(q, g);
  }
  Result<std::vector<history::KeptCopy>> Copies(const std::optional<std::string>& d) override {
    return store_.Copies(d);
  }
  Result<std::vector<std::uint8_t>> CopyBytes(std::int64_t id) override {
    return store_.CopyBytes(id);
  }
  Result<std::vector<history::RebuiltDevice>> Withdraw(const std::vector<std::int64_t>& ids,
                                                       const std::string& reason) override {
    return store_.Withdraw(ids, reason);
  }
  Status RenameDevice(const std::string& from, const std::string& to,
                      const std::string& reason) override {
    return store_.RenameDevice(from, to, reason);
  }
  Status RemoveDevice(const std::string& name, const std::string& reason) override {
    return store_.RemoveDevice(name, reason);
  }
  Result<std::vector<history::JournalEntry>> Journal() override { return store_.Journal(); }
  Result<std::optional<history::JournalEntry>> JournalHead() override {
    return store_.JournalHead();
  }
  Result<history::Verification> Verify(const std::vector<std::string>& devices) override {
    return store_.Verify(devices);
  }
  Result<std::string> CheckDatabase() override { return store_.CheckDatabase(); }
  Status Backup(const std::string& destination) override { return store_.Backup(destination); }
  Result<std::vector<history::HistoryHole>> Holes(const history::EventQuery& q) override {
    return store_.Holes(q);
  }

 private:
  history::HistoryStore& store_;
  TestStore& test_;
  int changeAt_;
  int reads_ = 0;
};

// The report reads its rows three times: for the digest and the devices'
// names, to count the pages, to draw them. Rows that changed in between
// would number the pages wrong; the report fails, and the file stays.
TEST_F(HistoryPrintTest, AHistoryChangedWhileTheReportIsMadeFailsIt) {
  for (const int changeAt : {2, 3}) {
    SCOPED_TRACE("changed before reading " + std::to_string(changeAt));
    const std::filesystem::path folder = test_.folder() / ("changed" + std::to_string(changeAt));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "kept.pdf") << "earlier";
    StoreChangedBetweenReads store(*store_, test_, changeAt);
    const Status s = WriteHistoryPdf(store, {}, HeadingFor({}, 0), (folder / "kept.pdf").string());
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.failure().reason, "the history changed while its report was being made; try again");
    // Found at the end of the very reading that saw the change.
    EXPECT_EQ(store.Reads(), changeAt);
    EXPECT_EQ(cli_testing::ReadWholeFile(folder / "kept.pdf"), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
  }
}

// The paper follows the locale: CTest runs this once in a metric locale and
// once more in en_US, with TORVDOC_TEST_PAPER saying which paper to expect.
TEST_F(HistoryPrintTest, ThePaperIsTheLocales) {
  const char* paper = std::getenv("TORVDOC_TEST_PAPER");
  const std::string expected = paper != nullptr && std::string(paper) == "Letter"
                                   ? "612 x 792 pts (letter)"
                                   : "595 x 842 pts (A4)";
  const std::filesystem::path pdf = WritePdf({}, "paper.pdf");
  EXPECT_EQ(torv::testing::PdfInfoField(pdf, "Page size"), expected);
}

}  // namespace
}  // namespace torv
