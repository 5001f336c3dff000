#include "app/window_arguments.h"

#include <gtest/gtest.h>

#include "qstring_printer.h"

namespace torv {
namespace {

using Action = WindowArguments::Action;

WindowArguments Parse(const QStringList& arguments) {
  return ParseWindowArguments(QStringList{QStringLiteral("torvdoc")} + arguments);
}

TEST(WindowArgumentsTest, NothingOpensTheWindowWithoutAnArchive) {
  const WindowArguments parsed = Parse({});
  EXPECT_EQ(parsed.action, Action::kRun);
  EXPECT_EQ(parsed.archiveName, QString());
}

TEST(WindowArgumentsTest, OneFileIsTheArchive) {
  const WindowArguments parsed = Parse({QStringLiteral("/media/usb/Архив 3.dat")});
  EXPECT_EQ(parsed.action, Action::kRun);
  EXPECT_EQ(parsed.archiveName, QStringLiteral("/media/usb/Архив 3.dat"));
}

TEST(WindowArgumentsTest, DoubleDashEndsTheOptions) {
  const WindowArguments parsed = Parse({QStringLiteral("--"), QStringLiteral("--help")});
  EXPECT_EQ(parsed.action, Action::kRun);
  EXPECT_EQ(parsed.archiveName, QStringLiteral("--help"));
}

TEST(WindowArgumentsTest, HelpAndVersion) {
  EXPECT_EQ(Parse({QStringLiteral("--help")}).action, Action::kHelp);
  EXPECT_EQ(Parse({QStringLiteral("-h")}).action, Action::kHelp);
  EXPECT_EQ(Parse({QStringLiteral("--version")}).action, Action::kVersion);
  EXPECT_EQ(Parse({QStringLiteral("arch.dat"), QStringLiteral("--help")}).action, Action::kHelp);
}

TEST(WindowArgumentsTest, HelpWinsAmongQtsOwnOptions) {
  EXPECT_EQ(
      Parse({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--help")})
          .action,
      Action::kHelp);
}

TEST(WindowArgumentsTest, UnknownOptionIsAUsageError) {
  const WindowArguments parsed = Parse({QStringLiteral("--print")});
  EXPECT_EQ(parsed.action, Action::kUsageError);
  EXPECT_EQ(parsed.error, QStringLiteral("Unknown option 'print'."));
  EXPECT_EQ(Parse({QStringLiteral("-platform")}).error,
            QStringLiteral("Unknown option 'platform'."));
}

TEST(WindowArgumentsTest, TwoFilesAreAUsageError) {
  const WindowArguments parsed = Parse({QStringLiteral("a.dat"), QStringLiteral("b.dat")});
  EXPECT_EQ(parsed.action, Action::kUsageError);
  EXPECT_EQ(parsed.error, QStringLiteral("one archive FILE at most, not 2"));
}

TEST(WindowArgumentsTest, VersionLineNamesTheProgram) {
  EXPECT_EQ(WindowVersion(), QStringLiteral("torvdoc " TORVDOC_VERSION "\n"));
}

}  // namespace
}  // namespace torv
