// The names of a device's inputs and relays, edited in one table: every
// input, the relays its history has events of and those already named. What
// is changed, for any of the devices, is saved together; a names file (CSV)
// fills the table and the table is saved as one.
#pragma once

// Qt
#include <QDialog>
#include <QString>

// Std
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "history_ui/history_prompts.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace torv {

class NamesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit NamesDialog(const NameChoices& choices, QWidget* parent = nullptr);

  // The names that differ from the stored ones (a cleared name is empty).
  std::vector<history::NameEntry> ChangedNames() const;
  // Takes the names of a names file into the table, for the stored devices;
  // what was left out is told in the note.
  void ImportFile(const QString& file);
  // Writes the shown device's names, with `separator` between fields.
  void ExportFile(const QString& file, char separator);
  void AddRelay();

  QComboBox* Device() const { return device_; }
  QTableWidget* Table() const { return table_; }
  QLabel* Note() const { return note_; }
  QDialogButtonBox* Buttons() const { return buttons_; }

  enum Column { kKind, kNumber, kName };

 private:
  using Key = std::tuple<std::string, history::NumberKind, int>;

  void ShowDevice();
  void TakeEdit(int row, int column);
  void ChooseImportFile();
  void ChooseExportFile();
  std::string ShownDevice() const;

  std::vector<std::string> devices_;
  std::map<std::string, std::vector<int>> relays_;
  std::map<Key, std::string> stored_;
  std::map<Key, std::string> names_;  // as edited: every name shown or set
  QString folder_;
  std::optional<history::StoreLocation> store_;
  bool filling_ = false;  // set while the table is filled, not edited
  QComboBox* device_ = nullptr;
  QTableWidget* table_ = nullptr;
  QPushButton* addRelay_ = nullptr;
  QLabel* note_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace torv
