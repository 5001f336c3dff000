// The README's examples of the archive commands, run as written in a copy of
// the clone with the demo archives, give what the README shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
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

// The examples of the README's section `heading`, in order.
std::vector<Example> SectionExamples(const std::string& readme, const std::string& heading) {
  const std::size_t section = readme.find("\n## " + heading + "\n");
  if (section == std::string::npos) return {};
  return ReadmeExamples(readme.substr(section, readme.find("\n## ", section + 1) - section));
}

// A copy of the clone with the demo archives: the folder the examples ran in.
fs::path CloneWithSamples(const ScratchFolder& folder) {
  const fs::path clone = folder.path() / "torvdoc";
  fs::create_directories(clone / "samples");
  for (const char* name : {"full.dat", "partial.dat"}) {
    fs::copy_file(kSourceDir / "samples" / name, clone / "samples" / name);
  }
  return clone;
}

// Runs each example in `folder` with `tool` put in for how the README calls
// the tool, and checks that it gives the lines the README shows after
// `normalize` (which hides what changes from run to run) and the usual
// terminal rendering. Returns how many commands ran the tool.
int RunExamples(const std::vector<Example>& examples, const fs::path& folder,
                const ScratchFolder& capture, const ProcessSetting& setting,
                const std::string& calledAs, const std::string& shownFolder,
                std::string (*normalize)(const std::string&)) {
  int toolRuns = 0;
  for (const Example& example : examples) {
    SCOPED_TRACE(example.command);
    std::string command = example.command;
    if (command.find(calledAs) != std::string::npos) ++toolRuns;
    command = ReplaceAll(command, calledAs, std::string("'") + TORVDOC_CLI_PATH + "' ");
    // Standard error shows where a terminal shows it: among the output.
    const ProcessResult result = cli_testing::RunProcess(
        "/bin/bash", {"-c", "{ " + command + "; } 2>&1"}, folder, capture.path(), setting);
    // A terminal shows the CR of a CSV line end as nothing.
    const std::string shown =
        ReplaceAll(ReplaceAll(result.out, "\r\n", "\n"), folder.string(), shownFolder);
    std::vector<std::string> expected;
    for (const std::string& line : example.output) expected.push_back(normalize(line));
    const std::vector<std::string> actual = SplitLines(normalize(shown));
    EXPECT_TRUE(Matches(expected, 0, actual, 0)) << "the README shows:\n"
                                                 << Joined(example.output) << "it gives:\n"
                                                 << Joined(actual);
  }
  return toolRuns;
}

std::string AsItIs(const std::string& text) {
  return text;
}

// The last import's time ends each line of `history devices` and stands in
// a listing's coverage (with the journal's hash, which covers it), and a
// file imported again names the time it was imported first.
std::string WithoutImportTime(const std::string& text) {
  static const std::regex importTime(R"(\t[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$)",
                                     std::regex::multiline);
  static const std::regex importedAt(
      R"(уже импортирован [0-9]{2}\.[0-9]{2}\.[0-9]{4} [0-9]{2}:[0-9]{2})");
  static const std::regex lastImport(R"(последний импорт [0-9]{2}\.[0-9]{2}\.[0-9]{4} [0-9:]{5})");
  static const std::regex journalHash(R"((Журнал: запись [0-9]+, )[0-9a-f]{64})");
  std::string shown = std::regex_replace(text, importTime, "\t(the time of the last import)");
  shown = std::regex_replace(shown, importedAt, "уже импортирован (the time of that import)");
  shown = std::regex_replace(shown, lastImport, "последний импорт (the time of the last import)");
  return std::regex_replace(shown, journalHash, "$1(the journal's hash)");
}

TEST(ReadmeExamplesTest, EachCommandGivesWhatTheReadmeShows) {
  const std::string readme = ReadWholeFile(kSourceDir / "README.md");
  const std::vector<Example> examples = SectionExamples(readme, "Command-line use");
  ASSERT_GE(examples.size(), 10u);

  ScratchFolder folder;
  const fs::path clone = CloneWithSamples(folder);
  ProcessSetting setting;
  setting.environment = {"LC_ALL=C.UTF-8"};
  // How the README runs the tool from a clone; the built tool stands for it,
  // since the test must not set up and build the tree it is part of.
  EXPECT_GE(RunExamples(examples, clone, folder, setting, "./scripts/run.sh --cli ", kReadmeClone,
                        AsItIs),
            10);

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

// The history's examples, in order, with the default store of a home of
// their own, in a folder holding copies of the demo archives and the names
// file the README shows.
TEST(ReadmeExamplesTest, TheHistorysCommandsGiveWhatTheReadmeShows) {
  const std::string readme = ReadWholeFile(kSourceDir / "README.md");
  const std::vector<Example> examples = SectionExamples(readme, "History");
  ASSERT_GE(examples.size(), 8u);

  ScratchFolder folder;
  const fs::path work = folder.path() / "work";
  fs::create_directories(work);
  for (const char* name : {"full.dat", "partial.dat"}) {
    fs::copy_file(kSourceDir / "samples" / name, work / name);
  }
  const std::string names = "device,kind,number,name\n3,relay,4,Сирена\n";
  folder.Write("work/names.csv", std::vector<std::uint8_t>(names.begin(), names.end()));
  fs::create_directories(folder.path() / "home");
  ProcessSetting setting;
  setting.environment = {"LC_ALL=C.UTF-8", "TZ=UTC", "TORVDOC_DB=", "XDG_DATA_HOME=",
                         "HOME=" + (folder.path() / "home").string()};
  EXPECT_GE(RunExamples(examples, work, folder, setting, "torvdoc-cli ", work.string(),
                        WithoutImportTime),
            8);
  EXPECT_TRUE(fs::is_regular_file(folder.path() / "home/.local/share/torvdoc/history.sqlite3"));
}

}  // namespace
}  // namespace torv
