// The store to open: an SQLite file, chosen in a file dialog or typed, or a
// PostgreSQL server typed as its address.
#pragma once

// Qt
#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QLineEdit;
class QPushButton;

namespace torv {

class StoreDialog : public QDialog {
  Q_OBJECT

 public:
  StoreDialog(const QString& current, QWidget* parent = nullptr);

  QString Store() const;
  QLineEdit* Field() const { return field_; }
  QPushButton* ChooseFileButton() const { return chooseFile_; }
  QDialogButtonBox* Buttons() const { return buttons_; }

 private:
  void ChooseFile();

  QLineEdit* field_ = nullptr;
  QPushButton* chooseFile_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace torv
