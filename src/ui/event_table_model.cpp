#include "ui/event_table_model.h"

namespace torv {

EventTableModel::EventTableModel(QObject* parent)
    : QAbstractTableModel(parent), rows_(kStartTableRowCount) {}

void EventTableModel::SetRows(std::vector<EventRow> rows) {
  // The grid always has its header row, even for an empty hand-over.
  if (rows.empty()) rows.resize(1);
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

EventRow EventTableModel::GridRow(int row) const {
  if (row < 0 || row >= GridRowCount()) return {};
  return rows_[static_cast<std::size_t>(row)];
}

int EventTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : GridRowCount() - 1;
}

int EventTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kEventColumnCount;
}

QVariant EventTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const EventRow& row = rows_[static_cast<std::size_t>(index.row()) + 1];
  return QString::fromStdString(row[static_cast<std::size_t>(index.column())]);
}

QVariant EventTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  if (section < 0 || section >= kEventColumnCount) return {};
  return QString::fromStdString(rows_.front()[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags EventTableModel::flags(const QModelIndex& index) const {
  // Cells can be selected and scrolled to, never edited.
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace torv
