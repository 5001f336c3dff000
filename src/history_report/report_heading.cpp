#include "history_report/report_heading.h"

#include <cstdio>

#include "history_report/history_summaries.h"

namespace torv {

std::string_view EventKindLabel(EventKind kind) {
  switch (kind) {
    case EventKind::kInput:
      return "входы";
    case EventKind::kDevice:
      return "устройство";
    case EventKind::kRelay:
      return "реле";
    case EventKind::kDamaged:
      return "некорректные";
    case EventKind::kOther:
      return "прочие";
    case EventKind::kEmpty:
      break;
  }
  return "пустые";
}

std::string CalendarDateText(const history::CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day, date.month, date.year);
  return text;
}

std::string FilterText(const history::EventQuery& query) {
  std::vector<std::string> parts;
  if (query.input) parts.push_back("вход " + std::to_string(*query.input));
  if (!query.kinds.empty()) {
    std::string kinds = "события: ";
    for (std::size_t i = 0; i < query.kinds.size(); ++i) {
      kinds += (i == 0 ? "" : ", ") + std::string(EventKindLabel(query.kinds[i]));
    }
    parts.push_back(kinds);
  }
  if (!query.text.empty()) parts.push_back("текст «" + query.text + "»");
  if (query.newestFirst) parts.push_back("сначала новые");
  if (parts.empty()) return "нет";
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i == 0 ? "" : "; ") + parts[i];
  return text;
}

std::vector<std::string> QueryLines(const history::EventQuery& query) {
  std::vector<std::string> lines;
  lines.push_back(query.device ? "Устройство: " + *query.device : "Устройства: все");
  std::string period = "Период: ";
  if (!query.from && !query.to) period += "всё время";
  if (query.from) period += "с " + CalendarDateText(*query.from);
  if (query.from && query.to) period += " ";
  if (query.to) period += "по " + CalendarDateText(*query.to);
  lines.push_back(period);
  lines.push_back("Отбор: " + FilterText(query));
  return lines;
}

HistoryReportHeading HeadingFor(const history::EventQuery& query,
                                std::int64_t printedAtUnixSeconds) {
  HistoryReportHeading heading;
  heading.title = kHistoryReportTitle;
  heading.lines = QueryLines(query);
  heading.lines.push_back("Напечатано: " + LocalTimeText(printedAtUnixSeconds, "%d.%m.%Y %H:%M"));
  return heading;
}

}  // namespace torv
