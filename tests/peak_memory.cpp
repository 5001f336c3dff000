// Runs a program and tells its peak resident memory: "peak KiB N" on
// standard error after the program's own output; exits with its status. A
// small process of its own, since a child forked from a large test process
// counts the test's memory as its own until it runs the program.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  // A program built with AddressSanitizer keeps what it frees in a
  // quarantine of up to 256 MB before using it again, which its peak would
  // count as held: the program's own peak is measured without one.
  std::string asan = std::getenv("ASAN_OPTIONS") != nullptr ? std::getenv("ASAN_OPTIONS") : "";
  asan += std::string(asan.empty() ? "" : ":") + "quarantine_size_mb=0";
  ::setenv("ASAN_OPTIONS", asan.c_str(), 1);
  const pid_t child = ::fork();
  if (child == 0) {
    ::execv(argv[1], argv + 1);
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return 2;
  std::fprintf(stderr, "peak KiB %ld\n", usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
