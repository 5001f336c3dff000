#include "history/names_csv.h"

#include <cerrno>

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

TEST(NamesCsvTest, TheHeaderIsRequiredAndTellsTheSeparator) {
  const std::vector<NameEntry> one = {{"3", NumberKind::kInput, 7, "Дверь"}};
  const struct {
    std::string content;
    std::optional<std::vector<NameEntry>> names;
    std::string fault;
  } cases[] = {
      {"device,kind,number,name\n3,input,7,Дверь\n", one, ""},
      {"device;kind;number;name\r\n3;input;7;Дверь\r\n", one, ""},
      {"Устройство;Вид;Номер;Название\n3;input;7;Дверь\n", one, ""},
      {"устройство,вид,номер,название\n3,input,7,Дверь\n", one, ""},
      {"Device, Kind ,number,NAME\n3,input,7,Дверь\n", one, ""},
      // ";" inside a field of a ","-file is text.
      {"device,kind,number,name\n3,input,7,Дверь; склад\n",
       std::vector<NameEntry>{{"3", NumberKind::kInput, 7, "Дверь; склад"}}, ""},
      {"3,input,7,Дверь\n4,input,1,Окно\n", std::nullopt,
       "line 1: the header row device,kind,number,name (or устройство,вид,номер,название) is "
       "missing"},
      {"\ndevice,kind,number\n", std::nullopt,
       "line 2: the header row device,kind,number,name (or устройство,вид,номер,название) is "
       "missing"},
      {"device;kind;number;name\n3,input,7,Дверь\n", std::nullopt,
       "line 2: 4 fields expected (device, kind, number, name), found 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    Result<std::vector<NameEntry>> names = ParseNamesCsv(c.content);
    if (c.names) {
      ASSERT_TRUE(names.ok()) << names.failure().reason;
      EXPECT_EQ(*names, *c.names);
    } else {
      EXPECT_EQ(ParseFailure(c.content), c.fault);
    }
  }
}

TEST(NamesCsvTest, AFileGivesAllOfItsNamesOrItsFault) {
  torv::testing::TempFolder folder;
  const std::string good = "device,kind,number,name\n3,input,7,Дверь\n3,relay,1,Сирена\n";
  const std::string goodPath =
      folder.Write("good.csv", std::vector<std::uint8_t>(good.begin(), good.end()));
  Result<std::vector<NameEntry>> names = ReadNamesFile(goodPath);
  ASSERT_TRUE(names.ok()) << names.failure().reason;
  EXPECT_EQ(*names, (std::vector<NameEntry>{{"3", NumberKind::kInput, 7, "Дверь"},
                                            {"3", NumberKind::kRelay, 1, "Сирена"}}));
  const std::string bad = "device,kind,number,name\n4,input,1,Окно\n4,input,x,y\n";
  const std::string badPath =
      folder.Write("bad.csv", std::vector<std::uint8_t>(bad.begin(), bad.end()));
  names = ReadNamesFile(badPath);
  ASSERT_FALSE(names.ok());
  EXPECT_EQ(names.failure().reason, "line 3: the number \"x\" is not from 1 to 256");
  names = ReadNamesFile((folder.path() / "none.csv").string());
  ASSERT_FALSE(names.ok());
  EXPECT_EQ(names.failure().reason, "cannot be read: No such file or directory");
  EXPECT_EQ(names.failure().errorNumber, ENOENT);
  names = ReadNamesFile(folder.path().string());
  ASSERT_FALSE(names.ok());
  EXPECT_EQ(names.failure().reason, "cannot be read: Is a directory");
}

}  // namespace
}  // namespace torv::history
