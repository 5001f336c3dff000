#include "ui/application_title.h"

#include <gtest/gtest.h>

namespace torv {
namespace {

TEST(ApplicationTitleFromPathTest, DropsFolderAndExtension) {
  EXPECT_EQ(ApplicationTitleFromPath(QStringLiteral("/usr/bin/torvdoc")),
            QStringLiteral("torvdoc"));
  EXPECT_EQ(ApplicationTitleFromPath(QStringLiteral("C:/Prog/torv.exe")), QStringLiteral("torv"));
}

TEST(ApplicationTitleFromPathTest, LowersEveryLetterAfterTheFirst) {
  EXPECT_EQ(ApplicationTitleFromPath(QStringLiteral("/opt/TorvDoc.EXE")),
            QStringLiteral("Torvdoc"));
  EXPECT_EQ(ApplicationTitleFromPath(QStringLiteral("/opt/ТОРВ4")), QStringLiteral("Торв4"));
  EXPECT_EQ(ApplicationTitleFromPath(QStringLiteral("/opt/tORV")), QStringLiteral("torv"));
}

TEST(ApplicationTitleFromPathTest, KeepsInnerDotsOfTheName) {
  EXPECT_EQ(ApplicationTitleFromPath(QStringLiteral("/opt/Torv.Doc.exe")),
            QStringLiteral("Torv.doc"));
}

}  // namespace
}  // namespace torv
