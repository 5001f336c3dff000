// A screen held in memory: what the window would show, kept for printing.
#pragma once

#include <string>
#include <vector>

#include "archive/event_table.h"
#include "archive/view_screen.h"
#include "report/report_builder.h"

namespace torv {

class MemoryScreen : public ViewScreen, public ReportTable {
 public:
  // As the window starts: the status line "Документирование" and a table of
  // 17 empty rows (the header and 16 data rows).
  MemoryScreen();

  void SetStatusText(const std::string& text) override { status_ = text; }
  void SetNewestRecordText(const std::string& text) override { newestRecordText_ = text; }
  void EnableStepButtons() override { stepButtonsEnabled_ = true; }
  void ShowMessage(const std::string& text) override { messages_.push_back(text); }
  void SetTableRows(std::vector<EventRow> rows) override { rows_ = std::move(rows); }
  void SetShownRecords(const std::vector<ShownRecord>& records) override {
    shownRecords_ = records;
  }

  std::string StatusText() const override { return status_; }
  // A row outside the table reads as four empty cells.
  EventRow TableRow(int row) const override;

  // What the command that starts the input view does before it asks for it.
  void DisableStepButtons() { stepButtonsEnabled_ = false; }

  const std::string& NewestRecordText() const { return newestRecordText_; }
  bool StepButtonsEnabled() const { return stepButtonsEnabled_; }
  // Every message shown so far, oldest first.
  const std::vector<std::string>& Messages() const { return messages_; }
  const std::vector<EventRow>& Rows() const { return rows_; }
  // The records behind data rows 1 to N, with their ring offsets; none before
  // the first view.
  const std::vector<ShownRecord>& ShownRecords() const { return shownRecords_; }

 private:
  std::string status_;
  std::string newestRecordText_;
  bool stepButtonsEnabled_ = false;
  std::vector<std::string> messages_;
  std::vector<EventRow> rows_;
  std::vector<ShownRecord> shownRecords_;
};

}  // namespace torv
