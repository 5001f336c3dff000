#include "report/report_tab_stops.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/text_utf8.h"

namespace torv {
namespace {

std::vector<std::string> EveryDigit(const std::string& pattern) {
  std::vector<std::string> texts;
  for (char digit = '0'; digit <= '9'; ++digit) {
    std::string text = pattern;
    for (char& c : text) {
      if (c == '#') c = digit;
    }
    texts.push_back(text);
  }
  return texts;
}

std::vector<std::string> Sorted(std::vector<std::string> texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

const std::string k11Spaces(11, ' ');

TEST(ReportColumnSamplesTest, EventColumnHoldsEveryEventTextAndTheHeader) {
  EXPECT_EQ(ReportColumnSamples()[0], Sorted({"",
                                              "**НЕКОРР ЗАП.**",
                                              "Авар. сигн. ",
                                              "Включ.  устр",
                                              "Включен. блок",
                                              "Включение  ИМ",
                                              "Включение реле",
                                              "Норма           ",
                                              "Отказ   МВАИ1",
                                              "Отказ   МВАИ2",
                                              "Отказ   МВДИ1",
                                              "Отказ   МВДИ2",
                                              "Отказ   МВИ  ",
                                              "Отказ   МИнд ",
                                              "Отказ   МР1  ",
                                              "Отказ   МР2  ",
                                              "Отключ. блок",
                                              "Отключение ИМ",
                                              "Отключение реле",
                                              "Пред. сигн.     ",
                                              "Программир. ",
                                              "Событие"}));
}

TEST(ReportColumnSamplesTest, NumberColumnsHoldThreeDigitsOfEveryDigit) {
  const ReportColumnTexts samples = ReportColumnSamples();
  std::vector<std::string> numbers{"", k11Spaces, "Номер входа"};
  for (const std::string& text : EveryDigit("###" + k11Spaces)) numbers.push_back(text);
  for (const std::string& text : EveryDigit("реле ###")) numbers.push_back(text);
  EXPECT_EQ(samples[1], Sorted(numbers));

  std::vector<std::string> times{"", " ", " Время"};
  for (const std::string& text : EveryDigit("###:###:###")) times.push_back(text);
  EXPECT_EQ(samples[2], Sorted(times));

  std::vector<std::string> dates{"", "Дата"};
  for (const std::string& text : EveryDigit("###.###")) dates.push_back(text);
  EXPECT_EQ(samples[3], Sorted(dates));
}

TEST(ComputeReportTabStopsTest, EqualWidthCharacters) {
  // Widest cells: 16 characters ("Норма" and eleven spaces), 14 ("255" and
  // eleven spaces), 11 ("255:255:255"). A "0" is one unit wide.
  const ReportTabStops stops =
      ComputeReportTabStops([](std::string_view text) { return double(Utf8Length(text)); });
  EXPECT_EQ(stops, (ReportTabStops{17, 19, 34, 36, 48, 50}));
  EXPECT_EQ(ColumnStart(stops, 1), 19);
  EXPECT_EQ(ColumnStart(stops, 2), 36);
  EXPECT_EQ(ColumnStart(stops, 3), 50);
}

TEST(ComputeReportTabStopsTest, WidestDigitAndNarrowSpacesDecide) {
  // A proportional font: spaces a quarter wide, "8" twice as wide as the
  // other digits, Cyrillic letters one and a half.
  auto width = [](std::string_view text) {
    double total = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto byte = static_cast<unsigned char>(text[i]);
      if ((byte & 0xC0) == 0x80) continue;
      total += text[i] == ' ' ? 0.25 : text[i] == '8' ? 2 : byte >= 0x80 ? 1.5 : 1;
    }
    return total;
  };
  const ReportTabStops stops = ComputeReportTabStops(width);
  // Column 0: "Отключение реле" = 14 * 1.5 + 0.25 = 21.25 beats
  // "**НЕКОРР ЗАП.**" = 5 + 9 * 1.5 + 0.25 = 18.75 and "Норма" with eleven
  // spaces = 10.25.
  // Column 1: "Номер входа" = 10 * 1.5 + 0.25 = 15.25 beats "888" and eleven
  // spaces = 8.75 and "реле 888" = 6 + 0.25 + 6 = 12.25.
  // Column 2: "888:888:888" = 18 + 2 = 20.
  EXPECT_EQ(stops, (ReportTabStops{22.25, 24.25, 40.5, 42.5, 63.5, 65.5}));
}

}  // namespace
}  // namespace torv
