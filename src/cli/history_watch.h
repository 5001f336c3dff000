// torvdoc-cli history watch: imports each copy that appears in the folders,
// until SIGTERM or SIGINT.
#pragma once

#include "cli/cli_options.h"
#include "cli/command_streams.h"
#include "history/history_store.h"
#include "history/store_location.h"

namespace torv {

int WatchForCopies(const CliOptions& options, history::HistoryStore& store,
                   const history::StoreLocation& location, CommandStreams& streams);

}  // namespace torv
