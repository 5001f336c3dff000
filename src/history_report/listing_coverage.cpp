#include "history_report/listing_coverage.h"

#include <algorithm>
#include <map>
#include <set>

#include "history/event_counts.h"
#include "history_report/history_summaries.h"
#include "history_report/listed_event.h"
#include "history_report/listing_digest.h"
#include "history_report/report_heading.h"

namespace torv {
namespace {

std::string CopyMomentText(std::int64_t unixSeconds) {
  return LocalTimeText(unixSeconds, "%d.%m.%Y %H:%M");
}

void Widen(std::optional<std::int64_t>& first, std::optional<std::int64_t>& last, std::int64_t at) {
  first = first ? std::min(*first, at) : at;
  last = last ? std::max(*last, at) : at;
}

}  // namespace

DeviceCoverage ListingCoverage::Totals() const {
  DeviceCoverage total;
  for (const DeviceCoverage& d : devices) {
    total.copies += d.copies;
    total.holes += d.holes;
    total.listed += d.listed;
    total.damaged += d.damaged;
    total.undated += d.undated;
  }
  return total;
}

Result<ListingCoverage> ReadCoverage(history::HistoryStore& store,
                                     const history::EventQuery& query) {
  Result<ListedGaps> gaps = ListedGaps::Read(store, query, true);
  if (!gaps) return gaps.failure();
  return ReadCoverage(store, query, *gaps);
}

Result<ListingCoverage> ReadCoverage(history::HistoryStore& store, const history::EventQuery& query,
                                     const ListedGaps& gaps) {
  // The device's span needs no count of its damaged events: those of the
  // listing's dates are counted below.
  Result<std::vector<history::DeviceSummary>> summaries = store.Devices(query.devices, false);
  if (!summaries) return summaries.failure();
  std::map<std::int64_t, std::int64_t> copiedAt;
  for (const history::KeptCopy& copy : gaps.Copies()) copiedAt[copy.id] = copy.copiedAt;
  ListingCoverage coverage;
  std::map<std::string, std::size_t> index;
  for (const history::DeviceSummary& summary : *summaries) {
    index[summary.device] = coverage.devices.size();
    DeviceCoverage& d = coverage.devices.emplace_back();
    d.device = summary.device;
    d.first = summary.firstDated;
    d.last = summary.lastDated;
    d.lastImport = summary.lastImportUnixSeconds;
    // Counted device by device: a site's counts per copy and code, held
    // together, took tens of megabytes.
    history::EventQuery one = query;
    one.devices = {summary.device};
    Result<std::vector<history::CountedEvents>> counts =
        store.Counts(one, history::CountGrouping::kCopyAndCode);
    if (!counts) return counts.failure();
    std::set<std::int64_t> copies;
    for (const history::CountedEvents& count : *counts) {
      d.listed += count.events;
      if (count.code == kDamagedCode) d.damaged += count.events;
      if (!count.dated) d.undated += count.events;
      if (count.copy && copies.insert(*count.copy).second) {
        ++d.copies;
        if (const auto at = copiedAt.find(*count.copy); at != copiedAt.end()) {
          Widen(d.firstCopyAt, d.lastCopyAt, at->second);
        }
      }
    }
  }
  for (const auto& [device, holes] : gaps.Holes()) {
    const auto found = index.find(device);
    if (found == index.end()) continue;
    for (const history::HistoryHole& hole : holes) {
      if (history::HoleReachesInto(hole, query)) ++coverage.devices[found->second].holes;
    }
  }
  return coverage;
}

Result<ListingFrame> ReadListingFrame(history::HistoryStore& store,
                                      const history::EventQuery& query) {
  Result<std::optional<history::JournalEntry>> head = store.JournalHead();
  if (!head) return head.failure();
  Result<ListedGaps> gaps = ListedGaps::Read(store, query, true);
  if (!gaps) return gaps.failure();
  Result<ListingCoverage> coverage = ReadCoverage(store, query, *gaps);
  if (!coverage) return coverage.failure();
  return ListingFrame{std::move(*coverage), std::move(*head), std::move(*gaps)};
}

std::vector<std::string> CoverageLines(const ListingCoverage& coverage) {
  std::vector<std::string> lines;
  for (const DeviceCoverage& d : coverage.devices) {
    std::string line = "Охват " + d.device + ": ";
    if (d.first && d.last) {
      line += "хранятся события с " + DateTimeText(*d.first) + " по " + DateTimeText(*d.last);
    } else {
      line += "событий с датой не хранится";
    }
    line += "; копий " + std::to_string(d.copies);
    if (d.firstCopyAt && d.lastCopyAt) {
      line +=
          ", снятых с " + CopyMomentText(*d.firstCopyAt) + " по " + CopyMomentText(*d.lastCopyAt);
    }
    if (d.lastImport) line += "; последний импорт " + CopyMomentText(*d.lastImport);
    line += "; пропусков в периоде " + std::to_string(d.holes) + "; событий " +
            std::to_string(d.listed) + ", некорректных " + std::to_string(d.damaged) +
            ", без даты " + std::to_string(d.undated);
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::string> OpeningLines(const history::EventQuery& query, const ListingFrame& frame) {
  std::vector<std::string> lines = QueryLines(query);
  for (std::string& line : CoverageLines(frame.coverage)) lines.push_back(std::move(line));
  lines.push_back(JournalLine(frame.head));
  return lines;
}

std::string CoverageTotalsLine(const ListingCoverage& coverage) {
  const DeviceCoverage total = coverage.Totals();
  return "Итого: событий " + std::to_string(total.listed) + ", некорректных " +
         std::to_string(total.damaged) + ", без даты " + std::to_string(total.undated) +
         "; копий " + std::to_string(total.copies) + "; пропусков " + std::to_string(total.holes);
}

}  // namespace torv
