// The PostgreSQL server a benchmark measures: TORVDOC_BENCH_PG_URI names a
// database, else a server is started in the build folder with the tests'
// script (TORVDOC_PG_SERVER_SCRIPT) and stopped when the program ends.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace torv::bench {

// The state file of the server this run started; empty when none.
inline std::string& StartedServerState() {
  static std::string state;
  return state;
}

inline void StopStartedServer() {
  if (StartedServerState().empty()) return;
  const std::string command = std::string(TORVDOC_PG_SERVER_SCRIPT) + " stop '" +
                              StartedServerState() + "' >/dev/null 2>&1";
  (void)std::system(command.c_str());
}

// The database's URI, or empty after a message on standard error. `name`
// tells the server's folder (under TORVDOC_BENCH_DIR) apart from another
// benchmark's.
inline std::string BenchServerUri(const std::string& name) {
  if (const char* given = std::getenv("TORVDOC_BENCH_PG_URI")) return given;
  StartedServerState() = std::string(TORVDOC_BENCH_DIR) + "/" + name;
  const std::string command =
      std::string(TORVDOC_PG_SERVER_SCRIPT) + " start '" + StartedServerState() + "'";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "the PostgreSQL server did not start\n");
    return {};
  }
  std::atexit(StopStartedServer);
  FILE* state = std::fopen(StartedServerState().c_str(), "r");
  char line[4096] = {};
  if (state == nullptr || std::fgets(line, sizeof line, state) == nullptr) {
    if (state != nullptr) std::fclose(state);
    std::fprintf(stderr, "the PostgreSQL server gave no URI\n");
    return {};
  }
  std::fclose(state);
  std::string uri = line;
  while (!uri.empty() && uri.back() == '\n') uri.pop_back();
  return uri;
}

}  // namespace torv::bench
