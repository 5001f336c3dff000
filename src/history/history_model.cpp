#include "history/history_model.h"

#include <algorithm>

namespace torv::history {

Identity IdentityOf(const ArchiveRecord& record) {
  Identity identity = 0;
  for (int i = 0; i < kSpareByte; ++i) identity = (identity << 8) | record.bytes[i];
  return identity;
}

ArchiveRecord RecordOf(Identity identity, std::uint8_t spare) {
  ArchiveRecord record;
  for (int i = kSpareByte - 1; i >= 0; --i) {
    record.bytes[i] = static_cast<std::uint8_t>(identity & 0xFF);
    identity >>= 8;
  }
  record.bytes[kSpareByte] = spare;
  return record;
}

bool HasEventFilter(const EventQuery& query) {
  return query.from || query.to || query.input || !query.kinds.empty() || !query.text.empty() ||
         !query.types.empty() || !query.codes.empty() || !query.inputs.empty() ||
         !query.relays.empty();
}

bool ListsDevice(const EventQuery& query, std::string_view device) {
  return query.devices.empty() ||
         std::find(query.devices.begin(), query.devices.end(), device) != query.devices.end();
}

std::optional<std::string> OnlyDevice(const EventQuery& query) {
  if (query.devices.size() != 1) return std::nullopt;
  return query.devices.front();
}

std::string_view NumberKindName(NumberKind kind) {
  return kind == NumberKind::kInput ? "input" : "relay";
}

std::optional<NumberKind> NumberKindNamed(std::string_view name) {
  if (name == "input") return NumberKind::kInput;
  if (name == "relay") return NumberKind::kRelay;
  return std::nullopt;
}

}  // namespace torv::history
