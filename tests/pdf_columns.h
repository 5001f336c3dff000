// Reading a printed or converted report back from its PDF: the document's
// title (pdfinfo), where its words stand on the pages (pdftotext -bbox), and
// whether the report's columns line up there: every cell of a column
// starting at one x, under its header label.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace torv::testing {

// Standard output of a shell command.
inline std::string CommandOutput(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    EXPECT_EQ(::pclose(pipe), 0) << command;
  }
  return out;
}

// The document title that pdfinfo shows, spaces inside kept.
inline std::string PdfTitle(const std::string& pdf) {
  const std::string info = CommandOutput("pdfinfo '" + pdf + "'");
  const std::size_t at = info.find("Title:");
  if (at == std::string::npos) return {};
  const std::size_t value = info.find_first_not_of(' ', at + 6);
  return info.substr(value, info.find('\n', at) - value);
}

struct PdfWord {
  int page = 0;  // from 1
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  std::string text;
};

inline std::string Unescaped(std::string text) {
  static const std::pair<const char*, const char*> kEntities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : kEntities) {
    for (std::size_t at = text.find(entity); at != std::string::npos;
         at = text.find(entity, at + 1)) {
      text.replace(at, std::string(entity).size(), plain);
    }
  }
  return text;
}

inline double Attribute(const std::string& tag, const std::string& name) {
  const std::size_t at = tag.find(" " + name + "=\"");
  if (at == std::string::npos) return std::numeric_limits<double>::quiet_NaN();
  return std::stod(tag.substr(at + name.size() + 3));
}

// Every word of `pdf` with its box in points, page by page, each page's words
// top to bottom and left to right. Words whose box reaches below
// `bottomLimit` (points from the page's top) are left out: Qt draws the line
// just past a page's end onto that page too, clipped away.
inline std::vector<PdfWord> ReadPdfWords(const std::string& pdf,
                                         double bottomLimit = std::numeric_limits<double>::max()) {
  const std::string html = CommandOutput("pdftotext -bbox '" + pdf + "' -");
  std::vector<PdfWord> words;
  int page = 0;
  std::istringstream lines(html);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("<page ") != std::string::npos) ++page;
    const std::size_t open = line.find("<word ");
    if (open == std::string::npos) continue;
    const std::size_t close = line.find('>', open);
    const std::size_t end = line.find("</word>", close);
    const std::string tag = line.substr(open, close - open);
    PdfWord word{page,
                 Attribute(tag, "xMin"),
                 Attribute(tag, "yMin"),
                 Attribute(tag, "xMax"),
                 Attribute(tag, "yMax"),
                 Unescaped(line.substr(close + 1, end - close - 1))};
    if (word.yMax <= bottomLimit) words.push_back(word);
  }
  // One printed line shares one top edge; order lines, then words in them.
  std::stable_sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
    if (a.page != b.page) return a.page < b.page;
    if (std::abs(a.yMin - b.yMin) > 1) return a.yMin < b.yMin;
    return a.xMin < b.xMin;
  });
  return words;
}

inline std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// The x of the first word of every cell of every report line, by column;
// lines without TABs (status line, headings) only have to be there.
struct ColumnStarts {
  std::array<std::vector<double>, 4> rows;  // data rows
  std::array<double, 4> header{};           // the header line's labels
  double headerSpace = 0;                   // one space, between "Номер" and "входа"
};

inline constexpr char kHeaderLine[] = "Событие\t\tНомер входа\t\t Время\t\tДата";

// Matches the words of `reportLines` one by one to `words`; every word must be
// printed, in order, and nothing else.
inline ColumnStarts FindColumnStarts(const std::vector<std::string>& reportLines,
                                     const std::vector<PdfWord>& words) {
  ColumnStarts starts;
  std::size_t next = 0;
  for (const std::string& line : reportLines) {
    std::vector<std::string> cells;
    for (std::size_t from = 0;;) {
      const std::size_t tabs = line.find("\t\t", from);
      cells.push_back(line.substr(from, tabs - from));
      if (tabs == std::string::npos) break;
      from = tabs + 2;
    }
    const bool isHeader = line == kHeaderLine;
    for (std::size_t column = 0; column < cells.size(); ++column) {
      const std::vector<std::string> cellWords = SplitWords(cells[column]);
      for (std::size_t i = 0; i < cellWords.size(); ++i, ++next) {
        if (next >= words.size()) {
          ADD_FAILURE() << "the PDF ends before \"" << cellWords[i] << "\" of line: " << line;
          return starts;
        }
        if (words[next].text != cellWords[i]) {
          ADD_FAILURE() << "word " << next << " of the PDF is \"" << words[next].text
                        << "\", the report has \"" << cellWords[i] << "\" in line: " << line;
          return starts;
        }
        if (isHeader && column == 1 && i == 1) {
          starts.headerSpace = words[next].xMin - words[next - 1].xMax;
        }
        if (i != 0 || cells.size() != 4) continue;
        if (isHeader) {
          starts.header[column] = words[next].xMin;
        } else {
          starts.rows[column].push_back(words[next].xMin);
        }
      }
    }
  }
  EXPECT_EQ(next, words.size()) << "the PDF holds words that are not in the report";
  return starts;
}

// Every column's cells start at one x (to `tolerance` points), each column
// right of the one before, and the header labels stand over their columns:
// " Время" one space right of its column, since the label starts with one.
inline void ExpectStraightColumns(const ColumnStarts& starts, double tolerance = 0.01) {
  std::array<double, 4> column{};
  for (std::size_t c = 0; c < 4; ++c) {
    ASSERT_FALSE(starts.rows[c].empty()) << "column " << c;
    const auto [low, high] = std::minmax_element(starts.rows[c].begin(), starts.rows[c].end());
    EXPECT_LT(*high - *low, tolerance)
        << "column " << c << " starts between x = " << *low << " and " << *high;
    column[c] = *low;
    if (c > 0) {
      EXPECT_GT(column[c], column[c - 1]);
    }
  }
  EXPECT_NEAR(starts.header[0], column[0], tolerance);
  EXPECT_NEAR(starts.header[1], column[1], tolerance);
  EXPECT_GT(starts.headerSpace, 0);
  EXPECT_NEAR(starts.header[2], column[2] + starts.headerSpace, tolerance);
  EXPECT_NEAR(starts.header[3], column[3], tolerance);
}

}  // namespace torv::testing
