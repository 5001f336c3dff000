// The command line of torvdoc-history, read before any window exists so
// that --help and --version work without a display.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torv {

inline constexpr char kHistoryProgramName[] = "torvdoc-history";

struct HistoryAppOptions {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  std::optional<std::string> db;
  std::string error;  // for kUsageError: what was wrong
};

// Reads the arguments after the program name.
HistoryAppOptions ParseHistoryAppOptions(const std::vector<std::string>& args);

std::string HistoryAppUsage();

}  // namespace torv
