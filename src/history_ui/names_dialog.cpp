#include "history_ui/names_dialog.h"

// Qt
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

// Std
#include <algorithm>
#include <set>

#include "archive/view_request.h"
#include "fileio/atomic_write.h"
#include "history/names_csv.h"
#include "history/store_location.h"
#include "history_report/history_summaries.h"
#include "ui/file_dialog_details.h"

namespace torv {
namespace {

QString KindText(history::NumberKind kind) {
  return kind == history::NumberKind::kInput ? QStringLiteral("вход") : QStringLiteral("реле");
}

const QString kCommaFilter = QStringLiteral("CSV, поля через запятую (*.csv)");
const QString kSemicolonFilter =
    QStringLiteral("CSV для Excel, поля через точку с запятой (*.csv)");

}  // namespace

NamesDialog::NamesDialog(const NameChoices& choices, QWidget* parent)
    : QDialog(parent), folder_(choices.folder), store_(choices.store) {
  setWindowTitle(QStringLiteral("Названия входов и реле"));
  for (const QString& device : choices.devices) devices_.push_back(device.toStdString());
  relays_ = choices.relays;
  for (const history::NameEntry& entry : choices.names) {
    stored_[{entry.device, entry.kind, entry.number}] = entry.name;
  }
  names_ = stored_;

  device_ = new QComboBox;
  device_->addItems(choices.devices);
  if (!choices.device.isEmpty()) device_->setCurrentText(choices.device);
  table_ = new QTableWidget(0, 3);
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("Вид"), QStringLiteral("Номер"), QStringLiteral("Название")});
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
  table_->setColumnWidth(kKind, 70);
  table_->setColumnWidth(kNumber, 70);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setSelectionBehavior(QAbstractItemView::SelectItems);
  addRelay_ = new QPushButton(QStringLiteral("Добавить реле"));
  auto* importButton = new QPushButton(QStringLiteral("Из файла CSV…"));
  auto* exportButton = new QPushButton(QStringLiteral("В файл CSV…"));
  note_ = new QLabel;
  note_->setWordWrap(true);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Сохранить"));
  buttons_->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Устройство:")));
  top->addWidget(device_, 1);
  layout->addLayout(top);
  layout->addWidget(table_, 1);
  auto* tools = new QHBoxLayout;
  tools->addWidget(addRelay_);
  tools->addStretch();
  tools->addWidget(importButton);
  tools->addWidget(exportButton);
  layout->addLayout(tools);
  layout->addWidget(note_);
  layout->addWidget(buttons_);

  connect(device_, &QComboBox::currentTextChanged, this, &NamesDialog::ShowDevice);
  connect(table_, &QTableWidget::cellChanged, this, &NamesDialog::TakeEdit);
  connect(addRelay_, &QPushButton::clicked, this, &NamesDialog::AddRelay);
  connect(importButton, &QPushButton::clicked, this, &NamesDialog::ChooseImportFile);
  connect(exportButton, &QPushButton::clicked, this, &NamesDialog::ChooseExportFile);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(!devices_.empty());
  ShowDevice();
  resize(560, 640);
}

std::string NamesDialog::ShownDevice() const {
  return device_->currentText().toStdString();
}

void NamesDialog::ShowDevice() {
  const std::string device = ShownDevice();
  // Every input the device has, and beyond them what was named or fired.
  std::set<std::pair<history::NumberKind, int>> rows;
  for (int input = kFirstInputNumber; input <= kLastInputNumber; ++input) {
    rows.insert({history::NumberKind::kInput, input});
  }
  if (const auto fired = relays_.find(device); fired != relays_.end()) {
    for (const int relay : fired->second) rows.insert({history::NumberKind::kRelay, relay});
  }
  for (const auto& [key, name] : names_) {
    if (std::get<0>(key) == device) rows.insert({std::get<1>(key), std::get<2>(key)});
  }
  filling_ = true;
  table_->setRowCount(device.empty() ? 0 : static_cast<int>(rows.size()));
  int row = 0;
  for (const auto& [kind, number] : rows) {
    if (device.empty()) break;
    auto* kindItem = new QTableWidgetItem(KindText(kind));
    auto* numberItem = new QTableWidgetItem(QString::number(number));
    for (QTableWidgetItem* fixed : {kindItem, numberItem}) {
      fixed->setFlags(fixed->flags() & ~Qt::ItemIsEditable);
    }
    const auto name = names_.find({device, kind, number});
    table_->setItem(row, kKind, kindItem);
    table_->setItem(row, kNumber, numberItem);
    table_->setItem(row, kName,
                    new QTableWidgetItem(
                        name == names_.end() ? QString() : QString::fromStdString(name->second)));
    ++row;
  }
  filling_ = false;
  addRelay_->setEnabled(!device.empty());
}

void NamesDialog::TakeEdit(int row, int column) {
  if (filling_ || column != kName) return;
  const history::NumberKind kind =
      table_->item(row, kKind)->text() == KindText(history::NumberKind::kInput)
          ? history::NumberKind::kInput
          : history::NumberKind::kRelay;
  const int number = table_->item(row, kNumber)->text().toInt();
  names_[{ShownDevice(), kind, number}] = table_->item(row, kName)->text().trimmed().toStdString();
}

void NamesDialog::AddRelay() {
  const std::string device = ShownDevice();
  int last = 0;
  for (int row = 0; row < table_->rowCount(); ++row) {
    if (table_->item(row, kKind)->text() == KindText(history::NumberKind::kRelay)) {
      last = std::max(last, table_->item(row, kNumber)->text().toInt());
    }
  }
  if (last >= history::kLastNamedNumber) return;
  names_.try_emplace({device, history::NumberKind::kRelay, last + 1});
  ShowDevice();
  const int added = table_->rowCount() - 1;
  table_->setCurrentCell(added, kName);
  table_->editItem(table_->item(added, kName));
}

std::vector<history::NameEntry> NamesDialog::ChangedNames() const {
  std::vector<history::NameEntry> changed;
  for (const auto& [key, name] : names_) {
    const auto stored = stored_.find(key);
    if ((stored == stored_.end() ? std::string() : stored->second) == name) continue;
    changed.push_back({std::get<0>(key), std::get<1>(key), std::get<2>(key), name});
  }
  return changed;
}

void NamesDialog::ImportFile(const QString& file) {
  folder_ = QFileInfo(file).absolutePath();
  Result<std::vector<history::NameEntry>> read = history::ReadNamesFile(file.toStdString());
  if (!read) {
    note_->setText(QStringLiteral("Файл не прочитан: %1: %2")
                       .arg(file, QString::fromStdString(read.failure().reason)));
    return;
  }
  int taken = 0;
  std::set<std::string> unknown;
  for (const history::NameEntry& entry : *read) {
    if (std::find(devices_.begin(), devices_.end(), entry.device) == devices_.end()) {
      unknown.insert(entry.device);
      continue;
    }
    names_[{entry.device, entry.kind, entry.number}] = entry.name;
    ++taken;
  }
  QString note =
      QStringLiteral("Из файла взято названий: %1 (сохраняются кнопкой «Сохранить»).").arg(taken);
  if (!unknown.empty()) {
    QStringList left;
    for (const std::string& device : unknown) left.push_back(QString::fromStdString(device));
    note += QStringLiteral("\nНе взяты названия устройств, которых нет в хранилище: %1.")
                .arg(left.join(QStringLiteral(", ")));
  }
  note_->setText(note);
  ShowDevice();
}

void NamesDialog::ExportFile(const QString& file, char separator) {
  folder_ = QFileInfo(file).absolutePath();
  if (store_ && history::IsPartOfStore(file.toStdString(), *store_)) {
    note_->setText(
        QStringLiteral("Файл не сохранён: %1 — это файл хранилища истории, он не перезаписывается.")
            .arg(file));
    return;
  }
  std::vector<history::NameEntry> shown;
  for (const auto& [key, name] : names_) {
    if (std::get<0>(key) == ShownDevice() && !name.empty()) {
      shown.push_back({std::get<0>(key), std::get<1>(key), std::get<2>(key), name});
    }
  }
  const Status written = WriteFileAtomically(file.toStdString(), FormatNames(shown, separator));
  note_->setText(written ? QStringLiteral("Сохранено названий: %1 в %2").arg(shown.size()).arg(file)
                         : QStringLiteral("Файл не сохранён: %1: %2")
                               .arg(file, QString::fromStdString(written.failure().reason)));
}

void NamesDialog::ChooseImportFile() {
  QFileDialog dialog(this, QStringLiteral("Названия из файла CSV"), folder_);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  ShowFileDetailsInRussian(dialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("CSV (*.csv)"), QStringLiteral("Все файлы (*)")});
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    ImportFile(dialog.selectedFiles().front());
  }
}

void NamesDialog::ChooseExportFile() {
  const QString start =
      QDir(folder_.isEmpty() ? QDir::homePath() : folder_)
          .filePath(QStringLiteral("названия-%1.csv").arg(device_->currentText()));
  QFileDialog dialog(this, QStringLiteral("Названия в файл CSV"), start);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  ShowFileDetailsInRussian(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  dialog.setNameFilters({kCommaFilter, kSemicolonFilter});
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    ExportFile(dialog.selectedFiles().front(),
               dialog.selectedNameFilter() == kSemicolonFilter ? ';' : ',');
  }
}

}  // namespace torv
