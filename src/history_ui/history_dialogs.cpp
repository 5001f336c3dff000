#include "history_ui/history_dialogs.h"

// Qt
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace torv {
namespace {

QString KindText(history::NumberKind kind) {
  return kind == history::NumberKind::kInput ? QStringLiteral("вход") : QStringLiteral("реле");
}

QComboBox* DeviceBox(const QStringList& devices, const QString& chosen) {
  auto* box = new QComboBox;
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->addItems(devices);
  box->setCurrentText(chosen);
  box->lineEdit()->setPlaceholderText(QStringLiteral("имя устройства, например 3"));
  return box;
}

}  // namespace

ImportResultsDialog::ImportResultsDialog(const QStringList& lines, bool anyFailed, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Импорт копий"));
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(lines.isEmpty() ? QString() : lines.back());
  summary_->setWordWrap(true);
  QFont bold = summary_->font();
  bold.setBold(true);
  summary_->setFont(bold);
  layout->addWidget(summary_);
  if (anyFailed) {
    layout->addWidget(new QLabel(QStringLiteral("Не все копии импортированы: причины в списке.")));
  }
  lines_ = new QListWidget;
  lines_->setWordWrap(true);
  lines_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lines_->addItems(lines.mid(0, lines.size() - 1));
  layout->addWidget(lines_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(720, 420);
}

QString ImportResultsDialog::Summary() const {
  return summary_->text();
}

QStringList ImportResultsDialog::Lines() const {
  QStringList lines;
  for (int i = 0; i < lines_->count(); ++i) lines.push_back(lines_->item(i)->text());
  return lines;
}

ImportDialog::ImportDialog(const ImportChoices& choices, QWidget* parent)
    : QDialog(parent), folder_(choices.folder) {
  setWindowTitle(QStringLiteral("Импорт копий архива"));
  files_ = new QListWidget;
  chooseFiles_ = new QPushButton(QStringLiteral("Выбрать файлы…"));
  device_ = DeviceBox(choices.devices, choices.device);
  forceDevice_ = new QCheckBox(
      QStringLiteral("Это копии этого устройства, даже если они не совпадают с его историей"));
  forceDevice_->setToolTip(
      QStringLiteral("Копия, не совпадающая с историей устройства, обычно отклоняется как копия "
                     "другого устройства. Отметьте, только если уверены: она будет сохранена "
                     "отдельным участком, и журнал отметит это."));
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Импортировать"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Копии архива (.dat):")));
  layout->addWidget(files_);
  layout->addWidget(chooseFiles_, 0, Qt::AlignLeft);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Устройство:"), device_);
  layout->addLayout(form);
  layout->addWidget(forceDevice_);
  layout->addWidget(buttons_);

  connect(chooseFiles_, &QPushButton::clicked, this, &ImportDialog::ChooseFiles);
  connect(device_, &QComboBox::currentTextChanged, this, &ImportDialog::UpdateOk);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  UpdateOk();
  resize(520, 360);
}

void ImportDialog::AddFiles(const QStringList& files) {
  for (const QString& file : files) {
    if (files_->findItems(file, Qt::MatchExactly).isEmpty()) files_->addItem(file);
  }
  if (!files.isEmpty()) folder_ = QFileInfo(files.front()).absolutePath();
  UpdateOk();
}

void ImportDialog::ChooseFiles() {
  QFileDialog dialog(this, QStringLiteral("Копии архива"), folder_);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilters({QStringLiteral("Архивы ТОРВ-4 (*.dat)"), QStringLiteral("Все файлы (*)")});
  if (dialog.exec() == QDialog::Accepted) AddFiles(dialog.selectedFiles());
}

void ImportDialog::UpdateOk() {
  buttons_->button(QDialogButtonBox::Ok)
      ->setEnabled(files_->count() > 0 && !device_->currentText().trimmed().isEmpty());
}

ImportRequest ImportDialog::Request() const {
  ImportRequest request;
  for (int i = 0; i < files_->count(); ++i) request.files.push_back(files_->item(i)->text());
  request.device = device_->currentText().trimmed();
  request.forceDevice = forceDevice_->isChecked();
  return request;
}

NameDialog::NameDialog(const NameChoices& choices, QWidget* parent)
    : QDialog(parent), listed_(choices.names) {
  setWindowTitle(QStringLiteral("Названия входов и реле"));
  device_ = DeviceBox(choices.devices, choices.device);
  kind_ = new QComboBox;
  kind_->addItems({KindText(history::NumberKind::kInput), KindText(history::NumberKind::kRelay)});
  number_ = new QSpinBox;
  number_->setRange(1, 256);
  name_ = new QLineEdit;
  name_->setPlaceholderText(QStringLiteral("например: Склад, дверь"));
  names_ = new QTableWidget(static_cast<int>(listed_.size()), 4);
  names_->setHorizontalHeaderLabels({QStringLiteral("Устройство"), QStringLiteral("Вход/реле"),
                                     QStringLiteral("Номер"), QStringLiteral("Название")});
  names_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  names_->setSelectionBehavior(QAbstractItemView::SelectRows);
  names_->verticalHeader()->hide();
  names_->horizontalHeader()->setStretchLastSection(true);
  for (std::size_t i = 0; i < listed_.size(); ++i) {
    const history::NameEntry& entry = listed_[i];
    const int row = static_cast<int>(i);
    names_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(entry.device)));
    names_->setItem(row, 1, new QTableWidgetItem(KindText(entry.kind)));
    names_->setItem(row, 2, new QTableWidgetItem(QString::number(entry.number)));
    names_->setItem(row, 3, new QTableWidgetItem(QString::fromStdString(entry.name)));
  }
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Сохранить"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(names_);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Устройство:"), device_);
  form->addRow(QStringLiteral("Вход или реле:"), kind_);
  form->addRow(QStringLiteral("Номер:"), number_);
  form->addRow(QStringLiteral("Название:"), name_);
  layout->addLayout(form);
  layout->addWidget(buttons_);

  connect(names_, &QTableWidget::cellClicked, this, [this](int row, int) { TakeListedName(row); });
  connect(device_, &QComboBox::currentTextChanged, this, &NameDialog::UpdateOk);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  UpdateOk();
  resize(560, 420);
}

void NameDialog::TakeListedName(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= listed_.size()) return;
  const history::NameEntry& entry = listed_[static_cast<std::size_t>(row)];
  device_->setCurrentText(QString::fromStdString(entry.device));
  kind_->setCurrentIndex(entry.kind == history::NumberKind::kInput ? 0 : 1);
  number_->setValue(entry.number);
  name_->setText(QString::fromStdString(entry.name));
  name_->setFocus();
  name_->selectAll();
}

void NameDialog::UpdateOk() {
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(!device_->currentText().trimmed().isEmpty());
}

history::NameEntry NameDialog::Entry() const {
  return {device_->currentText().trimmed().toStdString(),
          kind_->currentIndex() == 0 ? history::NumberKind::kInput : history::NumberKind::kRelay,
          number_->value(), name_->text().trimmed().toStdString()};
}

}  // namespace torv
