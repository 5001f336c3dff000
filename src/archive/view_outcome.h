// A view of the archive as a value: what one request shows, or the message
// that ended it. The window, the command line, the reports and the exports
// all ask here; nothing reads a view back off a screen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_source.h"
#include "archive/event_table.h"
#include "archive/result.h"
#include "archive/view_request.h"
#include "archive/view_state.h"

namespace torv {

// A record a view shows, with the ring offset it was read from.
struct ShownRecord {
  int offset = 0;
  ArchiveRecord record;

  bool operator==(const ShownRecord&) const = default;
};

// One data row of a view: the record and the four cells it decodes to.
struct ViewRow {
  ShownRecord shown;
  EventRow cells;

  bool operator==(const ViewRow&) const = default;
};

struct ViewOutcome {
  // Set when the request ended in a message: the table, the status line and
  // ShownRowCount then keep the previous view.
  std::optional<std::string> message;
  // With "Архив не удается открыть": why the archive could not be read.
  std::optional<Failure> readFailure;
  // The WriteOffset read, whenever the archive was read.
  std::optional<std::int32_t> writeOffset;
  // The newest record's time-date text (Edit1), once the archive was read
  // and its WriteOffset accepted, also when the view then ends in a message.
  std::optional<std::string> newestRecordText;

  // Only when shown: the status line (Label1), the rows newest first, and
  // whether the view enables the block-step buttons.
  std::string status;
  std::vector<ViewRow> rows;
  bool enablesStepButtons = false;

  // ViewState after the request: the four pending flags cleared, ReadOffset
  // where the view left it, ShownRowCount the rows shown (kept after a
  // message).
  ViewState state;

  bool Shown() const { return !message.has_value(); }
};

// The view `request` of `image`, continuing from `state` (ReadOffset for the
// steps, ArchiveFileName for the status line). Pure: reads nothing else and
// changes nothing.
ViewOutcome ComputeView(const ArchiveImage& image, const ViewState& state,
                        const ViewRequest& request);

// One view request: without an archive name it ends in "Не задано имя файла
// архива"; otherwise it reads the archive named by state.ArchiveFileName
// from `source` anew ("Архив не удается открыть" when it cannot) and
// computes the view.
ViewOutcome RequestView(const ViewState& state, const ViewRequest& request,
                        const ArchiveSource& source = FileArchiveSource());

}  // namespace torv
