#include "archive/file_name_rule.h"

#include <gtest/gtest.h>

namespace torv {
namespace {

TEST(FileNameExtensionTest, FromTheLastDotAfterTheLastSlash) {
  EXPECT_EQ(FileNameExtension("/home/op/report.rtf"), ".rtf");
  EXPECT_EQ(FileNameExtension("/home/op/a.b.rtf"), ".rtf");
  EXPECT_EQ(FileNameExtension("a.tar.gz"), ".gz");
  EXPECT_EQ(FileNameExtension("/home/op/report."), ".");
  EXPECT_EQ(FileNameExtension(".dat"), ".dat");
  EXPECT_EQ(FileNameExtension("/home/op/report"), "");
  EXPECT_EQ(FileNameExtension("/home/op.d/report"), "");
  EXPECT_EQ(FileNameExtension("/x.y/z"), "");
  // Backslash and colon are ordinary name characters, not separators.
  EXPECT_EQ(FileNameExtension("C:\\op.d\\report"), ".d\\report");
  EXPECT_EQ(FileNameExtension("a.b\\c"), ".b\\c");
  EXPECT_EQ(FileNameExtension("a.b:report"), ".b:report");
  EXPECT_EQ(FileNameExtension("/home/op.d/a.b\\c"), ".b\\c");
  EXPECT_EQ(FileNameExtension("report"), "");
  EXPECT_EQ(FileNameExtension(""), "");
}

TEST(JudgeFileNameTest, TheSameRuleForEveryRequiredExtension) {
  for (const std::string_view required : {std::string_view(".dat"), std::string_view(".rtf")}) {
    SCOPED_TRACE(required);
    const std::string name = "/home/оператор/архив";
    EXPECT_EQ(JudgeFileName(name + std::string(required), required), FileNameVerdict::kAccept);
    EXPECT_EQ(JudgeFileName(name, required), FileNameVerdict::kAppendExtension);
    EXPECT_EQ(JudgeFileName("/home/v1.2/архив", required), FileNameVerdict::kAppendExtension);
    EXPECT_EQ(JudgeFileName(name + ".", required), FileNameVerdict::kReject);
    EXPECT_EQ(JudgeFileName(name + ".txt", required), FileNameVerdict::kReject);
    EXPECT_EQ(JudgeFileName(name + std::string(required) + ".bak", required),
              FileNameVerdict::kReject);
  }
  // Byte for byte: capitals are another extension.
  EXPECT_EQ(JudgeFileName("a.DAT", ".dat"), FileNameVerdict::kReject);
  EXPECT_EQ(JudgeFileName("a.Rtf", ".rtf"), FileNameVerdict::kReject);
  EXPECT_EQ(JudgeFileName("a.rtf", ".dat"), FileNameVerdict::kReject);
}

}  // namespace
}  // namespace torv
