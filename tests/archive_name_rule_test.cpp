#include "ui/archive_name_rule.h"

#include <gtest/gtest.h>

#include <ostream>

namespace torv {
namespace {

struct NameCase {
  const char* label;
  const char* returned;
  ArchiveNameVerdict verdict;
  const char* fileName;
  const char* extension;
};

void PrintTo(const NameCase& c, std::ostream* out) {
  *out << c.returned;
}

class ArchiveNameRuleTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ArchiveNameRuleTest, AppliesTheRule) {
  const NameCase& c = GetParam();
  const ArchiveNameChoice choice = ApplyArchiveNameRule(c.returned);
  EXPECT_EQ(choice.verdict, c.verdict);
  EXPECT_EQ(choice.fileName, c.fileName);
  EXPECT_EQ(choice.extension, c.extension);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ArchiveNameRuleTest,
    ::testing::Values(NameCase{"DatAccepted", "/home/op/arch.dat", ArchiveNameVerdict::kAccepted,
                               "/home/op/arch.dat", ".dat"},
                      NameCase{"NoExtensionGetsDat", "/home/op/arch", ArchiveNameVerdict::kAppended,
                               "/home/op/arch.dat", ""},
                      NameCase{"DotOnlyInFolder", "/home/op/v1.2/arch",
                               ArchiveNameVerdict::kAppended, "/home/op/v1.2/arch.dat", ""},
                      // Backslash and colon are ordinary name characters here.
                      NameCase{"DotBeforeBackslash", "C:\\arc.v2\\arch",
                               ArchiveNameVerdict::kRejected, "C:\\arc.v2\\arch", ".v2\\arch"},
                      NameCase{"DotBeforeColon", "a.b:arch", ArchiveNameVerdict::kRejected,
                               "a.b:arch", ".b:arch"},
                      NameCase{"BackslashBeforeDat", "/home/op/a\\b.dat",
                               ArchiveNameVerdict::kAccepted, "/home/op/a\\b.dat", ".dat"},
                      NameCase{"CapitalsRejected", "/home/op/arch.DAT",
                               ArchiveNameVerdict::kRejected, "/home/op/arch.DAT", ".DAT"},
                      NameCase{"MixedCaseRejected", "/home/op/arch.Dat",
                               ArchiveNameVerdict::kRejected, "/home/op/arch.Dat", ".Dat"},
                      NameCase{"OnlyLastExtensionCounts", "/home/op/arch.dat.bak",
                               ArchiveNameVerdict::kRejected, "/home/op/arch.dat.bak", ".bak"},
                      NameCase{"TrailingDotRejected", "/home/op/arch.",
                               ArchiveNameVerdict::kRejected, "/home/op/arch.", "."},
                      NameCase{"OtherExtensionRejected", "/home/op/arch.txt",
                               ArchiveNameVerdict::kRejected, "/home/op/arch.txt", ".txt"},
                      NameCase{"DatBeforeAnotherExtensionRejected", "/home/op/x.dat.",
                               ArchiveNameVerdict::kRejected, "/home/op/x.dat.", "."},
                      NameCase{"CyrillicNameAccepted", "/home/оператор/архив.dat",
                               ArchiveNameVerdict::kAccepted, "/home/оператор/архив.dat", ".dat"}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace torv
