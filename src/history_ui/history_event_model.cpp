#include "history_ui/history_event_model.h"
#include "history_print/row_marks.h"
#include "history_report/record_tables.h"
#include "history_ui/qt_text.h"

// Qt
#include <QBrush>
#include <QColor>
#include <QFont>

// Std
#include <algorithm>
#include <limits>

namespace torv {
namespace {

const QColor kGapBackground(0xFF, 0xE0, 0xA3);
const QColor kGapForeground(0x8A, 0x3B, 0x00);

}  // namespace

QString NumberCellText(const ListedFields& fields) {
  if (fields.input) return QStringLiteral("вход %1").arg(*fields.input);
  if (fields.relay) return QStringLiteral("реле %1").arg(*fields.relay);
  return {};
}

HistoryEventModel::HistoryEventModel(QObject* parent) : QAbstractTableModel(parent) {}

Status HistoryEventModel::SetListing(history::HistoryStore* store,
                                     const history::EventQuery& query) {
  store_ = store;
  query_ = query;
  return Reload();
}

void HistoryEventModel::Clear() {
  store_ = nullptr;
  (void)Reload();  // without a store nothing is read, nothing fails
}

Status HistoryEventModel::ReadParts() {
  parts_.clear();
  gapRows_.clear();
  copyTexts_.reset();
  partFirstRows_.clear();
  rowCount_ = 0;
  eventCount_ = 0;
  names_.reset();
  if (store_ == nullptr) return {};
  Result<std::vector<history::NameEntry>> names = store_->Names();
  if (!names) return names.failure();
  Result<std::vector<history::ListingPart>> parts = store_->Parts(query_);
  if (!parts) return parts.failure();
  // Holes that cannot be read leave the gap rows saying only that events
  // are missing; the rows' own reading tells the failure.
  Result<ListedGaps> gaps = ListedGaps::Read(*store_, query_);
  if (!gaps) gaps = ListedGaps();
  names_.emplace(*names);
  parts_ = std::move(*parts);
  const auto addGap = [&](const std::string& device, const ListedGap& gap) {
    gapRows_.push_back({rowCount_, Utf8(device), Utf8(GapRowText(gap))});
    ++rowCount_;
  };
  // The rows the listings show at the ends of a device's parts too.
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    const history::ListingPart& part = parts_[i];
    if (i == 0 || parts_[i - 1].device != part.device) {
      const ListedGap opening = gaps->AtEnd(part.device, part.stretch, true);
      if (!opening.text.empty()) addGap(part.device, opening);
    } else {
      const std::int64_t a = parts_[i - 1].stretch;
      addGap(part.device,
             gaps->Between(part.device, std::min(a, part.stretch), std::max(a, part.stretch)));
    }
    partFirstRows_.push_back(rowCount_);
    rowCount_ += part.events;
    eventCount_ += part.events;
    if (i + 1 == parts_.size() || parts_[i + 1].device != part.device) {
      const ListedGap closing = gaps->AtEnd(part.device, part.stretch, false);
      if (!closing.text.empty()) addGap(part.device, closing);
    }
  }
  // A view counts rows in int: a larger listing shows its first rows.
  rowCount_ = std::min<std::int64_t>(rowCount_, std::numeric_limits<int>::max());
  return {};
}

Status HistoryEventModel::Reload() {
  beginResetModel();
  pages_.clear();
  ages_.clear();
  eventsRead_ = 0;
  readFailure_.reset();
  // ReadParts leaves the listing empty when it fails.
  Status read = ReadParts();
  if (!read) readFailure_ = read.failure();
  endResetModel();
  return read;
}

HistoryEventModel::RowPlace HistoryEventModel::PlaceOf(int row) const {
  const auto gap = std::lower_bound(
      gapRows_.begin(), gapRows_.end(), static_cast<std::int64_t>(row),
      [](const GapRow& gapRow, std::int64_t wanted) { return gapRow.row < wanted; });
  if (gap != gapRows_.end() && gap->row == row) {
    return {static_cast<std::size_t>(gap - gapRows_.begin()), -1};
  }
  const auto next = std::upper_bound(partFirstRows_.begin(), partFirstRows_.end(),
                                     static_cast<std::int64_t>(row));
  const auto part = static_cast<std::size_t>(next - partFirstRows_.begin()) - 1;
  return {part, row - partFirstRows_[part]};
}

std::vector<int> HistoryEventModel::GapRows() const {
  std::vector<int> rows;
  for (const GapRow& gap : gapRows_) {
    if (gap.row < rowCount_) rows.push_back(static_cast<int>(gap.row));
  }
  return rows;
}

std::vector<int> HistoryEventModel::HeldPageStarts() const {
  std::vector<int> starts;
  for (const auto& [key, page] : pages_) {
    starts.push_back(static_cast<int>(partFirstRows_[key.first] + key.second * kPageSize));
  }
  std::sort(starts.begin(), starts.end());
  return starts;
}

const HistoryEventModel::Page* HistoryEventModel::PageAt(std::size_t part,
                                                         std::int64_t number) const {
  const std::pair<std::size_t, std::int64_t> key{part, number};
  const auto found = pages_.find(key);
  if (found != pages_.end()) {
    ages_.splice(ages_.end(), ages_, found->second.age);
    return &found->second;
  }
  if (store_ == nullptr || readFailure_) return nullptr;
  Result<std::vector<history::StoredEvent>> events =
      store_->PartEvents(query_, parts_[part], number * kPageSize, kPageSize);
  if (!events) {
    // Only the first failure is told: the rows after it are not read again.
    readFailure_ = events.failure();
    emit PageReadFailed();
    return nullptr;
  }
  eventsRead_ += static_cast<std::int64_t>(events->size());
  if (pages_.size() >= static_cast<std::size_t>(kKeptPages)) {
    pages_.erase(ages_.front());
    ages_.pop_front();
  }
  Page page;
  for (const history::StoredEvent& event : *events) {
    const ListedFields fields = FieldsOf(event, *names_);
    ShownRow row;
    row.cells[kDevice] = Utf8(event.device);
    row.cells[kDate] = Utf8(fields.date);
    row.cells[kTime] = Utf8(fields.time);
    row.cells[kEvent] = Utf8(fields.event);
    row.cells[kNumber] = NumberCellText(fields);
    row.cells[kName] = Utf8(fields.name);
    row.copy = event.copy;
    row.mark = fields.mark;
    page.rows.push_back(std::move(row));
  }
  page.age = ages_.insert(ages_.end(), key);
  return &pages_.emplace(key, std::move(page)).first->second;
}

QString HistoryEventModel::CopyTextAt(int row) const {
  if (row < 0 || row >= rowCount_ || PlaceOf(row).event < 0) return {};
  const ShownRow* shown = RowAt(row);
  if (shown == nullptr || !shown->copy || store_ == nullptr) return {};
  if (!copyTexts_) {
    Result<std::vector<history::KeptCopy>> copies = history::CopiesListed(*store_, query_);
    if (!copies) return {};
    copyTexts_.emplace();
    for (const history::KeptCopy& copy : *copies) {
      (*copyTexts_)[copy.id] = Utf8(CopySourceText(copy));
    }
  }
  const auto found = copyTexts_->find(*shown->copy);
  return found != copyTexts_->end() ? found->second : QString();
}

const HistoryEventModel::ShownRow* HistoryEventModel::RowAt(int row) const {
  const RowPlace place = PlaceOf(row);
  const Page* page = PageAt(place.part, place.event / kPageSize);
  if (page == nullptr) return nullptr;
  const auto index = static_cast<std::size_t>(place.event % kPageSize);
  return index < page->rows.size() ? &page->rows[index] : nullptr;
}

int HistoryEventModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rowCount_);
}

int HistoryEventModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant HistoryEventModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount_) return {};
  const RowPlace place = PlaceOf(index.row());
  if (place.event < 0) {
    switch (role) {
      case Qt::DisplayRole:
        if (index.column() == kDevice) return gapRows_[place.part].device;
        return index.column() == kDate ? gapRows_[place.part].text : QVariant();
      case Qt::BackgroundRole:
        return QBrush(kGapBackground);
      case Qt::ForegroundRole:
        return QBrush(kGapForeground);
      case Qt::FontRole: {
        QFont font;
        font.setBold(true);
        return font;
      }
      case Qt::ToolTipRole:
        return QStringLiteral("События между копиями не сохранены: ни одна копия их не содержала");
      default:
        return {};
    }
  }
  if (role != Qt::DisplayRole && role != Qt::BackgroundRole && role != Qt::FontRole) return {};
  const ShownRow* row = RowAt(index.row());
  if (row == nullptr) return {};
  if (role == Qt::BackgroundRole) {
    const QColor tint = RowMarkTint(row->mark);
    return tint.isValid() ? QVariant(QBrush(tint)) : QVariant();
  }
  if (role == Qt::FontRole) {
    if (!RowMarkBold(row->mark)) return {};
    QFont font;
    font.setBold(true);
    return font;
  }
  return QVariant(row->cells[index.column()]);
}

QVariant HistoryEventModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  static const QString kHeaders[kColumnCount] = {
      QStringLiteral("Устройство"), QStringLiteral("Дата"),      QStringLiteral("Время"),
      QStringLiteral("Событие"),    QStringLiteral("Вход/реле"), QStringLiteral("Название")};
  return section >= 0 && section < kColumnCount ? kHeaders[section] : QVariant();
}

}  // namespace torv
