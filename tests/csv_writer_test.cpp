#include "report/csv_writer.h"

#include <gtest/gtest.h>

namespace torv {
namespace {

TEST(CsvWriterTest, Rfc4180QuotesOnlyWhatNeedsIt) {
  const CsvWriter csv(Rfc4180Dialect());
  std::string out;
  csv.AppendStart(out);
  csv.AppendRecord(out, {"plain", "b,c", "say \"hi\"", "two\nlines", "cr\rhere", "", "a;b"});
  EXPECT_EQ(out, "plain,\"b,c\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\rhere\",,a;b\r\n");
}

TEST(CsvWriterTest, AByteOrderMarkStartsTheFileOnlyWhenAsked) {
  std::string with;
  CsvWriter(Rfc4180Dialect(true)).AppendStart(with);
  EXPECT_EQ(with, "\xEF\xBB\xBF");
  std::string without;
  CsvWriter(Rfc4180Dialect(false)).AppendStart(without);
  EXPECT_EQ(without, "");
}

TEST(CsvWriterTest, TheSpreadsheetDialectUsesSemicolonsAndQuotesDatesAndTimes) {
  const CsvWriter csv(SpreadsheetDialect({1, 2}));
  std::string out;
  csv.AppendStart(out);
  csv.AppendRecord(out, {"3", "28.12.2024", "14:38:29", "a b", "x;y", ""});
  csv.AppendRecord(out, {"4", "", "say \"hi\""});
  EXPECT_EQ(out,
            "\xEF\xBB\xBF"
            "3;\"28.12.2024\";\"14:38:29\";a b;\"x;y\";\r\n"
            "4;\"\";\"say \"\"hi\"\"\"\r\n");
}

TEST(CsvWriterTest, TheSpreadsheetDialectQuotesCommasAndTabsTooForImportsThatSplitAtThem) {
  const CsvWriter csv(SpreadsheetDialect({}));
  std::string out;
  csv.AppendRecord(out, {"Склад, ТОРВ-4 №2", "a\tb", "plain"});
  EXPECT_EQ(out, "\"Склад, ТОРВ-4 №2\";\"a\tb\";plain\r\n");
  // RFC 4180 quotes neither.
  std::string rfc;
  CsvWriter(Rfc4180Dialect()).AppendRecord(rfc, {"a\tb", "c;d"});
  EXPECT_EQ(rfc, "a\tb,c;d\r\n");
}

TEST(CsvWriterTest, AnotherLineEnd) {
  CsvDialect dialect;
  dialect.lineEnd = "\n";
  std::string out;
  CsvWriter(dialect).AppendRecord(out, {"a", "b"});
  EXPECT_EQ(out, "a,b\n");
}

}  // namespace
}  // namespace torv
