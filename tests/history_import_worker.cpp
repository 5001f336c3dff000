// A separate process that imports archive files into a history store through
// the library calls the command line uses; the fault tests start several at
// once, kill them, or point them at bad stores.
//   history_import_worker DB DEVICE FILE...
// One line per file on standard output after its import is stored; messages
// on standard error; exit 1 when any file or the store failed.
#include <cstdio>
#include <string>

#include "history/archive_copy.h"
#include "history/history_store.h"
#include "history/store_location.h"
#include "history_report/history_summaries.h"

int main(int argc, char** argv) {
  using namespace torv::history;
  if (argc < 4) {
    std::fprintf(stderr, "usage: history_import_worker DB DEVICE FILE...\n");
    return 2;
  }
  torv::Result<StoreLocation> location =
      ResolveStoreLocation(std::string(argv[1]), ProcessStoreEnvironment());
  if (!location) {
    std::fprintf(stderr, "%s\n", location.failure().reason.c_str());
    return 1;
  }
  torv::Result<std::unique_ptr<HistoryStore>> store = OpenHistoryStore(*location, OpenMode::kWrite);
  if (!store) {
    std::fprintf(stderr, "%s\n", store.failure().reason.c_str());
    return 1;
  }
  int exitCode = 0;
  for (int i = 3; i < argc; ++i) {
    torv::Result<ImportOutcome> outcome = ImportArchiveFile(**store, argv[2], argv[i], {});
    if (!outcome) {
      std::fprintf(stderr, "%s: %s\n", argv[i], outcome.failure().reason.c_str());
      exitCode = 1;
      continue;
    }
    std::printf("%s\n", torv::ImportLine(argv[i], *outcome).c_str());
    std::fflush(stdout);
  }
  return exitCode;
}
