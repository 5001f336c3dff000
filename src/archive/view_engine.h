// The view engine: the one operation that reads the archive and decides which
// records the table shows.
#pragma once

#include <optional>
#include <string>

#include "archive/archive_format.h"
#include "archive/result.h"
#include "archive/view_screen.h"
#include "archive/view_state.h"

namespace torv {

// Where a view request reads the archive from. The program reads files;
// fuzzing and benchmarks hand over bytes held in memory.
class ArchiveSource {
 public:
  virtual ~ArchiveSource() = default;
  // The archive named `archiveFileName`, or why it cannot be read.
  virtual Result<ArchiveImage> Read(const std::string& archiveFileName) const = 0;
};

// Reads the named file from disk, anew at every request.
const ArchiveSource& FileArchiveSource();

enum class ViewResult {
  kShown,    // the table, the status line and ShownRowCount show the new view
  kMessage,  // the request ended in a message; the table was left as it was
};

// One view request. Rereads the archive named by state.ArchiveFileName, writes
// the newest record's time-date text, runs the view chosen by the pending flags
// (a step first, then the input view, then the date search, else the plain
// view), fills the table and clears the four pending flags. Every request that
// ends in a message clears the four flags as well, so a failed command never
// decides what a later one shows.
ViewResult Button1Click(ViewState& state, ViewScreen& screen,
                        const ArchiveSource& source = FileArchiveSource());

}  // namespace torv
