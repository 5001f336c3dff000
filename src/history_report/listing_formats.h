// The formats of a history listing, one row each: what `history list
// --format` takes and the window's export offers. The printed report comes
// from the PDF module (history_pdf.h).
#pragma once

#include <span>
#include <string_view>

#include "archive/result.h"
#include "history/history_store.h"
#include "history_report/event_list.h"
#include "history_report/report_heading.h"
#include "report/csv_writer.h"
#include "report/format_catalogue.h"

namespace torv {

struct ListingSettings {
  CsvDialect csv = Rfc4180Dialect();  // of the CSV row; the spreadsheet row has its own
  // CSV: the listing's heading lines (what it shows and covers) before the
  // column row, and its digest after the last row. Without, the CSV is the
  // table alone, as spreadsheets and CSV readers expect.
  bool heading = false;
};

using ListingWriter = Status (*)(history::HistoryStore& store, const history::EventQuery& query,
                                 const ListingSettings& settings, const TextSink& sink);
using ListingFormat = FormatRow<ListingWriter>;

// text, csv, the spreadsheet's CSV (only the window's: the command line has
// --csv-dialect excel), json and pdf.
std::span<const ListingFormat> ListingFormats();
// The row `history list --format NAME` writes; nullptr for an unknown name.
const ListingFormat* FindListingFormat(std::string_view name);

}  // namespace torv
