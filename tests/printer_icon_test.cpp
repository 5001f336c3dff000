#include "ui/printer_icon.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolButton>

#include "archive/view_state.h"
#include "fake_user_prompts.h"
#include "ui/tform_main.h"

namespace torv {
namespace {

// Points Qt at an icon theme made for the test, and back when done.
class IconThemeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedPaths_ = QIcon::themeSearchPaths();
    savedTheme_ = QIcon::themeName();
    ASSERT_TRUE(dir_.isValid());
    QIcon::setThemeSearchPaths({dir_.path()});
  }
  void TearDown() override {
    QIcon::setThemeSearchPaths(savedPaths_);
    QIcon::setThemeName(savedTheme_);
  }

  // A theme "test" whose one icon is `iconName`, a red square.
  void MakeTheme(const QString& iconName) {
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("test/16x16/actions")));
    QFile index(dir_.filePath(QStringLiteral("test/index.theme")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(
        "[Icon Theme]\nName=test\nDirectories=16x16/actions\n\n"
        "[16x16/actions]\nSize=16\nType=Fixed\n");
    index.close();
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(
        dir_.filePath(QStringLiteral("test/16x16/actions/") + iconName + QStringLiteral(".png"))));
    QIcon::setThemeName(QStringLiteral("test"));
  }

  QTemporaryDir dir_;
  QStringList savedPaths_;
  QString savedTheme_;
};

QImage Image(const QIcon& icon) {
  return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST_F(IconThemeTest, ThemesDocumentPrintIsTaken) {
  MakeTheme(QStringLiteral("document-print"));
  const QIcon icon = PrinterIcon();
  EXPECT_EQ(icon.name(), QStringLiteral("document-print"));
  EXPECT_EQ(Image(icon).pixelColor(8, 8), QColor(Qt::red));
}

TEST_F(IconThemeTest, WithoutItThePrinterIsDrawn) {
  MakeTheme(QStringLiteral("document-open"));
  const QIcon icon = PrinterIcon();
  EXPECT_EQ(icon.name(), QString());
  EXPECT_EQ(Image(icon), Image(DrawnPrinterIcon()));
}

TEST(DrawnPrinterIconTest, ShowsAPrinterNotAList) {
  const QImage printer = Image(DrawnPrinterIcon());
  // The sheets are white and the body grey; the lamp is green.
  EXPECT_EQ(printer.pixelColor(8, 3), QColor(Qt::white));
  EXPECT_EQ(printer.pixelColor(3, 8), QColor(176, 180, 186));
  const QColor lamp = printer.pixelColor(12, 8);
  EXPECT_GT(lamp.green(), 150);
  EXPECT_LT(lamp.red(), 80);
  EXPECT_EQ(printer.pixelColor(5, 12), QColor(Qt::white));
  EXPECT_EQ(printer.pixelColor(0, 0).alpha(), 0);
  EXPECT_NE(printer, Image(QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView)));
  for (const int size : {16, 22, 32, 48}) {
    EXPECT_EQ(DrawnPrinterIcon().pixmap(size, size).size(), QSize(size, size)) << size;
  }
}

TEST_F(IconThemeTest, PrintActionCarriesThePrinter) {
  MakeTheme(QStringLiteral("document-print"));
  ViewState state;
  testing::FakeUserPrompts prompts;
  TForm_main window(state, prompts);
  EXPECT_EQ(window.Ui().APrint->icon().name(), QStringLiteral("document-print"));
  EXPECT_EQ(window.Ui().ToolButton6->icon().name(), QStringLiteral("document-print"));
}

}  // namespace
}  // namespace torv
