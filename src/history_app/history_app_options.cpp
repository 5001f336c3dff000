#include "history_app/history_app_options.h"

namespace torv {

HistoryAppOptions ParseHistoryAppOptions(const std::vector<std::string>& args) {
  HistoryAppOptions options;
  const auto fail = [&options](std::string error) {
    options.action = HistoryAppOptions::Action::kUsageError;
    options.error = std::move(error);
    return options;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") return {HistoryAppOptions::Action::kHelp, {}, {}};
    if (arg == "--version") return {HistoryAppOptions::Action::kVersion, {}, {}};
    std::optional<std::string> value;
    if (arg == "--db") {
      if (i + 1 == args.size()) return fail("--db needs a value");
      value = args[++i];
    } else if (arg.rfind("--db=", 0) == 0) {
      value = arg.substr(5);
    } else {
      return fail("unknown argument \"" + arg + "\"");
    }
    if (options.db) return fail("--db is given twice");
    if (value->empty()) return fail("--db needs a value");
    options.db = value;
  }
  return options;
}

std::string HistoryAppUsage() {
  return "Usage: torvdoc-history [--db STORE]\n"
         "The history window: every event ever imported from copies of ТОРВ-4 archives.\n"
         "  --db STORE   the history store: an SQLite file (a path or sqlite:PATH) or a\n"
         "               PostgreSQL server (postgresql://...); without it TORVDOC_DB,\n"
         "               else $XDG_DATA_HOME/torvdoc/history.sqlite3\n"
         "  --help       this text\n"
         "  --version    the program's version\n"
         "Exit status: 0 done, 2 wrong usage.\n";
}

}  // namespace torv
