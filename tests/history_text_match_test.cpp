#include "history/text_match.h"

#include <gtest/gtest.h>

namespace torv::history {
namespace {

TEST(TextMatchTest, FoldsLatinAndCyrillicCapitalsAndSpaces) {
  EXPECT_EQ(FoldForMatch("  АБВГДЕЁЖЗИЙКЛМНОП  РСТУФХЦЧШЩЪЫЬЭЮЯ "),
            "абвгдеёжзийклмноп рстуфхцчшщъыьэюя");
  EXPECT_EQ(FoldForMatch("Relay\t\t№2 ZONE"), "relay №2 zone");
  EXPECT_EQ(FoldForMatch("уже строчные ё"), "уже строчные ё");
  EXPECT_EQ(FoldForMatch(""), "");
  EXPECT_EQ(FoldForMatch("   "), "");
  // A lone lead byte at the end is kept as it is.
  EXPECT_EQ(FoldForMatch("A\xD0"), "a\xD0");
}

TEST(TextMatchTest, MatchesFoldedTextInsideOthers) {
  EXPECT_TRUE(TextMatches("Склад, Дверь \"А\"", FoldForMatch("дверь \"а")));
  EXPECT_TRUE(TextMatches("Включение  ИМ", FoldForMatch("ВКЛЮЧЕНИЕ ИМ")));
  EXPECT_FALSE(TextMatches("Включение  ИМ", FoldForMatch("включениеим")));
  EXPECT_TRUE(TextMatches("anything", ""));
}

TEST(TextMatchTest, FindsTheCodesOfEventTexts) {
  EXPECT_EQ(CodesWithText(FoldForMatch("сигн")), (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(CodesWithText(FoldForMatch("реле")), (std::vector<std::uint8_t>{50, 51}));
  EXPECT_EQ(CodesWithText(FoldForMatch("отказ мвди")), (std::vector<std::uint8_t>{8, 9}));
  EXPECT_EQ(CodesWithText(FoldForMatch("**некорр")), (std::vector<std::uint8_t>{255}));
  EXPECT_EQ(CodesWithText(FoldForMatch("блок")), (std::vector<std::uint8_t>{5, 6}));
  EXPECT_TRUE(CodesWithText(FoldForMatch("дверь")).empty());
}

}  // namespace
}  // namespace torv::history
