// Taking an archive file as a copy for the history: read exactly as a view
// request reads it, with the same refusals.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/result.h"
#include "history/history_model.h"
#include "history/history_store.h"

namespace torv::history {

// The local calendar date of an instant.
CopyTime CopyTimeAt(std::int64_t unixSeconds);
// "YYYY-MM-DDTHH:MM:SS" in local time.
Result<CopyTime> ParseCopiedAt(std::string_view text);

// The records of the archive at `path`, oldest first, empty ones left out;
// the copy's time is `copiedAt`, else the file's modification time. An empty
// archive (WriteOffset 255) gives a copy without records and `emptyArchive`.
// Failures carry the view's message: "Архив не удается открыть",
// "Архив поврежден".
// True for a failure of the file itself (the two messages above), false for
// one of the store.
bool IsArchiveFileFailure(const Failure& failure);

struct ReadCopy {
  ArchiveCopy copy;
  bool emptyArchive = false;
  std::uint64_t fileSize = 0;  // as the file system gives it
};
Result<ReadCopy> ReadArchiveCopy(const std::string& path, const std::optional<CopyTime>& copiedAt);

// Reads the file and merges it into the history of `device`: what
// `history import` does for each file. A file that is no archive
// (genuine_copy.h) or whose copy time cannot be right is refused in the
// outcome, with nothing stored. `forcedDevice`: see ArchiveCopy.
Result<ImportOutcome> ImportArchiveFile(HistoryStore& store, const std::string& device,
                                        const std::string& path,
                                        const std::optional<CopyTime>& copiedAt,
                                        bool forcedDevice = false);

// Whether an import of several files may go on to the next: the SQLite
// store's file is still there under its name (deleted with its folder, it
// takes every write into nothing), and after a failure that was the
// store's, not the file's, the store still answers. Its failure ends the
// import.
Status StoreStillThere(HistoryStore& store, const StoreLocation& location, bool afterStoreFailure);

// What `history import` does for several files: each file read and merged
// into the history of its device as ImportArchiveFile does, with up to
// kCopiesPerTransaction copies of one device in a row committed together
// (fewer writes of the same pages), each file's outcome handed to `done` in
// the files' order once its copy is committed; `done` returns false to stop
// the import there. A failure of the database (or a refused copy) while
// storing several copies stores them again one by one, so that each file
// has its own outcome. Each file is checked as ImportArchiveFile checks it.
inline constexpr std::size_t kCopiesPerTransaction = 32;
struct FileToImport {
  std::string device;
  std::string path;
};
void ImportArchiveFiles(
    HistoryStore& store, const std::vector<FileToImport>& files,
    const std::optional<CopyTime>& copiedAt, bool forcedDevice,
    const std::function<bool(const std::string& path, const Result<ImportOutcome>&)>& done);

}  // namespace torv::history
