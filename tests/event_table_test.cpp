#include "archive/event_table.h"

#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "archive/text_utf8.h"

namespace torv {
namespace {

const std::string k11Spaces(11, ' ');

TEST(EventTextTableTest, EveryTextWithItsSpaces) {
  const std::pair<int, std::string> expected[] = {
      {0, "Норма           "}, {1, "Пред. сигн.     "}, {2, "Авар. сигн. "},
      {3, "Включение  ИМ"},    {4, "Отключение ИМ"},    {5, "Включен. блок"},
      {6, "Отключ. блок"},     {7, "Включ.  устр"},     {8, "Отказ   МВДИ1"},
      {9, "Отказ   МВДИ2"},    {10, "Отказ   МР1  "},   {11, "Отказ   МР2  "},
      {12, "Отказ   МИнд "},   {13, "Отказ   МВИ  "},   {14, "Отказ   МВАИ1"},
      {15, "Отказ   МВАИ2"},   {16, "Программир. "},    {50, "Отключение реле"},
      {51, "Включение реле"},
  };
  for (const auto& [code, text] : expected) {
    EXPECT_EQ(EventTextTable(static_cast<std::uint8_t>(code)), text) << code;
  }
}

TEST(EventTextTableTest, CharacterCountsAreCharactersNotBytes) {
  const std::pair<int, std::size_t> lengths[] = {{0, 16}, {1, 16},  {2, 12},  {3, 13},  {6, 12},
                                                 {7, 12}, {10, 13}, {16, 12}, {50, 15}, {51, 14}};
  for (const auto& [code, length] : lengths) {
    EXPECT_EQ(Utf8Length(EventTextTable(static_cast<std::uint8_t>(code))), length) << code;
  }
  EXPECT_EQ(Utf8Length(kDamagedRecordText), 15u);
}

TEST(EventTextTableTest, CodesWithoutText) {
  for (int code : {17, 30, 49, 52, 100, 254, 255}) {
    EXPECT_EQ(EventTextTable(static_cast<std::uint8_t>(code)), "") << code;
  }
}

TEST(NumberFormatTest, AtLeastTwoDigits) {
  EXPECT_EQ(FormatTwoDigits(0), "00");
  EXPECT_EQ(FormatTwoDigits(7), "07");
  EXPECT_EQ(FormatTwoDigits(10), "10");
  EXPECT_EQ(FormatTwoDigits(99), "99");
  EXPECT_EQ(FormatTwoDigits(100), "100");
  EXPECT_EQ(FormatTwoDigits(255), "255");
}

TEST(FormatTimeDateTest, Examples) {
  EXPECT_EQ(FormatTimeDate(14, 3, 7, 5, 11), "14:03:07 05.11");
  EXPECT_EQ(FormatTimeDate(9, 5, 30, 1, 12), "09:05:30 01.12");
  EXPECT_EQ(FormatTimeDate(0, 0, 0, 0, 0), "00:00:00 00.00");
  EXPECT_EQ(FormatTimeDate(255, 255, 255, 255, 255), "");
  EXPECT_EQ(FormatTimeDate(255, 255, 255, 255, 1), "255:255:255 255.01");
  EXPECT_EQ(FormatTimeDate(255, 255, 255, 1, 255), "255:255:255 01.255");
  const std::string text = FormatTimeDate(9, 5, 30, 1, 12);
  EXPECT_EQ(text.substr(9, 2), "01");
  EXPECT_EQ(text.substr(12, 2), "12");
}

TEST(FormatTimeDateTest, RecordBytesInTheirOrder) {
  // Bytes: code, number, seconds, minutes, hours, day, month.
  EXPECT_EQ(FormatTimeDate(ArchiveRecord{{1, 0, 7, 3, 14, 5, 11, 0}}), "14:03:07 05.11");
}

TEST(FormatTimeDateTest, IntoBufferGivesTheSameText) {
  TimeDateBuffer buffer;
  EXPECT_EQ(FormatTimeDate(ArchiveRecord{{1, 0, 7, 3, 14, 5, 11, 0}}, buffer), "14:03:07 05.11");
  // The longest text fills the buffer exactly.
  EXPECT_EQ(FormatTimeDate(ArchiveRecord{{1, 0, 200, 201, 202, 203, 204, 0}}, buffer),
            "202:201:200 203.204");
  EXPECT_EQ(FormatTimeDate(ArchiveRecord{{1, 0, 255, 255, 255, 255, 255, 0}}, buffer), "");
  EXPECT_EQ(FormatTimeDate(ArchiveRecord{{1, 0, 255, 255, 255, 255, 1, 0}}, buffer),
            "255:255:255 255.01");
}

TEST(DecodeRecordTest, InputEvents) {
  EXPECT_EQ(DecodeRecord(MakeRecord(0, 0, 7, 5, 30, 5, 11)),
            (EventRow{"Норма           ", "1" + k11Spaces, "07:05:30", "05.11"}));
  EXPECT_EQ(DecodeRecord(MakeRecord(1, 31, 23, 59, 59, 31, 12)),
            (EventRow{"Пред. сигн.     ", "32" + k11Spaces, "23:59:59", "31.12"}));
  EXPECT_EQ(DecodeRecord(MakeRecord(2, 255, 0, 0, 0, 1, 1)),
            (EventRow{"Авар. сигн. ", "256" + k11Spaces, "00:00:00", "01.01"}));
}

TEST(DecodeRecordTest, RelayEvents) {
  EXPECT_EQ(DecodeRecord(MakeRecord(51, 0, 1, 2, 3, 4, 5)),
            (EventRow{"Включение реле", "реле 1", "01:02:03", "04.05"}));
  EXPECT_EQ(DecodeRecord(MakeRecord(50, 7, 1, 2, 3, 4, 5)),
            (EventRow{"Отключение реле", "реле 8", "01:02:03", "04.05"}));
}

TEST(DecodeRecordTest, DeviceEventsAndCodesWithoutTextCarryNoNumber) {
  EXPECT_EQ(DecodeRecord(MakeRecord(16, 9, 12, 0, 0, 2, 3)),
            (EventRow{"Программир. ", k11Spaces, "12:00:00", "02.03"}));
  for (int code : {17, 49, 52, 254}) {
    EXPECT_EQ(DecodeRecord(MakeRecord(static_cast<std::uint8_t>(code), 4, 1, 1, 1, 1, 1)),
              (EventRow{"", k11Spaces, "01:01:01", "01.01"}))
        << code;
  }
}

TEST(DecodeRecordTest, DamagedRecordWhateverItsBytes) {
  const EventRow damaged{"**НЕКОРР ЗАП.**", "", "", ""};
  EXPECT_EQ(DecodeRecord(MakeRecord(255, 3, 4, 5, 6, 7, 8, 9)), damaged);
  EXPECT_EQ(DecodeRecord(ArchiveRecord{{255, 255, 255, 255, 255, 255, 255, 255}}), damaged);
  EXPECT_EQ(DecodeRecord(ArchiveRecord{{255, 0, 0, 0, 0, 0, 0, 0}}), damaged);
}

TEST(DecodeRecordTest, EmptyRecordsShowFourEmptyCells) {
  EXPECT_EQ(DecodeRecord(ArchiveRecord{}), EventRow{});
  EXPECT_EQ(DecodeRecord(MakeRecord(0, 0, 0, 0, 0, 0, 0, 0x5A)), EventRow{});
}

TEST(DecodeRecordTest, UnsetFieldsBlankOnlyWhenAllTheirBytesAre255) {
  EXPECT_EQ(DecodeRecord(MakeRecord(3, 0, 255, 255, 255, 255, 255)),
            (EventRow{"Включение  ИМ", k11Spaces, " ", ""}));
  // Two of three time bytes unset: all numbers shown.
  EXPECT_EQ(DecodeRecord(MakeRecord(3, 0, 255, 255, 7, 1, 2))[2], "255:255:07");
  EXPECT_EQ(DecodeRecord(MakeRecord(3, 0, 255, 10, 7, 1, 2))[2], "255:10:07");
  // Day alone unset: shown as a number.
  EXPECT_EQ(DecodeRecord(MakeRecord(3, 0, 1, 2, 3, 255, 3))[3], "255.03");
  EXPECT_EQ(DecodeRecord(MakeRecord(3, 0, 1, 2, 3, 4, 255))[3], "04.255");
  // Out-of-range values are shown as they are.
  EXPECT_EQ(DecodeRecord(MakeRecord(3, 0, 99, 0, 0, 1, 200))[2], "99:00:00");
  EXPECT_EQ(DecodeRecord(MakeRecord(3, 0, 99, 0, 0, 1, 200))[3], "01.200");
}

TEST(ShownTimeDateTest, TimeAndDateAsTheirCellsShowThem) {
  EXPECT_EQ(ShownTimeDate(MakeRecord(0, 0, 14, 39, 40, 28, 12)), "14:39:40 28.12");
  // Day and month both 255: no date, as the date cell is blank.
  EXPECT_EQ(ShownTimeDate(MakeRecord(0, 0, 14, 39, 40, 255, 255)), "14:39:40");
  // One of them alone is shown as it is, like in the cell.
  EXPECT_EQ(ShownTimeDate(MakeRecord(0, 0, 14, 39, 40, 255, 12)), "14:39:40 255.12");
  EXPECT_EQ(ShownTimeDate(MakeRecord(3, 0, 255, 255, 255, 1, 2)), "01.02");
  EXPECT_EQ(ShownTimeDate(MakeRecord(3, 0, 255, 255, 255, 255, 255)), "");
  // The window's own text keeps every byte.
  EXPECT_EQ(FormatTimeDate(MakeRecord(0, 0, 14, 39, 40, 255, 255)), "14:39:40 255.255");
  // A damaged or an empty record shows neither.
  EXPECT_EQ(ShownTimeDate(ArchiveRecord{{255, 1, 2, 3, 4, 5, 6, 7}}), "");
  EXPECT_EQ(ShownTimeDate(ArchiveRecord{}), "");
}

TEST(EventTableHeaderTest, Texts) {
  EXPECT_EQ(EventTableHeader(), (EventRow{"Событие", "Номер входа", " Время", "Дата"}));
}

TEST(TextUtf8Test, PrefixAndLengthCountCharacters) {
  EXPECT_EQ(Utf8Length("05.03"), 5u);
  EXPECT_EQ(Utf8Length("дата"), 4u);
  EXPECT_EQ(Utf8Prefix("05.03.2026", 5), "05.03");
  EXPECT_EQ(Utf8Prefix("абвгдеж", 5), "абвгд");
  EXPECT_EQ(Utf8Prefix("05", 5), "05");
  EXPECT_TRUE(EqualsIgnoringAsciiCase("Ab.c", "aB.C"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("05.03", "05/03"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("05.03", "05.0"));
}

TEST(TextUtf8Test, ValidUtf8) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("Склад №2 \xF0\x9F\x94\x94"));
  EXPECT_FALSE(IsValidUtf8("\xC2"));              // cut short
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xD0\x41"));          // no continuation byte
  EXPECT_FALSE(IsValidUtf8("\xFF"));
}

TEST(TextUtf8Test, DecodesOneCharacterAtTheBoundariesOfEachLength) {
  const struct {
    std::string_view text;
    char32_t codePoint;
    std::size_t length;
  } cases[] = {
      {std::string_view("\0x", 2), 0, 1},
      {"\x7F", 0x7F, 1},
      {"\xC2\x80", 0x80, 2},
      {"\xD0\xAF\xD1\x8F", 0x42F, 2},  // "Я" of "Яя"
      {"\xDF\xBF", 0x7FF, 2},
      {"\xE0\xA0\x80", 0x800, 3},
      {"\xE2\x84\x96", 0x2116, 3},  // "№"
      {"\xED\x9F\xBF", 0xD7FF, 3},
      {"\xEE\x80\x80", 0xE000, 3},
      {"\xF0\x90\x80\x80", 0x10000, 4},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
  };
  for (const auto& c : cases) {
    const Utf8Character character = DecodeUtf8Character(c.text);
    EXPECT_EQ(character.codePoint, c.codePoint) << c.text;
    EXPECT_EQ(character.length, c.length) << c.text;
  }
  for (const std::string_view broken :
       {"", "\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF",
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE2\x84", "\xE2\x84\x41"}) {
    EXPECT_EQ(DecodeUtf8Character(broken).length, 0u) << broken;
  }
}

TEST(TextUtf8Test, TrimSpacesTakesOnlySpacesFromBothEnds) {
  EXPECT_EQ(TrimSpaces("Норма           "), "Норма");
  EXPECT_EQ(TrimSpaces("  Включение  ИМ "), "Включение  ИМ");
  EXPECT_EQ(TrimSpaces("           "), "");
  EXPECT_EQ(TrimSpaces(""), "");
  EXPECT_EQ(TrimSpaces("\t7 \t"), "\t7 \t");
  EXPECT_EQ(TrimSpaces(" реле 3"), "реле 3");
}

}  // namespace
}  // namespace torv
