#include "history/event_snapshot.h"

#include <cstdio>

#include "history/history_model.h"
#include "history/kept_copy.h"
#include "history/stored_columns.h"

namespace torv::history {

Result<EventSnapshot> ReadEventSnapshot(SqlConnection& db,
                                        const std::vector<std::int64_t>& stretchIds) {
  EventSnapshot snapshot;
  for (const std::int64_t stretch : stretchIds) {
    std::vector<SnapshotEvent>& run = snapshot.emplace_back();
    const Status read =
        db.Query("SELECT moment, spare, date_key FROM events WHERE stretch_id = $1 ORDER BY pos",
                 {stretch}, [&](const SqlRow& row) {
                   run.push_back({row.Int(0), row.Int(1),
                                  row.IsNull(2) ? std::nullopt : std::optional(row.Int(2))});
                 });
    if (!read) return read.failure();
  }
  return snapshot;
}

std::string EventsDigest(const EventSnapshot& snapshot) {
  std::string text;
  for (std::size_t run = 0; run < snapshot.size(); ++run) {
    if (run > 0) text += "gap\n";
    for (const SnapshotEvent& event : snapshot[run]) {
      text += std::to_string(event.moment) + " " + std::to_string(event.spare) + " " +
              (event.dateKey ? std::to_string(*event.dateKey) : "-") + "\n";
    }
  }
  return text.empty() ? std::string()
                      : Sha256Hex(std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string SnapshotEventText(const SnapshotEvent& event) {
  const ArchiveRecord record =
      RecordOf(IdentityOfMoment(event.moment), static_cast<std::uint8_t>(event.spare));
  std::string text = "bytes";
  for (const std::uint8_t byte : record.bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02x", byte);
    text += hex;
  }
  return text + (event.dateKey ? ", year " + std::to_string(*event.dateKey / 10000) : "");
}

}  // namespace torv::history
