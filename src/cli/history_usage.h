// The help texts of the history commands: the group's head and end and each
// command's head. The option lines come from the option table.
#pragma once

#include <string_view>

namespace torv {

inline constexpr std::string_view kHistoryGroupSummary = "every event ever copied, kept in a store";

inline constexpr std::string_view kHistoryGroupSynopsis =
    "Usage: torvdoc-cli history COMMAND ARGS... [--db STORE]\n"
    "Keeps every event ever copied from the archives of devices, once, in order\n"
    "and with its year. The store is --db STORE, else $TORVDOC_DB, else\n"
    "$XDG_DATA_HOME/torvdoc/history.sqlite3 (~/.local/share/torvdoc/ when\n"
    "XDG_DATA_HOME is unset): PATH or sqlite:PATH is an SQLite file,\n"
    "postgresql://... a PostgreSQL server.\n";

inline constexpr std::string_view kHistoryGroupEpilog =
    "Exit status: 0 done, 1 a file or the store failed (the message is on\n"
    "standard error), 2 wrong usage.\n";

inline constexpr std::string_view kHistoryImportSynopsis =
    "Usage: torvdoc-cli history import FILE... --device NAME [--copied-at T]\n"
    "                                  [--db STORE]\n"
    "Merges each archive copy FILE into the history of the device NAME and\n"
    "prints \"FILE: N new, M already stored\", with \", gap before\" when the copy\n"
    "shares no event with the history. A file that cannot be imported gets a\n"
    "message; the files after it are still imported.\n";

inline constexpr std::string_view kHistoryListSynopsis =
    "Usage: torvdoc-cli history list [--device NAME] [--from DATE] [--to DATE]\n"
    "                                [--input N] [--relay N] [--events KINDS]\n"
    "                                [--code CODES] [--text TEXT]\n"
    "                                [--newest-first] [--db STORE]\n"
    "                                [--format {formats}] [--bom]\n"
    "                                [--csv-dialect rfc4180|excel] [-o PATH]\n"
    "Lists the stored events oldest first, device by device: the device, the\n"
    "date with its year, the time, the event (\"Код N\" for a code without a\n"
    "text), the input or relay and its name.\n"
    "A gap between copies is a row of its own in text, CSV and PDF. Every\n"
    "listing starts with the device, the period and the filters it shows.\n";

inline constexpr std::string_view kHistoryStatsSynopsis =
    "Usage: torvdoc-cli history stats [--device NAME] [--from DATE] [--to DATE]\n"
    "                                 [--input N] [--db STORE]\n"
    "                                 [--format {formats}] [--bom]\n"
    "                                 [--csv-dialect rfc4180|excel] [-o PATH]\n"
    "Alarm statistics per device over the period: events by kind and code; per\n"
    "input alarms, warnings, normals, time in alarm and the longest alarm; the\n"
    "ten inputs with most alarms; alarms per hour and alarm floods; chattering\n"
    "inputs and standing alarms; the gaps of the history no figure could see\n"
    "into. README's \"Alarm statistics\" defines each figure.\n";

inline constexpr std::string_view kHistoryDevicesSynopsis =
    "Usage: torvdoc-cli history devices [--format {formats}] [--db STORE]\n"
    "Per device: the events stored, the copies imported, the gaps, the first\n"
    "and the last dated event, and the last import (local time).\n";

inline constexpr std::string_view kHistoryNamesSetSynopsis =
    "Usage: torvdoc-cli history names set --device NAME (--input N | --relay N)\n"
    "                                     TEXT [--db STORE]\n"
    "Names an input or a relay of a device; history list shows the name beside\n"
    "the number. A later name replaces the earlier.\n";

inline constexpr std::string_view kHistoryNamesImportSynopsis =
    "Usage: torvdoc-cli history names import FILE [--db STORE]\n"
    "Stores every name of the CSV file FILE (UTF-8, a header row, then one row\n"
    "per name: device, input or relay, number, name): all of them or none.\n";

inline constexpr std::string_view kHistoryNamesListSynopsis =
    "Usage: torvdoc-cli history names list [--db STORE]\n"
    "Prints every name as CSV, in the form history names import reads.\n";

}  // namespace torv
