// What a listing covers, device by device: the device's stored span, the
// copies its listed events came from, the holes in its dates and what it
// counts. Every listing, export and printout opens with it, so that a record
// handed on says what it stands on and where it is incomplete.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/result.h"
#include "history/history_store.h"
#include "history_report/listed_gaps.h"

namespace torv {

struct DeviceCoverage {
  std::string device;
  // The device's first and last stored event that has a date.
  std::optional<history::StoredEvent> first;
  std::optional<history::StoredEvent> last;
  // The copies the listed events were first stored from, and when the
  // oldest and the newest of them were taken.
  std::int64_t copies = 0;
  std::optional<std::int64_t> firstCopyAt;
  std::optional<std::int64_t> lastCopyAt;
  std::optional<std::int64_t> lastImport;  // of the device, any copy
  std::int64_t holes = 0;                  // holes of its history in the listing's dates
  std::int64_t listed = 0;
  std::int64_t damaged = 0;
  std::int64_t undated = 0;
};

struct ListingCoverage {
  std::vector<DeviceCoverage> devices;  // by name, every device the query lists
  // The sums over the devices (copies, holes and counts); no device name.
  DeviceCoverage Totals() const;
};

// `gaps`: the query's holes and every copy of its devices (ListedGaps::Read
// with allCopies), which the listing's gap rows read too.
Result<ListingCoverage> ReadCoverage(history::HistoryStore& store, const history::EventQuery& query,
                                     const ListedGaps& gaps);
Result<ListingCoverage> ReadCoverage(history::HistoryStore& store,
                                     const history::EventQuery& query);

// What a listing says besides its rows, read before them: its coverage and
// the journal entry the store had reached.
struct ListingFrame {
  ListingCoverage coverage;
  std::optional<history::JournalEntry> head;
  ListedGaps gaps;  // read once for the coverage and the gap rows
};
Result<ListingFrame> ReadListingFrame(history::HistoryStore& store,
                                      const history::EventQuery& query);

// "Охват NAME: хранятся события с … по …; копий N, снятых с … по …; последний
// импорт …; пропусков в периоде N; событий N, некорректных N, без даты N",
// one line per device.
std::vector<std::string> CoverageLines(const ListingCoverage& coverage);
// What a listing opens with: QueryLines, CoverageLines and the journal's
// line (listing_digest.h).
std::vector<std::string> OpeningLines(const history::EventQuery& query, const ListingFrame& frame);
// "Итого: событий N, некорректных N, без даты N; копий N; пропусков N".
std::string CoverageTotalsLine(const ListingCoverage& coverage);

}  // namespace torv
