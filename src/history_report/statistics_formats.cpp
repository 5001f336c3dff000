#include "history_report/statistics_formats.h"

#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

#include "history_report/event_time.h"
#include "history_report/history_pdf.h"
#include "history_report/report_heading.h"

namespace torv {
namespace {

using nlohmann::json;

json MomentOrNull(const std::optional<std::int64_t>& seconds) {
  return seconds ? json(ClockText(*seconds)) : json(nullptr);
}

json NumberOrNull(const std::optional<double>& value) {
  return value ? json(*value) : json(nullptr);
}

std::string MomentText(const std::optional<std::int64_t>& seconds) {
  return seconds ? ClockText(*seconds) : std::string("?");
}

std::string Fixed(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  return text;
}

std::string Hours(std::int64_t seconds) {
  return Fixed(static_cast<double>(seconds) / 3600.0, 2) + " ч";
}

double Share(std::int64_t part, std::int64_t whole) {
  return whole == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(whole);
}

json DeviceJson(const DeviceStatistics& d) {
  json device;
  device["device"] = d.device;
  json counts = json::object();
  for (const EventType type : kAllEventTypes)
    counts[std::string(EventTypeName(type))] = d.Count(type);
  device["counts"] = counts;
  json codes = json::array();
  for (const CodeCount& c : d.byCode) codes.push_back({{"code", c.code}, {"events", c.events}});
  device["codes"] = codes;
  json inputs = json::array();
  for (const InputStatistics& s : d.inputs) {
    inputs.push_back({{"input", s.input},
                      {"alarms", s.alarms},
                      {"warnings", s.warnings},
                      {"normals", s.normals},
                      {"time_in_alarm_s", s.episodes.timeInAlarmSeconds},
                      {"longest_alarm_s", s.episodes.longestAlarmSeconds},
                      {"unknown_alarms", s.episodes.unknownEpisodes}});
  }
  device["inputs"] = inputs;
  json top = json::array();
  for (const InputStatistics& s : d.top) {
    top.push_back({{"input", s.input},
                   {"alarms", s.alarms},
                   {"share", Share(s.alarms, d.Count(EventType::kAlarm))}});
  }
  device["top_inputs"] = top;
  device["observed_s"] = d.observedSeconds;
  device["first_seen"] = MomentOrNull(d.firstSeen);
  device["last_seen"] = MomentOrNull(d.lastSeen);
  device["alarms_per_hour"] = NumberOrNull(d.AlarmsPerHour());
  device["flood_windows"] = d.pass.floodWindows;
  device["flood_share"] = NumberOrNull(d.FloodShare());
  json floods = json::array();
  for (const Flood& f : d.pass.floods) {
    floods.push_back(
        {{"start", ClockText(f.start)}, {"end", ClockText(f.end)}, {"alarms", f.alarms}});
  }
  device["floods"] = floods;
  json chattering = json::array();
  for (const Chattering& c : d.pass.chattering) {
    chattering.push_back(
        {{"input", c.input}, {"first", ClockText(c.first)}, {"most_changes", c.mostChanges}});
  }
  device["chattering"] = chattering;
  json standing = json::array();
  for (const StandingAlarm& s : d.pass.standing) {
    standing.push_back({{"input", s.input},
                        {"start", ClockText(s.start)},
                        {"end", MomentOrNull(s.end)},
                        {"known", s.known}});
  }
  device["standing"] = standing;
  json holes = json::array();
  for (const StatisticsHole& h : d.holes) {
    holes.push_back({{"from", MomentOrNull(h.from)}, {"to", MomentOrNull(h.to)}});
  }
  device["holes"] = holes;
  return device;
}

std::string DateOrNullText(const std::optional<history::CalendarDate>& date) {
  if (!date) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date->year, date->month, date->day);
  return text;
}

void AppendDeviceText(std::string& out, const DeviceStatistics& d) {
  const auto line = [&out](const std::string& text) {
    out += text;
    out += '\n';
  };
  line("Устройство " + d.device);
  line("  Видно: с " + MomentText(d.firstSeen) + " по " + MomentText(d.lastSeen) + ", " +
       Hours(d.observedSeconds) + " без пропусков");
  line("  Пропусков в периоде: " + std::to_string(d.holes.size()) +
       (d.holes.empty() ? "" : " (их не видит ни один показатель)"));
  for (const StatisticsHole& h : d.holes) {
    line("    пропуск: с " + MomentText(h.from) + " по " + MomentText(h.to));
  }
  std::string kinds;
  for (const EventType type : kAllEventTypes) {
    kinds += (kinds.empty() ? "" : ", ") + std::string(EventTypeLabel(type)) + " " +
             std::to_string(d.Count(type));
  }
  line("  События: " + kinds);
  std::string codes;
  for (const CodeCount& c : d.byCode) {
    codes += (codes.empty() ? "" : ", ") + std::to_string(c.code) + ": " + std::to_string(c.events);
  }
  line("  По кодам: " + (codes.empty() ? std::string("нет") : codes));
  const std::optional<double> rate = d.AlarmsPerHour();
  line("  Тревог в час: " + (rate ? Fixed(*rate, 3) : std::string("?")));
  const std::optional<double> share = d.FloodShare();
  line("  Лавины (более 10 тревог за 10 минут): окон " + std::to_string(d.pass.floodWindows) +
       ", доля " + (share ? Fixed(*share * 100.0, 2) + " %" : std::string("?")));
  for (const Flood& f : d.pass.floods) {
    line("    с " + ClockText(f.start) + " по " + ClockText(f.end) + ": тревог " +
         std::to_string(f.alarms));
  }
  line(
      "  Входы: тревоги, предупреждения, нормы, время в тревоге, самая долгая, "
      "неизвестной длительности");
  for (const InputStatistics& s : d.inputs) {
    line("    вход " + std::to_string(s.input) + ": " + std::to_string(s.alarms) + ", " +
         std::to_string(s.warnings) + ", " + std::to_string(s.normals) + ", " +
         Hours(s.episodes.timeInAlarmSeconds) + ", " + Hours(s.episodes.longestAlarmSeconds) +
         ", " + std::to_string(s.episodes.unknownEpisodes));
  }
  line("  Чаще всех в тревоге:");
  for (const InputStatistics& s : d.top) {
    line("    вход " + std::to_string(s.input) + ": " + std::to_string(s.alarms) + " (" +
         Fixed(Share(s.alarms, d.Count(EventType::kAlarm)) * 100.0, 1) + " %)");
  }
  line(std::string("  Дребезг (5 и более смен за 5 минут):") +
       (d.pass.chattering.empty() ? " нет" : ""));
  for (const Chattering& c : d.pass.chattering) {
    line("    вход " + std::to_string(c.input) + ": с " + ClockText(c.first) + ", до " +
         std::to_string(c.mostChanges) + " смен за 5 минут");
  }
  line(std::string("  Затяжные тревоги (без нормы более 24 ч):") +
       (d.pass.standing.empty() ? " нет" : ""));
  for (const StandingAlarm& s : d.pass.standing) {
    line("    вход " + std::to_string(s.input) + ": с " + ClockText(s.start) +
         (s.end ? " по " + ClockText(*s.end) : std::string()) +
         (s.known ? "" : " — неизвестно: пропуск"));
  }
}

Status WriteStatistics(history::HistoryStore& store, const history::EventQuery& query,
                       const TextSink& sink, std::string (*format)(const AlarmStatistics&)) {
  Result<AlarmStatistics> statistics = ComputeAlarmStatistics(store, query);
  if (!statistics) return statistics.failure();
  sink(format(*statistics));
  return {};
}

Status WriteText(history::HistoryStore& store, const history::EventQuery& query,
                 const ListingSettings& /*settings*/, const TextSink& sink) {
  return WriteStatistics(store, query, sink, StatisticsText);
}

Status WriteCsv(history::HistoryStore& store, const history::EventQuery& query,
                const ListingSettings& settings, const TextSink& sink) {
  Result<AlarmStatistics> statistics = ComputeAlarmStatistics(store, query);
  if (!statistics) return statistics.failure();
  sink(StatisticsCsv(*statistics, settings.csv));
  return {};
}

Status WriteJson(history::HistoryStore& store, const history::EventQuery& query,
                 const ListingSettings& /*settings*/, const TextSink& sink) {
  return WriteStatistics(store, query, sink, StatisticsJson);
}

// On paper: the heading as the listings have it, each device's figures as
// the text gives them, and the notes that define them.
Status WritePrinted(history::HistoryStore& store, const history::EventQuery& query,
                    const ListingSettings& /*settings*/, const TextSink& sink) {
  Result<AlarmStatistics> statistics = ComputeAlarmStatistics(store, query);
  if (!statistics) return statistics.failure();
  std::vector<std::string> lines;
  for (const DeviceStatistics& device : statistics->devices) {
    std::string text;
    AppendDeviceText(text, device);
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = text.find('\n', start);
      lines.push_back(text.substr(start, end - start));
      start = end == std::string::npos ? text.size() : end + 1;
    }
    lines.emplace_back();
  }
  for (const std::string& note : StatisticsNotes()) lines.push_back(note);
  HistoryReportHeading heading = HeadingFor(query, std::time(nullptr));
  heading.title = "Статистика тревог ТОРВ-4";
  Result<std::string> document = HistoryTextPdfDocument(heading, lines);
  if (!document) return document.failure();
  sink(*document);
  return {};
}

constexpr ListingFormat kFormats[] = {
    {"text", "txt", "", WriteText},
    {"csv", "csv", "CSV (*.csv)", WriteCsv},
    {"json", "json", "JSON (*.json)", WriteJson},
    {"pdf", "pdf", "PDF (*.pdf)", WritePrinted},
};

}  // namespace

std::span<const ListingFormat> StatisticsFormats() {
  return kFormats;
}

const ListingFormat* FindStatisticsFormat(std::string_view name) {
  return FindFormat(StatisticsFormats(), name);
}

std::vector<std::string> StatisticsNotes() {
  return {
      "Примечания",
      "  Моменты — по часам устройства; события без года или времени сосчитаны, но момента не "
      "имеют.",
      "  Тревожный эпизод входа — от тревоги входа, не бывшего в тревоге, до его следующей "
      "нормы; тревоги и предупреждения внутри эпизода его не прерывают. Время в тревоге — "
      "сумма эпизодов входа, самая долгая — длиннейший из них. Эпизод, в который попал "
      "пропуск истории, длительности не имеет и сосчитан как неизвестной длительности.",
      "  Чаще всех в тревоге — 10 входов с наибольшим числом тревог и их доля от всех тревог "
      "устройства.",
      "  Видно — от первой до последней тревоги или нормы периода, без пропусков внутри. "
      "Тревог в час — тревоги, делённые на видимые часы (менее часа — не считается).",
      "  Лавина — 10-минутное окно (от начала, кратного 10 минутам) с более чем 10 тревогами; "
      "подряд идущие окна — одна лавина. Доля — окна лавин от видимых 10-минутных окон.",
      "  Дребезг — 5 и более смен состояния входа (тревога вне тревоги, норма в тревоге) за 5 "
      "минут без пропуска между ними.",
      "  Затяжная тревога — вход без нормы более 24 часов; «неизвестно», где между тревогой и "
      "нормой лежит пропуск.",
      "  Пропуски в периоде не видны ни одному показателю: что было в них, неизвестно.",
  };
}

std::string StatisticsText(const AlarmStatistics& statistics) {
  std::string out;
  for (const std::string& line : QueryLines(statistics.query)) out += line + "\n";
  for (const DeviceStatistics& device : statistics.devices) {
    out += '\n';
    AppendDeviceText(out, device);
  }
  return out;
}

std::string StatisticsCsv(const AlarmStatistics& statistics, const CsvDialect& dialect) {
  const CsvWriter csv(dialect);
  std::string out;
  csv.AppendStart(out);
  for (const std::string& line : QueryLines(statistics.query)) csv.AppendRecord(out, {line});
  csv.AppendRecord(out, {""});
  csv.AppendRecord(out, {"Устройство", "Показатель", "Вход", "Значение"});
  for (const DeviceStatistics& d : statistics.devices) {
    const auto row = [&](std::string_view figure, const std::string& input,
                         const std::string& value) {
      csv.AppendRecord(out, {d.device, std::string(figure), input, value});
    };
    for (const EventType type : kAllEventTypes) {
      row(EventTypeName(type), "", std::to_string(d.Count(type)));
    }
    for (const CodeCount& c : d.byCode)
      row("code " + std::to_string(c.code), "", std::to_string(c.events));
    for (const InputStatistics& s : d.inputs) {
      const std::string input = std::to_string(s.input);
      row("alarms", input, std::to_string(s.alarms));
      row("warnings", input, std::to_string(s.warnings));
      row("normals", input, std::to_string(s.normals));
      row("time_in_alarm_s", input, std::to_string(s.episodes.timeInAlarmSeconds));
      row("longest_alarm_s", input, std::to_string(s.episodes.longestAlarmSeconds));
      row("unknown_alarms", input, std::to_string(s.episodes.unknownEpisodes));
    }
    row("observed_s", "", std::to_string(d.observedSeconds));
    const std::optional<double> rate = d.AlarmsPerHour();
    row("alarms_per_hour", "", rate ? Fixed(*rate, 6) : "");
    row("flood_windows", "", std::to_string(d.pass.floodWindows));
    for (const Flood& f : d.pass.floods) {
      row("flood", "",
          ClockText(f.start) + " - " + ClockText(f.end) + ": " + std::to_string(f.alarms));
    }
    for (const Chattering& c : d.pass.chattering) {
      row("chattering", std::to_string(c.input), std::to_string(c.mostChanges));
    }
    for (const StandingAlarm& s : d.pass.standing) {
      row(s.known ? "standing" : "standing_unknown", std::to_string(s.input), ClockText(s.start));
    }
    for (const StatisticsHole& h : d.holes)
      row("hole", "", MomentText(h.from) + " - " + MomentText(h.to));
  }
  return out;
}

std::string StatisticsJson(const AlarmStatistics& statistics) {
  const history::EventQuery& query = statistics.query;
  json coverage;
  const std::optional<std::string> only = history::OnlyDevice(query);
  coverage["device"] = only ? json(*only) : json(nullptr);
  coverage["devices"] = query.devices;
  coverage["from"] = query.from ? json(DateOrNullText(query.from)) : json(nullptr);
  coverage["to"] = query.to ? json(DateOrNullText(query.to)) : json(nullptr);
  coverage["lines"] = QueryLines(query);
  std::size_t holes = 0;
  json devices = json::array();
  for (const DeviceStatistics& d : statistics.devices) {
    holes += d.holes.size();
    devices.push_back(DeviceJson(d));
  }
  coverage["holes"] = holes;
  json all;
  all["coverage"] = coverage;
  all["devices"] = devices;
  return all.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace torv
