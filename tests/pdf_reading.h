// Reading a PDF back with poppler's tools (pdftotext, pdfinfo), as a person's
// PDF viewer would: the words with their boxes, the text, the page size.
#pragma once

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_test_support.h"

namespace torv::testing {

struct PdfWord {
  int page = 0;
  double xMin = 0;
  double yMin = 0;
  std::string text;
};

// The words of one line of one page, left to right.
struct PdfLine {
  int page = 0;
  double y = 0;
  std::vector<PdfWord> words;
  std::string Text() const {
    std::string text;
    for (const PdfWord& word : words) text += (text.empty() ? "" : " ") + word.text;
    return text;
  }
};

// Runs one of poppler's tools; fails the test clearly when it is missing.
inline cli_testing::ProcessResult RunPoppler(const std::string& tool,
                                             const std::vector<std::string>& args) {
  const std::string program = "/usr/bin/" + tool;
  if (!std::filesystem::exists(program)) {
    ADD_FAILURE() << program << " is missing: install poppler-utils (scripts/setup.sh)";
    return {};
  }
  const TempFolder capture;
  cli_testing::ProcessResult result =
      cli_testing::RunProcess(program, args, capture.path(), capture.path());
  EXPECT_EQ(result.exitCode, 0) << tool << ": " << result.err;
  return result;
}

inline std::string Unescaped(std::string text) {
  const std::pair<std::string, std::string> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : entities) {
    for (std::size_t at = text.find(entity); at != std::string::npos;
         at = text.find(entity, at + character.size())) {
      text.replace(at, entity.size(), character);
    }
  }
  return text;
}

// Every word with its page and box (pdftotext -bbox), in reading order.
inline std::vector<PdfWord> PdfWords(const std::filesystem::path& pdf) {
  const cli_testing::ProcessResult result = RunPoppler("pdftotext", {"-bbox", pdf.string(), "-"});
  std::vector<PdfWord> words;
  const std::regex page("<page ");
  const std::regex word(
      R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="[0-9.]+" yMax="[0-9.]+">([^<]*)</word>)re");
  int pageNumber = 0;
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) {
    if (std::regex_search(line, page)) ++pageNumber;
    std::smatch match;
    if (std::regex_search(line, match, word)) {
      words.push_back({pageNumber, std::stod(match[1]), std::stod(match[2]), Unescaped(match[3])});
    }
  }
  return words;
}

// The words grouped into lines: one page, one top edge (within half a point).
inline std::vector<PdfLine> PdfLines(const std::vector<PdfWord>& words) {
  std::vector<PdfWord> sorted = words;
  std::stable_sort(sorted.begin(), sorted.end(), [](const PdfWord& a, const PdfWord& b) {
    if (a.page != b.page) return a.page < b.page;
    if (std::abs(a.yMin - b.yMin) >= 0.5) return a.yMin < b.yMin;
    return a.xMin < b.xMin;
  });
  std::vector<PdfLine> lines;
  for (const PdfWord& word : sorted) {
    if (lines.empty() || lines.back().page != word.page ||
        std::abs(lines.back().y - word.yMin) >= 0.5) {
      lines.push_back({word.page, word.yMin, {}});
    }
    lines.back().words.push_back(word);
  }
  return lines;
}

// The PDF's text a line at a time, without the "Напечатано: ..." line, which
// changes from one minute to the next.
// Also the moments a test cannot know: the last import's time and the
// journal's hash (which covers it) as "DD.MM.YYYY HH:MM" and "HASH".
inline std::string PdfTextWithoutPrintTime(const std::filesystem::path& pdf) {
  std::string text;
  for (const PdfLine& line : PdfLines(PdfWords(pdf))) {
    if (line.Text().rfind("Напечатано:", 0) != 0) text += line.Text() + "\n";
  }
  // What follows each mark, of the given length, is masked.
  const auto mask = [&text](const std::string& mark, std::size_t length, const char* shown) {
    for (std::size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + mark.size())) {
      text.replace(at + mark.size(), length, shown);
    }
  };
  mask("последний импорт ", std::string("DD.MM.YYYY HH:MM").size(), "DD.MM.YYYY HH:MM");
  for (std::size_t at = text.find("Журнал: запись "); at != std::string::npos;
       at = text.find("Журнал: запись ", at + 1)) {
    const std::size_t hash = text.find(", ", at) + 2;
    text.replace(hash, 64, "HASH");
  }
  return text;
}

// pdfinfo's value of `field` ("Pages", "Page size", "Title").
inline std::string PdfInfoField(const std::filesystem::path& pdf, const std::string& field) {
  const cli_testing::ProcessResult result = RunPoppler("pdfinfo", {pdf.string()});
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(field + ":", 0) == 0) {
      const std::size_t value = line.find_first_not_of(' ', field.size() + 1);
      return value == std::string::npos ? "" : line.substr(value);
    }
  }
  return "";
}

// Runs of spaces made one: how a PDF reader gives back "Включение  ИМ".
inline std::string OneSpaced(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace torv::testing
