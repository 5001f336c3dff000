// The archive file choice through the open dialog and its name rules.
#include "tform_main_fixture.h"

#include <QAction>
#include <QDir>
#include <QToolButton>

namespace torv {
namespace {

FileDialogAnswer Answer(const QString& name,
                        const QString& filter = QStringLiteral("Файлы типа .dat (*.dat)")) {
  return FileDialogAnswer{name, filter};
}

TEST_F(TFormMainTest, OpenDialogIsAskedWithItsSettings) {
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/arch.dat")));
  QTest::keyClick(window_.get(), Qt::Key_F3);
  ASSERT_EQ(prompts_.openRequests.size(), 1u);
  const FileDialogRequest& request = prompts_.openRequests[0];
  EXPECT_EQ(request.title, QStringLiteral("Выбор файла архива"));
  EXPECT_EQ(request.filters, (QStringList{QStringLiteral("Файлы типа .dat (*.dat)"),
                                          QStringLiteral("Все файлы (*.*)")}));
  EXPECT_EQ(request.selectedFilter, QStringLiteral("Файлы типа .dat (*.dat)"));
  EXPECT_EQ(request.startName, QString());
  EXPECT_EQ(request.defaultSuffix, QStringLiteral("dat"));
  EXPECT_EQ(state_.ArchiveFileName, "/data/arch.dat");
  EXPECT_EQ(state_.ArchiveFileExt, ".dat");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, ChoosingAFileStartsNoView) {
  UseTestArchive();
  prompts_.openAnswers.push_back(Answer(QString::fromStdString(archivePath_)));
  Click(Ui().ToolButton7);
  EXPECT_EQ(state_.ArchiveFileName, archivePath_);
  EXPECT_EQ(Label1(), QStringLiteral("Документирование"));
  EXPECT_EQ(window_->TableRow(0), EventRow{});
  EXPECT_EQ(Ui().Edit1->text(), QString());
}

TEST_F(TFormMainTest, NameWithoutExtensionGetsDat) {
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/v1.2/arch")));
  Ui().AOpenFile->trigger();
  EXPECT_EQ(state_.ArchiveFileName, "/data/v1.2/arch.dat");
  EXPECT_EQ(state_.ArchiveFileExt, "");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, RejectedNamesWarnAndReopenTheDialog) {
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/arch.DAT")));
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/arch.dat.bak")));
  prompts_.openAnswers.push_back(
      Answer(QStringLiteral("/data/arch."), QStringLiteral("Все файлы (*.*)")));
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/good.dat")));
  Ui().AOpenFile->trigger();

  ASSERT_EQ(prompts_.boxes.size(), 3u);
  for (const testing::BoxRecord& box : prompts_.boxes) {
    EXPECT_EQ(box.kind, BoxKind::kWarning);
    EXPECT_EQ(box.title, QStringLiteral("задание имени файла"));
    EXPECT_EQ(box.text, QStringLiteral("Неверно задано имя файла"));
  }
  ASSERT_EQ(prompts_.openRequests.size(), 4u);
  EXPECT_EQ(prompts_.openRequests[1].startName, QStringLiteral("/data/arch.DAT"));
  EXPECT_EQ(prompts_.openRequests[2].startName, QStringLiteral("/data/arch.dat.bak"));
  EXPECT_EQ(prompts_.openRequests[3].startName, QStringLiteral("/data/arch."));
  EXPECT_EQ(prompts_.openRequests[3].selectedFilter, QStringLiteral("Все файлы (*.*)"));
  EXPECT_EQ(state_.ArchiveFileName, "/data/good.dat");
  EXPECT_EQ(state_.ArchiveFileExt, ".dat");
}

TEST_F(TFormMainTest, NameHeldWhileTheWarningIsShown) {
  std::string nameDuringWarning;
  prompts_.whileBoxOpen = [&](const testing::BoxRecord&) {
    nameDuringWarning = state_.ArchiveFileName;
  };
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/arch.txt")));
  Ui().AOpenFile->trigger();
  EXPECT_EQ(nameDuringWarning, "/data/arch.txt");
  // The second opening was cancelled.
  EXPECT_EQ(state_.ArchiveFileName, "");
  EXPECT_EQ(state_.ArchiveFileExt, ".txt");
}

TEST_F(TFormMainTest, CancelDropsTheChosenFile) {
  UseTestArchive();
  Click(Ui().Button8);
  Ui().AOpenFile->trigger();  // no answer scripted: cancelled
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kInformation);
  EXPECT_EQ(prompts_.boxes[0].title, kAppTitle);
  EXPECT_EQ(prompts_.boxes[0].text, QStringLiteral("Файл архива не выбран"));
  EXPECT_EQ(state_.ArchiveFileName, "");
  ExpectBlock(kNewestSlot);
  Click(Ui().Button8);
  EXPECT_EQ(prompts_.boxes.back().text, QStringLiteral("Не задано имя файла архива"));
  ExpectBlock(kNewestSlot);
}

TEST_F(TFormMainTest, DialogRestartsWithTheLastNameAfterACancel) {
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/a.dat")));
  Ui().AOpenFile->trigger();
  Ui().AOpenFile->trigger();  // cancelled
  Ui().AOpenFile->trigger();
  ASSERT_EQ(prompts_.openRequests.size(), 3u);
  EXPECT_EQ(prompts_.openRequests[1].startName, QStringLiteral("/data/a.dat"));
  EXPECT_EQ(prompts_.openRequests[2].startName, QStringLiteral("/data/a.dat"));
  EXPECT_EQ(state_.ArchiveFileExt, ".dat");
}

TEST_F(TFormMainTest, MissingFileIsChosenAndCannotBeOpened) {
  const QString missing = dir_.filePath(QStringLiteral("missing.dat"));
  prompts_.openAnswers.push_back(Answer(missing));
  Ui().AOpenFile->trigger();
  EXPECT_EQ(state_.ArchiveFileName, missing.toStdString());
  Click(Ui().Button8);
  EXPECT_EQ(Boxes(), (std::vector<QString>{QStringLiteral("Архив не удается открыть")}));
}

// --- the archive named on the command line ---

TEST_F(TFormMainTest, CommandLineNameFollowsTheDialogsRules) {
  window_->ChooseArchiveFromCommandLine(QStringLiteral("arch"));
  // A relative name is taken from the current folder, as the dialog's are.
  const QString full = QDir::current().absoluteFilePath(QStringLiteral("arch"));
  EXPECT_EQ(state_.ArchiveFileName, (full + QStringLiteral(".dat")).toStdString());
  EXPECT_EQ(state_.ArchiveFileExt, "");
  EXPECT_TRUE(Boxes().empty());
  // No view: the table and the status line are as they were.
  EXPECT_EQ(Label1(), QStringLiteral("Документирование"));
  EXPECT_EQ(window_->TableRow(0), EventRow{});
  // The open dialog starts from it, as from a name it returned itself.
  Ui().AOpenFile->trigger();
  ASSERT_EQ(prompts_.openRequests.size(), 1u);
  EXPECT_EQ(prompts_.openRequests[0].startName, full);
}

TEST_F(TFormMainTest, RefusedCommandLineNameIsReportedAndChoosesNothing) {
  window_->ChooseArchiveFromCommandLine(QStringLiteral("/data/arch.DAT"));
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kWarning);
  EXPECT_EQ(prompts_.boxes[0].title, QStringLiteral("задание имени файла"));
  EXPECT_EQ(prompts_.boxes[0].text, QStringLiteral("Неверно задано имя файла"));
  EXPECT_EQ(state_.ArchiveFileName, "");
  EXPECT_EQ(state_.ArchiveFileExt, ".DAT");
  EXPECT_TRUE(prompts_.openRequests.empty());
  Click(Ui().Button8);
  EXPECT_EQ(prompts_.boxes.back().text, QStringLiteral("Не задано имя файла архива"));
}

TEST_F(TFormMainTest, CommandLineArchiveIsReadByTheNextView) {
  UseTestArchive();
  state_.ArchiveFileName.clear();
  window_->ChooseArchiveFromCommandLine(QString::fromStdString(archivePath_));
  EXPECT_EQ(state_.ArchiveFileName, archivePath_);
  Click(Ui().Button8);
  ExpectBlock(kNewestSlot);
  EXPECT_EQ(Label1().toStdString(), Status());
}

}  // namespace
}  // namespace torv
