// The main window as built: title, size, controls, actions and tab order.
#include "tform_main_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace torv {
namespace {

TEST_F(TFormMainTest, WindowHasItsTitleSizeAndStartState) {
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("Документирование архива ТОРВ-4"));
  // The outer size, frame included (the offscreen platform draws a frame
  // of 2 pixels).
  EXPECT_EQ(window_->frameGeometry().size(), QSize(872, 669));
  EXPECT_EQ(Label1(), QStringLiteral("Документирование"));
  EXPECT_EQ(Ui().Label1->pos(), QPoint(8, 32));
  EXPECT_EQ(state_.DeviceIndex, 0);
  EXPECT_EQ(Ui().CBoxUstr->currentText(), QStringLiteral("1"));
  EXPECT_EQ(Ui().DateTimePicker2->date(), QDate::currentDate());
  EXPECT_EQ(kAppTitle, QStringLiteral("tform_main_test"));
}

TEST_F(TFormMainTest, EventTableStartsWithSeventeenEmptyRows) {
  QTableView* grid = Ui().StringGrid1;
  EXPECT_EQ(grid->geometry(), QRect(8, 44, 409, 429));
  EXPECT_EQ(window_->TableRowCount(), 17);
  for (int row = 0; row < 17; ++row) EXPECT_EQ(window_->TableRow(row), EventRow{});
  EXPECT_EQ(grid->columnWidth(0), 110);
  EXPECT_EQ(grid->columnWidth(1), 83);
  EXPECT_EQ(grid->columnWidth(2), 100);
  EXPECT_EQ(grid->columnWidth(3), 106);
  EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_FALSE(grid->verticalHeader()->isVisible());
  EXPECT_TRUE(grid->horizontalHeader()->isVisible());
  EXPECT_EQ(grid->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_TRUE(grid->focusPolicy() & Qt::TabFocus);
}

struct Placed {
  const char* name;
  QRect geometry;
  const char* caption;
  bool visible;
  bool enabled;
};

TEST_F(TFormMainTest, ControlsHaveTheirPositionsCaptionsAndStates) {
  const Placed kButtons[] = {
      {"Button8", {40, 16, 121, 25}, "Последняя запись", true, true},
      {"Button9", {45, 48, 100, 25}, "Начало архива", true, true},
      {"Button6", {48, 80, 89, 25}, "<<  к началу", true, false},
      {"Button5", {136, 80, 97, 25}, " к концу  >>", true, false},
      {"Button4", {8, 112, 177, 25}, "Показать с заданной даты", true, true},
      {"Button3", {8, 136, 105, 25}, "Задайте дату", false, true},
      {"Button7", {192, 112, 113, 25}, "Выбор по № входа", true, true},
      {"But3", {40, 16, 153, 25}, "Просмотр всего архива", false, true},
      {"But1", {8, 48, 225, 25}, "Просмотр блока архива из таблицы", false, true},
      {"But5", {72, 80, 89, 25}, "Печать ", false, true},
      {"But4", {40, 112, 153, 25}, "Сохранить в файле RTF", false, false},
      {"But2", {48, 144, 137, 25}, "открыть файл RTF", false, false},
  };
  for (const Placed& placed : kButtons) {
    SCOPED_TRACE(placed.name);
    auto* button = window_->findChild<QPushButton*>(QString::fromLatin1(placed.name));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), placed.geometry);
    EXPECT_EQ(button->text(), QString::fromUtf8(placed.caption));
    EXPECT_EQ(button->isVisible(), placed.visible);
    EXPECT_EQ(button->isEnabled(), placed.enabled);
  }
  EXPECT_TRUE(Ui().Button6->font().bold());
  EXPECT_TRUE(Ui().Button5->font().bold());
  EXPECT_FALSE(Ui().Button8->font().bold());
  EXPECT_EQ(Ui().Button6->toolTip(), QStringLiteral("Назад на 1 блок"));
  EXPECT_EQ(Ui().Button5->toolTip(), QStringLiteral("Вперед на 1 блок"));
  EXPECT_EQ(Ui().Button8->parentWidget(), Ui().GroupBox3);
  EXPECT_EQ(Ui().But1->parentWidget(), Ui().GroupBoxPrint);

  EXPECT_EQ(Ui().GroupBox3->geometry(), QRect(480, 88, 313, 169));
  EXPECT_EQ(Ui().GroupBox3->title(), QStringLiteral("Просмотр файла архива"));
  EXPECT_TRUE(Ui().GroupBox3->font().bold());
  EXPECT_TRUE(Ui().GroupBox3->isVisible());
  EXPECT_EQ(Ui().GroupBoxPrint->geometry(), QRect(480, 264, 241, 177));
  EXPECT_EQ(Ui().GroupBoxPrint->title(), QStringLiteral("Документирование архива"));
  EXPECT_FALSE(Ui().GroupBoxPrint->isVisible());

  EXPECT_EQ(Ui().Edit1->geometry(), QRect(167, 16, 82, 21));
  EXPECT_EQ(Ui().Edit1->text(), QString());
  EXPECT_TRUE(Ui().Edit1->isVisible());
  EXPECT_EQ(Ui().EditNVh->geometry(), QRect(280, 140, 25, 21));
  EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("1"));
  EXPECT_FALSE(Ui().EditNVh->isVisible());
  EXPECT_EQ(Ui().Label4->pos(), QPoint(222, 140));
  EXPECT_EQ(Ui().Label4->text(), QStringLiteral("№ входа"));
  EXPECT_TRUE(Ui().Label4->font().bold());
  EXPECT_EQ(Ui().Label4->palette().color(QPalette::WindowText), QColor(0, 128, 128));
  EXPECT_FALSE(Ui().Label4->isVisible());
  EXPECT_EQ(Ui().DateTimePicker2->geometry(), QRect(111, 136, 74, 21));
  EXPECT_TRUE(Ui().DateTimePicker2->calendarPopup());
  EXPECT_FALSE(Ui().DateTimePicker2->isVisible());

  EXPECT_EQ(Ui().RichEdit1->geometry(), QRect(8, 480, 457, 121));
  EXPECT_TRUE(Ui().RichEdit1->isReadOnly());
  EXPECT_TRUE(Ui().RichEdit1->isVisible());
  EXPECT_FALSE(Ui().RichEdit1->tabChangesFocus());
  EXPECT_EQ(Ui().RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(Ui().RichEdit1->palette().color(QPalette::Inactive, QPalette::Highlight),
            Ui().RichEdit1->palette().color(QPalette::Active, QPalette::Highlight));
  EXPECT_EQ(Ui().RichEdit2->geometry(), QRect(40, 480, 457, 121));
  EXPECT_TRUE(Ui().RichEdit2->isReadOnly());
  EXPECT_FALSE(Ui().RichEdit2->isVisible());

  EXPECT_EQ(Ui().Label2->pos(), QPoint(480, 48));
  EXPECT_EQ(Ui().Label2->text(), QStringLiteral("Устройство №"));
  EXPECT_FALSE(Ui().Label2->isVisible());
  EXPECT_FALSE(Ui().Label2->isEnabled());
  EXPECT_EQ(Ui().CBoxUstr->pos(), QPoint(568, 48));
  EXPECT_EQ(Ui().CBoxUstr->width(), 57);
  EXPECT_EQ(Ui().CBoxUstr->font().pointSize(), 10);
  EXPECT_EQ(Ui().CBoxUstr->count(), 31);
  EXPECT_EQ(Ui().CBoxUstr->itemText(30), QStringLiteral("31"));
  EXPECT_FALSE(Ui().CBoxUstr->isEditable());
  EXPECT_FALSE(Ui().CBoxUstr->isVisible());
}

TEST_F(TFormMainTest, ActionsSitOnTheMenuAndTheToolBar) {
  EXPECT_EQ(Ui().AOpenFile->text(), QStringLiteral("Задать имя файла архива"));
  EXPECT_EQ(Ui().AOpenFile->toolTip(), QStringLiteral("Задать имя файла архива"));
  EXPECT_EQ(Ui().AOpenFile->shortcut(), QKeySequence(Qt::Key_F3));
  EXPECT_FALSE(Ui().AOpenFile->icon().isNull());
  EXPECT_EQ(Ui().APrint->text(), QStringLiteral("Печать"));
  EXPECT_EQ(Ui().APrint->toolTip(), QStringLiteral("Печать "));
  EXPECT_EQ(Ui().APrint->shortcut(), QKeySequence(Qt::Key_F4));
  EXPECT_FALSE(Ui().APrint->icon().isNull());

  EXPECT_EQ(Ui().N1File->title(), QStringLiteral("Файл"));
  const QList<QAction*> entries = Ui().N1File->actions();
  ASSERT_EQ(entries.size(), 2);
  EXPECT_EQ(entries[0], Ui().AOpenFile);
  EXPECT_EQ(entries[1], Ui().APrint);

  EXPECT_EQ(Ui().ToolBar1->geometry().height(), 29);
  EXPECT_EQ(Ui().ToolBar1->geometry().topLeft(), QPoint(0, 0));
  EXPECT_EQ(Ui().ToolButton7->defaultAction(), Ui().AOpenFile);
  EXPECT_EQ(Ui().ToolButton6->defaultAction(), Ui().APrint);
  EXPECT_EQ(Ui().ToolButton6->toolTip(), QStringLiteral("Документирование архива"));
}

TEST_F(TFormMainTest, TabOrderFollowsTheWindowThenTheGroups) {
  const std::vector<QWidget*> expected = {
      Ui().StringGrid1, Ui().RichEdit1, Ui().Button8,   Ui().Button9, Ui().Edit1,
      Ui().Button6,     Ui().Button5,   Ui().Button4,   Ui().Button3, Ui().DateTimePicker2,
      Ui().Button7,     Ui().EditNVh,   Ui().But1,      Ui().But2,    Ui().But3,
      Ui().But4,        Ui().But5,      Ui().RichEdit2, Ui().CBoxUstr};
  std::vector<QWidget*> seen;
  QWidget* widget = Ui().StringGrid1;
  do {
    if (std::find(expected.begin(), expected.end(), widget) != expected.end() &&
        std::find(seen.begin(), seen.end(), widget) == seen.end()) {
      seen.push_back(widget);
    }
    widget = widget->nextInFocusChain();
  } while (widget != Ui().StringGrid1);
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(Ui().GroupBox3->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(Ui().GroupBoxPrint->focusPolicy(), Qt::NoFocus);
}

}  // namespace
}  // namespace torv
