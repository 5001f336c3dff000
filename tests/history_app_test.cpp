// torvdoc-history's command line: --help and --version answer without a
// display, and a wrong argument is a usage error.
#include "history_app/history_app_options.h"

#include <gtest/gtest.h>

#include "cli_test_support.h"

namespace torv {
namespace {

using cli_testing::ProcessResult;
using cli_testing::RunProcess;
using cli_testing::ScratchFolder;
using Action = HistoryAppOptions::Action;

TEST(HistoryAppOptionsTest, ReadsTheStoreAndTheQuestions) {
  EXPECT_EQ(ParseHistoryAppOptions({}).action, Action::kRun);
  EXPECT_EQ(ParseHistoryAppOptions({}).db, std::nullopt);
  EXPECT_EQ(ParseHistoryAppOptions({"--db", "/x/h.sqlite3"}).db, "/x/h.sqlite3");
  EXPECT_EQ(ParseHistoryAppOptions({"--db=postgresql://h/db"}).db, "postgresql://h/db");
  EXPECT_EQ(ParseHistoryAppOptions({"--db", "a", "--help"}).action, Action::kHelp);
  EXPECT_EQ(ParseHistoryAppOptions({"--version"}).action, Action::kVersion);
  const struct {
    std::vector<std::string> args;
    std::string error;
  } wrong[] = {
      {{"--db"}, "--db needs a value"},
      {{"--db="}, "--db needs a value"},
      {{"--db", "a", "--db", "b"}, "--db is given twice"},
      {{"store.sqlite3"}, "unknown argument \"store.sqlite3\""},
      {{"-platform", "xcb"}, "unknown argument \"-platform\""},
  };
  for (const auto& c : wrong) {
    const HistoryAppOptions options = ParseHistoryAppOptions(c.args);
    EXPECT_EQ(options.action, Action::kUsageError) << c.error;
    EXPECT_EQ(options.error, c.error);
  }
}

class HistoryAppProcessTest : public ::testing::Test {
 protected:
  ProcessResult Run(const std::vector<std::string>& args) {
    return RunProcess(TORVDOC_HISTORY_PATH, args, folder_.path(), folder_.path());
  }
  ScratchFolder folder_;
};

TEST_F(HistoryAppProcessTest, HelpAndVersionNeedNoDisplay) {
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  const ProcessResult help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out, HistoryAppUsage());
  EXPECT_EQ(help.err, "");
  const ProcessResult version = Run({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "torvdoc-history " TORVDOC_VERSION "\n");
  EXPECT_EQ(version.err, "");
}

TEST_F(HistoryAppProcessTest, AWrongArgumentIsAUsageError) {
  const ProcessResult result = Run({"--format", "pdf"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "torvdoc-history: unknown argument \"--format\"\n" + HistoryAppUsage());
}

}  // namespace
}  // namespace torv
