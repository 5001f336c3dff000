#include "history_ui/copies_dialog.h"

// Qt
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

// Std
#include <algorithm>
#include <array>
#include <set>
#include <string_view>

#include "history_report/record_tables.h"
#include "history_ui/qt_text.h"

namespace torv {
namespace {

// The columns of `history copies` the dialog shows, by their JSON keys: the
// size, digest, version and device (the dialog is of one device) are left
// to the command line.
constexpr std::array<std::string_view, 10> kShownKeys = {
    "id",      "file", "copied_at",  "imported_at", "imported_by",
    "records", "new",  "gap_before", "forced",      "withdrawn"};

}  // namespace

CopiesDialog::CopiesDialog(const CopiesChoices& choices, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Копии устройства «%1»").arg(choices.device));
  const RecordTable copies = CopiesTable(choices.copies);
  std::vector<std::size_t> shown;
  QStringList headings;
  for (const std::string_view key : kShownKeys) {
    const auto column = std::find_if(copies.columns.begin(), copies.columns.end(),
                                     [key](const TableColumn& c) { return c.key == key; });
    shown.push_back(static_cast<std::size_t>(column - copies.columns.begin()));
    headings.push_back(Utf8(column->heading));
  }

  table_ = new QTableWidget(static_cast<int>(copies.rows.size()), static_cast<int>(shown.size()));
  table_->setHorizontalHeaderLabels(headings);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  int withdrawn = 0;
  for (std::size_t r = 0; r < choices.copies.size(); ++r) {
    const history::KeptCopy& copy = choices.copies[r];
    ids_.push_back(copy.id);
    withdrawn += copy.withdrawn ? 1 : 0;
    for (std::size_t c = 0; c < shown.size(); ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(CellText(copies.rows[r][shown[c]])));
      // A withdrawn copy is out of the history already; greyed, it cannot
      // be chosen for a second withdrawal.
      if (copy.withdrawn) item->setFlags(Qt::NoItemFlags);
      table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
  table_->resizeColumnsToContents();

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Close);
  withdraw_ = buttons_->addButton(QStringLiteral("Снять копии…"), QDialogButtonBox::AcceptRole);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("Копий: %1, из них сняты: %2. Снятые копии не входят в историю устройства; "
                     "файл такой копии можно импортировать снова.")
          .arg(choices.copies.size())
          .arg(withdrawn)));
  layout->addWidget(table_);
  layout->addWidget(buttons_);

  connect(table_, &QTableWidget::itemSelectionChanged, this, &CopiesDialog::UpdateWithdraw);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  UpdateWithdraw();
  resize(900, 420);
}

std::vector<std::int64_t> CopiesDialog::ChosenIds() const {
  std::set<int> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
    rows.insert(index.row());
  }
  std::vector<std::int64_t> ids;
  for (const int row : rows) ids.push_back(ids_[static_cast<std::size_t>(row)]);
  return ids;
}

void CopiesDialog::UpdateWithdraw() {
  withdraw_->setEnabled(table_->selectionModel()->hasSelection());
}

}  // namespace torv
