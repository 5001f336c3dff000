#include "history_report/listed_gaps.h"

#include <limits>

#include "history/event_counts.h"
#include "history_report/listed_event.h"
#include "history_report/record_tables.h"

namespace torv {

std::string_view GapRowText(const ListedGap& gap) {
  return gap.text.empty() ? kGapText : std::string_view(gap.text);
}

Result<ListedGaps> ListedGaps::Read(history::HistoryStore& store, const history::EventQuery& query,
                                    bool allCopies) {
  ListedGaps gaps;
  gaps.query_ = query;
  Result<std::vector<history::HistoryHole>> holes = store.Holes(query);
  if (!holes) return holes.failure();
  for (history::HistoryHole& hole : *holes) gaps.holes_[hole.device].push_back(std::move(hole));
  // Only a device with holes needs its copies' names.
  if (allCopies || !gaps.holes_.empty()) {
    Result<std::vector<history::KeptCopy>> copies = history::CopiesListed(store, query);
    if (!copies) return copies.failure();
    gaps.copies_ = std::move(*copies);
  }
  return gaps;
}

ListedGap ListedGaps::Between(const std::string& device, std::int64_t older,
                              std::int64_t newer) const {
  return Gather(device, older, newer, false);
}

ListedGap ListedGaps::AtEnd(const std::string& device, std::int64_t stretch, bool opening) const {
  const bool older = opening != query_.newestFirst;
  return older ? Gather(device, 0, stretch, true)
               : Gather(device, stretch, std::numeric_limits<std::int64_t>::max(), true);
}

ListedGap ListedGaps::Gather(const std::string& device, std::int64_t older, std::int64_t newer,
                             bool reachingOnly) const {
  ListedGap gap;
  const auto found = holes_.find(device);
  if (found == holes_.end()) return gap;
  const std::vector<history::HistoryHole>& holes = found->second;
  // Hole k lies between stretches k and k + 1.
  for (std::int64_t k = std::max<std::int64_t>(older, 0);
       k < newer && k < static_cast<std::int64_t>(holes.size()); ++k) {
    const history::HistoryHole& hole = holes[static_cast<std::size_t>(k)];
    if (reachingOnly && !history::HoleReachesInto(hole, query_)) continue;
    if (!gap.text.empty()) gap.text += "; ";
    gap.text += GapText(hole, CopyNamed(copies_, hole.before), CopyNamed(copies_, hole.after));
    gap.after = hole.before ? std::optional(IsoMoment(*hole.before)) : std::nullopt;
    gap.before = hole.after ? std::optional(IsoMoment(*hole.after)) : std::nullopt;
    gap.olderCopy = hole.before ? hole.before->copy : std::nullopt;
    gap.newerCopy = hole.after ? hole.after->copy : std::nullopt;
  }
  return gap;
}

}  // namespace torv
