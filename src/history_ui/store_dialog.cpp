#include "history_ui/store_dialog.h"

// Qt
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/file_dialog_details.h"

namespace torv {

StoreDialog::StoreDialog(const QString& current, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Хранилище истории"));
  field_ = new QLineEdit(current);
  field_->setPlaceholderText(QStringLiteral("/путь/история.sqlite3 или postgresql://сервер/база"));
  field_->setMinimumWidth(440);
  chooseFile_ = new QPushButton(QStringLiteral("Файл…"));
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Открыть"));
  buttons_->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));

  auto* layout = new QVBoxLayout(this);
  auto* label =
      new QLabel(QStringLiteral("Файл SQLite (выберите или введите путь; новый файл создаётся "
                                "первым импортом) или сервер PostgreSQL (postgresql://…):"));
  label->setWordWrap(true);
  layout->addWidget(label);
  auto* row = new QHBoxLayout;
  row->addWidget(field_, 1);
  row->addWidget(chooseFile_);
  layout->addLayout(row);
  layout->addWidget(buttons_);
  connect(chooseFile_, &QPushButton::clicked, this, &StoreDialog::ChooseFile);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString StoreDialog::Store() const {
  return field_->text().trimmed();
}

void StoreDialog::ChooseFile() {
  // A server address says nothing of a folder: the home folder then.
  const QFileInfo shown(Store());
  const bool isFile = !Store().isEmpty() && !Store().contains(QStringLiteral("://"));
  QFileDialog dialog(this, QStringLiteral("Файл хранилища истории"),
                     isFile ? shown.absolutePath() : QDir::homePath());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  ShowFileDetailsInRussian(dialog);
  // An existing store, or the name of a new one.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters({QStringLiteral("Хранилища SQLite (*.sqlite3 *.sqlite *.db)"),
                         QStringLiteral("Все файлы (*)")});
  if (isFile) dialog.selectFile(shown.fileName());
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    field_->setText(QDir::toNativeSeparators(dialog.selectedFiles().front()));
  }
}

}  // namespace torv
