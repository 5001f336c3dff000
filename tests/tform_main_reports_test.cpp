// The documenting group of the main window: reports into the pane, printing
// to PDF, and the RTF report file, with boxes and dialogs answered through
// the window's seam.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "archive/sample_archive.h"
#include "cli_test_support.h"
#include "fake_user_prompts.h"
#include "outside_program.h"
#include "pdf_columns.h"
#include "report/rtf_writer.h"
#include "result_value.h"
#include "save_rules.h"
#include "ui/qt_user_prompts.h"
#include "ui/tform_main.h"
#include "without_privileges.h"

namespace torv {
namespace {

using testing::ValueOf;

using testing::BoxKind;
using testing::ColumnStarts;
using testing::CommandOutput;
using testing::ExpectStraightColumns;
using testing::FakeUserPrompts;
using testing::FindColumnStarts;
using testing::PdfTitle;
using testing::ReadPdfWords;

const QString k11Spaces = QString(11, QLatin1Char(' '));
const QString kHeaderLine = QStringLiteral("Событие\t\tНомер входа\t\t Время\t\tДата");

// Prints to a PDF file when the print dialog is confirmed, and notes whether
// the scratch pane was on screen while the dialog was open.
class PdfPrompts : public FakeUserPrompts {
 public:
  QString pdfPath;
  const QTextEdit* scratchPane = nullptr;
  std::vector<bool> scratchVisibleInDialog;

  QRectF printableArea;  // in points, on the page
  QPageSize paper;

  bool ConfirmPrint(QPrinter& printer) override {
    const bool confirmed = FakeUserPrompts::ConfirmPrint(printer);
    if (scratchPane) scratchVisibleInDialog.push_back(scratchPane->isVisible());
    paper = printer.pageLayout().pageSize();
    if (confirmed) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdfPath);
      printableArea = printer.pageLayout().paintRectPoints();
    }
    return confirmed;
  }
};

class TFormMainReportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    prompts_.pdfPath = dir_.filePath(QStringLiteral("out.pdf"));
    window_ = std::make_unique<TForm_main>(state_, prompts_);
    prompts_.scratchPane = Ui().RichEdit2;
    window_->FormCreate();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->ToolButton6Click();
  }

  const MainWindowControls& Ui() const { return window_->Ui(); }
  QString Pane() const { return Ui().RichEdit1->toPlainText(); }

  // Slot s holds a warning of input s % 32 + 1 at 's / 60':'s % 60':00 on
  // 01.02 (slot 0 is an empty record); the newest record is slot 299.
  std::string UseArchive() {
    ArchiveBuilder builder;
    for (int slot = 1; slot < 1024; ++slot) {
      builder.SetSlot(slot, MakeRecord(1, static_cast<std::uint8_t>(slot % 32),
                                       static_cast<std::uint8_t>(slot / 60),
                                       static_cast<std::uint8_t>(slot % 60), 0, 1, 2));
    }
    builder.SetWriteOffset(300 * 8);
    const QString path = dir_.filePath(QStringLiteral("архив 1.dat"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    const auto& bytes = builder.Bytes();
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    state_.ArchiveFileName = path.toStdString();
    return state_.ArchiveFileName;
  }

  static QString Row(int slot) {
    if (slot == 0) return QStringLiteral("\t\t\t\t\t\t");
    return QStringLiteral("Пред. сигн.     \t\t%1%2\t\t%3:%4:00\t\t01.02")
        .arg(slot % 32 + 1)
        .arg(k11Spaces)
        .arg(slot / 60, 2, 10, QLatin1Char('0'))
        .arg(slot % 60, 2, 10, QLatin1Char('0'));
  }

  void SelectPaneLines(int first, int last) {
    QTextCursor cursor(Ui().RichEdit1->document()->findBlockByNumber(first));
    cursor.setPosition(Ui().RichEdit1->document()->findBlockByNumber(last).position() +
                           Ui().RichEdit1->document()->findBlockByNumber(last).length() - 1,
                       QTextCursor::KeepAnchor);
    Ui().RichEdit1->setTextCursor(cursor);
  }

  QTemporaryDir dir_;
  ViewState state_;
  PdfPrompts prompts_;
  std::unique_ptr<TForm_main> window_;
};

const std::string kFullSample = std::string(TORVDOC_SAMPLES_DIR) + "/full.dat";

std::vector<std::string> StdLines(const QString& text) {
  std::vector<std::string> lines;
  for (const QString& line : text.split(u'\n')) lines.push_back(line.toStdString());
  return lines;
}

// Where the cells of a pane's report lines start on screen, as the pane has
// laid them out: the x of each cell's first character that is not a space.
ColumnStarts PaneColumnStarts(const QTextEdit& pane) {
  ColumnStarts starts;
  for (QTextBlock block = pane.document()->begin(); block.isValid(); block = block.next()) {
    const QString text = block.text();
    const QStringList cells = text.split(QStringLiteral("\t\t"));
    if (cells.size() != 4) continue;
    // Lays the block out if the pane has not yet.
    pane.document()->documentLayout()->blockBoundingRect(block);
    const QTextLine line = block.layout()->lineAt(0);
    if (!line.isValid()) {
      ADD_FAILURE() << "line " << block.blockNumber() << " is not laid out";
      break;
    }
    const bool isHeader = text.toStdString() == testing::kHeaderLine;
    int at = 0;
    for (std::size_t column = 0; column < 4; ++column) {
      const QString& cell = cells[static_cast<int>(column)];
      const int firstVisible =
          static_cast<int>(cell.indexOf(QRegularExpression(QStringLiteral("\\S"))));
      if (firstVisible >= 0) {
        const double x = line.cursorToX(at + firstVisible);
        if (isHeader) {
          starts.header[column] = x;
        } else {
          starts.rows[column].push_back(x);
        }
      }
      at += static_cast<int>(cell.size()) + 2;
    }
    if (isHeader) {
      const int space = static_cast<int>(text.indexOf(u' '));  // in "Номер входа"
      starts.headerSpace = line.cursorToX(space + 1) - line.cursorToX(space);
    }
  }
  return starts;
}

// --- reports into the pane ---

TEST_F(TFormMainReportsTest, TableReportBeforeAnyView) {
  QTest::mouseClick(Ui().But1, Qt::LeftButton);
  EXPECT_EQ(Pane(), QStringLiteral("Документирование\n\n\n\t\t\t\t\t\t"));
  EXPECT_TRUE(Ui().GroupBoxPrint->isVisible());
}

TEST_F(TFormMainReportsTest, TableReportOfABlockAndOfAnInputView) {
  const std::string path = UseArchive();
  window_->Button8Click();
  QTest::mouseClick(Ui().But1, Qt::LeftButton);
  QStringList expected{QString::fromStdString("Архив: файл " + path), "", "", kHeaderLine};
  for (int i = 0; i < 16; ++i) expected << Row(299 - i);
  EXPECT_EQ(Pane(), expected.join('\n'));

  state_.InputNumber = 5;  // slots 4 + 32k: 292 down to 4, then 996 down to 324
  state_.InputFilterPending = 1;
  window_->Button1Click();
  QTest::mouseClick(Ui().But1, Qt::LeftButton);
  const QStringList lines = Pane().split('\n');
  ASSERT_EQ(lines.size(), 4 + 32);
  EXPECT_EQ(lines[0], QString::fromStdString("Архив: файл " + path + " вход № 5"));
  EXPECT_EQ(lines[4], Row(292));
  EXPECT_EQ(lines[4 + 9], Row(4));
  EXPECT_EQ(lines[4 + 10], Row(996));
  EXPECT_EQ(lines.last(), Row(324));
}

TEST_F(TFormMainReportsTest, WholeArchiveReportMatchesTheCommandLineTool) {
  const std::string path = UseArchive();
  Ui().RichEdit1->setPlainText(QStringLiteral("earlier"));
  QTest::mouseClick(Ui().But3, Qt::LeftButton);

  const QStringList lines = Pane().split('\n');
  ASSERT_EQ(lines.size(), 4 + 1024);
  EXPECT_EQ(lines[0], QString::fromStdString("Архив: файл " + path));
  EXPECT_EQ(lines[3], kHeaderLine);
  EXPECT_EQ(lines.count(kHeaderLine), 1);
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(lines[4 + i], Row((299 - i + 1024) % 1024)) << i;
  // Afterwards the table shows the newest block again.
  EXPECT_EQ(window_->TableRowCount(), 17);
  EXPECT_EQ(QString::fromStdString(window_->TableRow(1)[2]), QStringLiteral("04:59:00"));
  EXPECT_EQ(state_.BlocksBack, 1);
  EXPECT_TRUE(prompts_.boxes.empty());

  cli_testing::ScratchFolder capture;
  const auto cli =
      cli_testing::RunProcess(TORVDOC_CLI_PATH, {"report", path}, capture.path(), capture.path());
  ASSERT_EQ(cli.exitCode, 0) << cli.err;
  EXPECT_EQ(QString::fromUtf8(cli.out), Pane() + "\n");
}

TEST_F(TFormMainReportsTest, WholeArchiveWithoutFileNameShowsOneMessageAndKeepsThePane) {
  Ui().RichEdit1->setPlainText(QStringLiteral("earlier report"));
  QTest::mouseClick(Ui().But3, Qt::LeftButton);
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kInformation);
  EXPECT_EQ(prompts_.boxes[0].text, QStringLiteral("Не задано имя файла архива"));
  EXPECT_EQ(Pane(), QStringLiteral("earlier report"));
  EXPECT_EQ(window_->TableRow(0), EventRow{});
}

TEST_F(TFormMainReportsTest, WholeArchiveOfAVanishedFileStopsAtOnce) {
  const std::string path = UseArchive();
  window_->Button8Click();
  QTest::mouseClick(Ui().But1, Qt::LeftButton);
  const QString before = Pane();
  QFile::remove(QString::fromStdString(path));
  QTest::mouseClick(Ui().But3, Qt::LeftButton);
  EXPECT_EQ(prompts_.BoxTexts(), std::vector<QString>{QStringLiteral("Архив не удается открыть")});
  EXPECT_EQ(Pane(), before);
}

// The same with the real box and its own event loop, run inside the click:
// the operator closes it, the command finishes, and the button is not left
// pressed.
TEST(TFormMainRealBoxTest, WholeArchiveOfAVanishedFileShowsOneRealBox) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ViewState state;
  QtUserPrompts prompts;
  TForm_main window(state, prompts);
  window.FormCreate();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.ToolButton6Click();
  const QString path = dir.filePath(QStringLiteral("архив 1.dat"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  const std::vector<std::uint8_t> bytes = GenerateArchive({.seed = 3, .fill = 700});
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  file.close();
  state.ArchiveFileName = path.toStdString();
  window.Button8Click();
  window.But1Click();
  const QString pane = window.Ui().RichEdit1->toPlainText();
  const EventRow firstRow = window.TableRow(1);
  ASSERT_TRUE(QFile::remove(path));

  QStringList seen;
  QTimer closer;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [&seen] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      seen << box->text();
      box->button(QMessageBox::Ok)->click();
    }
  });
  closer.start();
  QTest::mouseClick(window.Ui().But3, Qt::LeftButton);
  closer.stop();

  EXPECT_EQ(seen, QStringList{QStringLiteral("Архив не удается открыть")});
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_FALSE(window.Ui().But3->isDown());
  EXPECT_EQ(window.Ui().RichEdit1->toPlainText(), pane);
  EXPECT_EQ(window.TableRow(1), firstRow);
  EXPECT_EQ(window.Ui().Label1->text(), QStringLiteral("Архив: файл ") + path);
}

TEST_F(TFormMainReportsTest, WholeArchiveReportStandsInStraightColumnsInThePane) {
  state_.ArchiveFileName = kFullSample;
  QTest::mouseClick(Ui().But3, Qt::LeftButton);
  ASSERT_EQ(Ui().RichEdit1->document()->blockCount(), 4 + 1024);
  ExpectStraightColumns(PaneColumnStarts(*Ui().RichEdit1));

  // The selection printout in the scratch pane, the whole report selected.
  SelectPaneLines(4, 4 + 1023);
  QTest::mouseClick(Ui().But5, Qt::LeftButton);
  ASSERT_EQ(Ui().RichEdit2->document()->blockCount(), 2 + 1024);
  ExpectStraightColumns(PaneColumnStarts(*Ui().RichEdit2));
}

// --- printing ---

TEST_F(TFormMainReportsTest, PrintedWholeArchiveReportStandsInStraightColumns) {
  state_.ArchiveFileName = kFullSample;
  QTest::mouseClick(Ui().But3, Qt::LeftButton);
  prompts_.confirmPrint = true;
  QTest::mouseClick(Ui().But5, Qt::LeftButton);
  ASSERT_TRUE(QFile::exists(prompts_.pdfPath));
  // A4 unless the user lives where Letter is usual.
  EXPECT_EQ(prompts_.paper.id(), QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                                     ? QPageSize::Letter
                                     : QPageSize::A4);
  const std::vector<testing::PdfWord> words =
      ReadPdfWords(prompts_.pdfPath.toStdString(), prompts_.printableArea.bottom());
  ASSERT_FALSE(words.empty());
  EXPECT_GT(words.back().page, 1);
  ExpectStraightColumns(FindColumnStarts(StdLines(Pane()), words));
}

TEST_F(TFormMainReportsTest, WithoutADefaultPrinterAWarningComesBeforeTheDialog) {
  UseArchive();
  window_->Button8Click();
  QTest::mouseClick(Ui().But1, Qt::LeftButton);
  prompts_.defaultPrinter = false;
  int dialogsWhileWarned = -1;
  prompts_.whileBoxOpen = [&](const testing::BoxRecord&) {
    dialogsWhileWarned = prompts_.printDialogs;
  };
  prompts_.confirmPrint = true;
  QTest::mouseClick(Ui().But5, Qt::LeftButton);
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kWarning);
  EXPECT_EQ(prompts_.boxes[0].title, window_->AppTitle());
  EXPECT_EQ(prompts_.boxes[0].text, QStringLiteral("Принтер по умолчанию не установлен.\n"
                                                   "Отчет можно напечатать в файл PDF."));
  EXPECT_EQ(dialogsWhileWarned, 0);
  EXPECT_EQ(prompts_.printDialogs, 1);
  EXPECT_TRUE(QFile::exists(prompts_.pdfPath));

  // With a default printer there is no warning.
  prompts_.defaultPrinter = true;
  QTest::mouseClick(Ui().But5, Qt::LeftButton);
  EXPECT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.printDialogs, 2);
}

TEST_F(TFormMainReportsTest, PrintingWithoutSelectionPrintsThePaneUnderItsTitle) {
  ASSERT_TRUE(testing::ProgramInstalled("pdfinfo", "poppler-utils"));
  ASSERT_TRUE(testing::ProgramInstalled("pdftotext", "poppler-utils"));
  UseArchive();
  window_->Button8Click();
  QTest::mouseClick(Ui().But1, Qt::LeftButton);
  prompts_.confirmPrint = true;
  QTest::mouseClick(Ui().But5, Qt::LeftButton);
  EXPECT_EQ(prompts_.printDialogs, 1);
  EXPECT_EQ(prompts_.scratchVisibleInDialog, std::vector<bool>{false});
  EXPECT_EQ(PdfTitle(prompts_.pdfPath.toStdString()), "Печать всего архива");
  const std::string text =
      CommandOutput("pdftotext -layout '" + prompts_.pdfPath.toStdString() + "' -");
  EXPECT_NE(text.find("Архив: файл"), std::string::npos);
  EXPECT_NE(text.find("04:59:00"), std::string::npos);
  EXPECT_NE(text.find("04:44:00"), std::string::npos);
}

TEST_F(TFormMainReportsTest, PrintingASelectionPrintsHeadingHeaderAndSelection) {
  ASSERT_TRUE(testing::ProgramInstalled("pdfinfo", "poppler-utils"));
  ASSERT_TRUE(testing::ProgramInstalled("pdftotext", "poppler-utils"));
  UseArchive();
  window_->Button8Click();
  QTest::mouseClick(Ui().But1, Qt::LeftButton);
  SelectPaneLines(5, 6);  // rows of slots 298 and 297
  prompts_.confirmPrint = true;
  QTest::mouseClick(Ui().But5, Qt::LeftButton);

  EXPECT_EQ(prompts_.scratchVisibleInDialog, std::vector<bool>{true});
  EXPECT_FALSE(Ui().RichEdit2->isVisible());
  EXPECT_EQ(Ui().RichEdit2->toPlainText(),
            QStringList(
                {QStringLiteral("Печать выделенной части архива"), kHeaderLine, Row(298), Row(297)})
                .join('\n'));
  ExpectStraightColumns(PaneColumnStarts(*Ui().RichEdit2));
  EXPECT_EQ(PdfTitle(prompts_.pdfPath.toStdString()), "Печать  выделенной части архива");
  const std::string text = CommandOutput("pdftotext '" + prompts_.pdfPath.toStdString() + "' -");
  EXPECT_EQ(text.find("Печать выделенной части архива"), 0u);
  EXPECT_NE(text.find("04:58:00"), std::string::npos);
  EXPECT_NE(text.find("04:57:00"), std::string::npos);
  EXPECT_EQ(text.find("04:59:00"), std::string::npos);
  EXPECT_EQ(text.find("04:56:00"), std::string::npos);
}

TEST_F(TFormMainReportsTest, CancelledSelectionPrintHidesTheScratchPaneAndKeepsTheSelection) {
  UseArchive();
  window_->Button8Click();
  QTest::mouseClick(Ui().But1, Qt::LeftButton);
  SelectPaneLines(4, 4);
  const QString selected = Ui().RichEdit1->textCursor().selectedText();
  prompts_.confirmPrint = false;
  QTest::mouseClick(Ui().But5, Qt::LeftButton);
  EXPECT_EQ(prompts_.printDialogs, 1);
  EXPECT_FALSE(Ui().RichEdit2->isVisible());
  EXPECT_FALSE(QFile::exists(prompts_.pdfPath));
  EXPECT_EQ(Ui().RichEdit1->textCursor().selectedText(), selected);
  EXPECT_EQ(selected, Row(299));
}

// --- the RTF report file ---

class TFormMainSaveTest : public TFormMainReportsTest {
 protected:
  void SetUp() override {
    TFormMainReportsTest::SetUp();
    Ui().RichEdit1->setPlainText(QStringLiteral("Отчет\n\n\nСобытие\t\tДата"));
  }
  void Answer(const QString& name) {
    prompts_.saveAnswers.push_back(
        FileDialogAnswer{name, QStringLiteral("Файлы типа .rtf (*.rtf)")});
  }
  std::string Expected() const { return ValueOf(RtfDocument(Pane().toStdString())); }
  std::string Read(const QString& path) const {
    return cli_testing::ReadWholeFile(path.toStdString());
  }
};

// `rtf` converted to PDF by LibreOffice, as a word processor lays it out.
QString LibreOfficePdf(const QString& rtf, const QString& folder) {
  const std::string command =
      "HOME='" + folder.toStdString() + "' soffice --headless --convert-to pdf --outdir '" +
      folder.toStdString() + "' '" + rtf.toStdString() + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return QDir(folder).filePath(QFileInfo(rtf).completeBaseName() + QStringLiteral(".pdf"));
}

TEST_F(TFormMainSaveTest, SavedWholeArchiveReportStandsInStraightColumnsInAWordProcessor) {
  ASSERT_EQ(std::system("command -v soffice >/dev/null 2>&1"), 0)
      << "soffice is missing: install libreoffice-writer-nogui (scripts/setup.sh does)";
  state_.ArchiveFileName = kFullSample;
  QTest::mouseClick(Ui().But3, Qt::LeftButton);
  Answer(dir_.filePath(QStringLiteral("весь архив")));
  window_->But4Click();
  const QString pdf = LibreOfficePdf(dir_.filePath(QStringLiteral("весь архив.rtf")), dir_.path());
  ASSERT_TRUE(QFile::exists(pdf));
  const std::string info = CommandOutput("pdfinfo '" + pdf.toStdString() + "'");
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
  const std::vector<testing::PdfWord> words = ReadPdfWords(pdf.toStdString());
  ASSERT_FALSE(words.empty());
  EXPECT_GT(words.back().page, 1);
  // The page's left margin is 2 cm, 56.7 points.
  EXPECT_NEAR(words.front().xMin, 56.7, 0.1);
  // LibreOffice places text in whole twips, 0.05 points.
  ExpectStraightColumns(FindColumnStarts(StdLines(Pane()), words), 0.06);
}

TEST_F(TFormMainSaveTest, NameWithoutExtensionGetsRtfAppended) {
  Answer(dir_.filePath(QStringLiteral("отчет")));
  window_->But4Click();
  EXPECT_EQ(Read(dir_.filePath(QStringLiteral("отчет.rtf"))), Expected());
  EXPECT_FALSE(Ui().GroupBoxPrint->isVisible());
  EXPECT_TRUE(prompts_.boxes.empty());
  EXPECT_EQ(prompts_.saveRequests.at(0).startName, QString());
}

TEST_F(TFormMainSaveTest, RefusedNamesAskAgainUntilOneIsAccepted) {
  QDir(dir_.path()).mkdir(QStringLiteral("a.d"));
  Answer(dir_.filePath(QStringLiteral("x.RTF")));
  Answer(dir_.filePath(QStringLiteral("x.txt")));
  Answer(dir_.filePath(QStringLiteral("x.")));
  Answer(dir_.filePath(QStringLiteral("a.d/x.b.rtf")));
  window_->But4Click();
  ASSERT_EQ(prompts_.boxes.size(), 3u);
  for (const auto& box : prompts_.boxes) {
    EXPECT_EQ(box.kind, BoxKind::kWarning);
    EXPECT_EQ(box.title, QStringLiteral("Cохранение данных в файл"));
    EXPECT_EQ(box.text, QStringLiteral("Неверно задано имя файла"));
  }
  EXPECT_EQ(prompts_.saveRequests.size(), 4u);
  EXPECT_EQ(prompts_.saveRequests[1].startName, dir_.filePath(QStringLiteral("x.RTF")));
  EXPECT_EQ(Read(dir_.filePath(QStringLiteral("a.d/x.b.rtf"))), Expected());
  EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("x.RTF"))));
  EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("x.txt"))));
}

TEST_F(TFormMainSaveTest, FolderWithADotAndNoExtension) {
  QDir(dir_.path()).mkdir(QStringLiteral("v1.2"));
  Answer(dir_.filePath(QStringLiteral("v1.2/report")));
  window_->But4Click();
  EXPECT_EQ(Read(dir_.filePath(QStringLiteral("v1.2/report.rtf"))), Expected());
}

TEST_F(TFormMainSaveTest, LongFolderPathWithOddCharactersIsUsedWhole) {
  QString folder = dir_.path();
  while (folder.size() < 240) folder += QStringLiteral("/папка с 'кавычками' и \"пробелами\"");
  ASSERT_TRUE(QDir().mkpath(folder));
  Answer(folder + QStringLiteral("/отчет №1"));
  window_->But4Click();
  EXPECT_TRUE(prompts_.boxes.empty());
  EXPECT_EQ(Read(folder + QStringLiteral("/отчет №1.rtf")), Expected());
}

TEST_F(TFormMainSaveTest, CancellingWritesNothing) {
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  Answer(dir_.filePath(QStringLiteral("x.doc")));  // refused, then cancelled
  window_->But4Click();
  QDir::setCurrent(previous);
  EXPECT_EQ(prompts_.saveRequests.size(), 2u);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList());
  EXPECT_FALSE(Ui().GroupBoxPrint->isVisible());
}

TEST_F(TFormMainSaveTest, UnwritableTargetShowsTheFailureAndKeepsTheEarlierFile) {
  const QString target = dir_.filePath(QStringLiteral("missing/r.rtf"));
  Answer(target);
  QTest::mouseClick(Ui().But4, Qt::LeftButton);  // hidden and disabled: nothing happens
  EXPECT_TRUE(prompts_.saveRequests.empty());
  window_->RunHandler([this] { window_->But4Click(); });
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kFailure);
  EXPECT_EQ(prompts_.boxes[0].text, "Cannot create file " + target + ".");
  EXPECT_TRUE(Ui().GroupBoxPrint->isVisible());

  // A save that fails over an existing report leaves it whole.
  const QString existing = dir_.filePath(QStringLiteral("old.rtf"));
  QFile file(existing);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("old report");
  file.close();
  // Readable by anyone, writable by no one but root, whom the save runs without.
  ASSERT_TRUE(QFile::setPermissions(
      dir_.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
  Answer(existing);
  testing::RunWithoutPrivileges([&] {
    window_->RunHandler([this] { window_->But4Click(); });
    ASSERT_EQ(prompts_.boxes.size(), 2u);
    EXPECT_EQ(prompts_.boxes.back().text, "Cannot create file " + existing + ".");
  });
  QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(Read(existing), "old report");
}

TEST_F(TFormMainSaveTest, SaveKeepsWhatTheUserSetOnTheFileItReplaces) {
  namespace fs = std::filesystem;
  const fs::path folder = dir_.path().toStdString();
  testing::PutFile(folder / "mode.rtf", "old", 0640);
  fs::create_directory(folder / "links");
  fs::create_directory(folder / "files");
  testing::PutFile(folder / "files" / "report.rtf", "old", 0604);
  fs::create_symlink("../files/report.rtf", folder / "links" / "report.rtf");
  Answer(dir_.filePath(QStringLiteral("mode.rtf")));
  window_->But4Click();
  Answer(dir_.filePath(QStringLiteral("links/report.rtf")));
  window_->But4Click();
  EXPECT_TRUE(prompts_.boxes.empty());
  EXPECT_EQ(Read(dir_.filePath(QStringLiteral("mode.rtf"))), Expected());
  EXPECT_EQ(testing::ModeOf(folder / "mode.rtf"), 0640u);
  EXPECT_TRUE(fs::is_symlink(folder / "links" / "report.rtf"));
  EXPECT_EQ(Read(dir_.filePath(QStringLiteral("files/report.rtf"))), Expected());
  EXPECT_EQ(testing::ModeOf(folder / "files" / "report.rtf"), 0604u);
  EXPECT_EQ(testing::Entries(folder / "links"), std::vector<std::string>{"report.rtf"});
  EXPECT_EQ(testing::Entries(folder / "files"), std::vector<std::string>{"report.rtf"});
}

TEST_F(TFormMainSaveTest, ReadOnlyFileIsRefusedWithTheFailureAndKept) {
  const QString target = dir_.filePath(QStringLiteral("kept.rtf"));
  testing::PutFile(target.toStdString(), "earlier report", 0444);
  Answer(target);
  window_->RunHandler([this] { window_->But4Click(); });
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kFailure);
  EXPECT_EQ(prompts_.boxes[0].text, "Cannot create file " + target + ".");
  EXPECT_TRUE(Ui().GroupBoxPrint->isVisible());
  EXPECT_EQ(Read(target), "earlier report");
  EXPECT_EQ(testing::ModeOf(target.toStdString()), 0444u);
  EXPECT_EQ(testing::Entries(dir_.path().toStdString()), std::vector<std::string>{"kept.rtf"});
}

TEST_F(TFormMainSaveTest, NameOfTheLongestLengthSaves) {
  // Chosen without extension: ".rtf" appended makes it 255 bytes.
  const std::string name = testing::LongestCyrillicName(".rtf");
  const std::string chosen = name.substr(0, name.size() - 4);
  Answer(dir_.filePath(QString::fromStdString(chosen)));
  window_->RunHandler([this] { window_->But4Click(); });
  EXPECT_TRUE(prompts_.boxes.empty());
  EXPECT_EQ(Read(dir_.filePath(QString::fromStdString(name))), Expected());
  EXPECT_EQ(testing::Entries(dir_.path().toStdString()), std::vector<std::string>{name});
}

TEST_F(TFormMainSaveTest, OpenAsksForTheDevicesReportFile) {
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  for (const QString& name :
       {QStringLiteral("отчет устр. 1.rtf"), QStringLiteral("отчет устр. 31.rtf")}) {
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  window_->But2Click();
  EXPECT_FALSE(Ui().GroupBoxPrint->isVisible());
  state_.DeviceIndex = 30;
  window_->But2Click();
  QDir::setCurrent(previous);
  EXPECT_EQ(prompts_.openedDocuments,
            (std::vector<QString>{dir_.filePath(QStringLiteral("отчет устр. 1.rtf")),
                                  dir_.filePath(QStringLiteral("отчет устр. 31.rtf"))}));
  EXPECT_TRUE(prompts_.boxes.empty());
}

TEST_F(TFormMainSaveTest, OpenSaysWhenTheFileIsMissingOrNothingOpensIt) {
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  const QString path = dir_.filePath(QStringLiteral("отчет устр. 1.rtf"));
  window_->ToolButton6Click();
  window_->But2Click();
  EXPECT_TRUE(prompts_.openedDocuments.empty());
  EXPECT_FALSE(Ui().GroupBoxPrint->isVisible());

  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  prompts_.desktopOpens = false;
  window_->ToolButton6Click();
  window_->But2Click();
  QDir::setCurrent(previous);
  EXPECT_EQ(prompts_.openedDocuments, std::vector<QString>{path});
  EXPECT_FALSE(Ui().GroupBoxPrint->isVisible());
  ASSERT_EQ(prompts_.boxes.size(), 2u);
  for (const auto& box : prompts_.boxes) {
    EXPECT_EQ(box.kind, BoxKind::kInformation);
    EXPECT_EQ(box.title, window_->AppTitle());
  }
  EXPECT_EQ(prompts_.boxes[0].text, QStringLiteral("Файл отчета не найден:\n") + path);
  EXPECT_EQ(prompts_.boxes[1].text, QStringLiteral("Файл отчета не удалось открыть:\n") + path +
                                        QStringLiteral("\nНет программы, которая открывает "
                                                       "файлы этого типа."));
}

}  // namespace
}  // namespace torv
