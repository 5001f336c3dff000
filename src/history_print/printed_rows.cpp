#include "history_print/printed_rows.h"

// Std
#include <optional>
#include <string_view>

#include "history_report/event_list.h"
#include "history_report/listing_digest.h"

namespace torv {
namespace {

QString Text(std::string_view value) {
  return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

QString Number(const std::optional<int>& value) {
  return value ? QString::number(*value) : QString();
}

PrintedRow PrintedRowOf(const ListedRow& listed) {
  PrintedRow row;
  row.gap = listed.gap;
  row.cells[kPrintedDeviceColumn] = Text(listed.event.device);
  if (listed.gap) {
    row.cells[kPrintedEventColumn] = Text(GapRowText(listed));
  } else {
    const ListedFields& f = listed.fields;
    row.cells = {Text(listed.event.device), Text(f.date),    Text(f.time), Text(f.event),
                 Number(f.input),           Number(f.relay), Text(f.name)};
    row.mark = f.mark;
  }
  return row;
}

// The rows with their digest and count, which tell whether they are the
// same rows as on an earlier pass.
Status ForEachCountedRow(history::HistoryStore& store, const history::EventQuery& query,
                         const ListedGaps& gaps, std::string& digest, std::size_t& rows,
                         const std::function<void(const PrintedRow&)>& sink) {
  ListingDigest listed(query);
  rows = 0;
  Status s = ForEachListedRow(
      store, query,
      [&](const ListedRow& row) {
        listed.Add(row);
        ++rows;
        sink(PrintedRowOf(row));
      },
      &gaps);
  if (!s) return s;
  digest = listed.Hex();
  return {};
}

}  // namespace

Result<PrintedFrame> ReadPrintedFrame(history::HistoryStore& store,
                                      const history::EventQuery& query) {
  Result<ListingFrame> listing = ReadListingFrame(store, query);
  if (!listing) return listing.failure();
  PrintedFrame frame;
  frame.listing = std::move(*listing);
  Status s = ForEachCountedRow(store, query, frame.listing.gaps, frame.digest, frame.rows,
                               [&](const PrintedRow& row) {
                                 const QString& device = row.cells[kPrintedDeviceColumn];
                                 if (frame.devices.isEmpty() || frame.devices.back() != device) {
                                   if (!frame.devices.contains(device))
                                     frame.devices.push_back(device);
                                 }
                               });
  if (!s) return s.failure();
  frame.opening = CoverageLines(frame.listing.coverage);
  frame.opening.push_back(JournalLine(frame.listing.head));
  frame.opening.push_back(DigestLine(frame.digest));
  if (frame.rows == 0) {
    Result<std::optional<std::string>> note = NothingListedNote(store, query);
    if (!note) return note.failure();
    if (*note) frame.opening.push_back(**note);
  }
  frame.stamp = ShortStamp(frame.digest, frame.listing.head);
  frame.totals = CoverageTotalsLine(frame.listing.coverage);
  Result<ChartData> chart = ComputeChart(store, query);
  if (!chart) return chart.failure();
  frame.chart = std::move(*chart);
  return frame;
}

Status ForEachPrintedRow(history::HistoryStore& store, const history::EventQuery& query,
                         const PrintedFrame& frame,
                         const std::function<void(const PrintedRow&)>& sink) {
  std::string digest;
  std::size_t rows = 0;
  Status s = ForEachCountedRow(store, query, frame.listing.gaps, digest, rows, sink);
  if (!s) return s;
  if (digest != frame.digest || rows != frame.rows) {
    return Failure{kHistoryChangedDuringReport};
  }
  return {};
}

}  // namespace torv
