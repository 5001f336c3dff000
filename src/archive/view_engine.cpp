#include "archive/view_engine.h"

#include "archive/fill_event_table.h"

namespace torv {

ViewResult ShowOutcome(ViewOutcome outcome, ViewScreen& screen) {
  if (outcome.newestRecordText) screen.SetNewestRecordText(*outcome.newestRecordText);
  if (!outcome.Shown()) {
    screen.ShowMessage(*outcome.message);
    return ViewResult::kMessage;
  }
  screen.SetStatusText(outcome.status);
  if (outcome.enablesStepButtons) screen.EnableStepButtons();
  FillEventTable(screen, std::move(outcome.rows));
  return ViewResult::kShown;
}

void ShowOutcomes(const std::vector<ViewOutcome>& outcomes, ViewScreen& screen) {
  const std::string* newestRecordText = nullptr;
  const ViewOutcome* lastShown = nullptr;
  bool enablesStepButtons = false;
  for (const ViewOutcome& outcome : outcomes) {
    if (outcome.newestRecordText) newestRecordText = &*outcome.newestRecordText;
    if (outcome.Shown()) {
      lastShown = &outcome;
      enablesStepButtons = enablesStepButtons || outcome.enablesStepButtons;
    }
  }
  if (newestRecordText != nullptr) screen.SetNewestRecordText(*newestRecordText);
  if (lastShown != nullptr) {
    screen.SetStatusText(lastShown->status);
    if (enablesStepButtons) screen.EnableStepButtons();
    FillEventTable(screen, lastShown->rows);
  }
  for (const ViewOutcome& outcome : outcomes) {
    if (outcome.message) screen.ShowMessage(*outcome.message);
  }
}

ViewResult Button1Click(ViewState& state, ViewScreen& screen, const ArchiveSource& source) {
  ViewOutcome outcome = RequestView(state, PendingRequest(state), source);
  state = outcome.state;
  return ShowOutcome(std::move(outcome), screen);
}

}  // namespace torv
