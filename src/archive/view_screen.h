// What showing a view needs from a screen. The window and the tests each
// implement it, so that both show the same outcomes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_format.h"
#include "archive/event_table.h"

namespace torv {

// Every screen before its first view: this status line, and a table of the
// header row and 16 data rows with every cell empty, the header's included.
inline constexpr std::string_view kStartStatusText = "Документирование";
inline constexpr int kStartTableRowCount = 1 + kRecordsPerBlock;

class ViewScreen {
 public:
  virtual ~ViewScreen() = default;

  // The status line (Label1 in the window).
  virtual void SetStatusText(const std::string& text) = 0;
  // The newest record's time-date text (Edit1 in the window).
  virtual void SetNewestRecordText(const std::string& text) = 0;
  // Enables both block-step buttons (Button5 and Button6 in the window).
  virtual void EnableStepButtons() = 0;
  // A message in a plain information box; returns when it has been closed.
  virtual void ShowMessage(const std::string& text) = 0;
  // Replaces the whole table: element 0 is the header row, then the N data
  // rows, so the table has N + 1 rows afterwards.
  virtual void SetTableRows(std::vector<EventRow> rows) = 0;
};

}  // namespace torv
