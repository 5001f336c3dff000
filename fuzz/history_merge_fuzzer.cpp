// Merges copies of a simulated device into a history, in any order, and
// checks every import against a plain model of the merge rules.
//
// The first bytes choose a device: how many different records it knows (a
// small alphabet makes runs recur, as identical neighbours, damaged records
// and yearly repeats do), the sequence it writes, then the copies: windows of
// that sequence with a copy time, imported in the order given. The history
// under test is MemoryHistory, which loads only the windows the stores load
// and plans with PlanMerge; the model compares whole stretches at every
// offset and tries every chain. They must agree on every stretch, record,
// year and outcome. With an alphabet too large to repeat, the history must
// also be what the device wrote: overlapping copies joined, gaps between.
//
// Then (one input in eight, as a byte chooses) the same copies go into a
// real SQLite store, and the last bytes choose copies to withdraw one after
// another: after each withdrawal the store must hold what the model builds
// from the copies left, in their order.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include <unistd.h>

#include <string>

#include "archive/sample_archive.h"
#include "history/history_model.h"
#include "history/history_store.h"
#include "models/memory_history.h"

namespace torv::fuzz {
namespace {

using history::ArchiveCopy;
using history::ImportOutcome;
using history::MemoryHistory;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "history_merge_fuzzer: invariant broken: %s\n", what);
  std::abort();
}

void Check(bool holds, const char* what) {
  if (!holds) Fail(what);
}

// Bytes 0 to 6 decide; byte 7 never does.
bool Same(const ArchiveRecord& a, const ArchiveRecord& b) {
  return std::equal(a.bytes.begin(), a.bytes.begin() + 7, b.bytes.begin());
}

// --- the model ---------------------------------------------------------

struct ModelStretch {
  std::vector<ArchiveRecord> records;
  std::vector<std::optional<int>> years;
  std::int64_t orderTime = 0;
};

std::vector<std::optional<int>> ModelYears(const ArchiveCopy& copy) {
  std::vector<std::optional<int>> years(copy.records.size());
  int year = copy.copiedAt.year;
  int newerMonth = 0;  // 0: no dated record seen yet
  for (std::size_t k = copy.records.size(); k-- > 0;) {
    const ArchiveRecord& r = copy.records[k];
    const int day = r.bytes[5];
    const int month = r.bytes[6];
    if (r.bytes[0] == 255 || day < 1 || day > 31 || month < 1 || month > 12) continue;
    if (newerMonth == 0) {
      if (month * 100 + day > copy.copiedAt.month * 100 + copy.copiedAt.day) --year;
    } else if (month > newerMonth) {
      --year;
    }
    newerMonth = month;
    years[k] = year;
  }
  return years;
}

// The copy laid on a stretch with the copy's record 0 at stretch index d.
struct Fit {
  std::size_t stretch;
  long d;
  long lo, hi;  // overlap in copy indices
  bool start, end;
};

std::vector<Fit> FitsOf(const std::vector<ModelStretch>& stretches, const ArchiveCopy& copy) {
  std::vector<Fit> fits;
  const long m = static_cast<long>(copy.records.size());
  for (std::size_t s = 0; s < stretches.size(); ++s) {
    const long n = static_cast<long>(stretches[s].records.size());
    for (long d = -(m - 1); d <= n - 1; ++d) {
      const long lo = std::max(0L, -d);
      const long hi = std::min(m - 1, n - 1 - d);
      if (lo > hi) continue;
      bool same = true;
      bool telling = false;  // damaged records alone place nothing
      for (long i = lo; i <= hi && same; ++i) {
        const ArchiveRecord& record = copy.records[static_cast<std::size_t>(i)];
        same = Same(record, stretches[s].records[static_cast<std::size_t>(i + d)]);
        telling = telling || record.bytes[0] != 255;
      }
      if (same && telling) fits.push_back({s, d, lo, hi, lo + d == 0, hi + d == n - 1});
    }
  }
  return fits;
}

struct Chain {
  std::vector<Fit> links;
  long overlap = 0;
};

bool Wins(const Chain& a, const Chain& b) {
  if (a.overlap != b.overlap) return a.overlap > b.overlap;
  for (std::size_t i = 0; i < std::min(a.links.size(), b.links.size()); ++i) {
    const Fit& x = a.links[a.links.size() - 1 - i];
    const Fit& y = b.links[b.links.size() - 1 - i];
    if (x.stretch != y.stretch) return x.stretch > y.stretch;
    if (x.d != y.d) return x.d > y.d;
  }
  return a.links.size() > b.links.size();
}

// Every chain, grown link by link over following stretches.
void Grow(const std::vector<Fit>& fits, long m, Chain& chain, std::optional<Chain>& best) {
  if (!best || Wins(chain, *best)) best = chain;
  const Fit last = chain.links.back();  // a copy: the chain grows below
  // Continuing needs the last link to end its stretch inside the copy.
  if (!last.end || last.hi >= m - 1) return;
  // A link in the middle must be a whole stretch.
  if (chain.links.size() > 1 && !last.start) return;
  for (const Fit& next : fits) {
    if (next.stretch != last.stretch + 1 || !next.start || next.lo <= last.hi) continue;
    chain.links.push_back(next);
    chain.overlap += next.hi - next.lo + 1;
    Grow(fits, m, chain, best);
    chain.overlap -= next.hi - next.lo + 1;
    chain.links.pop_back();
  }
}

ImportOutcome ModelImport(std::vector<ModelStretch>& stretches, const ArchiveCopy& copy) {
  ImportOutcome outcome;
  const long m = static_cast<long>(copy.records.size());
  if (m == 0) return outcome;
  const std::vector<std::optional<int>> years = ModelYears(copy);
  const std::vector<Fit> fits = FitsOf(stretches, copy);
  std::optional<Chain> best;
  for (const Fit& fit : fits) {
    Chain chain{{fit}, fit.hi - fit.lo + 1};
    Grow(fits, m, chain, best);
  }
  if (!best) {
    std::size_t at = 0;
    while (at < stretches.size() && stretches[at].orderTime <= copy.copiedAt.unixSeconds) ++at;
    stretches.insert(stretches.begin() + static_cast<long>(at),
                     ModelStretch{copy.records, years, copy.copiedAt.unixSeconds});
    outcome.newEvents = static_cast<int>(m);
    outcome.gapBefore = stretches.size() > 1;
    return outcome;
  }
  // Lay everything on the copy's coordinates: copy index i at i.
  long lo = 0;
  long hi = m - 1;
  for (const Fit& f : best->links) {
    lo = std::min(lo, -f.d);
    hi = std::max(hi, static_cast<long>(stretches[f.stretch].records.size()) - 1 - f.d);
  }
  const auto size = static_cast<std::size_t>(hi - lo + 1);
  std::vector<std::optional<ArchiveRecord>> records(size);
  std::vector<std::optional<int>> merged(size);
  std::vector<bool> stored(static_cast<std::size_t>(m), false);
  ModelStretch joined;
  joined.orderTime = copy.copiedAt.unixSeconds;
  for (const Fit& f : best->links) {
    const ModelStretch& s = stretches[f.stretch];
    for (std::size_t j = 0; j < s.records.size(); ++j) {
      const auto slot = static_cast<std::size_t>(static_cast<long>(j) - f.d - lo);
      Check(!records[slot] || Same(*records[slot], s.records[j]), "model: chain overlaps");
      records[slot] = s.records[j];
      merged[slot] = s.years[j];
    }
    for (long i = f.lo; i <= f.hi; ++i) stored[static_cast<std::size_t>(i)] = true;
    joined.orderTime = std::max(joined.orderTime, s.orderTime);
  }
  for (long i = 0; i < m; ++i) {
    const auto slot = static_cast<std::size_t>(i - lo);
    if (stored[static_cast<std::size_t>(i)]) continue;
    Check(!records[slot], "model: a new record lands on a stored one");
    records[slot] = copy.records[static_cast<std::size_t>(i)];
    merged[slot] = years[static_cast<std::size_t>(i)];
    ++outcome.newEvents;
  }
  for (std::size_t k = 0; k < size; ++k) {
    Check(records[k].has_value(), "model: a hole in the joined stretch");
    joined.records.push_back(*records[k]);
    joined.years.push_back(merged[k]);
  }
  outcome.alreadyStored = static_cast<int>(m) - outcome.newEvents;
  const std::size_t first = best->links.front().stretch;
  const std::size_t last = best->links.back().stretch;
  stretches.erase(stretches.begin() + static_cast<long>(first),
                  stretches.begin() + static_cast<long>(last) + 1);
  stretches.insert(stretches.begin() + static_cast<long>(first), std::move(joined));
  return outcome;
}

// --- the device ----------------------------------------------------------

ArchiveRecord Letter(int letter, std::uint8_t spare) {
  ArchiveRecord r;
  if (letter == 0) {
    r.bytes.fill(255);  // damaged
  } else {
    // A device event on a date that walks through the year, so the year
    // rule sees months rise and fall.
    r.bytes = {3,
               0,
               static_cast<std::uint8_t>(letter % 60),
               static_cast<std::uint8_t>(letter / 60 % 60),
               static_cast<std::uint8_t>(letter / 3600 % 24),
               static_cast<std::uint8_t>(1 + letter % 28),
               static_cast<std::uint8_t>(1 + letter / 7 % 12),
               spare};
  }
  return r;
}

}  // namespace
}  // namespace torv::fuzz

namespace torv::fuzz {
namespace {

// --- withdrawals on the store ----------------------------------------------

constexpr char kDevice[] = "f";

// The fuzz store's file, removed at exit.
std::string storePath;

void RemoveStore() {
  for (const char* suffix : {"", "-wal", "-shm"}) (void)unlink((storePath + suffix).c_str());
}

// One store for the whole run, in memory-backed files where there are some.
history::HistoryStore& Store() {
  static std::unique_ptr<history::HistoryStore> store = [] {
    const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    const std::string path =
        folder + "/torvdoc-merge-fuzzer-" + std::to_string(getpid()) + ".sqlite3";
    storePath = path;
    RemoveStore();
    std::atexit(RemoveStore);
    auto opened = history::OpenHistoryStore({history::StoreKind::kSqlite, path, path},
                                            history::OpenMode::kWrite);
    Check(opened.ok(), "the fuzz store does not open");
    return std::move(*opened);
  }();
  return *store;
}

// The copy as an archive file holds it: its records from slot 0 on.
ArchiveCopy WithFileBytes(ArchiveCopy copy) {
  ArchiveBuilder builder;
  for (std::size_t i = 0; i < copy.records.size(); ++i) {
    builder.SetSlot(static_cast<int>(i), copy.records[i]);
  }
  builder.SetWriteOffset(static_cast<std::int32_t>(8 * copy.records.size()));
  copy.bytes = builder.Bytes();
  // Windows of one device: the check for another device's copy stays out.
  copy.forcedDevice = true;
  return copy;
}

struct StoredStretch {
  std::vector<ArchiveRecord> records;
  std::vector<std::optional<int>> years;
};

std::vector<StoredStretch> StoredRecords(history::HistoryStore& store) {
  std::vector<StoredStretch> stretches;
  history::EventQuery query;
  query.devices = {kDevice};
  const Status listed = store.ForEachEvent(query, [&](const history::StoredEvent& event) {
    if (stretches.empty() || event.gapBefore) stretches.emplace_back();
    stretches.back().records.push_back(event.record);
    stretches.back().years.push_back(event.year);
  });
  Check(listed.ok(), "the store does not list");
  return stretches;
}

void CheckAgainstModel(history::HistoryStore& store, const std::vector<ArchiveCopy>& left) {
  std::vector<ModelStretch> model;
  for (const ArchiveCopy& copy : left) (void)ModelImport(model, copy);
  const std::vector<StoredStretch> stored = StoredRecords(store);
  Check(stored.size() == model.size(), "withdrawn: stretch count differs from the model");
  for (std::size_t s = 0; s < model.size(); ++s) {
    Check(stored[s].records == model[s].records, "withdrawn: records differ from the model");
    Check(stored[s].years == model[s].years, "withdrawn: years differ from the model");
  }
}

void WithdrawAgainstModel(FuzzedDataProvider& input, const std::vector<ArchiveCopy>& copies) {
  history::HistoryStore& store = Store();
  Result<std::vector<history::DeviceSummary>> devices = store.Devices();
  if (devices.ok() && !devices->empty()) {
    Check(store.RemoveDevice(kDevice, "").ok(), "the last input's device stays");
  }
  // What the store took, each with its copy number: refused copies (years
  // that contradict) and the same file again are not among them.
  std::vector<std::pair<std::int64_t, ArchiveCopy>> kept;
  for (const ArchiveCopy& copy : copies) {
    const ArchiveCopy withBytes = WithFileBytes(copy);
    Result<history::ImportOutcome> outcome = store.Import(kDevice, withBytes);
    Check(outcome.ok(), "the store fails an import");
    if (outcome->refusal || outcome->alreadyImported) continue;
    Result<std::vector<history::KeptCopy>> listed = store.Copies(std::string(kDevice));
    Check(listed.ok() && !listed->empty(), "the store lists no copy");
    kept.emplace_back(listed->back().id, withBytes);
  }
  while (!kept.empty() && input.remaining_bytes() > 0) {
    const std::size_t which = input.ConsumeIntegralInRange<std::size_t>(0, kept.size() - 1);
    Check(store.Withdraw({kept[which].first}, "").ok(), "a withdrawal fails");
    kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(which));
    std::vector<ArchiveCopy> left;
    for (const auto& entry : kept) left.push_back(entry.second);
    CheckAgainstModel(store, left);
  }
}

}  // namespace
}  // namespace torv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torv;
  using namespace torv::fuzz;
  FuzzedDataProvider input(data, size);
  // 0: every record differs from every other (the truth is known).
  const int alphabet = input.ConsumeIntegralInRange<int>(0, 12);
  const int length = input.ConsumeIntegralInRange<int>(1, 160);
  std::vector<ArchiveRecord> written;
  for (int k = 0; k < length; ++k) {
    const int letter = alphabet == 0 ? 1 + k : input.ConsumeIntegralInRange<int>(0, alphabet);
    written.push_back(Letter(letter, input.ConsumeIntegral<std::uint8_t>()));
  }
  struct Window {
    int start, end;
  };
  std::vector<ArchiveCopy> copies;
  std::vector<Window> windows;
  const int copyCount = input.ConsumeIntegralInRange<int>(1, 10);
  for (int c = 0; c < copyCount && input.remaining_bytes() > 0; ++c) {
    const int end = input.ConsumeIntegralInRange<int>(1, length);
    const int start = std::max(0, end - input.ConsumeIntegralInRange<int>(1, 48));
    ArchiveCopy copy;
    copy.records.assign(written.begin() + start, written.begin() + end);
    // Copies taken later carry later times, as a device's clock gives them.
    copy.copiedAt = {end * 10 + input.ConsumeIntegralInRange<int>(0, 9), 2025, 6, 30};
    copies.push_back(copy);
    windows.push_back({start, end});
  }
  MemoryHistory history;
  std::vector<ModelStretch> model;
  for (int round = 0; round < 2; ++round) {
    for (const ArchiveCopy& copy : copies) {
      const ImportOutcome got = history.Import(copy);
      const ImportOutcome want = ModelImport(model, copy);
      Check(got.newEvents == want.newEvents, "new events differ from the model");
      Check(got.alreadyStored == want.alreadyStored, "stored events differ from the model");
      Check(got.gapBefore == want.gapBefore, "the gap differs from the model");
      Check(history.Stretches().size() == model.size(), "stretch count differs from the model");
      for (std::size_t s = 0; s < model.size(); ++s) {
        Check(history.Stretches()[s].records == model[s].records, "records differ");
        Check(history.Stretches()[s].years == model[s].years, "years differ");
      }
    }
    if (round == 1) Check(history.Stretches().size() == model.size(), "a repeat changed");
  }
  if (alphabet == 0) {
    // The truth: windows that share a record join; the rest stay apart.
    std::sort(windows.begin(), windows.end(),
              [](const Window& a, const Window& b) { return a.start < b.start; });
    std::vector<Window> truth;
    for (const Window& w : windows) {
      if (!truth.empty() && w.start < truth.back().end) {
        truth.back().end = std::max(truth.back().end, w.end);
      } else {
        truth.push_back(w);
      }
    }
    Check(history.Stretches().size() == truth.size(), "stretches differ from what was written");
    for (std::size_t s = 0; s < truth.size(); ++s) {
      const auto& records = history.Stretches()[s].records;
      Check(records.size() == static_cast<std::size_t>(truth[s].end - truth[s].start),
            "a stretch's length differs from what was written");
      for (std::size_t i = 0; i < records.size(); ++i) {
        Check(Same(records[i], written[static_cast<std::size_t>(truth[s].start) + i]),
              "a record differs from what was written");
      }
    }
  }
  // The store is slow beside the model: one input in eight goes on to it.
  if (input.remaining_bytes() > 0 && input.ConsumeIntegral<std::uint8_t>() < 32) {
    WithdrawAgainstModel(input, copies);
  }
  return 0;
}
