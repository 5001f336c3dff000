#include "cli/archive_info.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "archive/event_table.h"
#include "archive/text_utf8.h"

namespace torv {
namespace {

constexpr char kNoEventText[] = "(no text)";
constexpr char kNoTimeDate[] = "(no time and date)";
constexpr char kEmptySlot[] = "(an empty slot)";
constexpr char kDamagedRecord[] = "(a damaged record)";
constexpr char kNothingWritten[] = "(none: every slot is empty)";

std::string Padded(int value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%*d", width, value);
  return text;
}

std::string SizeLine(const ArchiveSummary& summary) {
  const auto size = static_cast<long long>(summary.fileSize);
  std::string line = "Size: " + std::to_string(size) + " bytes, ";
  if (summary.IsShort()) {
    return line + "short: the missing " + std::to_string(kArchiveFileSize - size) +
           " bytes read as zero\n";
  }
  if (summary.IsLong()) {
    return line + "long: the " + std::to_string(size - kArchiveFileSize) +
           " bytes after the archive are ignored\n";
  }
  return line + "as long as an archive file\n";
}

std::string WriteOffsetLine(const ArchiveSummary& summary) {
  std::string line = "WriteOffset: " + std::to_string(summary.writeOffset) + ": ";
  switch (summary.meaning) {
    case WriteOffsetMeaning::kEmptyArchive:
      return line + "the archive is empty\n";
    case WriteOffsetMeaning::kDamaged:
      return line + "damaged: not a slot of the ring, no record can be located\n";
    case WriteOffsetMeaning::kNewestAndOldest:
      break;
  }
  line += "the newest record is at offset " + std::to_string(summary.newestOffset);
  if (!summary.AnyWritten()) return line + "; every slot is empty\n";
  return line + ", the oldest at offset " + std::to_string(summary.oldestOffset) + "\n";
}

// A ring not yet full: the slots the device writes next, never written yet,
// lie between WriteOffset and the oldest record.
std::string EmptyBeforeOldestLine(const ArchiveSummary& summary) {
  if (!summary.AnyWritten() || summary.emptyBeforeOldest == 0) return "";
  return "Empty slots before the oldest: " + std::to_string(summary.emptyBeforeOldest) +
         ", from offset " + std::to_string(NormalizeRingOffset(summary.writeOffset)) + " on\n";
}

// A record's time and date as the table shows them, or what stands instead.
std::string RecordLine(EventKind kind, const std::string& timeDate) {
  if (kind == EventKind::kEmpty) return kEmptySlot;
  if (kind == EventKind::kDamaged) return kDamagedRecord;
  return timeDate.empty() ? kNoTimeDate : timeDate;
}

int EventCount(const ArchiveSummary& summary) {
  int events = 0;
  for (const auto& [code, count] : summary.recordsPerCode) events += count;
  return events;
}

const char* SizeName(const ArchiveSummary& summary) {
  if (summary.IsShort()) return "short";
  if (summary.IsLong()) return "long";
  return "exact";
}

const char* MeaningName(WriteOffsetMeaning meaning) {
  switch (meaning) {
    case WriteOffsetMeaning::kEmptyArchive:
      return "emptyArchive";
    case WriteOffsetMeaning::kDamaged:
      return "damaged";
    case WriteOffsetMeaning::kNewestAndOldest:
      break;
  }
  return "newestAndOldest";
}

std::string ArchiveText(const ArchiveSummary& summary, const std::string& archiveName) {
  std::string text = "File: " + archiveName + "\n";
  text += SizeLine(summary);
  text += WriteOffsetLine(summary);
  if (summary.meaning == WriteOffsetMeaning::kNewestAndOldest) {
    text += "Newest record: " + RecordLine(summary.newestKind, summary.newestTimeDate) + "\n";
    text += "Oldest record: " +
            (summary.AnyWritten() ? RecordLine(summary.oldestKind, summary.oldestTimeDate)
                                  : kNothingWritten) +
            "\n";
    text += EmptyBeforeOldestLine(summary);
  }
  text += "Slots: " + std::to_string(kRecordCount) + ": " + std::to_string(EventCount(summary)) +
          " events, " + std::to_string(summary.emptyRecords) + " empty, " +
          std::to_string(summary.damagedRecords) + " damaged\n";

  text += summary.recordsPerCode.empty() ? "Events per code: none\n" : "Events per code:\n";
  for (const auto& [code, count] : summary.recordsPerCode) {
    const std::string eventText = TrimSpaces(EventTextTable(static_cast<std::uint8_t>(code)));
    text += Padded(code, 5) + "  " + (eventText.empty() ? kNoEventText : eventText) + ": " +
            std::to_string(count) + "\n";
  }
  text += summary.inputEvents.empty() ? "Input events: none\n"
                                      : "Input events (normal, warning, alarm):\n";
  for (const auto& [input, counts] : summary.inputEvents) {
    text += "  input " + Padded(input, 3) + ": " + std::to_string(counts.normal) + ", " +
            std::to_string(counts.warning) + ", " + std::to_string(counts.alarm) + "\n";
  }
  text += summary.relayEvents.empty() ? "Relay events: none\n" : "Relay events (off, on):\n";
  for (const auto& [relay, counts] : summary.relayEvents) {
    text += "  relay " + Padded(relay, 3) + ": " + std::to_string(counts.off) + ", " +
            std::to_string(counts.on) + "\n";
  }
  return text;
}

nlohmann::json InfoJson(const ArchiveSummary& summary, const std::string& archiveName) {
  const bool located = summary.meaning == WriteOffsetMeaning::kNewestAndOldest;
  nlohmann::json info;
  info["file"] = archiveName;
  info["fileSize"] = summary.fileSize;
  info["size"] = SizeName(summary);
  info["writeOffset"] = summary.writeOffset;
  info["writeOffsetMeaning"] = MeaningName(summary.meaning);
  info["newestOffset"] = located ? nlohmann::json(summary.newestOffset) : nullptr;
  // The oldest written record; none when no slot is written.
  const bool oldest = located && summary.AnyWritten();
  info["oldestOffset"] = oldest ? nlohmann::json(summary.oldestOffset) : nullptr;
  info["emptyBeforeOldest"] = located ? nlohmann::json(summary.emptyBeforeOldest) : nullptr;
  info["newestRecord"] = located ? nlohmann::json(summary.newestTimeDate) : nullptr;
  info["oldestRecord"] = oldest ? nlohmann::json(summary.oldestTimeDate) : nullptr;
  info["slots"] = kRecordCount;
  info["events"] = EventCount(summary);
  info["empty"] = summary.emptyRecords;
  info["damaged"] = summary.damagedRecords;

  nlohmann::json perCode = nlohmann::json::array();
  for (const auto& [code, count] : summary.recordsPerCode) {
    perCode.push_back({{"code", code},
                       {"text", std::string(EventTextTable(static_cast<std::uint8_t>(code)))},
                       {"count", count}});
  }
  info["perCode"] = std::move(perCode);
  nlohmann::json inputs = nlohmann::json::array();
  for (const auto& [input, counts] : summary.inputEvents) {
    inputs.push_back({{"input", input},
                      {"normal", counts.normal},
                      {"warning", counts.warning},
                      {"alarm", counts.alarm}});
  }
  info["inputs"] = std::move(inputs);
  nlohmann::json relays = nlohmann::json::array();
  for (const auto& [relay, counts] : summary.relayEvents) {
    relays.push_back({{"relay", relay}, {"off", counts.off}, {"on", counts.on}});
  }
  info["relays"] = std::move(relays);
  return info;
}

std::string Dumped(const nlohmann::json& json) {
  // A file name need not be valid UTF-8; it must not abort the output.
  return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string ArchiveInfoText(const std::vector<SummarizedArchive>& archives) {
  std::string text;
  for (const SummarizedArchive& archive : archives) {
    if (!text.empty()) text += "\n";
    text += ArchiveText(archive.summary, archive.name);
  }
  return text;
}

std::string ArchiveInfoJson(const std::vector<SummarizedArchive>& archives, bool list) {
  if (!list && archives.size() == 1) return Dumped(InfoJson(archives[0].summary, archives[0].name));
  nlohmann::json all = nlohmann::json::array();
  for (const SummarizedArchive& archive : archives) {
    all.push_back(InfoJson(archive.summary, archive.name));
  }
  return Dumped(all);
}

}  // namespace torv
