// The copies dialog: every copy kept of one device, as `history copies`
// lists them, from which the operator chooses the copies to withdraw. A
// withdrawn copy stays listed, greyed, and cannot be chosen again.
#pragma once

// Qt
#include <QDialog>

// Std
#include <cstdint>
#include <vector>

#include "history_ui/history_prompts.h"

class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace torv {

class CopiesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CopiesDialog(const CopiesChoices& choices, QWidget* parent = nullptr);

  // The ids of the chosen rows, in the list's order.
  std::vector<std::int64_t> ChosenIds() const;

  QTableWidget* Table() const { return table_; }
  QPushButton* WithdrawButton() const { return withdraw_; }
  QDialogButtonBox* Buttons() const { return buttons_; }

 private:
  void UpdateWithdraw();

  std::vector<std::int64_t> ids_;  // by row
  QTableWidget* table_ = nullptr;
  QPushButton* withdraw_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace torv
