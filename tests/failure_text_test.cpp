#include "ui/failure_text.h"

#include <gtest/gtest.h>

namespace torv {
namespace {

TEST(FailureBoxTextTest, AppendsAFullStopAfterALetter) {
  EXPECT_EQ(FailureBoxText("'ab' is not a valid integer value"),
            "'ab' is not a valid integer value.");
}

TEST(FailureBoxTextTest, AppendsAFullStopAfterADigitOrCyrillic) {
  EXPECT_EQ(FailureBoxText("code 7"), "code 7.");
  EXPECT_EQ(FailureBoxText("ошибка"), "ошибка.");
}

TEST(FailureBoxTextTest, KeepsMessagesEndingAtOrBeforeTheDot) {
  EXPECT_EQ(FailureBoxText("done."), "done.");
  EXPECT_EQ(FailureBoxText("stop!"), "stop!");
  EXPECT_EQ(FailureBoxText("dash-"), "dash-");
  EXPECT_EQ(FailureBoxText("space "), "space ");
}

TEST(FailureBoxTextTest, AppendsAfterTheSlashWhichComesAfterTheDot) {
  EXPECT_EQ(FailureBoxText("a/"), "a/.");
}

TEST(FailureBoxTextTest, LeavesAnEmptyMessageEmpty) {
  EXPECT_EQ(FailureBoxText(""), "");
}

}  // namespace
}  // namespace torv
