#include "history/stored_columns.h"

namespace torv::history {

std::int64_t KindCode(EventKind kind) {
  switch (kind) {
    case EventKind::kInput:
      return 0;
    case EventKind::kDevice:
      return 1;
    case EventKind::kRelay:
      return 2;
    case EventKind::kDamaged:
      return 3;
    case EventKind::kOther:
      return 4;
    case EventKind::kEmpty:
      break;
  }
  return 5;  // never stored: empty records are left out of every copy
}

StoredColumns ColumnsOf(const ArchiveRecord& record, const std::optional<int>& year) {
  StoredColumns columns;
  columns.identity = IdentityOf(record);
  if (year) {
    columns.year = std::int64_t{*year};
    columns.dateKey = CalendarDate{*year, record.Month(), record.Day()}.Key();
  }
  columns.kind = KindCode(KindOf(record));
  if (const std::optional<int> input = InputNumberOf(record)) {
    columns.number = std::int64_t{*input};
  } else if (const std::optional<int> relay = RelayNumberOf(record)) {
    columns.number = std::int64_t{*relay};
  }
  return columns;
}

}  // namespace torv::history
