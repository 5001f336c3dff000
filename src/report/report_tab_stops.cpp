#include "report/report_tab_stops.h"

#include <algorithm>
#include <set>

#include "archive/archive_format.h"

namespace torv {
namespace {

// Every number field of a record with this byte is written with three digits.
constexpr std::uint8_t kThreeDigitByte = 254;

// A record of `code` whose every number has three digits.
ArchiveRecord WidestRecord(std::uint8_t code) {
  ArchiveRecord record;
  record.bytes.fill(kThreeDigitByte);
  record.bytes[kCodeByte] = code;
  return record;
}

std::string WithEveryDigitAs(std::string text, char digit) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }, digit);
  return text;
}

}  // namespace

ReportColumnTexts ReportColumnSamples() {
  std::array<std::set<std::string>, kEventColumnCount> texts;
  auto add = [&texts](const EventRow& row) {
    texts[0].insert(row[0]);  // event texts are words, their digits part of a name
    for (std::size_t column = 1; column < row.size(); ++column) {
      for (char digit = '0'; digit <= '9'; ++digit) {
        texts[column].insert(WithEveryDigitAs(row[column], digit));
      }
    }
  };
  // The decoder's own cells: every code, the damaged record included.
  for (int code = 0; code <= 255; ++code) {
    add(DecodeRecord(WidestRecord(static_cast<std::uint8_t>(code))));
  }
  ArchiveRecord unsetTime = WidestRecord(0);
  unsetTime.bytes[kHoursByte] = unsetTime.bytes[kMinutesByte] = unsetTime.bytes[kSecondsByte] =
      kUnsetByte;
  add(DecodeRecord(unsetTime));
  for (std::size_t column = 0; column < texts.size(); ++column) {
    texts[column].insert(EventTableHeader()[column]);
  }

  ReportColumnTexts samples;
  for (std::size_t column = 0; column < texts.size(); ++column) {
    samples[column].assign(texts[column].begin(), texts[column].end());
  }
  return samples;
}

ReportTabStops ComputeReportTabStops(const TextWidth& width) {
  const ReportColumnTexts samples = ReportColumnSamples();
  const double gap = width("0");
  ReportTabStops stops{};
  double columnStart = 0;
  for (int column = 0; column + 1 < kEventColumnCount; ++column) {
    double widest = 0;
    for (const std::string& text : samples[static_cast<std::size_t>(column)]) {
      widest = std::max(widest, width(text));
    }
    const double endStop = columnStart + widest + gap;
    columnStart = endStop + 2 * gap;
    stops[static_cast<std::size_t>(2 * column)] = endStop;
    stops[static_cast<std::size_t>(2 * column + 1)] = columnStart;
  }
  return stops;
}

}  // namespace torv
