#include "history_report/listing_check.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>

#include "history/kept_copy.h"
#include "history_report/listing_digest.h"

namespace torv {
namespace {

constexpr std::string_view kRenamedFrom = "renamed from \"";

// A store of its own in a new temporary folder, removed with it.
class ScratchStore {
 public:
  static Result<std::unique_ptr<ScratchStore>> Open() {
    const char* base = std::getenv("TMPDIR");
    std::string folder =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/torvdoc-listing-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) {
      return Failure{"no scratch folder for the journal's replay: " + folder};
    }
    auto scratch = std::unique_ptr<ScratchStore>(new ScratchStore(folder));
    const std::string file = folder + "/replay.sqlite3";
    Result<std::unique_ptr<history::HistoryStore>> store = history::OpenHistoryStore(
        {history::StoreKind::kSqlite, file, file}, history::OpenMode::kWrite);
    if (!store) return store.failure();
    scratch->store_ = std::move(*store);
    return scratch;
  }
  ~ScratchStore() {
    store_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  history::HistoryStore& Store() { return *store_; }

 private:
  explicit ScratchStore(std::string folder) : folder_(std::move(folder)) {}
  std::string folder_;
  std::unique_ptr<history::HistoryStore> store_;
};

// Whether the entry can change what `query` lists.
bool Concerns(const history::JournalEntry& entry, const history::EventQuery& query) {
  if (entry.kind == "names") return false;  // names are not part of the digest
  if (history::ListsDevice(query, entry.device)) return true;
  return entry.kind == "rename" &&
         std::any_of(query.devices.begin(), query.devices.end(), [&](const std::string& device) {
           return entry.detail == std::string(kRenamedFrom) + device + "\"";
         });
}

// Plays one entry into the scratch store; `ids` maps the store's copies to
// the scratch's.
Status Replay(history::HistoryStore& store, history::HistoryStore& scratch,
              const history::JournalEntry& entry, std::map<std::int64_t, std::int64_t>& ids,
              const std::map<std::int64_t, history::KeptCopy>& kept) {
  if (entry.kind == "import" && entry.copy) {
    const auto found = kept.find(*entry.copy);
    if (found == kept.end() || !found->second.copiedDay) {
      return Failure{"copy " + std::to_string(*entry.copy) + " is not kept with its bytes"};
    }
    Result<std::vector<std::uint8_t>> bytes = store.CopyBytes(*entry.copy);
    if (!bytes) return bytes.failure();
    const history::KeptCopy& copy = found->second;
    // Forced: the copy was taken in once, whatever a check would say now.
    Result<history::ImportOutcome> imported = scratch.Import(
        entry.device,
        history::CopyOfKeptBytes(std::move(*bytes),
                                 history::CopyTimeOfKept(copy.copiedAt, *copy.copiedDay), copy.file,
                                 true));
    if (!imported) return imported.failure();
    Result<std::vector<history::KeptCopy>> copies = scratch.Copies(entry.device);
    if (!copies) return copies.failure();
    if (!copies->empty()) ids[*entry.copy] = copies->back().id;
    return {};
  }
  if (entry.kind == "withdraw" && entry.copy) {
    const auto found = ids.find(*entry.copy);
    if (found == ids.end()) return {};
    Result<std::vector<history::RebuiltDevice>> rebuilt = scratch.Withdraw({found->second}, "");
    if (!rebuilt) return rebuilt.failure();
    return {};
  }
  if (entry.kind == "rename" && entry.detail.starts_with(kRenamedFrom)) {
    const std::string from =
        entry.detail.substr(kRenamedFrom.size(), entry.detail.size() - kRenamedFrom.size() - 1);
    return scratch.RenameDevice(from, entry.device, "");
  }
  if (entry.kind == "remove") return scratch.RemoveDevice(entry.device, "");
  return {};
}

// The listing's digest in the replay. A text filter also looks at the names
// of inputs and relays, which the journal does not keep: today's are used.
Result<std::string> ReplayDigest(history::HistoryStore& replay, const history::EventQuery& query,
                                 const std::vector<history::NameEntry>& names) {
  Result<std::vector<history::DeviceSummary>> devices = replay.Devices({}, false);
  if (!devices) return devices.failure();
  // Before a device's first copy (or after its removal) no listing of it
  // exists: a state that gives none.
  for (const std::string& listed : query.devices) {
    if (std::none_of(devices->begin(), devices->end(),
                     [&](const history::DeviceSummary& d) { return d.device == listed; })) {
      return std::string();
    }
  }
  if (!query.text.empty() && !names.empty()) {
    std::vector<history::NameEntry> present;
    for (const history::NameEntry& name : names) {
      if (std::any_of(devices->begin(), devices->end(),
                      [&](const history::DeviceSummary& d) { return d.device == name.device; })) {
        present.push_back(name);
      }
    }
    if (!present.empty()) {
      if (Status set = replay.SetNames(present); !set) return set.failure();
    }
  }
  return DigestOfListing(replay, query);
}

}  // namespace

bool IsListingDigest(std::string_view text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return std::isxdigit(static_cast<unsigned char>(c)) != 0;
         });
}

Result<ListingCheck> CheckListing(history::HistoryStore& store, const history::EventQuery& query,
                                  const std::string& digest) {
  std::string wanted = digest;
  std::transform(wanted.begin(), wanted.end(), wanted.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  ListingCheck check;
  Result<std::optional<history::JournalEntry>> head = store.JournalHead();
  if (!head) return head.failure();
  check.head = *head;
  Result<std::string> now = DigestOfListing(store, query);
  if (!now) return now.failure();
  check.digest = *now;
  check.matches = *now == wanted;
  if (check.matches) return check;

  Result<std::vector<history::JournalEntry>> journal = store.Journal();
  if (!journal) return journal.failure();
  Result<std::vector<history::KeptCopy>> copies = store.Copies(std::nullopt);
  if (!copies) return copies.failure();
  std::map<std::int64_t, history::KeptCopy> kept;
  for (history::KeptCopy& copy : *copies) kept.emplace(copy.id, std::move(copy));
  Result<std::unique_ptr<ScratchStore>> scratch = ScratchStore::Open();
  if (!scratch) return scratch.failure();
  history::HistoryStore& replay = (*scratch)->Store();

  // The listing as each state of the journal gives it, oldest first; the
  // last state that gives the one on paper is followed by the entry that
  // changed it.
  Result<std::vector<history::NameEntry>> names = store.Names();
  if (!names) return names.failure();
  Result<std::string> state = ReplayDigest(replay, query, *names);
  if (!state) return state.failure();
  std::optional<std::size_t> lastMatch;
  if (*state == wanted) lastMatch = 0;
  std::map<std::int64_t, std::int64_t> ids;
  for (std::size_t i = 0; i < journal->size(); ++i) {
    const history::JournalEntry& entry = (*journal)[i];
    if (Status replayed = Replay(store, replay, entry, ids, kept); !replayed) {
      check.untold = "the journal cannot be played again from entry " + std::to_string(entry.id) +
                     " on: " + replayed.failure().reason;
      return check;
    }
    if (Concerns(entry, query)) {
      state = ReplayDigest(replay, query, *names);
      if (!state) return state.failure();
    }
    if (*state == wanted) lastMatch = i + 1;
  }
  if (!lastMatch) {
    check.untold =
        "no state of the journal gives this listing: it was not made from this store with "
        "these filters, or the store was changed behind its journal (history verify)";
  } else if (*lastMatch == journal->size()) {
    check.untold =
        "the journal's copies give this listing but the stored events do not: the store was "
        "changed behind its journal (history verify names where)";
  } else {
    check.changedBy = (*journal)[*lastMatch];
  }
  return check;
}

}  // namespace torv
