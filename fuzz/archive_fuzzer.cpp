// Reads any byte string as an archive and runs a short program of view
// requests on it (archive_program.h), then the table report and now and then
// the whole-archive report. The archive is held in memory, so an execution
// costs no file I/O.
//
// Besides the sanitizers, every request is checked against an independent
// model of the views: which ring offsets reach the table, in which order, the
// rows they decode to, the status line, ReadOffset, ShownRowCount and the
// pending flags. Any difference aborts, so a wrong row is a finding like a
// crash.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_format.h"
#include "archive/event_table.h"
#include "archive/view_engine.h"
#include "archive/view_outcome.h"
#include "archive/view_request.h"
#include "archive/view_screen.h"
#include "archive/view_state.h"
#include "archive_program.h"
#include "report/report_builder.h"

namespace torv::fuzz {
namespace {

constexpr std::string_view kArchiveName = "/архивы/устр 1.dat";
constexpr std::string_view kStatusPrefix = "Архив: файл ";
constexpr std::string_view kInitialStatus = "Документирование";
constexpr int kRing = 8192;
constexpr int kSlot = 8;
constexpr int kBlockRecords = 16;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "archive_fuzzer: invariant broken: %s\n", what);
  std::abort();
}

void Check(bool holds, const char* what) {
  if (!holds) Fail(what);
}

// Offsets of the model, kept apart from the engine's ring arithmetic.
int Wrap(long long offset) {
  return static_cast<int>(((offset % kRing) + kRing) % kRing);
}

int ModelNewest(std::int32_t writeOffset) {
  return writeOffset == 0 ? kRing - kSlot : Wrap(static_cast<long long>(writeOffset) - kSlot);
}

std::vector<int> ModelBlock(int first) {
  std::vector<int> offsets;
  for (int i = 0; i < kBlockRecords; ++i) offsets.push_back(Wrap(first - kSlot * i));
  return offsets;
}

ArchiveRecord ModelRecord(const ArchiveImage& image, int offset) {
  ArchiveRecord record;
  std::memcpy(record.bytes.data(), image.ring.data() + offset, kSlot);
  return record;
}

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string ModelTimeDate(const ArchiveRecord& r) {
  if (r.bytes[2] == 255 && r.bytes[3] == 255 && r.bytes[4] == 255 && r.bytes[5] == 255 &&
      r.bytes[6] == 255) {
    return {};
  }
  return TwoDigits(r.bytes[4]) + ":" + TwoDigits(r.bytes[3]) + ":" + TwoDigits(r.bytes[2]) + " " +
         TwoDigits(r.bytes[5]) + "." + TwoDigits(r.bytes[6]);
}

bool ModelIsEmpty(const ArchiveRecord& r) {
  for (int i = 0; i < 7; ++i) {
    if (r.bytes[i] != 0) return false;
  }
  return true;
}

std::string ModelDateKey(std::string_view key) {
  // The first five characters; continuation bytes belong to the one before.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if ((static_cast<unsigned char>(key[i]) & 0xC0) != 0x80 && characters++ == 5) {
      return std::string(key.substr(0, i));
    }
  }
  return std::string(key);
}

// Writes a value with at least two digits, as the time-date text has it.
char* ModelDigits(char* out, int value) {
  if (value >= 100) *out++ = static_cast<char>('0' + value / 100);
  *out++ = static_cast<char>('0' + value / 10 % 10);
  *out++ = static_cast<char>('0' + value % 10);
  return out;
}

// Whether the record's time-date text from position 9 on equals the key,
// Latin letters in any case; built on the stack, since a search may visit
// all 1024 records.
bool ModelDateMatches(const ArchiveRecord& r, std::string_view key) {
  if (r.bytes[5] == 255 || r.bytes[6] == 255) return false;
  // The text ends in the month's last digit: most records fail here cheaply.
  if (key.empty() || key.back() != '0' + r.bytes[6] % 10) return false;
  char text[32];
  char* end = text;
  for (const int byte : {4, 3, 2}) {
    end = ModelDigits(end, r.bytes[byte]);
    *end++ = byte == 2 ? ' ' : ':';
  }
  end = ModelDigits(end, r.bytes[5]);
  *end++ = '.';
  end = ModelDigits(end, r.bytes[6]);
  if (static_cast<std::size_t>(end - text) != 9 + key.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    char b = key[i];
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (text[9 + i] != b) return false;
  }
  return true;
}

std::string ModelReportLine(const EventRow& row) {
  return row[0] + "\t\t" + row[1] + "\t\t" + row[2] + "\t\t" + row[3];
}

const EventRow kHeader{"Событие", "Номер входа", " Время", "Дата"};

class MemorySource : public ArchiveSource {
 public:
  explicit MemorySource(const ArchiveImage& image) : image_(image) {}
  Result<ArchiveImage> Read(const std::string& archiveFileName) const override {
    Check(archiveFileName == kArchiveName, "the engine read another archive name");
    ++reads;
    if (!readable) return SystemFailure(ENOENT);
    return image_;
  }
  bool readable = true;
  mutable int reads = 0;

 private:
  const ArchiveImage& image_;
};

// The screen the outcomes are shown on, as the window shows them; what the
// table report reads.
class CheckingScreen : public ViewScreen, public ReportTable {
 public:
  void StartRequest() {
    messages.clear();
    tableFills = 0;
    stepButtonsEnabled = false;
    newestTextWritten = false;
  }

  void SetStatusText(const std::string& text) override { status = text; }
  void SetNewestRecordText(const std::string& text) override {
    newestText = text;
    newestTextWritten = true;
  }
  void EnableStepButtons() override { stepButtonsEnabled = true; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void SetTableRows(std::vector<EventRow> newRows) override {
    rows = std::move(newRows);
    ++tableFills;
  }
  std::string StatusText() const override { return status; }
  EventRow TableRow(int row) const override {
    Check(row >= 0 && static_cast<std::size_t>(row) < rows.size(), "report read outside the table");
    return rows[static_cast<std::size_t>(row)];
  }

  std::string status{kInitialStatus};
  std::string newestText;
  bool newestTextWritten = false;
  bool stepButtonsEnabled = false;
  std::vector<std::string> messages;
  std::vector<EventRow> rows = std::vector<EventRow>(17);
  int tableFills = 0;
};

// What the model expects of one request.
struct Expected {
  std::optional<std::string> message;  // set: the request ends in this message
  bool readsArchive = true;
  bool writesNewestText = false;
  std::string newestText;
  std::vector<int> offsets;  // the records handed to the table, in row order
  std::string status;        // when the table is filled
  bool enablesSteps = false;
  std::optional<int> readOffset;  // unset: unchanged
};

Expected Model(const ViewState& state, const ArchiveImage& image, bool readable) {
  Expected e;
  if (state.ArchiveFileName.empty()) {
    e.message = "Не задано имя файла архива";
    e.readsArchive = false;
    return e;
  }
  if (!readable) {
    e.message = "Архив не удается открыть";
    return e;
  }
  const std::int32_t wo = image.writeOffset;
  if (wo == 255) {
    e.message = "архив пуст";
    return e;
  }
  if (wo < 0 || wo > kRing || wo % kSlot != 0) {
    e.message = "Архив поврежден";
    return e;
  }
  const int newest = ModelNewest(wo);
  e.writesNewestText = true;
  e.newestText = ModelTimeDate(ModelRecord(image, newest));
  const std::string plainStatus = std::string(kStatusPrefix) + state.ArchiveFileName;

  if (state.StepForwardPending != 0 || state.StepBackwardPending != 0) {
    const int first = state.StepForwardPending != 0 ? Wrap(state.ReadOffset + 32 * kSlot)
                                                    : Wrap(state.ReadOffset);
    e.offsets = ModelBlock(first);
    e.readOffset = Wrap(first - kBlockRecords * kSlot);
    const ArchiveRecord top = ModelRecord(image, first);
    const bool noDate =
        top.bytes[5] == 0 || top.bytes[5] == 255 || top.bytes[6] == 0 || top.bytes[6] == 255;
    e.status = noDate ? plainStatus : plainStatus + "  время: " + ModelTimeDate(top);
    return e;
  }
  if (state.InputFilterPending != 0) {
    e.readOffset = newest;
    for (int i = 0; i < 1024; ++i) {
      const int offset = Wrap(newest - kSlot * i);
      const ArchiveRecord r = ModelRecord(image, offset);
      if (!ModelIsEmpty(r) && r.bytes[0] <= 2 && r.bytes[1] + 1 == state.InputNumber) {
        e.offsets.push_back(offset);
      }
    }
    if (e.offsets.empty()) {
      e.message = "нет событий";
    } else {
      e.status = plainStatus + " вход № " + std::to_string(state.InputNumber);
    }
    return e;
  }
  if (state.DateSearchPending == 1) {
    const std::string key = ModelDateKey(state.SearchDateKey);
    for (int i = 0; i < 1024; ++i) {
      const int offset = Wrap(newest - kSlot * i);
      if (ModelDateMatches(ModelRecord(image, offset), key)) {
        e.offsets = ModelBlock(offset);
        e.readOffset = Wrap(offset - kBlockRecords * kSlot);
        e.status = plainStatus + "  " + state.SearchDateKey;
        e.enablesSteps = true;
        return e;
      }
    }
    e.message = "Указанная дата не найдена";
    e.readOffset = newest;
    return e;
  }
  const long long blocksBack = state.BlocksBack > 1 ? (state.BlocksBack - 1LL) % 64 : 0;
  const int first = Wrap(newest - blocksBack * kBlockRecords * kSlot);
  e.offsets = ModelBlock(first);
  e.readOffset = Wrap(first - kBlockRecords * kSlot);
  e.status = plainStatus;
  e.enablesSteps = true;
  return e;
}

// The first and last 16 rows and every 61st one between.
bool IsSampledRow(std::size_t row, std::size_t rowCount) {
  return row < 16 || row + 16 >= rowCount || row % 61 == 0;
}

void CheckAlwaysTrue(const ViewState& state, const CheckingScreen& screen) {
  Check(state.DateSearchPending == 0 && state.InputFilterPending == 0 &&
            state.StepForwardPending == 0 && state.StepBackwardPending == 0,
        "a pending flag survived the request");
  Check(state.ReadOffset >= 0 && state.ReadOffset <= kRing - kSlot && state.ReadOffset % kSlot == 0,
        "ReadOffset is not a ring slot");
  Check(screen.status == kInitialStatus || screen.status.starts_with(kStatusPrefix),
        "status line without the archive prefix");
  Check(screen.rows.size() == static_cast<std::size_t>(state.ShownRowCount) + 1 ||
            (state.ShownRowCount == 0 && screen.rows.size() == 17),
        "ShownRowCount does not match the rows handed to the table");
}

// The rows of a view against the records at the model's offsets.
void CheckRows(const std::vector<ViewRow>& rows, const std::vector<int>& offsets,
               const ArchiveImage& image) {
  Check(rows.size() == offsets.size(), "wrong number of rows");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ArchiveRecord record = ModelRecord(image, offsets[i]);
    Check(rows[i].shown.offset == offsets[i], "a row shows the wrong ring slot");
    Check(rows[i].shown.record == record, "a row's record differs from the ring");
    // Decoding is costly and tested on its own: a sample of rows suffices
    // to see that each row is decoded from its own record.
    if (IsSampledRow(i, rows.size())) {
      Check(rows[i].cells == DecodeRecord(record), "a row differs from its record");
    }
  }
}

// Runs one request as the window does, the outcome checked against the
// model and then shown on the screen.
void RunRequest(ViewState& state, CheckingScreen& screen, MemorySource& source,
                const ArchiveImage& image) {
  const Expected e = Model(state, image, source.readable);
  const ViewState before = state;
  const std::string statusBefore = screen.status;
  const int readsBefore = source.reads;

  const ViewOutcome outcome = RequestView(state, PendingRequest(state), source);

  Check(source.reads - readsBefore == (e.readsArchive ? 1 : 0), "wrong number of archive reads");
  Check(outcome.newestRecordText.has_value() == e.writesNewestText,
        "Edit1 written when it should not be");
  if (e.writesNewestText) Check(*outcome.newestRecordText == e.newestText, "wrong newest text");
  Check(outcome.writeOffset.has_value() == (e.readsArchive && source.readable),
        "the WriteOffset read is missing or made up");
  Check(outcome.readFailure.has_value() == (e.readsArchive && !source.readable),
        "an unreadable archive without its reason");
  const ViewState& after = outcome.state;
  Check(after.ReadOffset == e.readOffset.value_or(before.ReadOffset), "wrong ReadOffset");
  Check(after.BlocksBack == before.BlocksBack && after.InputNumber == before.InputNumber &&
            after.SearchDateKey == before.SearchDateKey &&
            after.ArchiveFileName == before.ArchiveFileName,
        "the engine changed a request field");
  if (e.message) {
    Check(!outcome.Shown() && *outcome.message == *e.message, "wrong message");
    Check(outcome.rows.empty(), "a message request has rows");
    Check(after.ShownRowCount == before.ShownRowCount, "a message request changed ShownRowCount");
  } else {
    Check(outcome.Shown(), "a view ended in a message");
    Check(outcome.status == e.status, "wrong status line");
    Check(outcome.enablesStepButtons == e.enablesSteps, "wrong step buttons");
    CheckRows(outcome.rows, e.offsets, image);
    Check(after.ShownRowCount == static_cast<std::int32_t>(e.offsets.size()),
          "wrong ShownRowCount");
    const bool blockView = before.StepForwardPending != 0 || before.StepBackwardPending != 0 ||
                           before.InputFilterPending == 0;
    if (blockView) Check(e.offsets.size() == 16, "a block view without 16 rows");
  }

  // The screen shows exactly the outcome.
  screen.StartRequest();
  const ViewResult result = ShowOutcome(outcome, screen);
  state = outcome.state;
  Check(screen.newestTextWritten == e.writesNewestText, "the screen's Edit1");
  if (e.message) {
    Check(result == ViewResult::kMessage, "a message request reported a view");
    Check(screen.messages.size() == 1 && screen.messages[0] == *e.message, "the screen's message");
    // The table can only change through a fill, so no fill means the same table.
    Check(screen.tableFills == 0, "a message request filled the table");
    Check(screen.status == statusBefore, "a message request changed the status line");
    Check(!screen.stepButtonsEnabled, "a message request enabled the step buttons");
  } else {
    Check(result == ViewResult::kShown, "a view reported a message");
    Check(screen.messages.empty() && screen.tableFills == 1, "the table was not filled once");
    Check(screen.status == e.status, "the screen's status line");
    Check(screen.stepButtonsEnabled == e.enablesSteps, "the screen's step buttons");
    Check(screen.rows.size() == e.offsets.size() + 1 && screen.rows[0] == kHeader,
          "the screen's table");
  }
  CheckAlwaysTrue(state, screen);
}

void CheckTableReport(const ViewState& state, const CheckingScreen& screen) {
  const ReportLines lines = BuildTableReport(screen, state);
  Check(lines.size() == 3 + static_cast<std::size_t>(state.ShownRowCount),
        "table report has the wrong number of lines");
  Check(lines[0] == screen.status && lines[1] == "\n", "table report heading");
  for (std::size_t row = 0; row + 2 < lines.size(); ++row) {
    Check(lines[row + 2] == ModelReportLine(screen.rows[row]), "table report line");
  }
}

void CheckWholeReport(ViewState& state, MemorySource& source, const ArchiveImage& image) {
  ViewState plain = state;
  plain.BlocksBack = 1;
  const Expected first = Model(plain, image, source.readable);

  const WholeArchiveReport report = BuildWholeArchiveReport(state, source);

  Check(state.DateSearchPending == 0 && state.StepBackwardPending == 0,
        "report left a pending flag");
  if (first.message) {
    Check(report.message == first.message, "report: wrong message");
    Check(report.views.size() == 1 && report.lines.empty(), "a report of an unreadable archive");
    return;
  }
  Check(!report.message, "no report of a readable archive");
  const ReportLines& lines = report.lines;
  Check(lines.size() == 3 + 1024, "report does not hold 1024 rows");
  Check(lines[0] == first.status && lines[1] == "\n", "report heading");
  Check(lines[2] == ModelReportLine(kHeader), "report header line");
  const int newest = ModelNewest(image.writeOffset);
  // 65 views of 16 records each: the ring newest first, then the newest block.
  Check(report.views.size() == 65, "report did not make 65 block views");
  for (std::size_t view = 0; view < report.views.size(); ++view) {
    std::vector<int> offsets;
    for (std::size_t k = 16 * view; k < 16 * view + 16; ++k) {
      offsets.push_back(Wrap(newest - kSlot * static_cast<long long>(k % 1024)));
    }
    CheckRows(report.views[view].rows, offsets, image);
  }
  const std::vector<ViewRow> reported = report.ReportedRows();
  Check(reported.size() == 1024, "report rows are not the whole ring");
  for (std::size_t k = 0; k < 1024; ++k) {
    Check(reported[k].shown.offset == Wrap(newest - kSlot * static_cast<long long>(k)),
          "report rows are not the ring newest first");
    if (!IsSampledRow(k, 1024)) continue;
    Check(lines[3 + k] == ModelReportLine(reported[k].cells), "report line differs from its row");
  }
  for (std::size_t k = 3; k < lines.size(); ++k) {
    Check(std::count(lines[k].begin(), lines[k].end(), '\t') == 6, "report line without six TABs");
  }
  Check(state.BlocksBack == 1, "report left BlocksBack other than 1");
  Check(state.ReadOffset == Wrap(newest - kBlockRecords * kSlot),
        "report did not end at the newest block");
}

std::int32_t BlocksBackOf(std::uint8_t parameter) {
  static constexpr std::int32_t kOdd[] = {0,
                                          -1,
                                          65,
                                          128,
                                          129,
                                          -64,
                                          std::numeric_limits<std::int32_t>::max(),
                                          std::numeric_limits<std::int32_t>::min()};
  if (parameter < 192) return parameter % 64 + 1;
  return kOdd[parameter % std::size(kOdd)];
}

std::int32_t InputNumberOf(std::uint8_t parameter) {
  static constexpr std::int32_t kOdd[] = {0,
                                          -1,
                                          256,
                                          257,
                                          std::numeric_limits<std::int32_t>::min(),
                                          std::numeric_limits<std::int32_t>::max()};
  if (parameter < 224) return parameter % 33;
  return kOdd[parameter % std::size(kOdd)];
}

void SetUpRequest(std::uint8_t kind, std::uint8_t parameter, std::string_view rawKey,
                  const ArchiveImage& image, ViewState& state, MemorySource& source) {
  source.readable = true;
  state.ArchiveFileName = kArchiveName;
  switch (kind % kRequestKindCount) {
    case kPlainView:
      state.BlocksBack = BlocksBackOf(parameter);
      break;
    case kNewestBlock:
      state.BlocksBack = 1;
      break;
    case kOldestBlock:
      state.BlocksBack = 64;
      break;
    case kStepBack:
      state.StepBackwardPending = 1;
      break;
    case kStepForward:
      state.StepForwardPending = 1;
      break;
    case kBothSteps:
      state.StepForwardPending = state.StepBackwardPending = 1;
      break;
    case kDateSearchOfSlot: {
      const ArchiveRecord r = ModelRecord(image, (parameter * 4 % 1024) * kSlot);
      state.SearchDateKey = TwoDigits(r.bytes[5]) + "." + TwoDigits(r.bytes[6]);
      state.DateSearchPending = 1;
      break;
    }
    case kDateSearchRawKey:
      state.SearchDateKey = std::string(rawKey);
      state.DateSearchPending = 1;
      break;
    case kInputView:
      state.InputNumber = InputNumberOf(parameter);
      state.InputFilterPending = 1;
      break;
    case kFlagMix:
      state.StepForwardPending = parameter & 1;
      state.StepBackwardPending = (parameter >> 1) & 1;
      state.InputFilterPending = (parameter >> 2) & 1;
      state.DateSearchPending = (parameter >> 3) & 3;  // 2 and 3 must not search
      state.InputNumber = parameter >> 5;
      break;
    case kUnreadable:
      source.readable = false;
      break;
    case kNoArchiveName:
      state.ArchiveFileName.clear();
      break;
  }
}

}  // namespace
}  // namespace torv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torv::fuzz;
  std::array<std::uint8_t, kProgramSize> program{};
  const std::size_t programBytes = size < kProgramSize ? size : kProgramSize;
  for (std::size_t i = 0; i < programBytes; ++i) program[i] = data[i];
  const torv::ArchiveImage image = torv::ImageFromBytes(data + programBytes, size - programBytes);
  const std::string_view rawKey(reinterpret_cast<const char*>(program.data() + kRawKeyAt),
                                kRawKeySize);

  torv::ViewState state;
  CheckingScreen screen;
  MemorySource source(image);
  const std::size_t requests = (program[0] & 3) + 1;
  for (std::size_t i = 0; i < requests; ++i) {
    SetUpRequest(program[kRequestsAt + 2 * i], program[kRequestsAt + 2 * i + 1], rawKey, image,
                 state, source);
    RunRequest(state, screen, source, image);
  }
  CheckTableReport(state, screen);
  if (RunsWholeReport(data, size)) {
    source.readable = (program[kRequestsAt] & 0x80) == 0;
    state.ArchiveFileName = kArchiveName;
    CheckWholeReport(state, source, image);
  }
  return 0;
}
