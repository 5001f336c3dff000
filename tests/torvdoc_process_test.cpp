// The window program torvdoc run as a process: its command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/window_arguments.h"
#include "cli_test_support.h"

namespace torv {
namespace {

using cli_testing::ProcessResult;
using cli_testing::RunProcess;
using cli_testing::ScratchFolder;

// Runs torvdoc through env(1) with `environment` changes ("-u NAME" or
// "NAME=value") before its arguments.
ProcessResult RunWindow(const std::vector<std::string>& environment,
                        const std::vector<std::string>& args) {
  const ScratchFolder folder;
  // env takes its options before the variables it sets. A private runtime
  // folder leaves Qt nothing to say about it.
  std::vector<std::string> all = environment;
  const auto firstSet = std::find_if(all.begin(), all.end(), [](const std::string& change) {
    return change.find('=') != std::string::npos;
  });
  all.insert(firstSet, "XDG_RUNTIME_DIR=" + folder.path().string());
  all.push_back(TORVDOC_WINDOW_PATH);
  all.insert(all.end(), args.begin(), args.end());
  return RunProcess("/usr/bin/env", all, folder.path(), folder.path());
}

// No display of any kind: only what needs none may run.
const std::vector<std::string> kNoDisplay = {"-u", "DISPLAY",        "-u", "WAYLAND_DISPLAY",
                                             "-u", "QT_QPA_PLATFORM"};

TEST(TorvdocProcessTest, HelpPrintsTheUsageWithoutADisplay) {
  const ProcessResult result = RunWindow(kNoDisplay, {"--help"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, WindowUsage().toStdString());
  EXPECT_EQ(result.out.substr(0, 22), "Usage: torvdoc [FILE]\n");
  EXPECT_EQ(result.err, "");
}

TEST(TorvdocProcessTest, VersionPrintsTheProjectsVersion) {
  const ProcessResult result = RunWindow(kNoDisplay, {"--version"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "torvdoc " TORVDOC_VERSION "\n");
  EXPECT_EQ(result.err, "");
}

TEST(TorvdocProcessTest, UnknownOptionIsAUsageError) {
  const ProcessResult result = RunWindow({"QT_QPA_PLATFORM=offscreen"}, {"--print"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "torvdoc: Unknown option 'print'.\nTry 'torvdoc --help'.\n");
}

TEST(TorvdocProcessTest, TwoFilesAreAUsageError) {
  const ProcessResult result = RunWindow({"QT_QPA_PLATFORM=offscreen"}, {"a.dat", "b.dat"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err, "torvdoc: one archive FILE at most, not 2\nTry 'torvdoc --help'.\n");
}

}  // namespace
}  // namespace torv
