#include "history_report/listing_formats.h"

#include <ctime>

#include "history_report/history_pdf.h"

namespace torv {
namespace {

Status WriteText(history::HistoryStore& store, const history::EventQuery& query,
                 const ListingSettings& /*settings*/, const TextSink& sink) {
  return WriteTextList(store, query, sink);
}

Status WriteCsv(history::HistoryStore& store, const history::EventQuery& query,
                const ListingSettings& settings, const TextSink& sink) {
  return WriteCsvList(store, query, settings.csv, settings.heading, sink);
}

Status WriteSpreadsheetCsv(history::HistoryStore& store, const history::EventQuery& query,
                           const ListingSettings& settings, const TextSink& sink) {
  return WriteCsvList(store, query, ListSpreadsheetDialect(), settings.heading, sink);
}

Status WriteJson(history::HistoryStore& store, const history::EventQuery& query,
                 const ListingSettings& /*settings*/, const TextSink& sink) {
  return WriteJsonList(store, query, sink);
}

// The one call of the printed report's writer, whichever program calls.
Status WritePrinted(history::HistoryStore& store, const history::EventQuery& query,
                    const ListingSettings& /*settings*/, const TextSink& sink) {
  return WriteHistoryPdfTo(store, query, HeadingFor(query, std::time(nullptr)), sink);
}

constexpr ListingFormat kFormats[] = {
    {"text", "txt", "", WriteText},
    {"csv", "csv", "CSV (*.csv)", WriteCsv},
    {"", "csv", "CSV для табличного редактора (*.csv)", WriteSpreadsheetCsv},
    {"json", "json", "JSON (*.json)", WriteJson},
    {"pdf", "pdf", "PDF (*.pdf)", WritePrinted},
};

}  // namespace

std::span<const ListingFormat> ListingFormats() {
  return kFormats;
}

const ListingFormat* FindListingFormat(std::string_view name) {
  return FindFormat(ListingFormats(), name);
}

}  // namespace torv
