#include "cli/cli_output.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "cli/cli_commands.h"
#include "cli_test_support.h"
#include "result_value.h"

namespace torv {
namespace {

using testing::ValueOf;

TEST(CliOutputTest, Utf8PassesUnchanged) {
  const std::string text = "Архив: файл /a.dat\n\n\nСобытие\t\tДата\n";
  EXPECT_EQ(ValueOf(EncodeOutput(text, OutputEncoding::kUtf8)), text);
}

TEST(CliOutputTest, Cp1251HasOneByteALetter) {
  EXPECT_EQ(ValueOf(EncodeOutput("Архив: файл /a.dat\n", OutputEncoding::kCp1251)),
            "\xC0\xF0\xF5\xE8\xE2: \xF4\xE0\xE9\xEB /a.dat\n");
  EXPECT_EQ(ValueOf(EncodeOutput("Ёё №", OutputEncoding::kCp1251)), "\xA8\xB8 \xB9");
  EXPECT_EQ(ValueOf(EncodeOutput("\t\t\n", OutputEncoding::kCp1251)), "\t\t\n");
}

TEST(CliOutputTest, Cp1251MarksWhatItCannotHold) {
  EXPECT_EQ(ValueOf(EncodeOutput("a€b", OutputEncoding::kCp1251)),
            "a\x88"
            "b");
  EXPECT_EQ(ValueOf(EncodeOutput("a中b", OutputEncoding::kCp1251)), "a?b");
}

TEST(CliOutputTest, OutputThatCouldNotBeMadeIsAMessageNotACrash) {
  const CommandOutcome outcome =
      Deliver(Failure{"no converter from UTF-8 to CP1251 (Invalid argument)", EINVAL}, "");
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "torvdoc-cli: no converter from UTF-8 to CP1251 (Invalid argument)\n");
}

TEST(CliOutputTest, DeliversToStandardOutputOrAFileReplacedWhole) {
  const CommandOutcome toStdout = Deliver(std::string("a\nb\n"), "");
  EXPECT_EQ(toStdout.exitCode, 0);
  EXPECT_EQ(toStdout.out, "a\nb\n");
  EXPECT_EQ(toStdout.err, "");

  cli_testing::ScratchFolder folder;
  const std::string path = (folder.path() / "out.txt").string();
  const CommandOutcome toFile = Deliver(std::string("a\nb\n"), path);
  EXPECT_EQ(toFile.exitCode, 0);
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(cli_testing::ReadWholeFile(path), "a\nb\n");

  const std::string nowhere = (folder.path() / "missing" / "out.txt").string();
  const CommandOutcome failed = Deliver(std::string("x"), nowhere);
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_EQ(failed.err, "torvdoc-cli: cannot write " + nowhere + "\n");
}

TEST(CliOutputTest, WritesEveryByteUnchanged) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const std::string bytes("a\0b\r\n\xFF\n", 7);
  EXPECT_TRUE(WriteBytes(file, bytes));
  EXPECT_TRUE(WriteBytes(file, ""));
  std::rewind(file);
  char buffer[16] = {};
  EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, file), 7u);
  EXPECT_EQ(std::string(buffer, 7), bytes);
  std::fclose(file);
}

TEST(CliOutputTest, ReportsAStreamThatRefusesBytes) {
  std::FILE* readOnly = std::fopen("/dev/null", "r");
  ASSERT_NE(readOnly, nullptr);
  EXPECT_FALSE(WriteBytes(readOnly, "text"));
  std::fclose(readOnly);
}

}  // namespace
}  // namespace torv
