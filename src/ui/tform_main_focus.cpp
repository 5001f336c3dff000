// Exit handlers, focus moves and the key check's entry.
//
// Qt reports a focus change as FocusOut on the control that loses it, which
// is where the exit handlers run. Two cases need help from the window:
// - A focus move made while the window is not active (right after a modal
//   box closes, before the window is active again) changes only the window's
//   focus child and sends no FocusOut.
// - Hiding a focused QDateEdit may leave the focus inside it.
// MoveFocus and HideControl then run the exit handler themselves; a count of
// runs keeps it from running twice.
//
// A push button takes the focus when the mouse button goes down on it, so an
// exit handler runs inside that press. When the handler opens a box, the box's
// own event loop receives the mouse release: the button would never emit
// clicked and would stay drawn down. The window therefore finishes such a
// click itself: the press that moved the focus does not reach the button, and
// the button's command runs once, right after the exit handler.
#include <QApplication>
#include <QDateEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextEdit>

#include "ui/tform_main.h"
#include "ui/typing_limit.h"

namespace torv {
namespace {

// Focus taken by a modal box, a pop-up or the menu bar is no exit.
bool RunsExitHandler(Qt::FocusReason reason) {
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
         reason != Qt::MenuBarFocusReason;
}

bool IsTabKey(const QKeyEvent& key) {
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  return key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
}

// Ctrl+Tab, or with Shift (which may arrive as Backtab) the way back.
enum class ControlTab { kNone, kForward, kBackward };
ControlTab ControlTabOf(const QKeyEvent& key) {
  if ((key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != Qt::ControlModifier) {
    return ControlTab::kNone;
  }
  if (key.key() == Qt::Key_Backtab) return ControlTab::kBackward;
  if (key.key() != Qt::Key_Tab) return ControlTab::kNone;
  return key.modifiers() & Qt::ShiftModifier ? ControlTab::kBackward : ControlTab::kForward;
}

}  // namespace

QLineEdit* TForm_main::InputField(QObject* object) const {
  if (object == ui_.Edit1) return ui_.Edit1;
  if (object == ui_.EditNVh) return ui_.EditNVh;
  return nullptr;
}

QWidget* TForm_main::ExitControl(QObject* object) const {
  if (QLineEdit* field = InputField(object)) return field;
  if (object == ui_.DateTimePicker2) return ui_.DateTimePicker2;
  return nullptr;
}

bool TForm_main::FocusIsInside(const QWidget* control) const {
  // The window's focus child, which is kept while the window is inactive.
  const QWidget* focus = focusWidget();
  return focus != nullptr && (focus == control || control->isAncestorOf(focus));
}

QWidget* TForm_main::ExitControlHoldingFocus() const {
  for (QWidget* control : {static_cast<QWidget*>(ui_.Edit1), static_cast<QWidget*>(ui_.EditNVh),
                           static_cast<QWidget*>(ui_.DateTimePicker2)}) {
    if (FocusIsInside(control)) return control;
  }
  return nullptr;
}

int TForm_main::ExitRuns(const QWidget* control) const {
  const auto found = exitRuns_.find(control);
  return found == exitRuns_.end() ? 0 : found->second;
}

void TForm_main::RunExitHandler(QWidget* control) {
  ++exitRuns_[control];
  if (control == ui_.DateTimePicker2) {
    RunHandler([this] { Button1Click(); });
  } else if (QLineEdit* field = InputField(control)) {
    RunHandler([this, field] { EditBlocExit(field); });
  }
}

void TForm_main::ExitOnFocusOut(QWidget* control, Qt::FocusReason reason) {
  clickOwed_ = nullptr;
  // Qt names the widget that takes the focus before it tells the one that
  // loses it.
  auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
  const bool pressOnButton =
      reason == Qt::MouseFocusReason && button != nullptr && button->window() == this;
  RunExitHandler(control);
  if (pressOnButton) clickOwed_ = button;
}

void TForm_main::FinishOwedClick() {
  QPushButton* button = clickOwed_;
  clickOwed_ = nullptr;
  // click() runs nothing for a button that the exit handler disabled.
  if (button->isVisible()) button->click();
}

void TForm_main::MoveFocus(QWidget* target) {
  QWidget* leaving = ExitControlHoldingFocus();
  const int runsBefore = ExitRuns(leaving);
  target->setFocus(Qt::OtherFocusReason);
  // A field given the focus by a handler has its text selected, so that a
  // typed digit replaces it.
  if (QLineEdit* field = InputField(target)) field->selectAll();
  if (leaving != nullptr && leaving != target && !FocusIsInside(leaving) &&
      ExitRuns(leaving) == runsBefore) {
    RunExitHandler(leaving);
  }
}

void TForm_main::HideControl(QWidget* control) {
  if (!FocusIsInside(control)) {
    control->hide();
    return;
  }
  const int runsBefore = ExitRuns(control);
  control->hide();
  if (FocusIsInside(control)) {
    if (QWidget* next = NextTabStop(control, false)) {
      next->setFocus(Qt::TabFocusReason);
    } else {
      control->clearFocus();
    }
  }
  if (!FocusIsInside(control) && ExitRuns(control) == runsBefore) RunExitHandler(control);
}

QWidget* TForm_main::NextTabStop(const QWidget* from, bool onWindowOnly) const {
  for (QWidget* candidate = from->nextInFocusChain(); candidate != from;
       candidate = candidate->nextInFocusChain()) {
    if (candidate->window() != this || from->isAncestorOf(candidate)) continue;
    if (!candidate->isVisibleTo(this) || !candidate->isEnabled()) continue;
    if (!(candidate->focusPolicy() & Qt::TabFocus)) continue;
    if (onWindowOnly && candidate->parentWidget() != centralWidget()) continue;
    return candidate;
  }
  return nullptr;
}

void TForm_main::FieldKeyPress(QLineEdit* field, const QKeyEvent& key) {
  // The window moves the focus on Tab itself; the key check never sees it.
  if (IsTabKey(key)) return;
  RunHandler([&] { EditBlocKeyDown(field, key.key(), key.modifiers()); });
}

bool TForm_main::ReportPaneKeyPress(const QKeyEvent& key) {
  // The report pane wants its tabs: Tab does not leave it, though being
  // read-only it types nothing. Ctrl+Tab and Ctrl+Shift+Tab leave it, as
  // they leave any Qt text editor that keeps Tab.
  if (IsTabKey(key)) return true;
  switch (ControlTabOf(key)) {
    case ControlTab::kForward:
      return focusNextPrevChild(true);
    case ControlTab::kBackward:
      return focusNextPrevChild(false);
    case ControlTab::kNone:
      return false;
  }
  return false;
}

void TForm_main::KeepTypingLimit(QLineEdit* field) {
  // Typing, pasting and dropping all end here, and only they: textEdited
  // never follows a text that the program sets.
  const LimitedEdit kept =
      LimitOperatorEdit(textBefore_[field], field->text(), field->cursorPosition());
  if (kept.text == field->text()) return;
  field->setText(kept.text);
  field->setCursorPosition(static_cast<int>(kept.cursor));
}

bool TForm_main::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (QLineEdit* field = InputField(watched)) {
        // The key itself always goes on to the field.
        FieldKeyPress(field, *static_cast<QKeyEvent*>(event));
        return false;
      }
      if (watched == ui_.RichEdit1) return ReportPaneKeyPress(*static_cast<QKeyEvent*>(event));
      break;
    case QEvent::FocusOut:
      if (QWidget* control = ExitControl(watched);
          control != nullptr && RunsExitHandler(static_cast<QFocusEvent*>(event)->reason())) {
        ExitOnFocusOut(control, static_cast<QFocusEvent*>(event)->reason());
      }
      break;
    case QEvent::MouseButtonPress:
      if (watched == clickOwed_ && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        FinishOwedClick();
        return true;
      }
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace torv
