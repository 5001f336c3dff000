// The main window: the event table, the status line, the commands that view
// the archive, the input-number fields, the date choice, the archive file
// choice and the documenting group (reports, printing, the RTF file).
//
// Every handler keeps the name under which the rest of the program knows it.
// A handler reads the controls, sets fields of the ViewState and calls the
// view engine through Button1Click; the engine answers through the window's
// ViewScreen side. Boxes and dialogs go through UserPrompts only.
//
// Focus rules the handlers rely on: when the focus leaves Edit1 or EditNVh
// their exit check runs, and when it leaves DateTimePicker2 the view engine
// runs, at once and before the call that moved the focus (or hid the control)
// returns. A modal box or a pop-up taking the focus runs nothing.
#pragma once

// Qt
#include <QMainWindow>
#include <QPointer>
#include <QString>

// Std
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "archive/view_screen.h"
#include "archive/view_state.h"
#include "report/report_builder.h"
#include "ui/user_prompts.h"

class QAction;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QTextEdit;
class QToolBar;
class QToolButton;

namespace torv {

class EventTableModel;

// Every control of the main window under its own name. The window owns them
// all for its whole life.
struct MainWindowControls {
  QMenu* N1File = nullptr;  // the menu "Файл"
  QAction* AOpenFile = nullptr;
  QAction* APrint = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QToolButton* ToolButton7 = nullptr;  // AOpenFile
  QToolButton* ToolButton6 = nullptr;  // APrint

  QLabel* Label1 = nullptr;  // the status line
  QTableView* StringGrid1 = nullptr;
  QTextEdit* RichEdit1 = nullptr;  // the report pane
  QTextEdit* RichEdit2 = nullptr;  // scratch pane for printing a selection

  QGroupBox* GroupBox3 = nullptr;  // "Просмотр файла архива"
  QPushButton* Button8 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QPushButton* Button9 = nullptr;
  QPushButton* Button6 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button3 = nullptr;
  QDateEdit* DateTimePicker2 = nullptr;
  QPushButton* Button7 = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* EditNVh = nullptr;

  QGroupBox* GroupBoxPrint = nullptr;  // "Документирование архива"
  QPushButton* But3 = nullptr;
  QPushButton* But1 = nullptr;
  QPushButton* But5 = nullptr;
  QPushButton* But4 = nullptr;
  QPushButton* But2 = nullptr;

  QLabel* Label2 = nullptr;
  QComboBox* CBoxUstr = nullptr;
};

class TForm_main : public QMainWindow, public ViewScreen, public ReportTable {
  Q_OBJECT

 public:
  // `state` and `prompts` must outlive the window.
  TForm_main(ViewState& state, UserPrompts& prompts, QWidget* parent = nullptr);
  ~TForm_main() override;

  const MainWindowControls& Ui() const { return ui_; }
  ViewState& State() { return state_; }
  UserPrompts& Prompts() { return prompts_; }
  // Title of every plain message box.
  const QString& AppTitle() const { return appTitle_; }
  // The event table's row count as the grid counts it, header row included.
  int TableRowCount() const;

  // Runs a handler as an entry from Qt: a failure that escapes it is shown in
  // the stop box and the program goes on. Nothing may cross Qt's event loop.
  void RunHandler(const std::function<void()>& handler);
  // Gives `target` the focus; the exit handler of the control that loses it
  // runs before this returns, also when Qt delivers no focus change because
  // the window is not active (right after a modal box, for instance).
  void MoveFocus(QWidget* target);
  // Hides `control`; when it holds the focus, its exit handler runs before
  // this returns, exactly once.
  void HideControl(QWidget* control);

 public:  // handlers
  void FormCreate();
  void Button1Click();  // the view engine, with this window as its screen
  void Button8Click();
  void Button9Click();
  void Button6Click();
  void Button5Click();
  void ToolButton6Click();
  void EditBlocKeyDown(QLineEdit* sender, int key, Qt::KeyboardModifiers modifiers);
  void EditBlocExit(QLineEdit* sender);
  void ShowInputError(QLineEdit* field);
  void Button7Click();
  void Button4Click();
  void Button3Click();
  void DateTimePicker2Change();
  void CBoxUstrClick();
  void OpenFileClick();
  // FILE from the command line, taken by the same rules as a name from the
  // open dialog; no view starts.
  void ChooseArchiveFromCommandLine(const QString& fileName);
  // The documenting group: reports into RichEdit1, printing, the RTF file.
  void But1Click();
  void But3Click();
  void But5Click();
  void But4Click();
  void But2Click();

 public:  // ViewScreen API
  void SetStatusText(const std::string& text) override;
  void SetNewestRecordText(const std::string& text) override;
  void EnableStepButtons() override;
  void ShowMessage(const std::string& text) override;
  void SetTableRows(std::vector<EventRow> rows) override;

 public:  // ReportTable API
  std::string StatusText() const override;
  EventRow TableRow(int row) const override;

 protected:  // QObject API
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:  // building
  void BuildActions();
  void BuildMenu();
  void BuildToolBar(QWidget* central);
  void BuildTableAndPanes(QWidget* central);
  void BuildViewGroup(QWidget* central);
  void BuildPrintGroup(QWidget* central);
  void BuildDeviceChoice(QWidget* central);
  void BuildTabOrder();
  void ConnectHandlers();
  std::vector<QWidget*> FilteredControls() const;
  void PlaceOnScreen();
  void FitFrameToWindowSize();

 private:  // focus and keys
  QLineEdit* InputField(QObject* object) const;
  QWidget* ExitControl(QObject* object) const;
  QWidget* ExitControlHoldingFocus() const;
  bool FocusIsInside(const QWidget* control) const;
  int ExitRuns(const QWidget* control) const;
  void RunExitHandler(QWidget* control);
  void ExitOnFocusOut(QWidget* control, Qt::FocusReason reason);
  void FinishOwedClick();
  QWidget* NextTabStop(const QWidget* from, bool onWindowOnly) const;
  void FieldKeyPress(QLineEdit* field, const QKeyEvent& key);
  void KeepTypingLimit(QLineEdit* field);
  bool ReportPaneKeyPress(const QKeyEvent& key);

 private:  // archive choice
  // Applies the archive name rules to a name the operator gave; false, after
  // the warning box, when the name is refused.
  bool TakeArchiveName(const QString& fileName);

 private:  // reports
  void SetReportPane(const ReportLines& lines);
  QString ReportPaneLine(int line) const;

 private:
  ViewState& state_;
  UserPrompts& prompts_;
  QString appTitle_;
  MainWindowControls ui_;
  // What Label1 shows, as the views wrote it; the reports take it from here.
  std::string statusText_{kStartStatusText};
  EventTableModel* eventTable_ = nullptr;
  // How often each exit handler has run, so that a focus move made by the
  // window can tell whether Qt already ran it.
  std::map<const QWidget*, int> exitRuns_;
  // The push button whose press ran an exit handler: the window runs its
  // command when the press reaches it (see tform_main_focus.cpp).
  QPointer<QPushButton> clickOwed_;
  // Each input field's text before the operator's latest edit.
  std::map<const QLineEdit*, QString> textBefore_;
  // Set once the window manager's frame is counted in the window's size.
  bool frameFitted_ = false;
  // The open dialog starts again where it was left.
  QString lastOpenName_;
  QString lastOpenFilter_;
  // The save dialog starts with the name last confirmed in it.
  QString lastSaveName_;
  QString lastSaveFilter_;
};

}  // namespace torv
