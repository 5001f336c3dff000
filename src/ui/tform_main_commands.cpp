// The navigation commands, and the window as the view engine's screen and as
// the table the reports read.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "archive/view_engine.h"
#include "archive/view_request.h"
#include "ui/event_table_model.h"
#include "ui/failure_text.h"
#include "ui/tform_main.h"

namespace torv {

void TForm_main::RunHandler(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& failure) {
    prompts_.ShowFailure(appTitle_, QString::fromStdString(FailureBoxText(failure.what())));
  }
}

void TForm_main::Button1Click() {
  torv::Button1Click(state_, *this);
}

void TForm_main::Button8Click() {
  state_.BlocksBack = kNewestBlock;
  Button1Click();
}

void TForm_main::Button9Click() {
  state_.BlocksBack = kOldestBlock;
  Button1Click();
}

void TForm_main::Button6Click() {
  state_.StepBackwardPending = 1;
  Button1Click();
}

void TForm_main::Button5Click() {
  state_.StepForwardPending = 1;
  Button1Click();
}

void TForm_main::ToolButton6Click() {
  // Only shows the documenting group; printing is its "Печать " button.
  ui_.GroupBoxPrint->show();
}

void TForm_main::SetStatusText(const std::string& text) {
  statusText_ = text;
  ui_.Label1->setText(QString::fromStdString(text));
  ui_.Label1->adjustSize();
}

void TForm_main::SetNewestRecordText(const std::string& text) {
  ui_.Edit1->setText(QString::fromStdString(text));
  // The field is narrower than the text: show its start, the time.
  ui_.Edit1->setCursorPosition(0);
}

void TForm_main::EnableStepButtons() {
  ui_.Button5->setEnabled(true);
  ui_.Button6->setEnabled(true);
}

void TForm_main::ShowMessage(const std::string& text) {
  prompts_.ShowInformation(appTitle_, QString::fromStdString(text));
}

void TForm_main::SetTableRows(std::vector<EventRow> rows) {
  eventTable_->SetRows(std::move(rows));
}

std::string TForm_main::StatusText() const {
  return statusText_;
}

EventRow TForm_main::TableRow(int row) const {
  return eventTable_->GridRow(row);
}

int TForm_main::TableRowCount() const {
  return eventTable_->GridRowCount();
}

}  // namespace torv
