// How much the operator may put into an input-number field: two characters,
// typed, pasted or dropped alike. A text the program sets may be longer (the
// newest record's time and date in Edit1); the limit holds only what the
// operator adds.
#pragma once

#include <QString>

namespace torv {

inline constexpr qsizetype kTypedLengthLimit = 2;

struct LimitedEdit {
  QString text;
  qsizetype cursor = 0;
};

// An edit of the operator turned `before` into `after` and left the cursor at
// `cursorAfter`, which is the end of what it inserted. Keeps of the inserted
// text only its first characters that fit within `limit`, as typing stops at
// the limit; when none of them fit, the edit is undone. An edit that inserts
// nothing, or whose text stays within the limit, is kept as it is.
LimitedEdit LimitOperatorEdit(const QString& before, const QString& after, qsizetype cursorAfter,
                              qsizetype limit = kTypedLengthLimit);

}  // namespace torv
