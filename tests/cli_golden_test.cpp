// Every output of torvdoc-cli, byte for byte, as recorded in tests/golden/:
// the demo archives, generated archives (empty, young, exactly full, wrapped,
// wrapped many times) and archives made odd on purpose (short, long, an
// offset that is not a slot), through every command, view, step, format and
// encoding, and the failures with their exit codes and messages.
//
// tests/golden/cases.txt lists the runs; tests/golden/cli/NAME.txt holds what
// run NAME gave: its exit code, standard error, standard output and, for runs
// with "-o @out", the file written. To record again on purpose, run this test
// with TORVDOC_GOLDEN_RECORD=1 and review the diff.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli_test_support.h"

namespace torv {
namespace {

namespace fs = std::filesystem;
using cli_testing::ProcessResult;
using cli_testing::ReadWholeFile;
using cli_testing::ReplaceAll;
using cli_testing::RunProcess;

const fs::path kGoldenDir = TORVDOC_GOLDEN_DIR;
const fs::path kSamplesDir = TORVDOC_SAMPLES_DIR;
// A folder name with Cyrillic letters and a space, as operators name them.
const std::string kArchiveFolder = "архивы ТОРВ";
const std::string kOutputName = "out.bin";
// Stands for the scratch folder in recorded outputs, which name it.
const std::string kFolderMark = "<DIR>";

struct GoldenCase {
  std::string name;
  std::vector<std::string> args;  // "@x" names archive x, "@out" the output file
};

std::vector<GoldenCase> ReadCases() {
  std::istringstream text(ReadWholeFile(kGoldenDir / "cases.txt"));
  std::vector<GoldenCase> cases;
  std::string line;
  while (std::getline(text, line)) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
      ADD_FAILURE() << "cases.txt: no name in \"" << line << "\"";
      continue;
    }
    GoldenCase goldenCase{line.substr(0, colon), {}};
    std::istringstream words(line.substr(colon + 1));
    for (std::string word; words >> word;) goldenCase.args.push_back(word == "''" ? "" : word);
    cases.push_back(goldenCase);
  }
  return cases;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string WithWriteOffset(std::string bytes, std::uint32_t offset) {
  bytes.resize(std::max<std::size_t>(bytes.size(), 8196), '\0');
  for (int i = 0; i < 4; ++i) bytes[8192 + i] = static_cast<char>(offset >> (8 * i));
  return bytes;
}

// One recorded run: length-prefixed sections, so that any bytes fit and a
// diff of two recordings still reads line by line.
std::string Recording(const ProcessResult& result, const std::string* file) {
  std::string text = "exit " + std::to_string(result.exitCode) + "\n";
  text += "stderr " + std::to_string(result.err.size()) + "\n" + result.err + "\n";
  text += "stdout " + std::to_string(result.out.size()) + "\n" + result.out + "\n";
  if (file != nullptr) text += "file " + std::to_string(file->size()) + "\n" + *file + "\n";
  return text;
}

// Where two recordings first differ, with a little of each around it.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const std::size_t from = at < 60 ? 0 : at - 60;
  return "first difference at byte " + std::to_string(at) + "\nrecorded: ...\"" +
         expected.substr(from, 120) + "\"\nnow:      ...\"" + actual.substr(from, 120) + "\"";
}

class CliGoldenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    archives_ = folder_.path() / kArchiveFolder;
    fs::create_directory(archives_);
    const std::string full = ReadWholeFile(kSamplesDir / "full.dat");
    ASSERT_EQ(full.size(), 8196u);
    Put("full", full);
    Put("partial", ReadWholeFile(kSamplesDir / "partial.dat"));
    Generate("empty", "5", "0");
    Generate("young", "7", "40");
    Generate("exact", "3", "1024");
    Generate("wrapped", "9", "1500");
    Generate("lapped", "11", "100000");
    const std::string wrapped = ReadWholeFile(archives_ / "wrapped.dat");
    Put("short100", full.substr(0, 100));
    Put("short8193", full.substr(0, 8193));
    Put("long9000", full + std::string(804, 'Z'));
    Put("offset8192", WithWriteOffset(wrapped, 8192));
    Put("offset12", WithWriteOffset(wrapped, 12));
    Put("offsetminus8", WithWriteOffset(wrapped, static_cast<std::uint32_t>(-8)));
    Put("zerobytes", "");
    fs::create_directory(archives_ / "folder.dat");
    ASSERT_EQ(::mkfifo((archives_ / "pipe.dat").c_str(), 0600), 0);
  }

  void Put(const std::string& name, const std::string& bytes) {
    WriteBytes(archives_ / (name + ".dat"), bytes);
  }

  void Generate(const std::string& name, const std::string& seed, const std::string& fill) {
    const ProcessResult result =
        Run({"sample", (fs::path(kArchiveFolder) / (name + ".dat")).string(), "--seed", seed,
             "--fill", fill});
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }

  ProcessResult Run(const std::vector<std::string>& args) {
    // A UTF-8 locale, whatever the test runs under: text follows the locale.
    // The default history store is one of the scratch folder, never the user's.
    return RunProcess(TORVDOC_CLI_PATH, args, folder_.path(), folder_.path(),
                      {.environment = {"LC_ALL=C.UTF-8", "TORVDOC_DB=", "XDG_DATA_HOME=",
                                       "HOME=" + folder_.path().string()}});
  }

  // "@x" becomes the archive x, relative to the folder the tool runs in, so
  // that the tool itself makes the path whole, as it does for an operator.
  std::vector<std::string> Expand(const std::vector<std::string>& args) const {
    std::vector<std::string> expanded;
    for (const std::string& arg : args) {
      if (arg == "@out") {
        expanded.push_back(kOutputName);
      } else if (arg.size() > 1 && arg[0] == '@') {
        expanded.push_back((fs::path(kArchiveFolder) / (arg.substr(1) + ".dat")).string());
      } else {
        expanded.push_back(arg);
      }
    }
    return expanded;
  }

  std::string RunCase(const GoldenCase& goldenCase) {
    const fs::path output = folder_.path() / kOutputName;
    std::error_code ignored;
    fs::remove(output, ignored);
    const ProcessResult result = Run(Expand(goldenCase.args));
    const bool writesFile =
        std::find(goldenCase.args.begin(), goldenCase.args.end(), "@out") != goldenCase.args.end();
    const std::string file = writesFile && fs::exists(output) ? ReadWholeFile(output) : "(none)";
    return ReplaceAll(Recording(result, writesFile ? &file : nullptr), folder_.path().string(),
                      kFolderMark);
  }

  cli_testing::ScratchFolder folder_;
  fs::path archives_;
};

TEST_F(CliGoldenTest, EveryRunGivesTheRecordedBytes) {
  const std::vector<GoldenCase> cases = ReadCases();
  ASSERT_GE(cases.size(), 100u);
  const bool record = std::getenv("TORVDOC_GOLDEN_RECORD") != nullptr;
  std::vector<std::string> names;
  for (const GoldenCase& goldenCase : cases) {
    SCOPED_TRACE(goldenCase.name);
    names.push_back(goldenCase.name);
    const std::string actual = RunCase(goldenCase);
    const fs::path recorded = kGoldenDir / "cli" / (goldenCase.name + ".txt");
    if (record) {
      fs::create_directories(recorded.parent_path());
      WriteBytes(recorded, actual);
      continue;
    }
    ASSERT_TRUE(fs::exists(recorded)) << recorded << " was never recorded";
    const std::string expected = ReadWholeFile(recorded);
    EXPECT_TRUE(expected == actual) << FirstDifference(expected, actual);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << "two runs share a name";
  // Every recording belongs to a run: none is left over from a removed one.
  for (const fs::directory_entry& entry : fs::directory_iterator(kGoldenDir / "cli")) {
    const std::string name = entry.path().stem().string();
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), name))
        << entry.path() << " belongs to no run in cases.txt";
  }
}

}  // namespace
}  // namespace torv
