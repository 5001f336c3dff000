// The input-number fields, the date choice, the device number and the
// archive file choice.
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "archive/date_key.h"
#include "archive/view_request.h"
#include "ui/archive_name_rule.h"
#include "ui/str_to_int.h"
#include "ui/tform_main.h"

namespace torv {
namespace {

const QString kInputErrorText = QStringLiteral("Ошибка ввода");
const QString kNoArchiveChosenText = QStringLiteral("Файл архива не выбран");
const QString kOpenDialogTitle = QStringLiteral("Выбор файла архива");
const QString kDatFilter = QStringLiteral("Файлы типа .dat (*.dat)");
const QString kAllFilesFilter = QStringLiteral("Все файлы (*.*)");
const QString kBadNameTitle = QStringLiteral("задание имени файла");
const QString kBadNameText = QStringLiteral("Неверно задано имя файла");

enum class KeyVerdict { kPass, kEnter, kReject };

// Judges the key, not the character it types: a digit of the numeric keypad
// types a digit too, and is still rejected.
KeyVerdict JudgeKey(int key, Qt::KeyboardModifiers modifiers) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return modifiers.testFlag(Qt::KeypadModifier) ? KeyVerdict::kReject : KeyVerdict::kPass;
  }
  switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
      return KeyVerdict::kPass;
    case Qt::Key_Return:
    case Qt::Key_Enter:  // the keypad's Enter is the same key to the check
      return KeyVerdict::kEnter;
    default:
      return KeyVerdict::kReject;
  }
}

void SetBackground(QLineEdit* field, const QColor& colour) {
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, colour);
  field->setPalette(palette);
}

}  // namespace

void TForm_main::FormCreate() {
  ui_.CBoxUstr->setCurrentIndex(0);
  state_.DeviceIndex = StrToInt(ui_.CBoxUstr->currentText().toStdString()) - 1;
  // Setting the date is not a change by the operator: no date search.
  const QSignalBlocker blocker(ui_.DateTimePicker2);
  ui_.DateTimePicker2->setDate(QDate::currentDate());
}

void TForm_main::ShowInputError(QLineEdit* field) {
  SetBackground(field, QColor(255, 0, 0));
  prompts_.ShowInformation(appTitle_, kInputErrorText);
  // Not the normal colour again: the field keeps this one for the rest of the run.
  SetBackground(field, QApplication::palette().color(QPalette::ToolTipBase));
  prompts_.Beep();
  field->setText(QStringLiteral("00"));
}

void TForm_main::EditBlocKeyDown(QLineEdit* sender, int key, Qt::KeyboardModifiers modifiers) {
  switch (JudgeKey(key, modifiers)) {
    case KeyVerdict::kPass:
      return;
    case KeyVerdict::kEnter:
      if (sender->text().isEmpty()) ShowInputError(sender);
      break;
    case KeyVerdict::kReject:
      ShowInputError(sender);
      break;
  }
  // On to the next tab stop that lies on the window itself: the event table.
  if (QWidget* next = NextTabStop(sender, true)) MoveFocus(next);
}

void TForm_main::EditBlocExit(QLineEdit* sender) {
  // An empty field gets the feedback and goes on: its "00" then fails the
  // range check as well, so the operator hears about it twice.
  if (sender->text().isEmpty()) ShowInputError(sender);
  const int number = StrToInt(sender->text().toStdString());
  if (!IsInputNumber(number)) {
    ShowInputError(sender);
    return;
  }
  state_.InputNumber = number;
  ui_.Label4->hide();
  HideControl(ui_.EditNVh);
  state_.InputFilterPending = 1;
  Button1Click();
}

void TForm_main::Button7Click() {
  ui_.Label4->show();
  ui_.EditNVh->show();
  MoveFocus(ui_.EditNVh);
  ui_.Button5->setEnabled(false);
  ui_.Button6->setEnabled(false);
}

void TForm_main::Button4Click() {
  ui_.Button3->show();
}

void TForm_main::Button3Click() {
  // Shown without the focus: the search runs only once the picker has had it.
  ui_.DateTimePicker2->show();
}

void TForm_main::DateTimePicker2Change() {
  // Only the operator changes the date, and only on a picker on screen: a
  // change of the hidden picker would leave a search pending that nobody
  // asked for.
  if (!ui_.DateTimePicker2->isVisible()) return;
  const QDate date = ui_.DateTimePicker2->date();
  state_.SearchDateKey = SearchDateKeyFor(date.day(), date.month());
  state_.DateSearchPending = 1;
  // The calendar changes the date as soon as a key moves its day; it goes
  // with the picker rather than stay open without one. Closing it gives the
  // focus back to the picker, so hiding the picker then runs the search.
  if (QWidget* calendar = ui_.DateTimePicker2->calendarWidget()->window(); calendar->isVisible()) {
    calendar->hide();
  }
  HideControl(ui_.DateTimePicker2);
  ui_.Button3->hide();
}

void TForm_main::CBoxUstrClick() {
  state_.DeviceIndex = StrToInt(ui_.CBoxUstr->currentText().toStdString()) - 1;
}

void TForm_main::OpenFileClick() {
  for (;;) {
    FileDialogRequest request;
    request.title = kOpenDialogTitle;
    request.filters = QStringList{kDatFilter, kAllFilesFilter};
    request.selectedFilter = lastOpenFilter_.isEmpty() ? kDatFilter : lastOpenFilter_;
    request.startName = lastOpenName_;
    request.defaultSuffix = QString::fromUtf8(kArchiveExtension.substr(1));

    const std::optional<FileDialogAnswer> answer = prompts_.AskOpenFileName(request);
    if (!answer) {
      ShowMessage(kNoArchiveChosenText.toStdString());
      state_.ArchiveFileName.clear();
      return;
    }
    lastOpenName_ = answer->fileName;
    lastOpenFilter_ = answer->selectedFilter;
    if (TakeArchiveName(answer->fileName)) return;
  }
}

bool TForm_main::TakeArchiveName(const QString& fileName) {
  const ArchiveNameChoice choice = ApplyArchiveNameRule(fileName.toStdString());
  state_.ArchiveFileName = fileName.toStdString();
  state_.ArchiveFileExt = choice.extension;
  switch (choice.verdict) {
    case ArchiveNameVerdict::kAccepted:
      return true;
    case ArchiveNameVerdict::kAppended:
      state_.ArchiveFileName = choice.fileName;
      return true;
    case ArchiveNameVerdict::kRejected:
      prompts_.ShowWarning(kBadNameTitle, kBadNameText);
      break;
  }
  return false;
}

void TForm_main::ChooseArchiveFromCommandLine(const QString& fileName) {
  // As if the open dialog had returned it: the full path, and the dialog
  // starts from it next time. A refused name leaves no archive chosen.
  const QString fullName = QFileInfo(fileName).absoluteFilePath();
  lastOpenName_ = fullName;
  if (!TakeArchiveName(fullName)) state_.ArchiveFileName.clear();
}

}  // namespace torv
