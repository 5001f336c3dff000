#include "ui/str_to_int.h"

#include <gtest/gtest.h>

namespace torv {
namespace {

TEST(StrToIntTest, ConvertsDecimalDigits) {
  EXPECT_EQ(StrToInt("7"), 7);
  EXPECT_EQ(StrToInt("32"), 32);
  EXPECT_EQ(StrToInt("99"), 99);
}

TEST(StrToIntTest, AcceptsLeadingZeros) {
  EXPECT_EQ(StrToInt("05"), 5);
  EXPECT_EQ(StrToInt("00"), 0);
  EXPECT_EQ(StrToInt("0000000012"), 12);
}

TEST(StrToIntTest, ReachesTheLargestSigned32BitValue) {
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("0002147483647"), 2147483647);
}

void ExpectFailure(const std::string& text) {
  try {
    StrToInt(text);
    ADD_FAILURE() << "no failure for '" << text << "'";
  } catch (const InvalidIntegerError& failure) {
    EXPECT_EQ(std::string(failure.what()), "'" + text + "' is not a valid integer value");
  }
}

TEST(StrToIntTest, RejectsTextsThatAreNotWholeNumbers) {
  ExpectFailure("");
  ExpectFailure("-");
  ExpectFailure("1a");
  ExpectFailure(" 5");
  ExpectFailure("5 ");
  ExpectFailure("1.5");
  ExpectFailure("14:03:07 05.11");
}

TEST(StrToIntTest, RejectsASign) {
  ExpectFailure("+7");
  ExpectFailure("-5");
  ExpectFailure("+5");
  ExpectFailure("+05");
  ExpectFailure("-0");
  ExpectFailure("+");
  ExpectFailure("-2147483648");
}

TEST(StrToIntTest, RejectsNumbersOutsideTheRange) {
  ExpectFailure("2147483648");
  ExpectFailure("-2147483649");
  ExpectFailure("99999999999999999999");
}

}  // namespace
}  // namespace torv
