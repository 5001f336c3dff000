// Building the main window: controls at their fixed pixel positions, actions,
// menu, tool bar, tab order and the wiring of the handlers.
#include "ui/tform_main.h"

// Qt
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include "archive/view_screen.h"
#include "ui/application_title.h"
#include "ui/event_table_model.h"
#include "ui/printer_icon.h"
#include "ui/report_printer.h"

namespace torv {
namespace {

constexpr int kWindowWidth = 872;
constexpr int kWindowHeight = 669;
constexpr int kToolBarHeight = 29;
constexpr int kToolBarSeparatorWidth = 33;
constexpr int kGridRowHeight = 25;  // 24 pixels of cell and one of grid line
constexpr int kGridColumnWidths[] = {110, 83, 100, 106};
constexpr int kDeviceCount = 31;
const QColor kTeal(0, 128, 128);

// "MS Sans Serif" 8 pt where it exists, else the closest sans-serif font.
QFont BaseFont(int pointSize = 8) {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                    QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(pointSize);
  // Set explicitly so that a control inside a bold group stays normal.
  font.setBold(false);
  return font;
}

QFont BoldFont() {
  QFont font = BaseFont();
  font.setBold(true);
  return font;
}

template <typename Widget>
Widget* Place(Widget* widget, int x, int y, int width, int height) {
  widget->setGeometry(x, y, width, height);
  return widget;
}

// A label sizes itself to its caption, as the status line must.
QLabel* PlaceLabel(QLabel* label, int x, int y) {
  label->move(x, y);
  label->adjustSize();
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setFont(BaseFont());
  // Enter presses the focused button, as Space does.
  button->setAutoDefault(true);
  return button;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& caption) {
  auto* group = new QGroupBox(caption, parent);
  group->setObjectName(QString::fromLatin1(name));
  group->setFont(BoldFont());
  // A teal caption set into the frame's top line, so that the controls keep
  // their positions counted from the group's top edge. The rules name only
  // the group box; the controls inside keep the style's own look.
  group->setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
      " left: 8px; padding: 0px 2px; color: rgb(0, 128, 128); }"));
  return group;
}

QLabel* MakeTealLabel(QWidget* parent, const char* name, const QString& caption) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(BoldFont());
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kTeal);
  label->setPalette(palette);
  return label;
}

QLineEdit* MakeInputField(QWidget* parent, const char* name, const QString& text) {
  auto* field = new QLineEdit(text, parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setFont(BaseFont());
  // No setMaxLength: it would also cut the 14-character text the view engine
  // writes into Edit1. The window limits what the operator types or pastes.
  return field;
}

QTextEdit* MakePane(QWidget* parent, const char* name) {
  auto* pane = new QTextEdit(parent);
  pane->setObjectName(QString::fromLatin1(name));
  pane->setFont(BaseFont());
  pane->setReadOnly(true);
  pane->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // A report line is one table row: keep it on one screen line, its cells
  // lined up under the header by the report's tab stops for the pane's font.
  pane->setLineWrapMode(QTextEdit::NoWrap);
  SetReportTabStops(*pane->document());
  // Read only: nothing to undo, and no undo history of whole reports.
  pane->setUndoRedoEnabled(false);
  return pane;
}

}  // namespace

TForm_main::TForm_main(ViewState& state, UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), state_(state), prompts_(prompts), appTitle_(ApplicationTitle()) {
  setObjectName(QStringLiteral("Form_main"));
  setWindowTitle(QStringLiteral("Документирование архива ТОРВ-4"));
  setFont(BaseFont());

  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(central);

  BuildActions();
  BuildMenu();
  BuildToolBar(central);
  BuildTableAndPanes(central);
  BuildViewGroup(central);
  BuildPrintGroup(central);
  BuildDeviceChoice(central);
  BuildTabOrder();
  ConnectHandlers();
  PlaceOnScreen();
}

TForm_main::~TForm_main() {
  // The filters point back at this window; children die after it.
  for (QWidget* watched : FilteredControls()) watched->removeEventFilter(this);
}

void TForm_main::BuildActions() {
  ui_.AOpenFile = new QAction(style()->standardIcon(QStyle::SP_DialogOpenButton),
                              QStringLiteral("Задать имя файла архива"), this);
  ui_.AOpenFile->setObjectName(QStringLiteral("AOpenFile"));
  ui_.AOpenFile->setToolTip(QStringLiteral("Задать имя файла архива"));
  ui_.AOpenFile->setShortcut(QKeySequence(Qt::Key_F3));
  ui_.AOpenFile->setProperty("category", QStringLiteral("Файл"));

  ui_.APrint = new QAction(PrinterIcon(), QStringLiteral("Печать"), this);
  ui_.APrint->setObjectName(QStringLiteral("APrint"));
  ui_.APrint->setToolTip(QStringLiteral("Печать "));
  ui_.APrint->setShortcut(QKeySequence(Qt::Key_F4));
  ui_.APrint->setProperty("category", QStringLiteral("Файл"));

  // The shortcuts work wherever the focus is in the window, before any
  // control sees the key.
  addAction(ui_.AOpenFile);
  addAction(ui_.APrint);
}

void TForm_main::BuildMenu() {
  ui_.N1File = menuBar()->addMenu(QStringLiteral("Файл"));
  ui_.N1File->setObjectName(QStringLiteral("N1File"));
  ui_.N1File->addAction(ui_.AOpenFile);  // N1
  ui_.N1File->addAction(ui_.APrint);     // PrintF
}

void TForm_main::BuildToolBar(QWidget* central) {
  // A child of the client area rather than a tool-bar area of the main
  // window, so that every other control keeps its position below it.
  ui_.ToolBar1 = Place(new QToolBar(central), 0, 0, kWindowWidth, kToolBarHeight);
  ui_.ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ui_.ToolBar1->setMovable(false);
  ui_.ToolBar1->setFloatable(false);
  ui_.ToolBar1->setIconSize(QSize(16, 16));
  ui_.ToolBar1->addAction(ui_.AOpenFile);
  ui_.ToolBar1->addAction(ui_.APrint);
  QAction* separator = ui_.ToolBar1->addSeparator();
  ui_.ToolBar1->widgetForAction(separator)->setFixedWidth(kToolBarSeparatorWidth);

  ui_.ToolButton7 = qobject_cast<QToolButton*>(ui_.ToolBar1->widgetForAction(ui_.AOpenFile));
  ui_.ToolButton7->setObjectName(QStringLiteral("ToolButton7"));
  ui_.ToolButton6 = qobject_cast<QToolButton*>(ui_.ToolBar1->widgetForAction(ui_.APrint));
  ui_.ToolButton6->setObjectName(QStringLiteral("ToolButton6"));
  // The button's own hint differs from its action's.
  ui_.ToolButton6->setToolTip(QStringLiteral("Документирование архива"));
}

void TForm_main::BuildTableAndPanes(QWidget* central) {
  ui_.Label1 = PlaceLabel(new QLabel(QString::fromUtf8(kStartStatusText), central), 8, 32);
  ui_.Label1->setObjectName(QStringLiteral("Label1"));
  ui_.Label1->setFont(BaseFont());

  eventTable_ = new EventTableModel(this);
  auto* grid = Place(new QTableView(central), 8, 44, 409, 429);
  ui_.StringGrid1 = grid;
  grid->setObjectName(QStringLiteral("StringGrid1"));
  grid->setFont(BaseFont());
  grid->setModel(eventTable_);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setTabKeyNavigation(false);  // Tab leaves the grid
  grid->setWordWrap(false);
  grid->verticalHeader()->hide();  // no fixed column
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setMinimumSectionSize(1);
  grid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
  grid->horizontalHeader()->setFixedHeight(kGridRowHeight);
  grid->horizontalHeader()->setHighlightSections(false);
  grid->horizontalHeader()->setStretchLastSection(false);
  grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int column = 0; column < kEventColumnCount; ++column) {
    grid->setColumnWidth(column, kGridColumnWidths[column]);
  }
  QPalette gridPalette = grid->palette();
  gridPalette.setColor(QPalette::Base, Qt::white);
  grid->setPalette(gridPalette);

  ui_.RichEdit1 = Place(MakePane(central, "RichEdit1"), 8, 480, 457, 121);
  // The selection stays visible when the pane loses the focus.
  QPalette panePalette = ui_.RichEdit1->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    panePalette.setColor(QPalette::Inactive, role, panePalette.color(QPalette::Active, role));
  }
  ui_.RichEdit1->setPalette(panePalette);
  ui_.RichEdit1->setTabChangesFocus(false);
  ui_.RichEdit1->setToolTip(
      QStringLiteral("Отчет. Tab не уводит из отчета: Ctrl+Tab — к следующему элементу окна, "
                     "Ctrl+Shift+Tab — к предыдущему"));

  ui_.RichEdit2 = Place(MakePane(central, "RichEdit2"), 40, 480, 457, 121);
  ui_.RichEdit2->hide();

  // The status line's last pixels overlap the grid's top edge: keep it in front.
  ui_.Label1->raise();
}

void TForm_main::BuildViewGroup(QWidget* central) {
  QGroupBox* group = MakeGroup(central, "GroupBox3", QStringLiteral("Просмотр файла архива"));
  ui_.GroupBox3 = Place(group, 480, 88, 313, 169);

  ui_.Button8 =
      Place(MakeButton(group, "Button8", QStringLiteral("Последняя запись")), 40, 16, 121, 25);
  ui_.Edit1 = Place(MakeInputField(group, "Edit1", QString()), 167, 16, 82, 21);
  ui_.Button9 =
      Place(MakeButton(group, "Button9", QStringLiteral("Начало архива")), 45, 48, 100, 25);

  ui_.Button6 = Place(MakeButton(group, "Button6", QStringLiteral("<<  к началу")), 48, 80, 89, 25);
  ui_.Button6->setFont(BoldFont());
  ui_.Button6->setToolTip(QStringLiteral("Назад на 1 блок"));
  ui_.Button6->setEnabled(false);
  ui_.Button5 =
      Place(MakeButton(group, "Button5", QStringLiteral(" к концу  >>")), 136, 80, 97, 25);
  ui_.Button5->setFont(BoldFont());
  ui_.Button5->setToolTip(QStringLiteral("Вперед на 1 блок"));
  ui_.Button5->setEnabled(false);

  ui_.Button4 = Place(MakeButton(group, "Button4", QStringLiteral("Показать с заданной даты")), 8,
                      112, 177, 25);
  ui_.Button3 =
      Place(MakeButton(group, "Button3", QStringLiteral("Задайте дату")), 8, 136, 105, 25);
  ui_.Button3->hide();

  auto* picker = Place(new QDateEdit(group), 111, 136, 74, 21);
  ui_.DateTimePicker2 = picker;
  picker->setObjectName(QStringLiteral("DateTimePicker2"));
  picker->setFont(BaseFont());
  picker->setCalendarPopup(true);
  // Day, month and a two-digit year: the whole date fits the picker's
  // 74 pixels. The search key does not depend on the format.
  picker->setDisplayFormat(QStringLiteral("dd.MM.yy"));
  picker->hide();

  ui_.Button7 =
      Place(MakeButton(group, "Button7", QStringLiteral("Выбор по № входа")), 192, 112, 113, 25);
  ui_.Label4 = PlaceLabel(MakeTealLabel(group, "Label4", QStringLiteral("№ входа")), 222, 140);
  ui_.Label4->hide();
  ui_.EditNVh = Place(MakeInputField(group, "EditNVh", QStringLiteral("1")), 280, 140, 25, 21);
  ui_.EditNVh->hide();
}

void TForm_main::BuildPrintGroup(QWidget* central) {
  QGroupBox* group = MakeGroup(central, "GroupBoxPrint", QStringLiteral("Документирование архива"));
  ui_.GroupBoxPrint = Place(group, 480, 264, 241, 177);
  ui_.But3 =
      Place(MakeButton(group, "But3", QStringLiteral("Просмотр всего архива")), 40, 16, 153, 25);
  ui_.But1 = Place(MakeButton(group, "But1", QStringLiteral("Просмотр блока архива из таблицы")), 8,
                   48, 225, 25);
  ui_.But5 = Place(MakeButton(group, "But5", QStringLiteral("Печать ")), 72, 80, 89, 25);
  ui_.But4 =
      Place(MakeButton(group, "But4", QStringLiteral("Сохранить в файле RTF")), 40, 112, 153, 25);
  ui_.But4->setEnabled(false);
  ui_.But4->hide();
  ui_.But2 = Place(MakeButton(group, "But2", QStringLiteral("открыть файл RTF")), 48, 144, 137, 25);
  ui_.But2->setEnabled(false);
  ui_.But2->hide();
  group->hide();
}

void TForm_main::BuildDeviceChoice(QWidget* central) {
  // Laid out but never shown: DeviceIndex stays 0 for the whole run.
  ui_.Label2 =
      PlaceLabel(MakeTealLabel(central, "Label2", QStringLiteral("Устройство №")), 480, 48);
  ui_.Label2->setEnabled(false);
  ui_.Label2->hide();

  ui_.CBoxUstr = new QComboBox(central);
  ui_.CBoxUstr->setObjectName(QStringLiteral("CBoxUstr"));
  ui_.CBoxUstr->setFont(BaseFont(10));
  for (int device = 1; device <= kDeviceCount; ++device) {
    ui_.CBoxUstr->addItem(QString::number(device));
  }
  Place(ui_.CBoxUstr, 568, 48, 57, ui_.CBoxUstr->sizeHint().height());
  ui_.CBoxUstr->hide();
}

void TForm_main::BuildTabOrder() {
  const std::vector<QWidget*> order = {
      ui_.StringGrid1, ui_.RichEdit1, ui_.Button8,   ui_.Button9, ui_.Edit1,
      ui_.Button6,     ui_.Button5,   ui_.Button4,   ui_.Button3, ui_.DateTimePicker2,
      ui_.Button7,     ui_.EditNVh,   ui_.But1,      ui_.But2,    ui_.But3,
      ui_.But4,        ui_.But5,      ui_.RichEdit2, ui_.CBoxUstr};
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void TForm_main::ConnectHandlers() {
  auto bind = [this](QPushButton* button, void (TForm_main::*handler)()) {
    connect(button, &QPushButton::clicked, this,
            [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); });
  };
  bind(ui_.Button8, &TForm_main::Button8Click);
  bind(ui_.Button9, &TForm_main::Button9Click);
  bind(ui_.Button6, &TForm_main::Button6Click);
  bind(ui_.Button5, &TForm_main::Button5Click);
  bind(ui_.Button4, &TForm_main::Button4Click);
  bind(ui_.Button3, &TForm_main::Button3Click);
  bind(ui_.Button7, &TForm_main::Button7Click);
  bind(ui_.But1, &TForm_main::But1Click);
  bind(ui_.But3, &TForm_main::But3Click);
  bind(ui_.But5, &TForm_main::But5Click);
  bind(ui_.But4, &TForm_main::But4Click);
  bind(ui_.But2, &TForm_main::But2Click);

  connect(ui_.AOpenFile, &QAction::triggered, this,
          [this] { RunHandler([this] { OpenFileClick(); }); });
  connect(ui_.APrint, &QAction::triggered, this,
          [this] { RunHandler([this] { ToolButton6Click(); }); });
  connect(ui_.DateTimePicker2, &QDateEdit::dateChanged, this,
          [this] { RunHandler([this] { DateTimePicker2Change(); }); });
  connect(ui_.CBoxUstr, &QComboBox::activated, this,
          [this] { RunHandler([this] { CBoxUstrClick(); }); });

  // The typing limit of the input fields, which also holds for pasted and
  // dropped text. Qt reports the operator's edit before the changed text.
  for (QLineEdit* field : {ui_.Edit1, ui_.EditNVh}) {
    textBefore_[field] = field->text();
    connect(field, &QLineEdit::textEdited, this, [this, field] { KeepTypingLimit(field); });
    connect(field, &QLineEdit::textChanged, this,
            [this, field] { textBefore_[field] = field->text(); });
  }

  // Key checks, exit handlers, the report pane's tabs, and the presses that
  // move the focus out of a field.
  for (QWidget* watched : FilteredControls()) watched->installEventFilter(this);
}

std::vector<QWidget*> TForm_main::FilteredControls() const {
  std::vector<QWidget*> controls = {ui_.Edit1, ui_.EditNVh, ui_.DateTimePicker2, ui_.RichEdit1};
  for (QPushButton* button : findChildren<QPushButton*>()) controls.push_back(button);
  return controls;
}

void TForm_main::PlaceOnScreen() {
  resize(kWindowWidth, kWindowHeight);
  if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

bool TForm_main::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
      FitFrameToWindowSize();
      break;
    default:
      break;
  }
  return QMainWindow::event(event);
}

void TForm_main::FitFrameToWindowSize() {
  // The window's size is its outer size, frame and title bar included. The
  // frame is known only once a window manager has put it around the shown
  // window; without one the window is its own outer size.
  if (frameFitted_ || !isVisible() || windowHandle() == nullptr) return;
  const QMargins frame = windowHandle()->frameMargins();
  if (frame.isNull()) return;
  frameFitted_ = true;
  const QSize outer(kWindowWidth, kWindowHeight);
  resize(outer.shrunkBy(frame));
  if (const QScreen* screen = this->screen()) {
    QRect placed(QPoint(), outer);
    placed.moveCenter(screen->availableGeometry().center());
    move(placed.topLeft());
  }
}

}  // namespace torv
