#include "fileio/text_encoding.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "result_value.h"

namespace torv {
namespace {

using testing::ValueOf;

TEST(Utf8ToCodePageTest, AMissingConverterIsReportedNotThrown) {
  const Result<std::string> converted = Utf8ToSingleByteCodePage("Дата", "NO-SUCH-CODE-PAGE");
  ASSERT_FALSE(converted.ok());
  EXPECT_EQ(converted.failure().reason,
            "no converter from UTF-8 to NO-SUCH-CODE-PAGE (Invalid argument)");
  EXPECT_EQ(converted.failure().errorNumber, EINVAL);
}

TEST(Utf8ToCodePageTest, AnyCodePageIconvKnows) {
  EXPECT_EQ(ValueOf(Utf8ToSingleByteCodePage("Дата ё", "KOI8-R")), "\xE4\xC1\xD4\xC1 \xA3");
  EXPECT_EQ(ValueOf(Utf8ToSingleByteCodePage("Дата ё", "CP1251")), "\xC4\xE0\xF2\xE0 \xB8");
}

TEST(Utf8ToCp1251Test, AsciiAndCyrillic) {
  EXPECT_EQ(ValueOf(Utf8ToCp1251("Дата 05.11")), "\xC4\xE0\xF2\xE0 05.11");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("Ёё№")), "\xA8\xB8\xB9");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("")), "");
  EXPECT_EQ(ValueOf(Utf8ToCp1251(std::string("a\0b", 3))), std::string("a\0b", 3));
}

TEST(Utf8ToCp1251Test, WholeHighHalf) {
  EXPECT_EQ(ValueOf(Utf8ToCp1251("ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—™љ›њќћџ")),
            "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
            "\x90\x91\x92\x93\x94\x95\x96\x97\x99\x9A\x9B\x9C\x9D\x9E\x9F");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї°±Ііґµ¶·ё№є»јЅѕї")),
            "\xA0\xA1\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xAF"
            "\xB0\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xBB\xBC\xBD\xBE\xBF");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("АЯая")), "\xC0\xDF\xE0\xFF");
}

TEST(Utf8ToCp1251Test, CharacterMissingFromCp1251IsOneQuestionMark) {
  EXPECT_EQ(ValueOf(Utf8ToCp1251("a中b")), "a?b");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("a😀b")), "a?b");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("a\xC2\x98"
                                 "b")),
            "a?b");  // the one byte CP1251 leaves unused
}

// Tag characters (U+E0000 to U+E007F) are characters like any other.
TEST(Utf8ToCp1251Test, TagCharacterIsNotDropped) {
  EXPECT_EQ(ValueOf(Utf8ToCp1251("a\xF3\xA0\x80\x80 b")), "a? b");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("\xF3\xA0\x81\xBF")), "?");
}

// A lead byte whose continuation is missing is one invalid byte: the text
// after it stays.
TEST(Utf8ToCp1251Test, BrokenSequenceKeepsTheTextAfterIt) {
  EXPECT_EQ(ValueOf(Utf8ToCp1251("\xE0"
                                 "AB")),
            "?AB");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("\xC3\xC3"
                                 "x")),
            "??x");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("\xF0\x9F"
                                 "Ж")),
            "??\xC6");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("x\xD0")), "x?");
  EXPECT_EQ(ValueOf(Utf8ToCp1251("\xE0\xA0")), "??");
}

TEST(Utf8ToCp1251Test, EveryByteOfAnIllFormedSequenceIsOneQuestionMark) {
  EXPECT_EQ(ValueOf(Utf8ToCp1251("\xC0\x80Q")), "??Q");          // overlong
  EXPECT_EQ(ValueOf(Utf8ToCp1251("\xED\xA0\x80Q")), "???Q");     // surrogate
  EXPECT_EQ(ValueOf(Utf8ToCp1251("\xF4\x90\x80\x80")), "????");  // beyond U+10FFFF
  EXPECT_EQ(ValueOf(Utf8ToCp1251("\x80\xBF\xFF\xFE")), "????");
}

}  // namespace
}  // namespace torv
