#include "report/rtf_writer.h"

#include <cmath>

#include "archive/text_utf8.h"
#include "fileio/atomic_write.h"
#include "fileio/text_encoding.h"
#include "report/report_tab_stops.h"

namespace torv {
namespace {

// Courier New, a fixed-pitch font of the modern family, with Cyrillic.
constexpr std::string_view kFontTable =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0"
    "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset204 Courier New;}}\n";
// A4 with 2 cm margins, so that a word processor does not fall back to Letter.
constexpr std::string_view kPage =
    "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134\n";
constexpr std::string_view kFontAndSize = "\\f0\\fs20\n";
// Courier New advances every character by 1229/2048 of the font size; at
// 10 pt (\fs20), 200 twips, that is about 120 twips.
constexpr double kCharacterTwips = 1229.0 / 2048.0 * 200.0;
constexpr std::string_view kEpilog = "}";
// The line feed after \par only ends the control word; readers ignore it, so
// a line's leading spaces stay text.
constexpr std::string_view kLineEnd = "\\par\n";

void AppendEscapedLine(std::string_view cp1251Line, std::string& rtf) {
  static constexpr char kHexDigits[] = "0123456789abcdef";
  for (const char c : cp1251Line) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\t') {
      rtf += "\\tab ";
    } else if (c == '\\' || c == '{' || c == '}') {
      rtf += '\\';
      rtf += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      rtf += "\\'";
      rtf += kHexDigits[byte >> 4];
      rtf += kHexDigits[byte & 0x0F];
    } else {
      rtf += c;
    }
  }
}

// The paragraph format of every line: the report's tab stops, each rounded
// up to whole twips so that a cell never reaches past its stop.
std::string ParagraphFormat() {
  const ReportTabStops stops = ComputeReportTabStops([](std::string_view text) {
    return static_cast<double>(Utf8Length(text)) * kCharacterTwips;
  });
  std::string format = "\\pard";
  for (const double stop : stops) {
    format += "\\tx" + std::to_string(static_cast<long>(std::ceil(stop)));
  }
  return format;
}

}  // namespace

Result<std::string> RtfDocument(std::string_view paneText) {
  const Result<std::string> converted = Utf8ToCp1251(paneText);
  if (!converted) return converted.failure();
  const std::string& text = *converted;
  static const std::string prolog =
      std::string(kFontTable) + std::string(kPage) + ParagraphFormat() + std::string(kFontAndSize);
  std::string rtf(prolog);
  rtf.reserve(prolog.size() + text.size() * 2 + kEpilog.size());
  if (!text.empty()) {
    std::string_view rest(text);
    while (true) {
      const std::size_t end = rest.find('\n');
      AppendEscapedLine(rest.substr(0, end), rtf);
      rtf += kLineEnd;
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
  }
  rtf += kEpilog;
  return rtf;
}

Status SaveRtfFile(const std::string& path, std::string_view paneText) {
  const Result<std::string> document = RtfDocument(paneText);
  if (!document) return document.failure();
  return WriteFileAtomically(path, *document);
}

}  // namespace torv
