#include "history_report/event_list.h"

#include <array>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>

#include "history/event_counts.h"
#include "history_report/history_summaries.h"
#include "history_report/listing_coverage.h"
#include "history_report/listing_digest.h"
#include "history_report/record_tables.h"
#include "history_report/report_heading.h"

namespace torv {
namespace {

// Bytes gathered before they go to the sink.
constexpr std::size_t kFlushSize = 1 << 16;

std::string NumberText(const std::optional<int>& number) {
  return number ? std::to_string(*number) : std::string();
}

nlohmann::json NumberOrNull(const std::optional<int>& number) {
  return number ? nlohmann::json(*number) : nlohmann::json(nullptr);
}

nlohmann::json DateOrNull(const std::optional<history::CalendarDate>& date) {
  if (!date) return nullptr;
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date->year, date->month, date->day);
  return text;
}

nlohmann::json CoverageJson(const ListingCoverage& coverage) {
  const auto moment = [](const std::optional<history::StoredEvent>& event) {
    return event ? nlohmann::json(IsoMoment(*event)) : nlohmann::json(nullptr);
  };
  const auto local = [](const std::optional<std::int64_t>& at) {
    return at ? nlohmann::json(LocalTimeText(*at)) : nlohmann::json(nullptr);
  };
  const auto counts = [](const DeviceCoverage& d) {
    return nlohmann::json{{"copies", d.copies},
                          {"holes", d.holes},
                          {"events", d.listed},
                          {"damaged", d.damaged},
                          {"undated", d.undated}};
  };
  nlohmann::json devices = nlohmann::json::array();
  for (const DeviceCoverage& d : coverage.devices) {
    nlohmann::json device = counts(d);
    device["device"] = d.device;
    device["first_event"] = moment(d.first);
    device["last_event"] = moment(d.last);
    device["first_copy"] = local(d.firstCopyAt);
    device["last_copy"] = local(d.lastCopyAt);
    device["last_import"] = local(d.lastImport);
    devices.push_back(std::move(device));
  }
  return {{"devices", std::move(devices)}, {"totals", counts(coverage.Totals())}};
}

// One format: a start, a row per event (and per gap), an end.
class ListWriter {
 public:
  virtual ~ListWriter() = default;
  // `query` is what the listing shows and `frame` what it covers: they open
  // every format.
  virtual void Start(std::string& out, const history::EventQuery& query,
                     const ListingFrame& frame) = 0;
  virtual void Gap(std::string& out, const ListedRow& row) = 0;
  virtual void Event(std::string& out, const ListedRow& row) = 0;
  // `digest`: the listing's (listing_digest.h), which closes it.
  virtual void End(std::string& out, const std::string& digest) = 0;
  // Said where the listing has no event but the history a hole in its
  // dates: "за период записей нет: пропуск с … по …".
  virtual void Nothing(std::string& out, const std::string& note) = 0;
};

class TextListWriter final : public ListWriter {
 public:
  void Start(std::string& out, const history::EventQuery& query,
             const ListingFrame& frame) override {
    for (const std::string& line : OpeningLines(query, frame)) {
      out += line;
      out += '\n';
    }
    out += '\n';
    for (std::size_t i = 0; i < kListColumns.size(); ++i) {
      out += i == 0 ? "" : "\t";
      out += kListColumns[i];
    }
    out += '\n';
  }
  void Gap(std::string& out, const ListedRow& row) override {
    out += row.event.device;
    out += '\t';
    out += GapRowText(row);
    out += '\n';
  }
  void Event(std::string& out, const ListedRow& row) override {
    const history::StoredEvent& event = row.event;
    const ListedFields& fields = row.fields;
    for (const std::string_view field :
         {std::string_view(event.device), std::string_view(fields.date),
          std::string_view(fields.time), std::string_view(fields.event)}) {
      out += field;
      out += '\t';
    }
    out += NumberText(fields.input);
    out += '\t';
    out += NumberText(fields.relay);
    out += '\t';
    out += fields.name;
    out += '\n';
  }
  void End(std::string& out, const std::string& digest) override {
    out += '\n';
    out += DigestLine(digest);
    out += '\n';
  }
  void Nothing(std::string& out, const std::string& note) override {
    out += note;
    out += '\n';
  }
};

class CsvListWriter final : public ListWriter {
 public:
  CsvListWriter(const CsvDialect& dialect, bool heading) : csv_(dialect), heading_(heading) {}
  void Start(std::string& out, const history::EventQuery& query,
             const ListingFrame& frame) override {
    csv_.AppendStart(out);
    if (heading_) {
      for (const std::string& line : OpeningLines(query, frame)) csv_.AppendRecord(out, {line});
      csv_.AppendRecord(out, {""});
    }
    std::vector<std::string_view> columns(kListColumns.begin(), kListColumns.end());
    columns.push_back(kGapColumn);
    csv_.AppendRecord(out, columns);
  }
  void Gap(std::string& out, const ListedRow& row) override {
    csv_.AppendRecord(out, {row.event.device, "", "", GapRowText(row), "", "", "", kGapMark});
  }
  void Event(std::string& out, const ListedRow& row) override {
    const history::StoredEvent& event = row.event;
    const ListedFields& fields = row.fields;
    const std::string input = NumberText(fields.input);
    const std::string relay = NumberText(fields.relay);
    csv_.AppendRecord(
        out, {event.device, fields.date, fields.time, fields.event, input, relay, fields.name, ""});
  }
  void End(std::string& out, const std::string& digest) override {
    if (!heading_) return;
    csv_.AppendRecord(out, {""});
    csv_.AppendRecord(out, {DigestLine(digest)});
  }
  // A row of its own, marked as the gap rows are: a table without events
  // never reads as "nothing happened".
  void Nothing(std::string& out, const std::string& note) override {
    csv_.AppendRecord(out, {"", "", "", note, "", "", "", kGapMark});
  }

 private:
  static constexpr std::string_view kGapColumn = "Пропуск";
  static constexpr std::string_view kGapMark = "да";
  CsvWriter csv_;
  bool heading_ = false;
};

class JsonListWriter final : public ListWriter {
 public:
  void Start(std::string& out, const history::EventQuery& query,
             const ListingFrame& frame) override {
    nlohmann::json filters;
    // "device" names the one device listed; "devices" every device named
    // (empty: all of them).
    const std::optional<std::string> only = history::OnlyDevice(query);
    filters["device"] = only ? nlohmann::json(*only) : nlohmann::json(nullptr);
    filters["devices"] = query.devices;
    filters["from"] = DateOrNull(query.from);
    filters["to"] = DateOrNull(query.to);
    filters["input"] = NumberOrNull(query.input);
    nlohmann::json kinds = nlohmann::json::array();
    for (const EventKind kind : query.kinds) kinds.push_back(std::string(EventKindName(kind)));
    for (const EventType type : query.types) kinds.push_back(std::string(EventTypeName(type)));
    filters["kinds"] = std::move(kinds);
    filters["codes"] = query.codes;
    filters["inputs"] = query.inputs;
    filters["relays"] = query.relays;
    filters["text"] = query.text.empty() ? nlohmann::json(nullptr) : nlohmann::json(query.text);
    filters["newest_first"] = query.newestFirst;
    filters["lines"] = QueryLines(query);
    out += "{\"filters\": ";
    out += filters.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    out += ",\n\"coverage\": ";
    out +=
        CoverageJson(frame.coverage).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    out += ",\n\"journal\": ";
    out += (frame.head ? nlohmann::json{{"entry", frame.head->id}, {"hash", frame.head->hash}}
                       : nlohmann::json(nullptr))
               .dump();
    out += ",\n\"events\": [";
  }
  void Gap(std::string&, const ListedRow&) override {}
  void Event(std::string& out, const ListedRow& row) override {
    const history::StoredEvent& event = row.event;
    const ListedFields& fields = row.fields;
    nlohmann::json object;
    object["device"] = event.device;
    object["year"] = NumberOrNull(event.year);
    object["bytes"] = std::vector<int>(event.record.bytes.begin(), event.record.bytes.end());
    object["gap_before"] = event.gapBefore;
    object["date"] = fields.date;
    object["time"] = fields.time;
    object["event"] = fields.event;
    object["code"] = event.record.Code();
    object["kind"] = std::string(EventTypeName(TypeOf(event.record)));
    object["input"] = NumberOrNull(fields.input);
    object["relay"] = NumberOrNull(fields.relay);
    object["name"] = fields.name.empty() ? nlohmann::json(nullptr) : nlohmann::json(fields.name);
    object["copy"] = event.copy ? nlohmann::json(*event.copy) : nlohmann::json(nullptr);
    if (row.gapBefore != nullptr) {
      const auto orNull = [](const auto& value) {
        return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
      };
      object["gap"] = {{"after", orNull(row.gapBefore->after)},
                       {"before", orNull(row.gapBefore->before)},
                       {"older_copy", orNull(row.gapBefore->olderCopy)},
                       {"newer_copy", orNull(row.gapBefore->newerCopy)}};
    }
    out += first_ ? "\n" : ",\n";
    first_ = false;
    // Names come from the operator: bad UTF-8 must not abort the listing.
    out += object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  }
  void End(std::string& out, const std::string& digest) override {
    out += first_ ? "]" : "\n]";
    if (!note_.empty()) {
      out += ",\n\"note\": ";
      out += nlohmann::json(note_).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    out += ",\n\"digest\": \"" + digest + "\"}\n";
  }
  void Nothing(std::string&, const std::string& note) override { note_ = note; }

 private:
  bool first_ = true;
  std::string note_;
};

Status WriteList(history::HistoryStore& store, const history::EventQuery& query,
                 ListWriter&& writer, const TextSink& sink) {
  Result<ListingFrame> frame = ReadListingFrame(store, query);
  if (!frame) return frame.failure();
  std::string out;
  writer.Start(out, query, *frame);
  ListingDigest digest(query);
  bool any = false;
  const Status listed = ForEachListedRow(
      store, query,
      [&](const ListedRow& row) {
        any = true;
        digest.Add(row);
        if (row.gap) {
          writer.Gap(out, row);
        } else {
          writer.Event(out, row);
        }
        if (out.size() >= kFlushSize) {
          sink(out);
          out.clear();
        }
      },
      &frame->gaps);
  if (!listed) return listed;
  if (!any) {
    Result<std::optional<std::string>> note = NothingListedNote(store, query);
    if (!note) return note.failure();
    if (*note) writer.Nothing(out, **note);
  }
  writer.End(out, digest.Hex());
  sink(out);
  return {};
}

}  // namespace

Result<std::optional<std::string>> NothingListedNote(history::HistoryStore& store,
                                                     const history::EventQuery& query) {
  Result<std::vector<history::HistoryHole>> holes = store.Holes(query);
  if (!holes) return holes.failure();
  std::string note;
  for (const history::HistoryHole& hole : *holes) {
    if (!history::HoleReachesInto(hole, query)) continue;
    note += note.empty() ? "за период записей нет: пропуск" : "; пропуск";
    if (!history::OnlyDevice(query)) note += " устройства " + hole.device;
    if (hole.before) note += " с " + DateTimeText(*hole.before);
    if (hole.after) note += " по " + DateTimeText(*hole.after);
  }
  if (note.empty()) return std::optional<std::string>();
  return std::optional<std::string>(note);
}

std::string_view GapRowText(const ListedRow& row) {
  return row.gapBefore != nullptr ? GapRowText(*row.gapBefore) : kGapText;
}

CsvDialect ListSpreadsheetDialect() {
  return SpreadsheetDialect({1, 2});
}

Status ForEachListedRow(history::HistoryStore& store, const history::EventQuery& query,
                        const std::function<void(const ListedRow&)>& sink, const ListedGaps* gaps) {
  Result<std::vector<history::NameEntry>> names = store.Names();
  if (!names) return names.failure();
  const NameBook book(*names);
  const ListedFields none;
  std::optional<ListedGaps> own;
  if (gaps == nullptr) {
    Result<ListedGaps> read = ListedGaps::Read(store, query);
    if (!read) return read.failure();
    own = std::move(*read);
    gaps = &*own;
  }
  // The gap between `newer` and the older event of its device listed next
  // to it, in stretch `older`; the gap row stands on the older side.
  const auto withGap = [&](const history::StoredEvent& newer, std::int64_t older) {
    const ListedGap found = gaps->Between(newer.device, older, newer.stretch);
    const ListedFields fields = FieldsOf(newer, book);
    if (!query.newestFirst) sink({newer, true, none, &found});
    sink({newer, false, fields, &found});
    if (query.newestFirst) sink({newer, true, none, &found});
  };
  // The holes at the ends of a device's listed events, as a gap row of
  // their own, so that no filter hides them.
  const auto atEdge = [&](const history::StoredEvent& event, bool opening) {
    const ListedGap found = gaps->AtEnd(event.device, event.stretch, opening);
    if (!found.text.empty()) sink({event, true, none, &found});
    return found;
  };
  // Newest first, an event whose gap waits for the older event listed
  // after it. The device and stretch of the event listed last: all that a
  // gap row after it needs (copied only when the device changes).
  std::optional<history::StoredEvent> waiting;
  std::optional<history::StoredEvent> previous;
  const Status listed = store.ForEachEvent(query, [&](const history::StoredEvent& event) {
    if (waiting) {
      withGap(*waiting, waiting->device == event.device ? event.stretch : 0);
      waiting.reset();
    }
    const bool opens = !previous || previous->device != event.device;
    if (previous && opens) atEdge(*previous, false);
    if (event.gapBefore && query.newestFirst) {
      if (opens) atEdge(event, true);
      waiting = event;
    } else if (event.gapBefore) {
      withGap(event, previous->stretch);
    } else if (opens) {
      const ListedGap opening = atEdge(event, true);
      // Oldest first, those holes lie just before the event.
      const bool before = !opening.text.empty() && !query.newestFirst;
      sink({event, false, FieldsOf(event, book), before ? &opening : nullptr});
    } else {
      sink({event, false, FieldsOf(event, book)});
    }
    if (opens) {
      previous.emplace();
      previous->device = event.device;
    }
    previous->stretch = event.stretch;
  });
  if (waiting) withGap(*waiting, 0);
  if (previous) atEdge(*previous, false);
  return listed;
}

Status WriteTextList(history::HistoryStore& store, const history::EventQuery& query,
                     const TextSink& sink) {
  return WriteList(store, query, TextListWriter(), sink);
}

Status WriteCsvList(history::HistoryStore& store, const history::EventQuery& query,
                    const CsvDialect& dialect, bool heading, const TextSink& sink) {
  return WriteList(store, query, CsvListWriter(dialect, heading), sink);
}

Status WriteJsonList(history::HistoryStore& store, const history::EventQuery& query,
                     const TextSink& sink) {
  return WriteList(store, query, JsonListWriter(), sink);
}

}  // namespace torv
