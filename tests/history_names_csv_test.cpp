#include "history/names_csv.h"

#include <gtest/gtest.h>

#include "history_test_support.h"

namespace torv::history {
namespace {

std::string ParseFailure(std::string_view content) {
  Result<std::vector<NameEntry>> names = ParseNamesCsv(content);
  EXPECT_FALSE(names.ok());
  return names.ok() ? std::string() : names.failure().reason;
}

TEST(NamesCsvTest, ReadsRowsAfterTheHeader) {
  Result<std::vector<NameEntry>> names = ParseNamesCsv(
      "\xEF\xBB\xBF"
      "device,kind,number,name\r\n"
      "3,input,7,\"Склад, дверь \"\"А\"\"\"\r\n"
      "\n"
      "\"Склад, ТОРВ-4 №2\",relay,2,Сирена\n"
      "1,input,32,\"две\nстроки\"");
  ASSERT_TRUE(names.ok()) << names.failure().reason;
  EXPECT_EQ(*names, (std::vector<NameEntry>{
                        {"3", NumberKind::kInput, 7, "Склад, дверь \"А\""},
                        {"Склад, ТОРВ-4 №2", NumberKind::kRelay, 2, "Сирена"},
                        {"1", NumberKind::kInput, 32, "две\nстроки"},
                    }));
}

TEST(NamesCsvTest, FaultsNameTheirLine) {
  const std::string header = "device,kind,number,name\n";
  EXPECT_EQ(ParseFailure(header + "3,door,7,x\n"),
            "line 2: the kind \"door\" is neither input nor relay");
  EXPECT_EQ(ParseFailure(header + "3,input,1,x\n3,input,0,y\n"),
            "line 3: the number \"0\" is not from 1 to 256");
  EXPECT_EQ(ParseFailure(header + "3,input,257,y\n"),
            "line 2: the number \"257\" is not from 1 to 256");
  EXPECT_EQ(ParseFailure(header + "3,input,7a,y\n"),
            "line 2: the number \"7a\" is not from 1 to 256");
  EXPECT_EQ(ParseFailure(header + "3,input,7\n"),
            "line 2: 4 fields expected (device, kind, number, name), found 3");
  EXPECT_EQ(ParseFailure(header + ",input,7,x\n"), "line 2: the device is empty");
  EXPECT_EQ(ParseFailure(header + "3,input,7,\n"), "line 2: the name is empty");
  EXPECT_EQ(ParseFailure(header + "3,input,7,\"open\n"), "line 2: a quoted field is not closed");
  EXPECT_EQ(ParseFailure(header + "3,input,7,\"a\"b\n"), "line 2: text after a quoted field");
  EXPECT_EQ(ParseFailure(header + "3,input,7,\xC2\n"), "the file is not UTF-8 text");
  EXPECT_EQ(ParseFailure(""), "the file is empty; it needs a header row");
}

TEST(NamesCsvTest, AFileImportsWholeOrNotAtAll) {
  testing::TestStore test(testing::Backend::kSqlite);
  auto store = test.Open();
  ASSERT_TRUE(store);
  torv::testing::TempFolder folder;
  const std::string good = "device,kind,number,name\n3,input,7,Дверь\n3,relay,1,Сирена\n";
  const std::string goodPath =
      folder.Write("good.csv", std::vector<std::uint8_t>(good.begin(), good.end()));
  ASSERT_TRUE(ImportNamesFile(*store, goodPath).ok());
  const std::string bad = "device,kind,number,name\n4,input,1,Окно\n4,input,x,y\n";
  const std::string badPath =
      folder.Write("bad.csv", std::vector<std::uint8_t>(bad.begin(), bad.end()));
  const Status failed = ImportNamesFile(*store, badPath);
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.failure().reason, badPath + ": line 3: the number \"x\" is not from 1 to 256");
  Result<std::vector<NameEntry>> names = store->Names();
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(*names, (std::vector<NameEntry>{{"3", NumberKind::kInput, 7, "Дверь"},
                                            {"3", NumberKind::kRelay, 1, "Сирена"}}));
  const Status missing = ImportNamesFile(*store, (folder.path() / "none.csv").string());
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.failure().reason, (folder.path() / "none.csv").string() + ": cannot be read");
}

}  // namespace
}  // namespace torv::history
