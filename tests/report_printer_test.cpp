#include "ui/report_printer.h"

#include "report/report_tab_stops.h"

#include <gtest/gtest.h>
#include <stdlib.h>

// Qt
#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QLocale>
#include <QPageSize>
#include <QPrinter>
#include <QRect>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

// Std
#include <array>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "outside_program.h"

namespace torv {
namespace {

// Standard output of `command`, or nothing when it fails.
std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  std::size_t read;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
  EXPECT_EQ(::pclose(pipe), 0) << command;
  return output;
}

std::string Quoted(const QString& path) {
  return "'" + path.toStdString() + "'";
}

// One value line of pdfinfo, such as "Title:           text", without its label.
std::string PdfInfoField(const QString& pdf, const std::string& label) {
  std::istringstream info(RunCommand("pdfinfo " + Quoted(pdf)));
  for (std::string line; std::getline(info, line);) {
    if (line.rfind(label + ":", 0) != 0) continue;
    const std::size_t value = line.find_first_not_of(' ', label.size() + 1);
    return value == std::string::npos ? std::string() : line.substr(value);
  }
  ADD_FAILURE() << "pdfinfo shows no " << label;
  return {};
}

// Collapses every run of spaces and TABs to one space and trims the ends, so
// that a printed line and its source compare whatever the tab stops.
std::string Squeezed(const std::string& line) {
  std::string out;
  for (const char c : line) {
    const bool blank = c == ' ' || c == '\t';
    if (blank) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// A printed PDF and the printable area of its pages, in points.
struct Printout {
  QString pdf;
  QRect printableArea;
};

// The non-empty lines that pdftotext -layout reads from pages first to last
// (all pages when 0), squeezed. Only the printable area is read: Qt also
// writes the line just past a page's end into that page, clipped away and
// invisible, and pdftotext would read it there too.
std::vector<std::string> PrintedLines(const Printout& printout, int first = 0, int last = 0) {
  const QRect& area = printout.printableArea;
  std::string command = "pdftotext -layout -r 72";
  command += " -x " + std::to_string(area.x()) + " -y " + std::to_string(area.y());
  command += " -W " + std::to_string(area.width()) + " -H " + std::to_string(area.height());
  if (first > 0) command += " -f " + std::to_string(first) + " -l " + std::to_string(last);
  std::istringstream text(RunCommand(command + " " + Quoted(printout.pdf) + " -"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) {
    for (char& c : line) {
      if (c == '\f') c = ' ';  // page break
    }
    line = Squeezed(line);
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> SqueezedLines(const QString& text) {
  std::vector<std::string> lines;
  for (const QString& line : text.split(u'\n')) {
    std::string squeezed = Squeezed(line.toStdString());
    if (!squeezed.empty()) lines.push_back(squeezed);
  }
  return lines;
}

class ReportPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(testing::ProgramInstalled("pdfinfo", "poppler-utils"));
    ASSERT_TRUE(testing::ProgramInstalled("pdftotext", "poppler-utils"));
  }

  // Prints `text` to a new PDF file.
  Printout PrintToPdf(const QString& text, const QString& jobTitle, int fromPage = 0,
                      int toPage = 0) {
    const QString pdf = dir_.filePath(QStringLiteral("print%1.pdf").arg(++printCount_));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    if (fromPage > 0) {
      // As a print dialog leaves it when a range is entered.
      printer.setPrintRange(QPrinter::PageRange);
      printer.setFromTo(fromPage, toPage);
    }
    PrintPlainText(printer, text, jobTitle, QFont());
    return {pdf, printer.pageLayout().paintRectPoints()};
  }

  QTemporaryDir dir_;
  int printCount_ = 0;
};

const QString kHeaderLine = QStringLiteral("Событие\t\tНомер входа\t\t Время\t\tДата");

QString LongReport(int rowCount) {
  QString text = QStringLiteral("Архив: файл /tmp/archive.dat\n\n\n") + kHeaderLine;
  for (int row = 1; row <= rowCount; ++row) {
    text +=
        QStringLiteral("\nСтрока %1\t\tНорма входа\t\t3           \t\t12:05:09\t\t01.02").arg(row);
  }
  return text;
}

// A report line of every widest cell a column can hold, row by row, so that
// each column's widest text meets the others' widest too.
QStringList WidestLines() {
  const ReportColumnTexts samples = ReportColumnSamples();
  std::size_t rows = 0;
  for (const auto& column : samples) rows = std::max(rows, column.size());
  QStringList lines{kHeaderLine};
  for (std::size_t row = 0; row < rows; ++row) {
    QStringList cells;
    for (const auto& column : samples) {
      cells << QString::fromStdString(column[row % column.size()]);
    }
    lines << cells.join(QStringLiteral("\t\t"));
  }
  return lines;
}

// The x at which each cell of each line of `document` starts, by column.
std::array<std::set<qreal>, 4> CellStarts(QTextDocument& document) {
  std::array<std::set<qreal>, 4> starts;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    document.documentLayout()->blockBoundingRect(block);  // lays the block out
    const QTextLine line = block.layout()->lineAt(0);
    const QStringList cells = block.text().split(QStringLiteral("\t\t"));
    int at = 0;
    for (int column = 0; column < cells.size(); ++column) {
      starts[static_cast<std::size_t>(column)].insert(line.cursorToX(at));
      at += static_cast<int>(cells[column].size()) + 2;
    }
  }
  return starts;
}

TEST(ReportTabStopsTest, EveryCellOfAColumnStartsAtOneXOnScreenAndOnPaper) {
  QPrinter printer(QPrinter::HighResolution);
  for (QPaintDevice* device :
       {static_cast<QPaintDevice*>(nullptr), static_cast<QPaintDevice*>(&printer)}) {
    SCOPED_TRACE(device ? "printer" : "screen");
    QTextDocument document;
    document.setDefaultFont(PrintFont(QFont(QStringLiteral("DejaVu Sans"))));
    if (device) document.documentLayout()->setPaintDevice(device);
    SetReportTabStops(document);
    SetReportText(document, WidestLines().join(u'\n'));
    const std::array<std::set<qreal>, 4> starts = CellStarts(document);
    const QList<QTextOption::Tab> tabs = ReportTabs(document.defaultFont(), device);
    ASSERT_EQ(tabs.size(), 6);
    // Layout positions are in the device's pixels; Qt scales tab positions
    // from the screen's resolution to the device's.
    const qreal scale = device ? qreal(device->logicalDpiY()) /
                                     qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY())
                               : 1;
    EXPECT_EQ(starts[0], (std::set<qreal>{0}));
    for (std::size_t column = 1; column < 4; ++column) {
      ASSERT_EQ(starts[column].size(), 1u) << "column " << column;
      EXPECT_NEAR(*starts[column].begin(), tabs[int(2 * column - 1)].position * scale, 0.5)
          << "column " << column;
    }
  }
}

TEST(ReportTabStopsTest, ReportTextGivesEveryLineTheTabsThatSetPlainTextDrops) {
  QTextDocument document;
  document.setPlainText(QStringLiteral("earlier\ntext"));
  SetReportTabStops(document);
  const QList<QTextOption::Tab> tabs = ReportTabs(document.defaultFont(), nullptr);
  EXPECT_EQ(document.defaultTextOption().tabs(), tabs);
  // Keeping the stops leaves the lines as they are; applying gives them.
  EXPECT_TRUE(document.lastBlock().blockFormat().tabPositions().isEmpty());
  ApplyReportTabStops(document);
  EXPECT_EQ(document.lastBlock().blockFormat().tabPositions(), tabs);

  document.setPlainText(QStringLiteral("Норма\t\t1\nx"));
  EXPECT_TRUE(document.begin().blockFormat().tabPositions().isEmpty());
  SetReportText(document, QStringLiteral("Норма\t\t1\n\nx\t\ty"));
  EXPECT_EQ(document.toPlainText(), QStringLiteral("Норма\t\t1\n\nx\t\ty"));
  ASSERT_EQ(document.blockCount(), 3);
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    EXPECT_EQ(block.blockFormat().tabPositions(), tabs) << block.blockNumber();
  }
}

TEST(PrintPaperTest, LetterInTheUnitedStatesA4Elsewhere) {
  const std::pair<QLocale, QPageSize::PageSizeId> cases[] = {
      {QLocale(QLocale::English, QLocale::UnitedStates), QPageSize::Letter},
      {QLocale(QLocale::Russian, QLocale::Russia), QPageSize::A4},
      {QLocale(QLocale::English, QLocale::UnitedKingdom), QPageSize::A4},
      {QLocale::c(), QPageSize::A4},
  };
  for (const auto& [locale, paper] : cases) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A3));
    UseLocalPaper(printer, locale);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), paper) << locale.name().toStdString();
  }
}

TEST(ReportPrinterTitlesTest, JobTitlesAndHeading) {
  EXPECT_EQ(kWholeReportJobTitle.toString().toStdString(), "Печать всего архива");
  EXPECT_EQ(kSelectionJobTitle.toString().toStdString(), "Печать  выделенной части архива");
  EXPECT_EQ(kSelectionHeading.toString().toStdString(), "Печать выделенной части архива");
}

TEST(SelectionPrintoutTest, HeadingHeaderThenSelectionWithLineBreaks) {
  const QString selected = QStringLiteral("строка 1\t\tа") + QChar(QChar::ParagraphSeparator) +
                           QStringLiteral("строка 2\t\tб");
  EXPECT_EQ(SelectionPrintout(kHeaderLine, selected).toStdString(),
            "Печать выделенной части архива\n"
            "Событие\t\tНомер входа\t\t Время\t\tДата\n"
            "строка 1\t\tа\n"
            "строка 2\t\tб");
}

TEST(SelectionPrintoutTest, SelectionIncludingHeaderGivesHeaderTwice) {
  const QString selected = kHeaderLine + QChar(QChar::ParagraphSeparator) + QStringLiteral("x");
  EXPECT_EQ(SelectionPrintout(kHeaderLine, selected),
            QStringLiteral("Печать выделенной части архива\n") + kHeaderLine + u'\n' + kHeaderLine +
                QStringLiteral("\nx"));
}

TEST(SelectionPrintoutTest, EmptyHeaderAndPartOfOneLine) {
  EXPECT_EQ(SelectionPrintout(QString(), QStringLiteral("Тре")).toStdString(),
            "Печать выделенной части архива\n\nТре");
}

TEST_F(ReportPrinterTest, WholeReportJobIsTitledAndPrintsEveryLine) {
  const QString report = LongReport(5);
  const Printout printout = PrintToPdf(report, kWholeReportJobTitle.toString());
  EXPECT_EQ(PdfInfoField(printout.pdf, "Title"), "Печать всего архива");
  EXPECT_EQ(PdfInfoField(printout.pdf, "Pages"), "1");
  EXPECT_EQ(PrintedLines(printout), SqueezedLines(report));
  EXPECT_EQ(PrintedLines(printout).at(1), "Событие Номер входа Время Дата");
}

TEST_F(ReportPrinterTest, SelectionJobHasTwoSpacesInTitleAndOneInHeading) {
  const QString selected = QStringLiteral("Строка 7\t\tНорма входа") +
                           QChar(QChar::ParagraphSeparator) + QStringLiteral("Строка 8\t\tТревога");
  const Printout printout =
      PrintToPdf(SelectionPrintout(kHeaderLine, selected), kSelectionJobTitle.toString());
  // pdfinfo shows the title as stored, both spaces kept.
  EXPECT_EQ(PdfInfoField(printout.pdf, "Title"), "Печать  выделенной части архива");
  EXPECT_EQ(PrintedLines(printout), (std::vector<std::string>{
                                        "Печать выделенной части архива",
                                        "Событие Номер входа Время Дата",
                                        "Строка 7 Норма входа",
                                        "Строка 8 Тревога",
                                    }));
}

TEST_F(ReportPrinterTest, LongReportRunsOnOverSeveralPages) {
  const QString report = LongReport(1024);
  const Printout printout = PrintToPdf(report, kWholeReportJobTitle.toString());
  const int pages = std::stoi(PdfInfoField(printout.pdf, "Pages"));
  EXPECT_GT(pages, 1);
  // Nothing lost or repeated at the page breaks.
  const std::vector<std::string> expected = SqueezedLines(report);
  EXPECT_EQ(PrintedLines(printout), expected);
  EXPECT_EQ(PrintedLines(printout, 1, 1).front(), "Архив: файл /tmp/archive.dat");
  EXPECT_EQ(PrintedLines(printout, pages, pages).back(), expected.back());
}

TEST_F(ReportPrinterTest, PageRangeOfDialogIsIgnored) {
  const QString report = LongReport(300);
  const Printout whole = PrintToPdf(report, kWholeReportJobTitle.toString());
  const Printout ranged = PrintToPdf(report, kWholeReportJobTitle.toString(), 2, 2);
  const std::string pages = PdfInfoField(whole.pdf, "Pages");
  ASSERT_NE(pages, "1");
  EXPECT_EQ(PdfInfoField(ranged.pdf, "Pages"), pages);
  EXPECT_EQ(PrintedLines(ranged), SqueezedLines(report));
}

}  // namespace
}  // namespace torv

// QTextDocument and QPrinter need a GUI application. Test discovery runs the
// program without the test's environment, hence the offscreen default here.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
