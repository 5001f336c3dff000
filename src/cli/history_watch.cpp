#include "cli/history_watch.h"

#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/cli_messages.h"
#include "cli/history_messages.h"
#include "fileio/atomic_write.h"
#include "history/archive_copy.h"
#include "history/copy_watch.h"
#include "history/import_sources.h"
#include "history/operator_text.h"
#include "history_report/history_summaries.h"

namespace torv {
namespace {

namespace fs = std::filesystem;

volatile std::sig_atomic_t stopAsked = 0;

void AskToStop(int /*signal*/) {
  stopAsked = 1;
}

// Sleeps `seconds`, waking early when a stop is asked.
void Pause(std::int64_t seconds) {
  for (std::int64_t tenths = 0; tenths < seconds * 10 && stopAsked == 0; ++tenths) {
    const timespec tenth{0, 100'000'000};
    nanosleep(&tenth, nullptr);
  }
}

std::int64_t Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec;
}

// The state file: --state, else $XDG_STATE_HOME/torvdoc/watch.state
// (~/.local/state when XDG_STATE_HOME is unset).
std::string StatePath(const CliOptions& options) {
  if (options.history.watchState) return *options.history.watchState;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state != '\0') {
    return (fs::path(state) / "torvdoc/watch.state").string();
  }
  const char* home = std::getenv("HOME");
  return (fs::path(home != nullptr ? home : ".") / ".local/state/torvdoc/watch.state").string();
}

std::optional<history::FileLook> LookOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return history::FileLook{static_cast<std::int64_t>(status.st_size),
                           status.st_mtim.tv_sec * 1'000'000'000LL + status.st_mtim.tv_nsec};
}

}  // namespace

int WatchForCopies(const CliOptions& options, history::HistoryStore& store,
                   const history::StoreLocation& location, CommandStreams& streams) {
  const HistoryOptions& history = options.history;
  const std::string statePath = StatePath(options);
  std::map<std::string, history::FileLook> taken;
  if (std::ifstream in(statePath, std::ios::binary); in) {
    Result<std::map<std::string, history::FileLook>> read = history::ParseWatchState(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    if (!read) {
      streams.Err(CliMessage(statePath, read.failure().reason));
      return kExitMessage;
    }
    taken = std::move(*read);
  }
  std::error_code ignored;
  fs::create_directories(fs::path(statePath).parent_path(), ignored);
  history::CopyWatch watch(history.watchSettle, std::move(taken));

  stopAsked = 0;
  struct sigaction stop {};
  stop.sa_handler = AskToStop;
  sigaction(SIGTERM, &stop, nullptr);
  sigaction(SIGINT, &stop, nullptr);

  const history::DeviceNaming naming{history::OnlyDevice(history.query), history.deviceFromFolder,
                                     history.deviceFromName};
  while (stopAsked == 0) {
    Result<std::vector<history::ImportSource>> sources =
        history::CollectImportSources(options.arguments, naming);
    if (!sources) {
      streams.Err(CliMessage("", sources.failure().reason));
      return kExitMessage;
    }
    std::map<std::string, history::FileLook> present;
    std::map<std::string, const history::ImportSource*> byPath;
    for (const history::ImportSource& source : *sources) {
      if (const std::optional<history::FileLook> look = LookOf(source.file)) {
        present[source.file] = *look;
        byPath[source.file] = &source;
      }
    }
    for (const std::string& path : watch.Ready(present, Now())) {
      if (stopAsked != 0) break;
      const history::ImportSource& source = *byPath.at(path);
      std::string problem = source.problem;
      if (problem.empty()) {
        // A device not stored yet needs --new-device, as for history import.
        Result<std::vector<std::string>> devices = history::StoredDeviceNames(store);
        const Status allowed =
            devices ? history::CheckDeviceChoice(*devices, source.device, history.newDevice)
                    : Status(devices.failure());
        if (!allowed) problem = allowed.failure().reason;
      }
      if (!problem.empty()) {
        streams.Err(CliMessage(source.file, problem));
      } else if (Result<history::ImportOutcome> outcome =
                     history::ImportArchiveFile(store, source.device, source.file, std::nullopt);
                 !outcome) {
        streams.Err(ImportFailureMessage(source.file, outcome.failure(), location.shown));
      } else if (outcome->refusal) {
        streams.Err(CliMessage(source.file, *outcome->refusal));
      } else {
        streams.Out(ImportLine(source.file, *outcome) + "\n");
        if (outcome->warning) streams.Err(CliMessage(source.file, *outcome->warning));
      }
      // Told once: a refused file waits until it changes.
      watch.Taken(path, present.at(path));
      if (Status saved = WriteFileAtomically(statePath, WatchStateText(watch.TakenFiles()));
          !saved) {
        streams.Err(CannotWriteMessage(statePath, saved.failure()));
        return kExitMessage;
      }
    }
    Pause(history.watchInterval);
  }
  return kExitDone;
}

}  // namespace torv
