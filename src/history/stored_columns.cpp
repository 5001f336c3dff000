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

namespace {

// Where each byte of the identity (byte 0, the code, highest) goes in the
// moment: the record's byte k to the moment's byte kMomentByteOf[k].
constexpr int kMomentByteOf[kSpareByte] = {5, 6, 4, 3, 2, 1, 0};

}  // namespace

std::int64_t MomentOf(Identity identity) {
  std::int64_t moment = 0;
  for (int k = 0; k < kSpareByte; ++k) {
    const std::int64_t byte = (identity >> (8 * (kSpareByte - 1 - k))) & 0xFF;
    moment |= byte << (8 * (kSpareByte - 1 - kMomentByteOf[k]));
  }
  return moment;
}

Identity IdentityOfMoment(std::int64_t moment) {
  Identity identity = 0;
  for (int k = 0; k < kSpareByte; ++k) {
    const Identity byte = (moment >> (8 * (kSpareByte - 1 - kMomentByteOf[k]))) & 0xFF;
    identity |= byte << (8 * (kSpareByte - 1 - k));
  }
  return identity;
}

StoredColumns ColumnsOf(const ArchiveRecord& record, const std::optional<int>& year) {
  StoredColumns columns;
  columns.moment = MomentOf(IdentityOf(record));
  if (year) {
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

const std::vector<std::string_view>& EventColumns() {
  static const std::vector<std::string_view> columns = {
      "stretch_id", "pos", "device_id", "moment", "spare", "date_key", "kind", "number", "copy_id"};
  return columns;
}

void AppendEventRow(std::vector<SqlValue>& values, std::int64_t stretchId, std::int64_t position,
                    std::int64_t deviceId, const ArchiveRecord& record,
                    const std::optional<int>& year, std::int64_t copyId) {
  const StoredColumns columns = ColumnsOf(record, year);
  values.insert(values.end(), {stretchId, position, deviceId, columns.moment,
                               std::int64_t{record.bytes[kSpareByte]}, columns.dateKey,
                               columns.kind, columns.number, copyId});
}

}  // namespace torv::history
