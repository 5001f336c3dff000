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
    "Usage: torvdoc-cli history import PATH... --device NAME [--new-device]\n"
    "                                  [--device-from-folder]\n"
    "                                  [--device-from-name REGEX]\n"
    "                                  [--force-device] [--copied-at T] [--quiet]\n"
    "                                  [--db STORE]\n"
    "Merges each archive copy PATH, or each .dat file under a folder PATH, into\n"
    "the history of its device and prints \"FILE: N new, M already stored\",\n"
    "with \", gap before: ...\" when the copy shares no event with the history\n"
    "(the device wrote more between two copies than its ring holds). A\n"
    "file that cannot be imported gets a message; the files after it are still\n"
    "imported. Of several files the last line gives the totals: \"F files: N new\n"
    "events, M already stored, G gaps, R refused\". Refused, with nothing\n"
    "stored: a device not stored yet (unless --new-device); a file that is\n"
    "not an archive of 8196 bytes with possible records; a copy time before\n"
    "1990, more than a day ahead, or giving stored events other years; a copy\n"
    "that shares no event with a stretch of the history spanning its time\n"
    "(unless --force-device).\n";

inline constexpr std::string_view kHistoryWatchSynopsis =
    "Usage: torvdoc-cli history watch DIR... --device NAME [--new-device]\n"
    "                                 [--device-from-folder]\n"
    "                                 [--device-from-name REGEX]\n"
    "                                 [--interval SECONDS] [--settle SECONDS]\n"
    "                                 [--state FILE] [--db STORE]\n"
    "Imports each copy (.dat file) that appears under the folders DIR, once it\n"
    "has stood still for a while, and prints its line as history import does;\n"
    "a file that cannot be imported is told once and left where it is. What\n"
    "was taken is kept in the state file, so that a watch started again takes\n"
    "only what is new or changed. Ends on SIGTERM or SIGINT, after the copy in\n"
    "hand.\n";

inline constexpr std::string_view kHistoryListSynopsis =
    "Usage: torvdoc-cli history list [--device NAME] [--from DATE] [--to DATE]\n"
    "                                [--period P] [--input N] [--relay N]\n"
    "                                [--events KINDS] [--code CODES] [--text TEXT]\n"
    "                                [--newest-first] [--db STORE]\n"
    "                                [--format {formats}] [--bom] [--heading]\n"
    "                                [--csv-dialect rfc4180|excel] [-o PATH]\n"
    "Lists the stored events oldest first, device by device: the device, the\n"
    "date with its year, the time, the event (\"Код N\" for a code without a\n"
    "text), the input or relay and its name.\n"
    "A gap between copies is a row of its own in text, CSV and PDF. Every\n"
    "listing (CSV with --heading) starts with the device, the period and the\n"
    "filters it shows and what it covers, and ends with its digest, which\n"
    "history verify --listing checks later.\n";

inline constexpr std::string_view kHistoryReportSynopsis =
    "Usage: torvdoc-cli history report -o PATTERN [--period P | --from DATE\n"
    "                                  --to DATE] [--device NAME]\n"
    "                                  [--format {formats}] [--bom] [--heading]\n"
    "                                  [--csv-dialect rfc4180|excel] [--db STORE]\n"
    "Writes the listing of each device (or of the device NAME) for the period\n"
    "to a file of its own, named by PATTERN, as history list writes it, and\n"
    "prints each file's name. For a monthly report of every device:\n"
    "history report --period last-month --format pdf -o 'DIR/{device}-{period}.pdf'\n";

inline constexpr std::string_view kHistoryStatsSynopsis =
    "Usage: torvdoc-cli history stats [--device NAME] [--from DATE] [--to DATE]\n"
    "                                 [--period P] [--input N] [--db STORE]\n"
    "                                 [--format {formats}] [--bom]\n"
    "                                 [--csv-dialect rfc4180|excel] [-o PATH]\n"
    "Alarm statistics per device over the period: events by kind and code; per\n"
    "input alarms, warnings, normals, time in alarm and the longest alarm; the\n"
    "ten inputs with most alarms; alarms per hour and alarm floods; chattering\n"
    "inputs and standing alarms; the gaps of the history no figure could see\n"
    "into. README's \"Alarm statistics\" defines each figure.\n";

inline constexpr std::string_view kHistoryChartSynopsis =
    "Usage: torvdoc-cli history chart [--device NAME] [--from DATE] [--to DATE]\n"
    "                                 [--period P] [--input N] [--events KINDS]\n"
    "                                 [--code CODES] [--text TEXT] [--relay N]\n"
    "                                 [--bin B] [--size WxH] [--db STORE]\n"
    "                                 [--format {formats}] -o FILE\n"
    "Draws the events the filters choose over time, as the history window\n"
    "does: bars per day, week or month stacked by kind, the holes of the\n"
    "history hatched. Written to FILE whole or not at all.\n";

inline constexpr std::string_view kHistoryDevicesSynopsis =
    "Usage: torvdoc-cli history devices [--format {formats}] [--db STORE]\n"
    "Per device: the events stored, the copies imported, the gaps, the first\n"
    "and the last dated event, and the last import (local time).\n";

inline constexpr std::string_view kHistoryDevicesRenameSynopsis =
    "Usage: torvdoc-cli history devices rename OLD NEW [--reason TEXT] [--db STORE]\n"
    "Gives the device OLD the name NEW, with its events, copies and names. NEW\n"
    "must not name another device. The journal keeps who renamed it, when and\n"
    "why.\n";

inline constexpr std::string_view kHistoryDevicesRemoveSynopsis =
    "Usage: torvdoc-cli history devices remove NAME [--reason TEXT] [--db STORE]\n"
    "Removes the device NAME from the history: its events, its kept copies and\n"
    "its names. The journal keeps who removed it, when, why and how much.\n";

inline constexpr std::string_view kHistoryCopiesSynopsis =
    "Usage: torvdoc-cli history copies [--device NAME] [--format {formats}]\n"
    "                                  [--db STORE]\n"
    "Lists every copy imported, oldest import first: its number, device, file\n"
    "name, size and SHA-256, copy time, import time, who imported it with which\n"
    "version, its records, the new events it brought, whether a gap came before\n"
    "it, whether it was forced in, and whether it was withdrawn. A copy imported\n"
    "before the store kept copies has no size and no SHA-256.\n";

inline constexpr std::string_view kHistoryCopyFileSynopsis =
    "Usage: torvdoc-cli history copy-file ID -o FILE [--db STORE]\n"
    "Writes the kept copy number ID to FILE, byte for byte as it was imported.\n";

inline constexpr std::string_view kHistoryWithdrawSynopsis =
    "Usage: torvdoc-cli history withdraw ID... [--reason TEXT] [--db STORE]\n"
    "Takes the copies numbered ID out of the history: each device they belong to\n"
    "is rebuilt from its remaining copies, as if it had never seen them, and a\n"
    "line per device says how many events it holds before and after. The copies\n"
    "stay listed as withdrawn and may be imported again. All of it or nothing;\n"
    "the journal keeps who withdrew them, when and why.\n";

inline constexpr std::string_view kHistoryJournalSynopsis =
    "Usage: torvdoc-cli history journal [--device NAME] [--format {formats}]\n"
    "                                   [--db STORE]\n"
    "Lists every change of the history, oldest first: imports, withdrawals,\n"
    "renames, removals and names, each with its time, device, copy, who made it\n"
    "with which version, the reason given and what changed.\n";

inline constexpr std::string_view kHistoryGapsSynopsis =
    "Usage: torvdoc-cli history gaps [--device NAME] [--from DATE] [--to DATE]\n"
    "                                [--period P] [--format {formats}] [--db STORE]\n"
    "Lists every gap of the history (events the devices wrote between two copies\n"
    "that no copy holds), device by device, oldest first: the last event before\n"
    "it, the first after it, and the copies they came from. With a period, the\n"
    "gaps that reach into it.\n";

inline constexpr std::string_view kHistoryVerifySynopsis =
    "Usage: torvdoc-cli history verify [--device NAME] [--db STORE]\n"
    "       torvdoc-cli history verify --listing DIGEST [history list's filters]\n"
    "                                  [--db STORE]\n"
    "Proves the store unchanged: every kept copy still gives its SHA-256, every\n"
    "device's events are what its copies give when merged again (order, bytes,\n"
    "years and gaps), and every journal entry follows from the ones before it.\n"
    "Prints a line per device and one for the journal; a device with copies kept\n"
    "without their bytes is named as not verifiable. Exit 1 names the first\n"
    "difference. With --listing, whether the store still gives a listing made\n"
    "with the same filters whose digest is DIGEST; exit 1 names the journal\n"
    "entry from which on it changed. Nothing in the store changes.\n";

inline constexpr std::string_view kHistoryCheckSynopsis =
    "Usage: torvdoc-cli history check [--device NAME] [--db STORE]\n"
    "The database's own check of the store (SQLite: the file's integrity and its\n"
    "references; PostgreSQL: whether the server checksums its pages), then what\n"
    "history verify proves. Exit 1 names the first problem.\n";

inline constexpr std::string_view kHistoryBackupSynopsis =
    "Usage: torvdoc-cli history backup DEST [--db STORE]\n"
    "Copies the SQLite store, as of one moment, to the new file DEST (never over\n"
    "a file, never half a copy) while others may go on importing, then opens the\n"
    "copy and verifies it. A PostgreSQL store is backed up with pg_dump.\n";

inline constexpr std::string_view kHistoryNamesSetSynopsis =
    "Usage: torvdoc-cli history names set --device NAME (--input N | --relay N)\n"
    "                                     TEXT [--db STORE]\n"
    "Names an input or a relay of a device; history list shows the name beside\n"
    "the number. A later name replaces the earlier.\n";

inline constexpr std::string_view kHistoryNamesImportSynopsis =
    "Usage: torvdoc-cli history names import FILE [--db STORE]\n"
    "Stores every name of the CSV file FILE (UTF-8, \",\" or \";\" between fields,\n"
    "the header row device,kind,number,name, then one row per name: device,\n"
    "input or relay, number, name): all of them or none.\n";

inline constexpr std::string_view kHistoryNamesListSynopsis =
    "Usage: torvdoc-cli history names list [--db STORE]\n"
    "Prints every name as CSV, in the form history names import reads.\n";

}  // namespace torv
