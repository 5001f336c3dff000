// The history window's table: a model over the store that reads only the
// rows on show. Opening a listing reads its parts (how many events each
// stretch of each device holds); a row is read when the view asks for it,
// with the rows around it, a page at a time, and only a bounded number of
// pages is kept. So a device with a million events opens at once, and
// scrolling to its end reads only the end.
//
// Rows are the listing's rows: events, and a gap row between two parts of
// the same device.
#pragma once

// Qt
#include <QAbstractTableModel>
#include <QString>

// Std
#include <cstdint>
#include <list>
#include <map>
#include <optional>
#include <vector>

#include "archive/result.h"
#include "history/history_store.h"
#include "history_report/listed_event.h"
#include "history_report/listed_gaps.h"

namespace torv {

class HistoryEventModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kDevice, kDate, kTime, kEvent, kNumber, kName, kColumnCount };
  // Events read from the store at once, and pages kept.
  static constexpr int kPageSize = 200;
  static constexpr int kKeptPages = 50;

  explicit HistoryEventModel(QObject* parent = nullptr);

  // Shows the listing of `query` from `store` (none: an empty table). The
  // store must outlive the listing (until the next SetListing).
  Status SetListing(history::HistoryStore* store, const history::EventQuery& query);
  // Reads the listing again, with the same query: after an import or a name.
  Status Reload();
  // An empty table that holds no store.
  void Clear();

  std::int64_t EventCount() const { return eventCount_; }
  std::vector<int> GapRows() const;
  // Events read from the store since the listing was set.
  std::int64_t EventsRead() const { return eventsRead_; }
  // The first rows of every page held now, ascending.
  std::vector<int> HeldPageStarts() const;
  // Where the event of `row` came from ("копия N: FILE, снята …"); empty
  // for a gap row, or an event stored before copies were kept.
  QString CopyTextAt(int row) const;
  // The failure of the last read, if it failed (the rows then show empty).
  const std::optional<Failure>& ReadFailure() const { return readFailure_; }

 signals:
  // A page of rows could not be read; ReadFailure() says why. Emitted while
  // the view asks for data: a receiver should be connected queued, since a
  // model must not be changed from inside its own data().
  void PageReadFailed() const;

 public:  // QAbstractItemModel API
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  struct ShownRow {
    QString cells[kColumnCount];
    std::optional<std::int64_t> copy;  // the copy the event was first stored from
    RowMark mark = RowMark::kNone;
  };
  struct Page {
    std::vector<ShownRow> rows;
    std::list<std::pair<std::size_t, std::int64_t>>::iterator age;
  };
  // Where a row is: the part and the event in it, or a gap row.
  struct RowPlace {
    std::size_t part = 0;    // for a gap row, its index in gapRows_
    std::int64_t event = 0;  // -1: a gap row
  };
  RowPlace PlaceOf(int row) const;
  const ShownRow* RowAt(int row) const;
  const Page* PageAt(std::size_t part, std::int64_t page) const;
  Status ReadParts();

  history::HistoryStore* store_ = nullptr;
  history::EventQuery query_;
  std::vector<history::ListingPart> parts_;
  // The gap rows, in row order: between two parts of a device, and at the
  // ends of a device's parts where a hole reaches into the listing's dates.
  struct GapRow {
    std::int64_t row = 0;
    QString device;
    QString text;
  };
  std::vector<GapRow> gapRows_;
  // The store's copies, read when a row's copy is first asked for.
  mutable std::optional<std::map<std::int64_t, QString>> copyTexts_;
  std::vector<std::int64_t> partFirstRows_;  // the row of each part's first event
  std::int64_t rowCount_ = 0;
  std::int64_t eventCount_ = 0;
  std::optional<NameBook> names_;

  // Pages by (part, page number), and the order they were last used in.
  mutable std::map<std::pair<std::size_t, std::int64_t>, Page> pages_;
  mutable std::list<std::pair<std::size_t, std::int64_t>> ages_;
  mutable std::int64_t eventsRead_ = 0;
  mutable std::optional<Failure> readFailure_;
};

// The text of the input/relay column: "вход 7", "реле 2", or empty.
QString NumberCellText(const ListedFields& fields);

}  // namespace torv
