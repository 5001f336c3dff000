// The view engine's entry as the window knows it: a request raised by the
// pending flags of ViewState, its outcome shown on a screen.
#pragma once

#include <vector>

#include "archive/archive_source.h"
#include "archive/view_outcome.h"
#include "archive/view_screen.h"
#include "archive/view_state.h"

namespace torv {

enum class ViewResult {
  kShown,    // the table, the status line and ShownRowCount show the new view
  kMessage,  // the request ended in a message; the table was left as it was
};

// Shows one outcome: the newest record's text, then either the status line,
// the step buttons and the table, or the message.
ViewResult ShowOutcome(ViewOutcome outcome, ViewScreen& screen);

// Shows what a screen holds after `outcomes` were shown one after another:
// the last newest record's text, the last view shown, the step buttons
// enabled when any view enabled them, and the messages in order. The table
// is filled once.
void ShowOutcomes(const std::vector<ViewOutcome>& outcomes, ViewScreen& screen);

// One view request as the window raises it: the request made by the pending
// flags (PendingRequest), its outcome computed from the archive read anew,
// shown on `screen`, and `state` moved on (the four flags cleared, every
// time: a failed command never decides what a later one shows).
ViewResult Button1Click(ViewState& state, ViewScreen& screen,
                        const ArchiveSource& source = FileArchiveSource());

}  // namespace torv
