// A date field that takes a date typed whole: 01.03.2026, 1.3.2026,
// 01032026 or 2026-03-01, wherever the cursor stands.
//
// Qt's own date field edits one section at a time: where the cursor stands
// decides what a digit changes, a typed "." skips a section, and every key
// gives a half-typed date that reads the listing again. Here the first digit
// starts a fresh date that is only shown while it is typed; the field takes
// it (one dateChanged) once it is a whole date, or on Enter or focus out.
// The arrows, the wheel and the calendar keep Qt's behaviour: a stepped
// section is a whole date at once.
//
// A subclass rather than an event filter: while a date is typed, the field's
// own validation must let the typed text stand (validate() is virtual), or
// the spin box would read it back as a date of its own.
#pragma once

#include <QDate>
#include <QDateEdit>
#include <QString>

namespace torv {

// A typed text read as a date.
struct TypedDate {
  enum class Shape {
    kPartial,  // may still become a date
    kWhole,    // a date in full, to take at once if it exists
    kNoDate    // cannot be one, however it goes on
  };
  Shape shape = Shape::kPartial;
  QDate date;  // invalid unless the text names a day that exists
};

// `finished`: the operator is done (Enter, focus out), so a short last piece
// ends the date instead of waiting for another digit.
TypedDate ReadTypedDate(const QString& text, bool finished);

class DateField : public QDateEdit {
  Q_OBJECT

 public:
  explicit DateField(QWidget* parent = nullptr);

 signals:
  // A typed text that was not taken, and why (also the field's tool tip).
  void Refused(const QString& why);

 protected:  // QAbstractSpinBox API
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 protected:  // QWidget API
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  bool Typing() const;
  void ShowTyped();
  // Takes the typed date once it is whole. `finished` (Enter, focus out):
  // what is no date goes back to the date shown before, saying why.
  void Finish(bool finished);
  void Cancel();

  QString typed_;
  int cursorBeforeTyping_ = 0;
};

}  // namespace torv
