#include "cli/cli_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace torv {
namespace {

TEST(CliOutputTest, Utf8PassesUnchanged) {
  const std::string text = "Архив: файл /a.dat\n\n\nСобытие\t\tДата\n";
  EXPECT_EQ(EncodeOutput(text, OutputEncoding::kUtf8), text);
}

TEST(CliOutputTest, Cp1251HasOneByteALetter) {
  EXPECT_EQ(EncodeOutput("Архив: файл /a.dat\n", OutputEncoding::kCp1251),
            "\xC0\xF0\xF5\xE8\xE2: \xF4\xE0\xE9\xEB /a.dat\n");
  EXPECT_EQ(EncodeOutput("Ёё №", OutputEncoding::kCp1251), "\xA8\xB8 \xB9");
  EXPECT_EQ(EncodeOutput("\t\t\n", OutputEncoding::kCp1251), "\t\t\n");
}

TEST(CliOutputTest, Cp1251MarksWhatItCannotHold) {
  EXPECT_EQ(EncodeOutput("a€b", OutputEncoding::kCp1251),
            "a\x88"
            "b");
  EXPECT_EQ(EncodeOutput("a中b", OutputEncoding::kCp1251), "a?b");
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
