// What the history keeps: devices, the copies imported for them, and every
// event ever copied, once, in the device's order.
//
// A device's history is a list of stretches, oldest first. A stretch is a run
// of events known to follow each other without a miss; between two stretches
// lies a gap (events the device wrote that no copy held). Inside a stretch an
// event has a position; positions grow by one from older to newer events and
// may be negative, so that a stretch grows at both ends without renumbering.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/record_kind.h"

namespace torv::history {

// A record's identity: bytes 0 to 6 packed into one integer, byte 0 highest.
// Byte 7 is kept but is not part of the identity.
using Identity = std::int64_t;
Identity IdentityOf(const ArchiveRecord& record);
// The record bytes 0 to 6 of an identity and the spare byte 7.
ArchiveRecord RecordOf(Identity identity, std::uint8_t spare);

// The moment a copy was taken: the instant, and the local calendar date the
// year rule starts from.
struct CopyTime {
  std::int64_t unixSeconds = 0;
  int year = 1970;
  int month = 1;
  int day = 1;
};

// One archive copy as the history takes it: the records in ring order, oldest
// first, empty records left out.
struct ArchiveCopy {
  std::vector<ArchiveRecord> records;
  CopyTime copiedAt;
  // Where the copy came from (a file name), kept with the copy for reference.
  std::string source;
  // The file as it was read (8196 bytes), which the store keeps so that the
  // copy can be given back and the history rebuilt without it; empty where
  // the bytes are not known, and then kept without them.
  std::vector<std::uint8_t> bytes{};
  // Stored even where it shares nothing with a stretch that spans its time
  // (store_genuine.h): the operator vouches that it is the device's.
  bool forcedDevice = false;
};

// An event as the store holds it.
struct StoredEvent {
  std::string device;
  ArchiveRecord record;
  std::optional<int> year;  // none: the record's date gives no year
  bool damaged = false;     // code 255: the record holds a place, nothing more
  // The device's history has a gap just before this event in time: between
  // it and the older event of the same device listed next to it (before it
  // oldest first, after it newest first).
  bool gapBefore = false;
  // Where the event sits in its stretch, for reading on after it.
  std::int64_t position = 0;
  // The copy it was first stored from; none for events of older layouts.
  std::optional<std::int64_t> copy;
  // Its stretch's place among the device's stretches, oldest 0: the holes
  // between two listed events are those between their stretches.
  std::int64_t stretch = 0;
};

// What one import did.
struct ImportOutcome {
  int newEvents = 0;
  int alreadyStored = 0;
  // The copy shared no event with a history that already held events: it
  // was stored as a stretch of its own, with a gap next to it.
  bool gapBefore = false;
  // The file was an empty archive (WriteOffset 255): nothing to import.
  bool emptyArchive = false;
  // Why the copy does not belong in the history; nothing was stored.
  std::optional<std::string> refusal;
  // Said beside a stored copy: what looks wrong about it.
  std::optional<std::string> warning;
  // The same file is stored for this device already ("уже импортирован
  // DD.MM.YYYY HH:MM (копия N)"): nothing was stored, and that is no fault.
  std::optional<std::string> alreadyImported;
};

enum class NumberKind { kInput, kRelay };
std::string_view NumberKindName(NumberKind kind);  // "input", "relay"
std::optional<NumberKind> NumberKindNamed(std::string_view name);

// Names may be given to every number a record can carry (byte 1 plus one).
inline constexpr int kFirstNamedNumber = 1;
inline constexpr int kLastNamedNumber = 256;

// The operator's name for one input or relay of a device.
struct NameEntry {
  std::string device;
  NumberKind kind = NumberKind::kInput;
  int number = 0;
  std::string name;
  bool operator==(const NameEntry&) const = default;
};

struct DeviceSummary {
  std::string device;
  std::int64_t events = 0;
  std::int64_t copies = 0;
  std::int64_t gaps = 0;
  std::int64_t damaged = 0;               // code 255: records that hold a place, nothing more
  std::optional<StoredEvent> firstDated;  // the oldest event that has a year
  std::optional<StoredEvent> lastDated;   // the newest event that has a year
  std::optional<std::int64_t> lastImportUnixSeconds;
};

// A copy the store keeps, as `history copies` lists it.
struct KeptCopy {
  std::int64_t id = 0;
  std::string device;
  std::string file;
  // The file's size and SHA-256; none for a copy imported before the store
  // kept copies, whose bytes are not known.
  std::optional<std::int64_t> size;
  std::string sha256;
  std::int64_t copiedAt = 0;  // seconds since the epoch
  // The copy time's local date (YYYYMMDD) the year rule started from; none
  // for a copy of an older layout.
  std::optional<std::int64_t> copiedDay;
  std::int64_t importedAt = 0;  // seconds since the epoch
  std::string importedBy;       // "user@host"; empty where not known
  std::string version;          // of torvdoc; empty where not known
  std::int64_t records = 0;
  std::int64_t newEvents = 0;
  bool gapBefore = false;
  bool forced = false;  // stored with --force-device
  bool withdrawn = false;
  bool HasBytes() const { return size.has_value(); }
};

// One entry of the store's journal: every import, withdrawal, rename,
// removal and change of names, with who made it, when and why.
struct JournalEntry {
  std::int64_t id = 0;
  std::int64_t at = 0;  // seconds since the epoch
  std::string kind;     // "import", "withdraw", "rename", "remove", "names"
  std::string device;
  std::optional<std::int64_t> copy;
  std::string who;      // "user@host"
  std::string version;  // of torvdoc
  std::string reason;   // as the operator gave it; may be empty
  std::string detail;   // what changed, in a line
  std::string hash;     // of the chain (journal.h)
};

// What a withdrawal did: per device rebuilt, its events before and after.
struct RebuiltDevice {
  std::string device;
  std::int64_t eventsBefore = 0;
  std::int64_t eventsAfter = 0;
  std::int64_t copiesLeft = 0;
};

// What `history verify` found of one device.
struct DeviceVerification {
  std::string device;
  std::int64_t events = 0;
  std::int64_t copies = 0;  // kept with their bytes, each matching its SHA-256
  // Copies imported before the store kept copies: the device's events
  // cannot be merged again from its copies, so they are not verified.
  std::vector<std::int64_t> withoutBytes;
};

struct Verification {
  std::vector<DeviceVerification> devices;
  std::int64_t journalEntries = 0;
  // The first difference found; none when everything verified.
  std::optional<std::string> problem;
};

// A calendar date as the filters take it.
struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
  // year * 10000 + month * 100 + day: the order of dates.
  std::int64_t Key() const { return year * 10000LL + month * 100LL + day; }
};

// Which events a listing shows. Every filter left unset lets everything pass.
struct EventQuery {
  // Only these devices, by name, each once; empty lists every device.
  std::vector<std::string> devices;
  std::optional<CalendarDate> from;  // a date filter leaves out events without a year
  std::optional<CalendarDate> to;
  // The input events (codes 0, 1, 2) of this input, as the input view has them.
  std::optional<int> input;
  // Kinds to show; empty shows every kind.
  std::vector<EventKind> kinds;
  // Events whose text, or the name of whose input or relay, holds this text
  // (text_match.h); empty lets every event pass.
  std::string text;
  bool newestFirst = false;
  // Input events by what they report: with `kinds`, an event passes when its
  // kind is among `kinds` or its type among `types`; both empty pass all.
  std::vector<EventType> types;
  // Only events of these codes (byte 0); empty lets every code pass.
  std::vector<int> codes;
  // The input events of these inputs (with `input`) and the relay events of
  // these relays, 1 to 256; all three unset let every event pass.
  std::vector<int> inputs;
  std::vector<int> relays;
};

// True when the query leaves out any event of the devices it lists.
bool HasEventFilter(const EventQuery& query);
// Whether the query lists the events of `device`.
bool ListsDevice(const EventQuery& query, std::string_view device);
// The one device the query lists, or none when it lists several or all.
std::optional<std::string> OnlyDevice(const EventQuery& query);

// The events of one stretch of one device that a query lets through: a
// listing is its parts one after the other, and two parts of the same device
// next to each other have a gap between them. Counting rows from the parts,
// a window reaches any row without reading the rows before it.
struct ListingPart {
  std::string device;
  std::int64_t stretchId = 0;  // the store's own key of the stretch
  std::int64_t events = 0;     // at least one
  std::int64_t stretch = 0;    // its place among the device's stretches, oldest 0
  bool operator==(const ListingPart&) const = default;
};

}  // namespace torv::history
