// The heading of a printed history report: which device or devices, which
// period and filters, and when it was printed. The window and the command
// line build it here, so that both print the same.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/record_kind.h"
#include "history/history_model.h"

namespace torv {

struct HistoryReportHeading {
  std::string title;
  std::vector<std::string> lines;
};

inline constexpr std::string_view kHistoryReportTitle = "История событий ТОРВ-4";

// How the window and the heading name an event kind: "входы", "устройство",
// "реле", "некорректные", "прочие".
std::string_view EventKindLabel(EventKind kind);
// How they name an event type: "авар. сигн.", "пред. сигн.", "норма", and
// the label of the kind for the others.
std::string_view EventTypeLabel(EventType type);

// "DD.MM.YYYY".
std::string CalendarDateText(const history::CalendarDate& date);

// What a listing shows of its query, line by line: "Устройство: NAME" or
// "Устройства: все"; "Период: с ... по ..." or "Период: всё время";
// "Отбор: ..." (inputs, relays, kinds, codes, text, order) or "Отбор: нет". Every export and
// printout starts with these, so that a listing handed on says what it leaves
// out.
std::vector<std::string> QueryLines(const history::EventQuery& query);

// The printed report's heading: the title, QueryLines, and
// "Напечатано: DD.MM.YYYY HH:MM" in local time.
HistoryReportHeading HeadingFor(const history::EventQuery& query,
                                std::int64_t printedAtUnixSeconds);

// What HeadingFor's "Отбор: " line says after the colon.
std::string FilterText(const history::EventQuery& query);

}  // namespace torv
