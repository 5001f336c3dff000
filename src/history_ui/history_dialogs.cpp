#include "history_ui/history_dialogs.h"

// Qt
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "history/import_sources.h"
#include "history/operator_text.h"
#include "ui/file_dialog_details.h"

namespace torv {
namespace {

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
  for (const QString& device : choices.devices) storedDevices_.push_back(device.toStdString());
  files_ = new QListWidget;
  chooseFiles_ = new QPushButton(QStringLiteral("Выбрать файлы…"));
  chooseFolder_ = new QPushButton(QStringLiteral("Выбрать папку…"));
  device_ = DeviceBox(choices.devices, choices.device);
  warning_ = new QLabel;
  warning_->setWordWrap(true);
  warning_->setStyleSheet(QStringLiteral("color: #a00000"));
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
  auto* choosers = new QHBoxLayout;
  choosers->addWidget(chooseFiles_);
  choosers->addWidget(chooseFolder_);
  choosers->addStretch();
  layout->addLayout(choosers);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Устройство:"), device_);
  layout->addLayout(form);
  layout->addWidget(warning_);
  layout->addWidget(forceDevice_);
  layout->addWidget(buttons_);

  connect(chooseFiles_, &QPushButton::clicked, this, &ImportDialog::ChooseFiles);
  connect(chooseFolder_, &QPushButton::clicked, this, &ImportDialog::ChooseFolder);
  connect(device_, &QComboBox::currentTextChanged, this, &ImportDialog::UpdateState);
  // Only the operator's own choice stops the proposals, not the window's.
  connect(device_->lineEdit(), &QLineEdit::textEdited, this, [this] { deviceChosen_ = true; });
  connect(device_, &QComboBox::activated, this, [this] { deviceChosen_ = true; });
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  UpdateState();
  resize(560, 400);
}

void ImportDialog::AddFiles(const QStringList& files) {
  for (const QString& file : files) {
    if (files_->findItems(file, Qt::MatchExactly).isEmpty()) files_->addItem(file);
  }
  if (!files.isEmpty()) folder_ = QFileInfo(files.front()).absolutePath();
  folderNote_.clear();
  ProposeDevice();
  UpdateState();
}

void ImportDialog::AddFolder(const QString& folder) {
  Result<std::vector<history::ImportSource>> sources =
      history::CollectImportSources({folder.toStdString()}, {std::string(), false, std::nullopt});
  QStringList files;
  if (sources) {
    for (const history::ImportSource& source : *sources) {
      if (source.problem.empty()) files.push_back(QString::fromStdString(source.file));
    }
  }
  AddFiles(files);
  folder_ = folder;
  if (!sources) {
    folderNote_ = QStringLiteral("Папка не читается: %1")
                      .arg(QString::fromStdString(sources.failure().reason));
  } else if (files.isEmpty()) {
    folderNote_ = QStringLiteral("В папке %1 нет файлов .dat.").arg(folder);
  }
  UpdateState();
}

void ImportDialog::ChooseFolder() {
  QFileDialog dialog(this, QStringLiteral("Папка с копиями архива"), folder_);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  ShowFileDetailsInRussian(dialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    AddFolder(dialog.selectedFiles().front());
  }
}

void ImportDialog::ProposeDevice() {
  if (deviceChosen_) return;
  std::optional<std::string> proposed;
  for (int i = 0; i < files_->count(); ++i) {
    const std::optional<std::string> suggested =
        history::DeviceSuggestedBy(files_->item(i)->text().toStdString(), storedDevices_);
    if (!suggested) continue;
    // Copies that point to different devices propose none.
    if (proposed && *proposed != *suggested) return;
    proposed = suggested;
  }
  if (proposed) device_->setCurrentText(QString::fromStdString(*proposed));
}

void ImportDialog::UpdateState() {
  buttons_->button(QDialogButtonBox::Ok)
      ->setEnabled(files_->count() > 0 && !device_->currentText().trimmed().isEmpty());
  const QString chosen = device_->currentText().trimmed();
  QStringList others;
  int more = 0;
  for (int i = 0; i < files_->count() && !chosen.isEmpty(); ++i) {
    const QString file = files_->item(i)->text();
    const std::optional<std::string> suggested =
        history::DeviceSuggestedBy(file.toStdString(), storedDevices_);
    if (!suggested ||
        history::SameDeviceKey(*suggested) == history::SameDeviceKey(chosen.toStdString())) {
      continue;
    }
    constexpr int kShown = 5;
    if (others.size() == kShown) {
      ++more;
      continue;
    }
    const QFileInfo info(file);
    others.push_back(
        QStringLiteral("%1/%2 — «%3»")
            .arg(info.dir().dirName(), info.fileName(), QString::fromStdString(*suggested)));
  }
  QStringList text;
  if (!folderNote_.isEmpty()) text.push_back(folderNote_);
  if (!others.isEmpty()) {
    text.push_back(QStringLiteral("Похоже, это копии другого устройства, не «%1»:").arg(chosen));
    text += others;
    if (more > 0) text.push_back(QStringLiteral("и ещё файлов: %1").arg(more));
  }
  warning_->setText(text.join(u'\n'));
  warning_->setVisible(!text.isEmpty());
}

void ImportDialog::ChooseFiles() {
  QFileDialog dialog(this, QStringLiteral("Копии архива"), folder_);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  ShowFileDetailsInRussian(dialog);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilters({QStringLiteral("Архивы ТОРВ-4 (*.dat)"), QStringLiteral("Все файлы (*)")});
  if (dialog.exec() == QDialog::Accepted) AddFiles(dialog.selectedFiles());
}

ImportRequest ImportDialog::Request() const {
  ImportRequest request;
  for (int i = 0; i < files_->count(); ++i) request.files.push_back(files_->item(i)->text());
  request.device = device_->currentText().trimmed();
  request.forceDevice = forceDevice_->isChecked();
  return request;
}

}  // namespace torv
