#include "history_ui/date_field.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>

namespace torv {
namespace {

using Shape = TypedDate::Shape;

// The longest date typed: dd.mm.yyyy. Anything past it cannot be a date, and
// the field stays readable.
constexpr qsizetype kLongestTyped = 10;

bool IsDigit(QChar c) {
  return c >= u'0' && c <= u'9';
}

// "," is the Russian keypad's point; "/" and "-" are other people's habits.
bool IsSeparator(QChar c) {
  return c == u'.' || c == u',' || c == u'/' || c == u'-';
}

}  // namespace

TypedDate ReadTypedDate(const QString& text, bool finished) {
  const TypedDate noDate{Shape::kNoDate, {}};
  const TypedDate partial{finished ? Shape::kNoDate : Shape::kPartial, {}};
  QStringList pieces(QString{});
  for (const QChar c : text) {
    if (IsDigit(c)) {
      pieces.back() += c;
    } else if (IsSeparator(c)) {
      pieces.push_back({});
    } else {
      return noDate;
    }
  }
  QString day, month, year;
  if (pieces.size() == 1) {
    // Digits only: ddmmyyyy, the way a date is read off a printout.
    if (text.size() > 8) return noDate;
    if (text.size() < 8) return partial;
    day = text.mid(0, 2);
    month = text.mid(2, 2);
    year = text.mid(4, 4);
  } else {
    if (pieces.size() > 3) return noDate;
    // 2026-03-01: a first piece longer than a day is a year.
    const bool yearFirst = pieces[0].size() > 2;
    day = yearFirst ? pieces.value(2) : pieces[0];
    month = pieces[1];
    year = yearFirst ? pieces[0] : pieces.value(2);
    if (day.size() > 2 || month.size() > 2 || year.size() > 4) return noDate;
    if (yearFirst && year.size() != 4) return noDate;
    // The last piece typed ends the date only when it cannot grow any more:
    // 2026-03-1 may yet become 2026-03-15.
    const bool ended =
        yearFirst ? day.size() == 2 || (finished && !day.isEmpty()) : year.size() == 4;
    if (pieces.size() < 3 || day.isEmpty() || month.isEmpty() || !ended) return partial;
  }
  return {Shape::kWhole, QDate(year.toInt(), month.toInt(), day.toInt())};
}

DateField::DateField(QWidget* parent) : QDateEdit(parent) {
  // What is typed is read in this form, so the field shows it in this form.
  setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  setCalendarPopup(true);
  // An edit of Qt's own (Delete, a paste) would give a date per key.
  setKeyboardTracking(false);
  // A refusal is told until the field holds a date again.
  connect(this, &QDateEdit::dateChanged, this, [this] { setToolTip({}); });
}

QValidator::State DateField::validate(QString& input, int& pos) const {
  // The typed text stands as typed until it is taken or dropped; read as a
  // date it would be corrected section by section.
  if (!typed_.isEmpty() && input == typed_) return QValidator::Intermediate;
  return QDateEdit::validate(input, pos);
}

void DateField::fixup(QString& input) const {
  if (!typed_.isEmpty() && input == typed_) return;
  QDateEdit::fixup(input);
}

bool DateField::Typing() const {
  // A date set meanwhile (a period chosen) replaced the typed text.
  return !typed_.isEmpty() && lineEdit()->text() == typed_;
}

void DateField::ShowTyped() {
  // Unheard by the spin box: told of a text or a cursor that moved to
  // another section, it reads the text as a date and puts its own back.
  const QSignalBlocker quiet(lineEdit());
  lineEdit()->setText(typed_);
}

void DateField::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  const QChar c = text.size() == 1 ? text[0] : QChar();
  const bool plain =
      (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
  if (!Typing()) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      // Qt gives its date once more on Enter: the listing would be read again
      // for the date just taken.
      interpretText();
      event->ignore();
      emit editingFinished();
      return;
    }
    // Anything but a digit is Qt's: the arrows, a "." between sections.
    if (!plain || !IsDigit(c)) {
      QDateEdit::keyPressEvent(event);
      return;
    }
    typed_.clear();
    cursorBeforeTyping_ = lineEdit()->cursorPosition();
    setToolTip({});
  }
  event->accept();
  if (plain && (IsDigit(c) || IsSeparator(c))) {
    if (typed_.size() < kLongestTyped) typed_ += c;
    ShowTyped();
    Finish(false);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Backspace:
      typed_.chop(1);
      if (typed_.isEmpty()) {
        Cancel();
      } else {
        ShowTyped();
      }
      return;
    case Qt::Key_Escape:
      Cancel();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Finish(true);
      return;
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
      return;
    default:
      break;
  }
  // A stray letter is no reason to lose what was typed.
  if (plain && c.isPrint()) return;
  // Any other key (an arrow, Home) is Qt's again, on the date as it was.
  Cancel();
  QDateEdit::keyPressEvent(event);
}

void DateField::Finish(bool finished) {
  const TypedDate read = ReadTypedDate(typed_, finished);
  const bool exists = read.shape == Shape::kWhole && read.date.isValid();
  const bool inRange = exists && read.date >= minimumDate() && read.date <= maximumDate();
  if (!finished && !inRange) return;
  if (inRange) {
    typed_.clear();
    setDate(read.date);
    // The same date again changes nothing, and the typed form (1.3.2026)
    // would stay.
    lineEdit()->setText(textFromDateTime(dateTime()));
    return;
  }
  const QString why = exists ? QStringLiteral("Дата вне %1–%2: %3")
                                   .arg(minimumDate().toString(displayFormat()),
                                        maximumDate().toString(displayFormat()), typed_)
                      : read.shape == Shape::kWhole
                          ? QStringLiteral("Нет такой даты: %1").arg(typed_)
                          : QStringLiteral("Не дата: %1 (нужно дд.мм.гггг)").arg(typed_);
  Cancel();
  setToolTip(why);
  emit Refused(why);
}

void DateField::Cancel() {
  typed_.clear();
  lineEdit()->setText(textFromDateTime(dateTime()));
  lineEdit()->setCursorPosition(cursorBeforeTyping_);
}

void DateField::focusOutEvent(QFocusEvent* event) {
  // The window losing the activation (a box opened over it, another program
  // chosen) or a pop-up of the field's own is no leaving of the field: the
  // typing goes on when the focus comes back.
  const bool away =
      event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
  const bool typing = Typing();
  if (typing && !away) Finish(true);
  QDateEdit::focusOutEvent(event);
  // Qt shows the field's date on every focus out.
  if (typing && away) ShowTyped();
}

void DateField::mousePressEvent(QMouseEvent* event) {
  // The calendar opens on the date the field has, not on a half-typed one.
  if (Typing()) Cancel();
  QDateEdit::mousePressEvent(event);
}

void DateField::wheelEvent(QWheelEvent* event) {
  if (Typing()) Cancel();
  QDateEdit::wheelEvent(event);
}

bool DateField::focusNextPrevChild(bool next) {
  // Tab moves Qt's field from section to section; a typed date is whole, so
  // Tab leaves the field with it.
  if (Typing()) {
    Finish(true);
    return QWidget::focusNextPrevChild(next);
  }
  return QDateEdit::focusNextPrevChild(next);
}

}  // namespace torv
