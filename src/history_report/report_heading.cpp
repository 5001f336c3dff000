#include "history_report/report_heading.h"

#include <algorithm>
#include <cstdio>

#include "history/selection_texts.h"
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

std::string_view EventTypeLabel(EventType type) {
  switch (type) {
    case EventType::kAlarm:
      return "авар. сигн.";
    case EventType::kWarning:
      return "пред. сигн.";
    case EventType::kNormal:
      return "норма";
    case EventType::kDevice:
      return EventKindLabel(EventKind::kDevice);
    case EventType::kRelay:
      return EventKindLabel(EventKind::kRelay);
    case EventType::kDamaged:
      return EventKindLabel(EventKind::kDamaged);
    case EventType::kOther:
      break;
  }
  return EventKindLabel(EventKind::kOther);
}

std::string CalendarDateText(const history::CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day, date.month, date.year);
  return text;
}

std::string FilterText(const history::EventQuery& query) {
  std::vector<std::string> parts;
  std::vector<int> inputs = query.inputs;
  if (query.input) inputs.push_back(*query.input);
  std::sort(inputs.begin(), inputs.end());
  inputs.erase(std::unique(inputs.begin(), inputs.end()), inputs.end());
  if (!inputs.empty()) {
    parts.push_back((inputs.size() == 1 ? "вход " : "входы ") + history::NumberListText(inputs));
  }
  if (!query.relays.empty()) parts.push_back("реле " + history::NumberListText(query.relays));
  if (!query.kinds.empty() || !query.types.empty()) {
    std::string kinds;
    for (const EventKind kind : query.kinds) {
      kinds += (kinds.empty() ? "" : ", ") + std::string(EventKindLabel(kind));
    }
    for (const EventType type : query.types) {
      kinds += (kinds.empty() ? "" : ", ") + std::string(EventTypeLabel(type));
    }
    parts.push_back("события: " + kinds);
  }
  if (!query.codes.empty()) {
    parts.push_back((query.codes.size() == 1 ? "код " : "коды ") +
                    history::NumberListText(query.codes));
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
  if (query.devices.empty()) {
    lines.push_back("Устройства: все");
  } else {
    std::string devices = query.devices.size() == 1 ? "Устройство: " : "Устройства: ";
    for (std::size_t i = 0; i < query.devices.size(); ++i) {
      devices += (i == 0 ? "" : ", ") + query.devices[i];
    }
    lines.push_back(devices);
  }
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
