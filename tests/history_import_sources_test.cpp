// Which files one import takes and the device of each: folders give the
// .dat files under them by path, and the device comes from --device, the
// copy's folder or a part of its file name.
#include "history/import_sources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "temp_archive.h"

namespace torv::history {
namespace {

namespace fs = std::filesystem;

struct SourcesCase {
  std::string name;
  std::vector<std::string> arguments;  // relative to the site folder below
  DeviceNaming naming;
  // "FILE DEVICE" or "FILE !PROBLEM", in order.
  std::vector<std::string> expected;
};

void PrintTo(const SourcesCase& c, std::ostream* out) {
  *out << c.name;
}

class ImportSourcesTest : public ::testing::TestWithParam<SourcesCase> {};

TEST_P(ImportSourcesTest, CollectsFilesAndTheirDevices) {
  const testing::TempFolder folder;
  const fs::path site = folder.path() / "site";
  for (const char* file :
       {"site/post2/post2_2025-02-01.dat", "site/post2/post2_2025-01-01.DAT",
        "site/gate/old/gate_2024-12-01.dat", "site/gate/notes.txt", "loose/3_copy.dat"}) {
    fs::create_directories((folder.path() / file).parent_path());
    std::ofstream(folder.path() / file) << "x";
  }
  fs::create_directory(folder.path() / "empty");
  const SourcesCase& c = GetParam();
  std::vector<std::string> arguments;
  for (const std::string& argument : c.arguments) {
    arguments.push_back((folder.path() / argument).string());
  }
  const Result<std::vector<ImportSource>> sources = CollectImportSources(arguments, c.naming);
  ASSERT_TRUE(sources) << sources.failure().reason;
  std::vector<std::string> got;
  for (const ImportSource& source : *sources) {
    const std::string file = fs::relative(source.file, folder.path()).string();
    got.push_back(file + " " + (source.problem.empty() ? source.device : "!" + source.problem));
  }
  EXPECT_EQ(got, c.expected);
}

const std::string kSite[] = {"site/gate/old/gate_2024-12-01.dat", "site/post2/post2_2025-01-01.DAT",
                             "site/post2/post2_2025-02-01.dat"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportSourcesTest,
    ::testing::Values(
        SourcesCase{"OneDeviceForEveryFileInArgumentOrder",
                    {"loose/3_copy.dat", "site/post2"},
                    {"склад", false, std::nullopt},
                    {"loose/3_copy.dat склад", kSite[1] + " склад", kSite[2] + " склад"}},
        SourcesCase{"DeviceFromTheCopysOwnFolder",
                    {"site", "loose/3_copy.dat"},
                    {std::nullopt, true, std::nullopt},
                    {kSite[0] + " old", kSite[1] + " post2", kSite[2] + " post2",
                     "loose/3_copy.dat loose"}},
        SourcesCase{
            "DeviceFromTheNamesFirstGroup",
            {"site", "loose/3_copy.dat"},
            {std::nullopt, false, "^([a-z0-9]+)_20"},
            {kSite[0] + " gate", kSite[1] + " post2", kSite[2] + " post2",
             "loose/3_copy.dat !its name does not match --device-from-name ^([a-z0-9]+)_20"}},
        SourcesCase{"DeviceFromTheWholeMatch",
                    {"loose/3_copy.dat", "site/gate"},
                    {std::nullopt, false, "^[a-z0-9]+"},
                    {"loose/3_copy.dat 3", kSite[0] + " gate"}},
        SourcesCase{"AMissingFileIsLeftToTheImportToTell",
                    {"site/нет.dat", "empty"},
                    {"a", false, std::nullopt},
                    {"site/нет.dat a", "empty !holds no .dat file"}}),
    [](const ::testing::TestParamInfo<SourcesCase>& info) { return info.param.name; });

TEST(ImportSourcesPatternTest, AnExpressionThatDoesNotCompileIsRefused) {
  const Result<std::vector<ImportSource>> sources =
      CollectImportSources({"x.dat"}, {std::nullopt, false, "(post"});
  ASSERT_FALSE(sources);
  EXPECT_EQ(sources.failure().reason.rfind("the regular expression \"(post\" is not valid: ", 0),
            0u);
}

// The window proposes a stored device from where a copy lies or how it is
// named; nothing when neither names one.
TEST(ImportSourcesSuggestionTest, TheFolderElseTheStartOfTheFileNameNamesAStoredDevice) {
  const std::vector<std::string> stored = {"gate", "post", "post2", "Склад 2"};
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"/site/gate/copy.dat", "gate"},
      {"/site/GATE/post2_2025-10-17.dat", "gate"},  // the folder wins
      {"/copies/post2_2025-10-17.dat", "post2"},    // the longest start
      {"/copies/post-2025.dat", "post"},
      {"/copies/Post2.DAT", "post2"},
      {"/copies/склад2 2025.dat", "Склад 2"},  // spaces and case do not count
      {"/site/Склад 2/x.dat", "Склад 2"},
      {"/copies/postal.dat", std::nullopt},  // no separator after "post"
      {"/copies/2025_gate.dat", std::nullopt},
      {"/copies/.dat", std::nullopt},
  };
  for (const auto& [file, expected] : cases) {
    EXPECT_EQ(DeviceSuggestedBy(file, stored), expected) << file;
  }
}

}  // namespace
}  // namespace torv::history
