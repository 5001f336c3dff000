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

// What a child process gets besides its arguments.
struct ProcessSetting {
  std::filesystem::path standardInput = "/dev/null";
  const char* standardOutput = nullptr;  // an existing file instead of the capture
  // "NAME=value" entries that replace or add to the inherited environment.
  std::vector<std::string> environment;
};

// The inherited environment with `changes` applied, as execve takes it; of
// two changes to one name the later wins.
inline std::vector<std::string> ChangedEnvironment(const std::vector<std::string>& changes) {
  const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=') + 1); };
  std::vector<std::string> entries;
  for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
    bool later = false;
    for (const std::string& kept : entries) later |= nameOf(kept) == nameOf(*change);
    if (!later) entries.push_back(*change);
  }
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string inherited = *entry;
    bool changed = false;
    for (const std::string& change : changes) changed |= nameOf(change) == nameOf(inherited);
    if (!changed) entries.push_back(inherited);
  }
  return entries;
}

// Runs `program` with `args` in the folder `workDir`; standard input is empty
// unless `setting` names a file, and both outputs are captured through files
// in `captureDir`, unless standard output is to go to the existing file
// setting.standardOutput (/dev/full).
inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& workDir,
                                const std::filesystem::path& captureDir,
                                const ProcessSetting& setting = {}) {
  const std::filesystem::path outFile = captureDir / ".stdout";
  const std::filesystem::path errFile = captureDir / ".stderr";
  std::vector<std::string> argvStrings{program};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings = ChangedEnvironment(setting.environment);
  std::vector<char*> envp;
  for (std::string& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);

  const pid_t child = ::fork();
  if (child == 0) {
    // Only async-signal-safe calls between fork and exec.
    const int in = ::open(setting.standardInput.c_str(), O_RDONLY);
    const int out = setting.standardOutput != nullptr
                        ? ::open(setting.standardOutput, O_WRONLY)
                        : ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0 || ::chdir(workDir.c_str()) != 0) {
      ::_exit(126);
    }
    ::execve(program.c_str(), argv.data(), envp.data());
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

// Replaces every occurrence of `from` in `text` with `to`.
inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The same with standard output going to the existing file `stdoutPath`.
inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& workDir,
                                const std::filesystem::path& captureDir, const char* stdoutPath) {
  ProcessSetting setting;
  setting.standardOutput = stdoutPath;
  return RunProcess(program, args, workDir, captureDir, setting);
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
