// The committed demo archives are what the generator makes with the commands
// written in samples/README.md.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli_test_support.h"

namespace torv {
namespace {

using cli_testing::ReadWholeFile;

const std::filesystem::path kSamplesDir = TORVDOC_SAMPLES_DIR;
constexpr char kCommandPrefix[] = "build/src/cli/torvdoc-cli ";

// The argument lists of the generator commands in the README's code block.
std::vector<std::vector<std::string>> ReadmeCommands() {
  std::istringstream readme(ReadWholeFile(kSamplesDir / "README.md"));
  std::vector<std::vector<std::string>> commands;
  std::string line;
  while (std::getline(readme, line)) {
    if (line.rfind(kCommandPrefix, 0) != 0) continue;
    std::istringstream words(line.substr(sizeof kCommandPrefix - 1));
    std::vector<std::string> args;
    for (std::string word; words >> word;) args.push_back(word);
    commands.push_back(args);
  }
  return commands;
}

std::uint32_t WriteOffsetOf(const std::string& bytes) {
  std::uint32_t offset = 0;
  for (int i = 3; i >= 0; --i)
    offset = offset << 8 | static_cast<unsigned char>(bytes.at(8192 + i));
  return offset;
}

TEST(CliSamplesTest, ReadmeNamesBothArchives) {
  const std::vector<std::vector<std::string>> commands = ReadmeCommands();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], (std::vector<std::string>{"sample", "samples/full.dat", "--seed", "4",
                                                   "--fill", "1700", "--force"}));
  EXPECT_EQ(commands[1], (std::vector<std::string>{"sample", "samples/partial.dat", "--seed", "7",
                                                   "--fill", "300", "--force"}));
}

TEST(CliSamplesTest, GeneratorRemakesTheCommittedArchivesByteForByte) {
  const std::vector<std::vector<std::string>> commands = ReadmeCommands();
  ASSERT_FALSE(commands.empty());
  for (const std::vector<std::string>& args : commands) {
    ASSERT_GE(args.size(), 2u);
    SCOPED_TRACE(args[1]);
    // Run in a scratch folder that has its own samples/ folder, holding an
    // older file to replace as the committed one is.
    cli_testing::ScratchFolder folder;
    std::filesystem::create_directory(folder.path() / "samples");
    folder.Write(args[1], {1, 2, 3});
    const cli_testing::ProcessResult result =
        cli_testing::RunProcess(TORVDOC_CLI_PATH, args, folder.path(), folder.path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string made = ReadWholeFile(folder.path() / args[1]);
    const std::string committed = ReadWholeFile(kSamplesDir.parent_path() / args[1]);
    ASSERT_EQ(committed.size(), 8196u);
    EXPECT_TRUE(made == committed) << "the generator no longer makes " << args[1];
  }
}

TEST(CliSamplesTest, FullArchiveHasWrappedAndPartialHasNot) {
  const std::string full = ReadWholeFile(kSamplesDir / "full.dat");
  const std::string partial = ReadWholeFile(kSamplesDir / "partial.dat");
  ASSERT_EQ(full.size(), 8196u);
  ASSERT_EQ(partial.size(), 8196u);
  // 1700 records: 1700 - 1024 = 676 slots written twice, the next one is 676.
  EXPECT_EQ(WriteOffsetOf(full), 676u * 8u);
  // Every slot of the full ring holds a record.
  for (int slot = 0; slot < 1024; ++slot) {
    const std::string record = full.substr(slot * 8, 7);
    EXPECT_NE(record, std::string(7, '\0')) << "slot " << slot;
  }
  // 300 records: slots 300 and on were never written.
  EXPECT_EQ(WriteOffsetOf(partial), 300u * 8u);
  EXPECT_EQ(partial.substr(300 * 8, 8192 - 300 * 8), std::string(8192 - 300 * 8, '\0'));
}

}  // namespace
}  // namespace torv
