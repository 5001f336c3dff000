// Running torvdoc-cli as a child process, and a scratch folder for its files.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "temp_archive.h"

namespace torv::cli_testing {

// A private temporary folder, removed with everything in it.
using ScratchFolder = torv::testing::TempFolder;

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ProcessResult {
  int exitCode = -1;  // -1 when the process did not exit normally
  std::string out;    // standard output, byte for byte
  std::string err;    // standard error, byte for byte
};

// Runs `program` with `args` in the folder `workDir`; standard input is empty
// and both outputs are captured through files in `captureDir`, unless
// standard output is to go to the existing file `stdoutPath` (/dev/full).
inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& workDir,
                                const std::filesystem::path& captureDir,
                                const char* stdoutPath = nullptr) {
  const std::filesystem::path outFile = captureDir / ".stdout";
  const std::filesystem::path errFile = captureDir / ".stderr";
  std::vector<std::string> argvStrings{program};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  const pid_t child = ::fork();
  if (child == 0) {
    // Only async-signal-safe calls between fork and exec.
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = stdoutPath != nullptr
                        ? ::open(stdoutPath, O_WRONLY)
                        : ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0 || ::chdir(workDir.c_str()) != 0) {
      ::_exit(126);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ProcessResult result;
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return result;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.out = ReadWholeFile(outFile);
  result.err = ReadWholeFile(errFile);
  std::error_code ignored;
  std::filesystem::remove(outFile, ignored);
  std::filesystem::remove(errFile, ignored);
  return result;
}

// Splits a text at each "\n"; a final "\n" ends the last line.
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

#ifdef TORVDOC_CLI_PATH
// Runs the built torvdoc-cli in a scratch folder of its own.
class CliRunTest : public ::testing::Test {
 protected:
  ProcessResult Run(const std::vector<std::string>& args) {
    return RunProcess(TORVDOC_CLI_PATH, args, folder_.path(), folder_.path());
  }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    return folder_.Write(name, bytes);
  }
  // Runs a command that must succeed and returns its standard output.
  std::string Output(const std::vector<std::string>& args) {
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return result.out;
  }

  ScratchFolder folder_;
};
#endif

}  // namespace torv::cli_testing
