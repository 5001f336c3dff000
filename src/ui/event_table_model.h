// The cells of the event table (StringGrid1). Row 0 is the table's fixed
// header row: the view shows it as its horizontal header, and rows 1 to N as
// its data rows, so the header stays in sight while the rows scroll.
#pragma once

// Qt
#include <QAbstractTableModel>

// Std
#include <vector>

#include "archive/event_table.h"
#include "archive/view_screen.h"

namespace torv {

class EventTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Starts as the table of a screen before its first view.
  explicit EventTableModel(QObject* parent = nullptr);

  // Replaces every row; element 0 is the header row.
  void SetRows(std::vector<EventRow> rows);
  // Rows counted as the grid counts them, header row included.
  int GridRowCount() const { return static_cast<int>(rows_.size()); }
  // Row 0 is the header row; a row outside the table is empty.
  EventRow GridRow(int row) const;

 public:  // QAbstractTableModel API
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  std::vector<EventRow> rows_;
};

}  // namespace torv
