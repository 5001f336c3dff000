// The README's examples of the archive commands, run as written in a copy of
// the clone with the demo archives, give what the README shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli_test_support.h"

namespace torv {
namespace {

namespace fs = std::filesystem;
using cli_testing::ProcessResult;
using cli_testing::ProcessSetting;
using cli_testing::ReadWholeFile;
using cli_testing::ReplaceAll;
using cli_testing::ScratchFolder;
using cli_testing::SplitLines;

const fs::path kSourceDir = TORVDOC_SOURCE_DIR;
// Where the README says the examples ran.
constexpr char kReadmeClone[] = "/home/operator/torvdoc";
// How the README runs the tool; here the built tool stands for it, since the
// test must not set up and build the tree it is part of.
constexpr char kRunTool[] = "./scripts/run.sh --cli";
constexpr char kAnyLines[] = "...";

struct Example {
  std::string command;
  std::vector<std::string> output;  // "..." stands for any number of lines
};

// The blocks of the README fenced by ``` alone whose first line is a
// command ("$ ..."): each command with the lines shown after it.
std::vector<Example> ReadmeExamples(const std::string& readme) {
  std::vector<Example> examples;
  bool inFence = false;
  bool plainFence = false;  // opened by ``` alone, not ```sh or ```json
  bool commandBlock = false;
  for (const std::string& line : SplitLines(readme)) {
    if (line.rfind("```", 0) == 0) {
      plainFence = !inFence && line == "```";
      inFence = !inFence;
      commandBlock = false;
      continue;
    }
    if (!inFence || !plainFence) continue;
    if (line.rfind("$ ", 0) == 0) {
      commandBlock = true;
      examples.push_back({line.substr(2), {}});
    } else if (commandBlock) {
      examples.back().output.push_back(line);
    }
  }
  return examples;
}

// The JSON block after "each of the 1024 records reads like this one".
std::string ReadmeRecord(const std::string& readme) {
  const std::size_t start = readme.find("```json\n");
  if (start == std::string::npos) return "";
  const std::size_t from = start + 8;
  return readme.substr(from, readme.find("```", from) - from);
}

bool Matches(const std::vector<std::string>& shown, std::size_t s,
             const std::vector<std::string>& actual, std::size_t a) {
  if (s == shown.size()) return a == actual.size();
  if (shown[s] == kAnyLines) {
    for (std::size_t skip = a; skip <= actual.size(); ++skip) {
      if (Matches(shown, s + 1, actual, skip)) return true;
    }
    return false;
  }
  return a < actual.size() && shown[s] == actual[a] && Matches(shown, s + 1, actual, a + 1);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(ReadmeExamplesTest, EachCommandGivesWhatTheReadmeShows) {
  const std::string readme = ReadWholeFile(kSourceDir / "README.md");
  // The section on the archive commands; the history's examples need a store
  // and name the time of each import.
  const std::size_t section = readme.find("\n## Command-line use\n");
  ASSERT_NE(section, std::string::npos);
  const std::string commandLineUse =
      readme.substr(section, readme.find("\n## ", section + 1) - section);
  const std::vector<Example> examples = ReadmeExamples(commandLineUse);
  ASSERT_GE(examples.size(), 10u);

  ScratchFolder folder;
  const fs::path clone = folder.path() / "torvdoc";
  fs::create_directories(clone / "samples");
  for (const char* name : {"full.dat", "partial.dat"}) {
    fs::copy_file(kSourceDir / "samples" / name, clone / "samples" / name);
  }
  ProcessSetting setting;
  setting.environment = {"LC_ALL=C.UTF-8"};
  int toolRuns = 0;
  for (const Example& example : examples) {
    SCOPED_TRACE(example.command);
    std::string command = example.command;
    if (command.find(kRunTool) != std::string::npos) ++toolRuns;
    command = ReplaceAll(command, kRunTool, std::string("'") + TORVDOC_CLI_PATH + "'");
    // Standard error shows where a terminal shows it: among the output.
    const ProcessResult result = cli_testing::RunProcess(
        "/bin/bash", {"-c", "{ " + command + "; } 2>&1"}, clone, folder.path(), setting);
    // A terminal shows the CR of a CSV line end as nothing.
    const std::vector<std::string> actual =
        SplitLines(ReplaceAll(ReplaceAll(result.out, "\r\n", "\n"), clone.string(), kReadmeClone));
    EXPECT_TRUE(Matches(example.output, 0, actual, 0)) << "the README shows:\n"
                                                       << Joined(example.output) << "it gives:\n"
                                                       << Joined(actual);
  }
  EXPECT_GE(toolRuns, 10);

  // The JSON record the README quotes is one of full.json's, field by field.
  const std::string record = ReadmeRecord(readme);
  ASSERT_FALSE(record.empty());
  const nlohmann::json quoted = nlohmann::json::parse(record);
  const nlohmann::json full = nlohmann::json::parse(ReadWholeFile(clone / "full.json"));
  bool found = false;
  for (const nlohmann::json& each : full.at("records")) found = found || each == quoted;
  EXPECT_TRUE(found) << record;
  EXPECT_EQ(full.at("newestRecord"), "14:39:40");
  EXPECT_EQ(full.at("writeOffset"), 5408);
  EXPECT_NE(readme.find("`newestRecord` (\"14:39:40\")"), std::string::npos);
}

}  // namespace
}  // namespace torv
