// The history window's own dialogs: the import dialog (files and device)
// and the names editor. Built apart from showing them, so that tests can
// fill them in and check what they give back.
#pragma once

// Qt
#include <QDialog>

// Std
#include <optional>

#include "history_ui/history_prompts.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace torv {

class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ImportDialog(const ImportChoices& choices, QWidget* parent = nullptr);

  void AddFiles(const QStringList& files);
  ImportRequest Request() const;

  QListWidget* Files() const { return files_; }
  QComboBox* Device() const { return device_; }
  QPushButton* ChooseFilesButton() const { return chooseFiles_; }
  QCheckBox* ForceDevice() const { return forceDevice_; }
  QDialogButtonBox* Buttons() const { return buttons_; }

 private:
  void ChooseFiles();
  void UpdateOk();

  QString folder_;
  QListWidget* files_ = nullptr;
  QComboBox* device_ = nullptr;
  QCheckBox* forceDevice_ = nullptr;
  QPushButton* chooseFiles_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

// What an import came to: the totals on top, then every file's line in a
// list that scrolls, however many files there were.
class ImportResultsDialog : public QDialog {
 public:
  // `lines`: a line per file, the totals last.
  ImportResultsDialog(const QStringList& lines, bool anyFailed, QWidget* parent);
  QString Summary() const;
  QStringList Lines() const;

 private:
  QLabel* summary_ = nullptr;
  QListWidget* lines_ = nullptr;
};

class NameDialog : public QDialog {
  Q_OBJECT

 public:
  explicit NameDialog(const NameChoices& choices, QWidget* parent = nullptr);

  history::NameEntry Entry() const;

  QComboBox* Device() const { return device_; }
  QComboBox* Kind() const { return kind_; }
  QSpinBox* Number() const { return number_; }
  QLineEdit* Name() const { return name_; }
  QTableWidget* Names() const { return names_; }
  QDialogButtonBox* Buttons() const { return buttons_; }

 private:
  void TakeListedName(int row);
  void UpdateOk();

  std::vector<history::NameEntry> listed_;
  QComboBox* device_ = nullptr;
  QComboBox* kind_ = nullptr;
  QSpinBox* number_ = nullptr;
  QLineEdit* name_ = nullptr;
  QTableWidget* names_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace torv
