// The history window's import dialogs: the copies and their device, and
// what the import came to. Built apart from showing them, so that tests can
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

namespace torv {

// The copies to import, chosen as files or as folders (the .dat files under
// them), and their device: proposed from the copies' folder or file names
// until the operator picks one, with a warning for copies whose names point
// to another stored device than the one chosen.
class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ImportDialog(const ImportChoices& choices, QWidget* parent = nullptr);

  void AddFiles(const QStringList& files);
  // The .dat files anywhere under `folder`.
  void AddFolder(const QString& folder);
  ImportRequest Request() const;

  QListWidget* Files() const { return files_; }
  QComboBox* Device() const { return device_; }
  QPushButton* ChooseFilesButton() const { return chooseFiles_; }
  QPushButton* ChooseFolderButton() const { return chooseFolder_; }
  QCheckBox* ForceDevice() const { return forceDevice_; }
  QLabel* Warning() const { return warning_; }
  QDialogButtonBox* Buttons() const { return buttons_; }

 private:
  void ChooseFiles();
  void ChooseFolder();
  void ProposeDevice();
  void UpdateState();

  QString folder_;
  std::vector<std::string> storedDevices_;
  // Once the operator typed or picked a device, the files no longer propose one.
  bool deviceChosen_ = false;
  QString folderNote_;
  QListWidget* files_ = nullptr;
  QComboBox* device_ = nullptr;
  QCheckBox* forceDevice_ = nullptr;
  QPushButton* chooseFiles_ = nullptr;
  QPushButton* chooseFolder_ = nullptr;
  QLabel* warning_ = nullptr;
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

}  // namespace torv
