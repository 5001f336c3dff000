#include "ui/typing_limit.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace torv {
namespace {

struct EditCase {
  const char* name;
  const char* before;
  const char* after;
  qsizetype cursorAfter;
  const char* expectedText;
  qsizetype expectedCursor;
};

void PrintTo(const EditCase& edit, std::ostream* out) {
  *out << edit.name;
}

class LimitOperatorEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(LimitOperatorEditTest, KeepsWhatFits) {
  const EditCase& edit = GetParam();
  const LimitedEdit kept = LimitOperatorEdit(QString::fromUtf8(edit.before),
                                             QString::fromUtf8(edit.after), edit.cursorAfter);
  EXPECT_EQ(kept.text.toStdString(), edit.expectedText);
  EXPECT_EQ(kept.cursor, edit.expectedCursor);
}

// The limit is two characters. `cursorAfter` is where the field leaves the
// cursor: behind the inserted text.
INSTANTIATE_TEST_SUITE_P(
    Edits, LimitOperatorEditTest,
    ::testing::Values(EditCase{"TypedWithinTheLimit", "1", "12", 2, "12", 2},
                      EditCase{"PasteIntoAnEmptyField", "", "12345", 5, "12", 2},
                      EditCase{"PasteOverTheSelectedText", "1", "12345", 5, "12", 2},
                      EditCase{"PasteInFrontOfAKeptCharacter", "1", "121", 2, "11", 1},
                      EditCase{"PasteBehindAKeptCharacter", "5", "5987", 4, "59", 2},
                      EditCase{"PasteOfASignAndADigit", "", "+7", 2, "+7", 2},
                      EditCase{"NothingFitsBehindTwoCharacters", "00", "0012345", 7, "00", 2},
                      EditCase{"ThirdTypedCharacterIsUndone", "12", "132", 2, "12", 1},
                      EditCase{"DeletingFromALongTextStays", "14:03:07 05.11", "14:03:07 05.1", 13,
                               "14:03:07 05.1", 13},
                      EditCase{"TypingIntoALongTextIsUndone", "14:03:07 05.11", "14:03:07 05.115",
                               15, "14:03:07 05.11", 14},
                      EditCase{"ReplacingPartOfALongTextIsUndone", "14:03:07 05.11",
                               "14:99999:07 05.11", 8, "14:03:07 05.11", 3},
                      EditCase{"PasteOverAWholeLongText", "14:03:07 05.11", "98765", 5, "98", 2},
                      // A drop that leaves the cursor in front of the dropped text.
                      EditCase{"CursorInFrontOfTheInsertion", "5", "9875", 0, "95", 1}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace torv
