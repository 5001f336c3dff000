#include "report/report_file_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace torv {
namespace {

TEST(ReportFileNamesTest, DefaultNameIsTwelveCharactersEndingInSpace) {
  EXPECT_EQ(DefaultReportName(), "отчет устр. ");
  // Nine Cyrillic letters of two UTF-8 bytes each, "." and two spaces.
  EXPECT_EQ(DefaultReportName().size(), 21u);
  EXPECT_EQ(DefaultReportName().back(), ' ');
}

TEST(ReportFileNamesTest, DeviceNameCountsFromOne) {
  EXPECT_EQ(DeviceReportName(0), "отчет устр. 1.rtf");
  EXPECT_EQ(DeviceReportName(8), "отчет устр. 9.rtf");
  EXPECT_EQ(DeviceReportName(9), "отчет устр. 10.rtf");
  EXPECT_EQ(DeviceReportName(30), "отчет устр. 31.rtf");
}

struct SaveNameCase {
  const char* label;
  std::string chosen;
  SaveNameVerdict verdict;
  std::optional<std::string> accepted;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const SaveNameCase& c, std::ostream* os) {
  *os << c.label;
}

class SaveNameTest : public ::testing::TestWithParam<SaveNameCase> {};

TEST_P(SaveNameTest, Verdict) {
  const SaveNameCase& c = GetParam();
  EXPECT_EQ(JudgeReportFileName(c.chosen), c.verdict);
  EXPECT_EQ(AcceptReportFileName(c.chosen), c.accepted);
}

const std::string kLongFolder = "/tmp/" + std::string(300, 'x') + "/" + std::string(200, 'y');

INSTANTIATE_TEST_SUITE_P(
    Names, SaveNameTest,
    ::testing::Values(
        SaveNameCase{"RtfKept", "/home/op/отчет.rtf", SaveNameVerdict::kAccept,
                     "/home/op/отчет.rtf"},
        SaveNameCase{"NoExtensionGetsRtf", "/home/op/отчет", SaveNameVerdict::kAppendExtension,
                     "/home/op/отчет.rtf"},
        SaveNameCase{"TwoDotsEndingInRtfKept", "/home/op/a.b.rtf", SaveNameVerdict::kAccept,
                     "/home/op/a.b.rtf"},
        SaveNameCase{"CapitalRtfRefused", "/home/op/a.RTF", SaveNameVerdict::kReject, std::nullopt},
        SaveNameCase{"MixedCaseRtfRefused", "/home/op/a.Rtf", SaveNameVerdict::kReject,
                     std::nullopt},
        SaveNameCase{"TxtRefused", "/home/op/a.txt", SaveNameVerdict::kReject, std::nullopt},
        SaveNameCase{"RtfThenMoreRefused", "/home/op/a.rtf.bak", SaveNameVerdict::kReject,
                     std::nullopt},
        SaveNameCase{"BareDotRefused", "/home/op/a.", SaveNameVerdict::kReject, std::nullopt},
        SaveNameCase{"DotInFolderOnlyGetsRtf", "/home/op.v2/report",
                     SaveNameVerdict::kAppendExtension, "/home/op.v2/report.rtf"},
        SaveNameCase{"BackslashIsANameCharacterRefused", "C:\\op.v2\\report",
                     SaveNameVerdict::kReject, std::nullopt},
        SaveNameCase{"DotBeforeBackslashRefused", "/home/op/a.b\\c", SaveNameVerdict::kReject,
                     std::nullopt},
        SaveNameCase{"DotBeforeColonRefused", "/home/op/a.b:c", SaveNameVerdict::kReject,
                     std::nullopt},
        SaveNameCase{"BackslashAfterRtfNameKept", "/home/op/a\\b.rtf", SaveNameVerdict::kAccept,
                     "/home/op/a\\b.rtf"},
        SaveNameCase{"DotThenSpaceRefused", "/home/op/отчет устр. ", SaveNameVerdict::kReject,
                     std::nullopt},
        SaveNameCase{"LongPathKeptWhole", kLongFolder + "/report.rtf", SaveNameVerdict::kAccept,
                     kLongFolder + "/report.rtf"},
        SaveNameCase{"LongPathWithoutExtensionKeptWhole", kLongFolder + "/report",
                     SaveNameVerdict::kAppendExtension, kLongFolder + "/report.rtf"}),
    [](const ::testing::TestParamInfo<SaveNameCase>& info) { return info.param.label; });

}  // namespace
}  // namespace torv
