#include "ui/typing_limit.h"

#include <algorithm>

namespace torv {
namespace {

qsizetype CommonPrefix(QStringView a, QStringView b) {
  const qsizetype most = std::min(a.size(), b.size());
  qsizetype length = 0;
  while (length < most && a[length] == b[length]) ++length;
  return length;
}

qsizetype CommonSuffix(QStringView a, QStringView b) {
  const qsizetype most = std::min(a.size(), b.size());
  qsizetype length = 0;
  while (length < most && a[a.size() - 1 - length] == b[b.size() - 1 - length]) ++length;
  return length;
}

}  // namespace

LimitedEdit LimitOperatorEdit(const QString& before, const QString& after, qsizetype cursorAfter,
                              qsizetype limit) {
  if (after.size() <= limit) return {after, cursorAfter};

  // The text behind the cursor is what the edit kept of the end of `before`.
  // Should the cursor not mark the end of the insertion, the longest common
  // ending stands in for it.
  qsizetype suffix = after.size() - cursorAfter;
  if (cursorAfter < 0 || suffix > before.size() ||
      QStringView(before).right(suffix) != QStringView(after).right(suffix)) {
    suffix = CommonSuffix(before, after);
  }
  const qsizetype insertionEnd = after.size() - suffix;
  // Characters that the inserted text shares with the text it replaced count
  // as kept: the resulting text is the same either way.
  const qsizetype prefix = CommonPrefix(QStringView(before).left(before.size() - suffix),
                                        QStringView(after).left(insertionEnd));
  const qsizetype inserted = insertionEnd - prefix;
  if (inserted <= 0) return {after, cursorAfter};

  const qsizetype room = limit - prefix - suffix;
  if (room <= 0) {
    // Nothing fits: as if the key had been refused, the cursor where it was.
    return {before, prefix};
  }
  const qsizetype end = prefix + std::min(room, inserted);
  return {after.left(end) + after.right(suffix), end};
}

}  // namespace torv
