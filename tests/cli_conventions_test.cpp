// torvdoc-cli as a script or a shell expects it: standard input and output
// as "-", warnings on archives of the wrong size, several archives to info,
// the locale's encoding, --version, values after "=", and sample refusing to
// replace a file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "archive/sample_archive.h"
#include "built_locale.h"
#include "cli_ladder_archive.h"
#include "cli_test_support.h"

namespace torv {
namespace {

namespace fs = std::filesystem;
using cli_testing::LadderArchive;
using cli_testing::ProcessResult;
using cli_testing::ProcessSetting;
using cli_testing::ReadWholeFile;
using cli_testing::ScratchFolder;
using cli_testing::SplitLines;

// "Архив: файл " in Windows-1251.
const std::string kCp1251StatusStart = "\xC0\xF0\xF5\xE8\xE2: \xF4\xE0\xE9\xEB ";

class CliConventionsTest : public ::testing::Test {
 protected:
  // Runs the tool in a UTF-8 locale unless `setting` says otherwise.
  ProcessResult Run(const std::vector<std::string>& args, ProcessSetting setting = {}) {
    setting.environment.insert(setting.environment.begin(), "LC_ALL=C.UTF-8");
    return cli_testing::RunProcess(TORVDOC_CLI_PATH, args, folder_.path(), folder_.path(), setting);
  }
  ProcessResult RunWithInput(const std::vector<std::string>& args, const fs::path& file) {
    ProcessSetting setting;
    setting.standardInput = folder_.path() / file;
    return Run(args, setting);
  }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    return folder_.Write(name, bytes);
  }
  std::string Absolute(const std::string& name) const { return (folder_.path() / name).string(); }

  ScratchFolder folder_;
};

// The output of a view or report with the file name its status line starts
// with replaced.
std::string RenamedStatus(const std::string& out, const std::string& from, const std::string& to) {
  const std::string status = "Архив: файл " + from;
  EXPECT_EQ(out.rfind(status, 0), 0u) << out.substr(0, 80);
  return "Архив: файл " + to + out.substr(status.size());
}

// --- "-" for standard input and output ---

TEST_F(CliConventionsTest, DashReadsTheArchiveFromStandardInput) {
  Write("ladder.dat", LadderArchive());
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"view"}, {"view", "--block", "3", "--steps", "bf"}, {"report"}}) {
    std::vector<std::string> fromFile = args;
    fromFile.insert(fromFile.begin() + 1, "ladder.dat");
    std::vector<std::string> fromInput = args;
    fromInput.insert(fromInput.begin() + 1, "-");
    SCOPED_TRACE(fromInput.size());
    const ProcessResult file = Run(fromFile);
    const ProcessResult input = RunWithInput(fromInput, "ladder.dat");
    ASSERT_EQ(file.exitCode, 0) << file.err;
    EXPECT_EQ(input.exitCode, 0);
    EXPECT_EQ(input.err, "");
    // The status line names the archive "-".
    EXPECT_EQ(input.out, RenamedStatus(file.out, Absolute("ladder.dat"), "-"));
  }
  const ProcessResult info = RunWithInput({"info", "-", "--format", "json"}, "ladder.dat");
  EXPECT_EQ(info.exitCode, 0);
  const nlohmann::json json = nlohmann::json::parse(info.out);
  EXPECT_EQ(json["file"], "-");
  EXPECT_EQ(json["fileSize"], 8196);
  EXPECT_EQ(json["writeOffset"], 800);
}

TEST_F(CliConventionsTest, DashAsOutputIsStandardOutput) {
  Write("ladder.dat", LadderArchive());
  const std::string expected = Run({"view", "ladder.dat", "--format", "csv"}).out;
  ASSERT_FALSE(expected.empty());
  for (const char* spelling : {"-o", "--output"}) {
    const ProcessResult result = Run({"view", "ladder.dat", "--format", "csv", spelling, "-"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, expected);
  }
  EXPECT_FALSE(fs::exists(folder_.path() / "-"));
  // A file really named "-" is still reachable as ./-.
  const ProcessResult named = Run({"view", "ladder.dat", "--format", "csv", "-o", "./-"});
  EXPECT_EQ(named.exitCode, 0);
  EXPECT_EQ(named.out, "");
  EXPECT_EQ(ReadWholeFile(folder_.path() / "-"), expected);
}

TEST_F(CliConventionsTest, SampleToStandardOutputIsTheGeneratedArchive) {
  const ProcessResult result = Run({"sample", "-", "--seed", "4", "--fill", "300"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  const std::vector<std::uint8_t> generated = GenerateArchive({.seed = 4, .fill = 300});
  EXPECT_TRUE(result.out == std::string(generated.begin(), generated.end()));
  EXPECT_FALSE(fs::exists(folder_.path() / "-"));
}

// --- archives of the wrong size ---

TEST_F(CliConventionsTest, ShortAndLongArchivesReadAsTheWindowReadsThemWithAWarning) {
  std::vector<std::uint8_t> ladder = LadderArchive();
  std::vector<std::uint8_t> padded(ladder.begin(), ladder.begin() + 5000);
  padded.resize(8196, 0);
  Write("short.dat", std::vector<std::uint8_t>(ladder.begin(), ladder.begin() + 5000));
  Write("padded.dat", padded);
  std::vector<std::uint8_t> longer = ladder;
  longer.resize(9000, 0x77);
  Write("long.dat", longer);
  Write("ladder.dat", ladder);

  const std::vector<std::pair<std::string, std::string>> cases = {{"short.dat", "padded.dat"},
                                                                  {"long.dat", "ladder.dat"}};
  const std::vector<std::string> warnings = {
      "warning: 5000 bytes, shorter than an archive (8196); the rest reads as zero\n",
      "warning: 9000 bytes, longer than an archive (8196); the bytes after it are ignored\n"};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& [odd, same] = cases[i];
    SCOPED_TRACE(odd);
    for (const char* command : {"view", "report"}) {
      const ProcessResult result = Run({command, odd, "--format", "csv"});
      EXPECT_EQ(result.exitCode, 0);
      EXPECT_EQ(result.err, "torvdoc-cli: " + odd + ": " + warnings[i]);
      EXPECT_EQ(result.out, Run({command, same, "--format", "csv"}).out);
    }
    // From standard input the same warning, naming "-".
    const ProcessResult piped = RunWithInput({"view", "-", "--format", "csv"}, odd);
    EXPECT_EQ(piped.err, "torvdoc-cli: -: " + warnings[i]);
    // info keeps its size line and warns of nothing.
    const ProcessResult info = Run({"info", odd});
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_EQ(info.err, "");
  }
}

TEST_F(CliConventionsTest, AnEmptyFileIsAShortOne) {
  Write("empty.dat", {});
  const ProcessResult result = Run({"view", "empty.dat"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err,
            "torvdoc-cli: empty.dat: warning: 0 bytes, shorter than an archive (8196); the rest "
            "reads as zero\n");
  const std::vector<std::string> lines = SplitLines(result.out);
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[4], "\t\t\t\t\t\t");
  const ProcessResult piped = RunWithInput({"report", "-"}, "empty.dat");
  EXPECT_EQ(piped.exitCode, 0);
  EXPECT_EQ(SplitLines(piped.out).size(), 4u + 1024u);
}

TEST_F(CliConventionsTest, AWriteOffsetCutOffByTheFileEndIsNamedAsTheReason) {
  // 8193 bytes: the WriteOffset is byte 8192 alone, 3, not a slot.
  std::vector<std::uint8_t> bytes = LadderArchive();
  bytes.resize(8193);
  bytes[8192] = 3;
  Write("cut.dat", bytes);
  const ProcessResult result = Run({"view", "cut.dat"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "torvdoc-cli: cut.dat: warning: 8193 bytes, shorter than an archive (8196); the rest "
            "reads as zero\n"
            "torvdoc-cli: cut.dat: Архив поврежден (файл короче архива)\n");
}

TEST_F(CliConventionsTest, AnArchiveThatCannotBeReadSaysWhy) {
  fs::create_directory(folder_.path() / "folder.dat");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"view", "missing.dat"},
       "torvdoc-cli: missing.dat: Архив не удается открыть (нет такого файла)\n"},
      {{"report", "folder.dat"}, "torvdoc-cli: folder.dat: Архив не удается открыть (это папка)\n"},
      {{"info", "/dev/null"},
       "torvdoc-cli: /dev/null: Архив не удается открыть (не обычный файл)\n"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(args[1]);
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, message);
  }
  // A folder on standard input.
  const ProcessResult folder = RunWithInput({"view", "-"}, ".");
  EXPECT_EQ(folder.exitCode, 1);
  EXPECT_EQ(folder.err, "torvdoc-cli: -: Архив не удается открыть (это папка)\n");
}

// --- info on several archives ---

TEST_F(CliConventionsTest, InfoSummarisesEachArchiveAndGoesOnPastOneItCannotRead) {
  Write("ladder.dat", LadderArchive());
  Write("sample.dat", GenerateArchive({.seed = 2, .fill = 50}));
  const std::string ladder = Run({"info", "ladder.dat"}).out;
  const std::string sample = Run({"info", "sample.dat"}).out;
  ASSERT_EQ(ladder.rfind("File: " + Absolute("ladder.dat") + "\n", 0), 0u);

  const ProcessResult both = Run({"info", "ladder.dat", "sample.dat"});
  EXPECT_EQ(both.exitCode, 0);
  EXPECT_EQ(both.err, "");
  EXPECT_EQ(both.out, ladder + "\n" + sample);

  const ProcessResult withMissing = Run({"info", "ladder.dat", "missing.dat", "sample.dat"});
  EXPECT_EQ(withMissing.exitCode, 1);
  EXPECT_EQ(withMissing.err,
            "torvdoc-cli: missing.dat: Архив не удается открыть (нет такого файла)\n");
  EXPECT_EQ(withMissing.out, ladder + "\n" + sample);

  const ProcessResult json =
      Run({"info", "ladder.dat", "missing.dat", "sample.dat", "--format", "json", "-o", "i.json"});
  EXPECT_EQ(json.exitCode, 1);
  EXPECT_EQ(json.out, "");
  const nlohmann::json list = nlohmann::json::parse(ReadWholeFile(folder_.path() / "i.json"));
  ASSERT_TRUE(list.is_array());
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], nlohmann::json::parse(Run({"info", "ladder.dat", "--format", "json"}).out));
  EXPECT_EQ(list[1], nlohmann::json::parse(Run({"info", "sample.dat", "--format", "json"}).out));

  // One FILE keeps its one object.
  EXPECT_TRUE(
      nlohmann::json::parse(Run({"info", "ladder.dat", "--format", "json"}).out).is_object());
  // Nothing readable: only the messages, and no file is written.
  const ProcessResult none = Run({"info", "missing.dat", "nope.dat", "-o", "none.txt"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(SplitLines(none.err).size(), 2u);
  EXPECT_FALSE(fs::exists(folder_.path() / "none.txt"));
}

// --- the locale's encoding ---

TEST_F(CliConventionsTest, TextFollowsTheLocalesCodesetUnlessAnEncodingIsGiven) {
  const fs::path locales = folder_.path() / "locales";
  fs::create_directory(locales);
  ASSERT_TRUE(testing::BuildLocale(locales, "ru_RU", "CP1251", "ru_RU.CP1251"));
  ASSERT_TRUE(testing::BuildLocale(locales, "ru_RU", "UTF-8", "ru_RU.UTF-8"));
  Write("ladder.dat", LadderArchive());
  const ProcessSetting cp1251{
      .environment = {"LOCPATH=" + locales.string(), "LC_ALL=ru_RU.CP1251"}};
  const ProcessSetting utf8{.environment = {"LOCPATH=" + locales.string(), "LC_ALL=ru_RU.UTF-8"}};
  // LANG alone chooses too, when nothing overrides it.
  const ProcessSetting lang{
      .environment = {"LOCPATH=" + locales.string(), "LC_ALL=", "LC_CTYPE=", "LANG=ru_RU.CP1251"}};

  const std::string utf8View = Run({"view", "ladder.dat"}).out;
  const std::string cp1251View = Run({"view", "ladder.dat", "--encoding", "cp1251"}).out;
  ASSERT_EQ(cp1251View.rfind(kCp1251StatusStart, 0), 0u);
  EXPECT_EQ(Run({"view", "ladder.dat"}, cp1251).out, cp1251View);
  EXPECT_EQ(Run({"view", "ladder.dat"}, lang).out, cp1251View);
  EXPECT_EQ(Run({"view", "ladder.dat"}, utf8).out, utf8View);
  // --encoding wins over the locale.
  EXPECT_EQ(Run({"view", "ladder.dat", "--encoding", "utf-8"}, cp1251).out, utf8View);
  EXPECT_EQ(Run({"view", "ladder.dat", "--encoding=cp1251"}, utf8).out, cp1251View);

  // info too; its JSON and the CSV stay UTF-8, and messages are UTF-8.
  const std::string info = Run({"info", "ladder.dat"}).out;
  const std::string cp1251Info = Run({"info", "ladder.dat"}, cp1251).out;
  EXPECT_EQ(cp1251Info, Run({"info", "ladder.dat", "--encoding", "cp1251"}).out);
  EXPECT_NE(cp1251Info, info);
  EXPECT_NE(cp1251Info.find("  0  \xCD\xEE\xF0\xEC\xE0: "), std::string::npos);  // "Норма"
  EXPECT_EQ(Run({"info", "ladder.dat", "--format", "json"}, cp1251).out,
            Run({"info", "ladder.dat", "--format", "json"}).out);
  EXPECT_EQ(Run({"report", "ladder.dat", "--format", "csv"}, cp1251).out,
            Run({"report", "ladder.dat", "--format", "csv"}).out);
  EXPECT_EQ(Run({"view", "missing.dat"}, cp1251).err,
            "torvdoc-cli: missing.dat: Архив не удается открыть (нет такого файла)\n");
  // A locale the system does not have is UTF-8.
  EXPECT_EQ(Run({"view", "ladder.dat"}, {.environment = {"LC_ALL=xx_XX.CP1251"}}).out, utf8View);
}

// --- version, help and the "=" forms ---

TEST_F(CliConventionsTest, VersionIsOneLineForTheToolAndEachCommand) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--version"}, {"view", "--version"}, {"info", "a.dat", "--version"}}) {
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "torvdoc-cli " TORVDOC_VERSION "\n");
  }
}

TEST_F(CliConventionsTest, OptionValuesAfterAnEqualsSignOrAttached) {
  Write("ladder.dat", LadderArchive());
  const ProcessResult separate =
      Run({"view", "ladder.dat", "--block", "3", "--format", "csv", "-o", "a.csv"});
  const ProcessResult joined = Run({"view", "ladder.dat", "--block=3", "--format=csv", "-ob.csv"});
  const ProcessResult equals =
      Run({"view", "ladder.dat", "--block=3", "--format=csv", "--output=c.csv"});
  for (const ProcessResult* result : {&separate, &joined, &equals}) {
    EXPECT_EQ(result->exitCode, 0) << result->err;
    EXPECT_EQ(result->err, "");
  }
  const std::string expected = ReadWholeFile(folder_.path() / "a.csv");
  ASSERT_EQ(SplitLines(expected).size(), 17u);
  EXPECT_EQ(ReadWholeFile(folder_.path() / "b.csv"), expected);
  EXPECT_EQ(ReadWholeFile(folder_.path() / "c.csv"), expected);

  const ProcessResult wrong = Run({"view", "ladder.dat", "--bom=1"});
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_EQ(wrong.err,
            "torvdoc-cli: option --bom takes no value\nTry 'torvdoc-cli view --help'.\n");
}

// --- sample and -o ---

TEST_F(CliConventionsTest, SampleNeverReplacesAFileUnlessForced) {
  Write("copy.dat", LadderArchive());
  fs::create_symlink("copy.dat", folder_.path() / "link.dat");
  for (const char* name : {"copy.dat", "link.dat"}) {
    SCOPED_TRACE(name);
    const ProcessResult refused = Run({"sample", name, "--fill", "10"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "torvdoc-cli: " + std::string(name) + ": already exists; --force replaces it\n");
  }
  const std::vector<std::uint8_t> ladder = LadderArchive();
  EXPECT_EQ(ReadWholeFile(folder_.path() / "copy.dat"), std::string(ladder.begin(), ladder.end()));

  ASSERT_EQ(::chmod((folder_.path() / "copy.dat").c_str(), 0640), 0);
  const ProcessResult forced = Run({"sample", "link.dat", "--fill", "10", "--force"});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  const std::vector<std::uint8_t> generated = GenerateArchive({.seed = 1, .fill = 10});
  // Through the link, into the file it leads to, with its mode.
  EXPECT_TRUE(fs::is_symlink(folder_.path() / "link.dat"));
  EXPECT_EQ(ReadWholeFile(folder_.path() / "copy.dat"),
            std::string(generated.begin(), generated.end()));
  struct stat info {};
  ASSERT_EQ(::stat((folder_.path() / "copy.dat").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace torv
