// The wording of torvdoc-cli's messages: the prefix, the file named, the
// reason in the archive message's language.
#include "cli/cli_messages.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "archive/archive_reader.h"

namespace torv {
namespace {

TEST(CliMessagesTest, EveryMessageStartsWithTheProgramAndNamesTheFile) {
  EXPECT_EQ(CliMessage("", "cannot write the output"), "torvdoc-cli: cannot write the output\n");
  EXPECT_EQ(CliMessage("a b/x.dat", "something"), "torvdoc-cli: a b/x.dat: something\n");
}

TEST(CliMessagesTest, AnArchiveThatCannotBeReadSaysWhyInRussian) {
  const auto message = [](const Failure& failure) {
    return CannotOpenArchiveMessage("missing.dat", failure);
  };
  EXPECT_EQ(message(SystemFailure(ENOENT)),
            "torvdoc-cli: missing.dat: Архив не удается открыть (нет такого файла)\n");
  EXPECT_EQ(message(SystemFailure(EACCES)),
            "torvdoc-cli: missing.dat: Архив не удается открыть (нет доступа)\n");
  EXPECT_EQ(message(SystemFailure(EPERM)),
            "torvdoc-cli: missing.dat: Архив не удается открыть (нет доступа)\n");
  EXPECT_EQ(message(SystemFailure(EISDIR)),
            "torvdoc-cli: missing.dat: Архив не удается открыть (это папка)\n");
  EXPECT_EQ(message(Failure{std::string(kNotRegularFileReason), 0}),
            "torvdoc-cli: missing.dat: Архив не удается открыть (не обычный файл)\n");
  // An error the window's language has no word for: the text alone.
  EXPECT_EQ(message(SystemFailure(EIO)), "torvdoc-cli: missing.dat: Архив не удается открыть\n");
}

TEST(CliMessagesTest, ADamagedArchiveCutShortSaysSo) {
  EXPECT_EQ(ArchiveViewMessage("a.dat", "Архив поврежден", 8193),
            "torvdoc-cli: a.dat: Архив поврежден (файл короче архива)\n");
  EXPECT_EQ(ArchiveViewMessage("a.dat", "Архив поврежден", 8196),
            "torvdoc-cli: a.dat: Архив поврежден\n");
  EXPECT_EQ(ArchiveViewMessage("a.dat", "Архив поврежден", 9000),
            "torvdoc-cli: a.dat: Архив поврежден\n");
  // The other messages have no reason to add.
  EXPECT_EQ(ArchiveViewMessage("a.dat", "архив пуст", 8193), "torvdoc-cli: a.dat: архив пуст\n");
}

TEST(CliMessagesTest, ASizeOtherThanAnArchivesIsAWarning) {
  EXPECT_EQ(ArchiveSizeWarning("short.dat", 5000),
            "torvdoc-cli: short.dat: warning: 5000 bytes, shorter than an archive (8196); the "
            "rest reads as zero\n");
  EXPECT_EQ(ArchiveSizeWarning("empty.dat", 0),
            "torvdoc-cli: empty.dat: warning: 0 bytes, shorter than an archive (8196); the rest "
            "reads as zero\n");
  EXPECT_EQ(ArchiveSizeWarning("long.dat", 8197),
            "torvdoc-cli: long.dat: warning: 8197 bytes, longer than an archive (8196); the "
            "bytes after it are ignored\n");
  EXPECT_EQ(ArchiveSizeWarning("exact.dat", 8196), "");
}

TEST(CliMessagesTest, WritesAndUsageErrors) {
  EXPECT_EQ(CannotWriteMessage("/x/out.csv", SystemFailure(ENOENT)),
            "torvdoc-cli: /x/out.csv: cannot write: No such file or directory\n");
  EXPECT_EQ(UsageErrorMessage("missing FILE", "view"),
            "torvdoc-cli: missing FILE\nTry 'torvdoc-cli view --help'.\n");
  EXPECT_EQ(UsageErrorMessage("missing command", ""),
            "torvdoc-cli: missing command\nTry 'torvdoc-cli --help'.\n");
}

}  // namespace
}  // namespace torv
