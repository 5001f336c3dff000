// The rows of a printed history report, read from the store as the report
// is laid out and drawn, and what it prints around them, read first.
#pragma once

// Qt
#include <QString>
#include <QStringList>

// Std
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "archive/result.h"
#include "history/history_store.h"
#include "history_report/chart_data.h"
#include "history_report/listed_event.h"
#include "history_report/listing_coverage.h"

namespace torv {

inline constexpr int kPrintedDeviceColumn = 0;
inline constexpr int kPrintedEventColumn = 3;
inline constexpr int kPrintedNameColumn = 6;
inline constexpr int kPrintedColumns = 7;

// A row of the printed table: the listing's seven cells, or a gap (the
// device, and its text in the event column).
struct PrintedRow {
  bool gap = false;
  std::array<QString, kPrintedColumns> cells;
  RowMark mark = RowMark::kNone;
};

// What the report prints around its rows: what the listing covers (under
// the heading), its digest and journal entry (in full under the heading,
// short in every footer), its totals after the last row, and what the
// rows' layout needs to know of them all. The rows themselves are read
// again for each pass over them, so that no listing ever sits in memory.
struct PrintedFrame {
  ListingFrame listing;
  // Events over time, drawn under the heading; no bars, no chart.
  ChartData chart;
  std::vector<std::string> opening;
  std::string stamp;
  std::string totals;
  // Every device the rows show, for the width of their column.
  QStringList devices;
  std::string digest;
  std::size_t rows = 0;
};

Result<PrintedFrame> ReadPrintedFrame(history::HistoryStore& store,
                                      const history::EventQuery& query);

// Why a report stopped when its rows changed between two passes over them.
inline constexpr char kHistoryChangedDuringReport[] =
    "the history changed while its report was being made; try again";

// Every row `query` lists, in order, read from the store piece by piece.
// Fails after the last row when they are no longer those `frame` was read
// from: an import or a withdrawal since would leave the pages counted
// wrong.
Status ForEachPrintedRow(history::HistoryStore& store, const history::EventQuery& query,
                         const PrintedFrame& frame,
                         const std::function<void(const PrintedRow&)>& sink);

}  // namespace torv
