// A rebuild writes only what differs: each case merges the stored copies and
// the remaining ones in memory, plans the writes, applies them to the stored
// rows and must then hold exactly the merged history, having deleted and
// inserted no more rows than the case allows.
#include "history/rebuild_writes.h"

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "archive/sample_archive.h"

namespace torv::history {
namespace {

// Events first..last of a device, as one copy.
struct Span {
  int first = 0;
  int last = 0;
};

ArchiveCopy CopyOf(Span span) {
  ArchiveCopy copy;
  copy.copiedAt = CopyTime{1000, 2024, 1, 2};
  for (int n = span.first; n <= span.last; ++n) {
    copy.records.push_back(MakeRecord(3, 0, static_cast<std::uint8_t>(n / 3600),
                                      static_cast<std::uint8_t>(n / 60 % 60),
                                      static_cast<std::uint8_t>(n % 60), 1, 1));
  }
  return copy;
}

// The copies merged in memory, each with its number in `spans` plus one as
// its key, except those `left` out.
std::vector<MergedStretch> Merged(const std::vector<Span>& spans, const std::vector<int>& left) {
  MemoryMerge merge;
  for (std::size_t c = 0; c < spans.size(); ++c) {
    if (std::find(left.begin(), left.end(), static_cast<int>(c) + 1) == left.end()) {
      merge.Add(CopyOf(spans[c]), static_cast<std::int64_t>(c) + 1);
    }
  }
  return merge.Stretches();
}

std::vector<StoredStretch> AsStored(const std::vector<MergedStretch>& merged) {
  std::vector<StoredStretch> stored;
  for (std::size_t s = 0; s < merged.size(); ++s) {
    StoredStretch stretch{100 + static_cast<std::int64_t>(s),
                          static_cast<std::int64_t>(s),
                          merged[s].firstPos,
                          merged[s].LastPos(),
                          merged[s].orderTime,
                          {},
                          {}};
    for (std::size_t i = 0; i < merged[s].events.size(); ++i) {
      stretch.positions.push_back(merged[s].firstPos + static_cast<std::int64_t>(i));
      stretch.rows.push_back(RowOf(merged[s].events[i]));
    }
    stored.push_back(std::move(stretch));
  }
  return stored;
}

struct RebuildCase {
  std::string name;
  std::vector<Span> copies;
  std::vector<int> withdrawn;  // copy numbers, from 1
  int dropStoredRow = -1;      // a row of stored stretch 0 lost behind the store's back
  int deleted = 0;
  int moved = 0;
  int inserted = 0;
  int removedStretches = 0;
  int stretchRowsWritten = 0;
};

// The store's events, stretch by stretch, by position.
using Rows = std::map<std::int64_t, std::map<std::int64_t, StoredRow>>;

TEST(RebuildWritesTest, WritesOnlyWhatDiffersAndLeavesTheMergedHistory) {
  const std::vector<RebuildCase> cases = {
      {"nothing withdrawn", {{0, 9}, {5, 14}, {10, 19}}, {}, -1, 0, 0, 0, 0, 0},
      {"the newest copy withdrawn", {{0, 9}, {5, 14}, {10, 19}}, {3}, -1, 5, 0, 0, 0, 1},
      // The copy after it starts a stretch of its own: its events move there,
      // and the two it shared with the withdrawn one are its own now.
      {"a bridging copy withdrawn", {{0, 9}, {8, 17}, {16, 25}}, {2}, -1, 8, 8, 2, 0, 2},
      {"the first copy withdrawn", {{0, 9}, {5, 14}}, {1}, -1, 10, 0, 5, 0, 1},
      {"every copy withdrawn", {{0, 9}, {20, 29}}, {1, 2}, -1, 20, 0, 0, 2, 0},
      {"a stored event lost", {{0, 9}, {5, 14}}, {}, 7, 0, 0, 1, 0, 0},
      {"one of two stretches withdrawn", {{0, 9}, {20, 29}, {25, 34}}, {2, 3}, -1, 15, 0, 0, 1, 0},
  };
  for (const RebuildCase& test : cases) {
    SCOPED_TRACE(test.name);
    std::vector<StoredStretch> stored = AsStored(Merged(test.copies, {}));
    if (test.dropStoredRow >= 0) {
      const auto at = static_cast<std::ptrdiff_t>(test.dropStoredRow);
      stored[0].positions.erase(stored[0].positions.begin() + at);
      stored[0].rows.erase(stored[0].rows.begin() + at);
    }
    const std::vector<MergedStretch> merged = Merged(test.copies, test.withdrawn);
    const RebuildWrites writes = PlanRebuildWrites(stored, merged);

    // Applied as the store applies them, each position held once at most.
    Rows rows;
    for (const StoredStretch& old : stored) {
      for (std::size_t r = 0; r < old.rows.size(); ++r)
        rows[old.id][old.positions[r]] = old.rows[r];
    }
    int deleted = 0;
    for (const StoredRange& range : writes.deleted) {
      for (std::int64_t p = range.positions.lo; p <= range.positions.hi; ++p) {
        deleted += static_cast<int>(rows[range.stretch].erase(p));
      }
    }
    int moved = 0;
    int inserted = 0;
    int stretchRowsWritten = 0;
    ASSERT_EQ(writes.stretches.size(), merged.size());
    for (std::size_t m = 0; m < merged.size(); ++m) {
      const StretchWrite& write = writes.stretches[m];
      const std::int64_t id = write.id.value_or(1000 + static_cast<std::int64_t>(m));
      for (const MovedRun& run : write.moved) {
        for (std::int64_t p = run.positions.lo; p <= run.positions.hi; ++p) {
          ++moved;
          ASSERT_TRUE(rows[run.from].count(p));
          EXPECT_TRUE(rows[id].emplace(p + run.shift, rows[run.from][p]).second);
          rows[run.from].erase(p);
        }
      }
      for (const std::size_t i : write.inserted) {
        ++inserted;
        const std::int64_t position = write.firstPos + static_cast<std::int64_t>(i);
        EXPECT_TRUE(rows[id].emplace(position, RowOf(merged[m].events[i])).second);
      }
      if (write.rowChanged) ++stretchRowsWritten;
    }
    for (const std::int64_t id : writes.removed) EXPECT_TRUE(rows[id].empty());
    for (std::size_t m = 0; m < merged.size(); ++m) {
      const StretchWrite& write = writes.stretches[m];
      const auto& held = rows[write.id.value_or(1000 + static_cast<std::int64_t>(m))];
      ASSERT_EQ(held.size(), merged[m].events.size());
      EXPECT_EQ(write.lastPos - write.firstPos + 1, static_cast<std::int64_t>(held.size()));
      std::int64_t position = write.firstPos;
      for (const MergedEvent& event : merged[m].events) {
        EXPECT_EQ(held.at(position++), RowOf(event));
      }
    }
    EXPECT_EQ(writes.removed.size(), static_cast<std::size_t>(test.removedStretches));
    EXPECT_EQ(deleted, test.deleted);
    EXPECT_EQ(moved, test.moved);
    EXPECT_EQ(inserted, test.inserted);
    EXPECT_EQ(stretchRowsWritten, test.stretchRowsWritten);
  }
}

}  // namespace
}  // namespace torv::history
