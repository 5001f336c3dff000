#include "history_report/listed_event.h"

#include "archive/event_table.h"
#include "archive/record_kind.h"
#include "archive/text_utf8.h"

namespace torv {

NameBook::NameBook(const std::vector<history::NameEntry>& names) {
  for (const history::NameEntry& entry : names) {
    names_[{entry.device, entry.kind, entry.number}] = entry.name;
  }
}

std::string_view NameBook::Find(const std::string& device, history::NumberKind kind,
                                int number) const {
  const auto found = names_.find({device, kind, number});
  return found == names_.end() ? std::string_view() : std::string_view(found->second);
}

ListedFields FieldsOf(const history::StoredEvent& event, const NameBook& names) {
  const ArchiveRecord& record = event.record;
  const EventRow cells = DecodeRecord(record);
  ListedFields fields;
  fields.event = TrimSpaces(cells[0]);
  // The device has no text for this code: the history names the code.
  if (KindOf(record) == EventKind::kOther) fields.event = "Код " + std::to_string(record.Code());
  fields.time = TrimSpaces(cells[2]);
  fields.date = cells[3];
  if (event.year && !fields.date.empty()) fields.date += "." + std::to_string(*event.year);
  fields.input = InputNumberOf(record);
  fields.relay = RelayNumberOf(record);
  const EventType type = TypeOf(record);
  fields.mark = type == EventType::kAlarm     ? RowMark::kAlarm
                : type == EventType::kWarning ? RowMark::kWarning
                                              : RowMark::kNone;
  if (fields.input) {
    fields.name = names.Find(event.device, history::NumberKind::kInput, *fields.input);
  } else if (fields.relay) {
    fields.name = names.Find(event.device, history::NumberKind::kRelay, *fields.relay);
  }
  return fields;
}

std::string DateTimeText(const history::StoredEvent& event) {
  const ListedFields fields = FieldsOf(event, NameBook({}));
  if (fields.time.empty()) return fields.date;
  return fields.date + " " + fields.time;
}

}  // namespace torv
