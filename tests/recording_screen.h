// A ViewScreen that remembers everything shown on it, for tests.
#pragma once

#include <string>
#include <vector>

#include "archive/view_screen.h"
#include "report/report_builder.h"

namespace torv::testing {

class RecordingScreen : public ViewScreen, public ReportTable {
 public:
  std::string status{kStartStatusText};
  std::string newestRecordText;
  bool stepButtonsEnabled = false;
  std::vector<std::string> messages;
  // The empty table the window starts with.
  std::vector<EventRow> table = std::vector<EventRow>(kStartTableRowCount);
  int tableFills = 0;

  void SetStatusText(const std::string& text) override { status = text; }
  void SetNewestRecordText(const std::string& text) override { newestRecordText = text; }
  void EnableStepButtons() override { stepButtonsEnabled = true; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void SetTableRows(std::vector<EventRow> rows) override {
    table = std::move(rows);
    ++tableFills;
  }

  std::string StatusText() const override { return status; }
  // A row outside the table reads as four empty cells, as in the window.
  EventRow TableRow(int row) const override {
    if (row < 0 || static_cast<std::size_t>(row) >= table.size()) return {};
    return table[static_cast<std::size_t>(row)];
  }
};

}  // namespace torv::testing
