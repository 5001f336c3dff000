// Tests that read what the program made with a program from another Debian
// package. That program must be there: a test without it fails and names the
// package, rather than passing or being skipped without a word.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace torv::testing {

// `program` is a name looked up in PATH or a path to an executable.
inline ::testing::AssertionResult ProgramInstalled(const std::string& program,
                                                   const std::string& package) {
  const std::string command = "command -v '" + program + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << program << " is not installed: it comes with the Debian "
         << "package " << package << ", which scripts/setup.sh installs";
}

}  // namespace torv::testing
