#include "archive/view_engine.h"

#include <optional>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/date_key.h"
#include "archive/fill_event_table.h"
#include "archive/record_kind.h"
#include "archive/text_utf8.h"
#include "archive/view_messages.h"

namespace torv {
namespace {

constexpr std::string_view kStatusPrefix = "Архив: файл ";
constexpr std::size_t kDatePosition = 9;  // where the day starts in a time-date text

// What one view hands to the table, or nothing when it ended in a message.
using ShownRecords = std::vector<ShownRecord>;

// Copies 16 records walking back from state.ReadOffset, which moves with it.
ShownRecords CopyBlock(const ArchiveImage& image, ViewState& state) {
  ShownRecords records;
  records.reserve(kRecordsPerBlock);
  for (int i = 0; i < kRecordsPerBlock; ++i) {
    records.push_back({state.ReadOffset, image.RecordAt(state.ReadOffset)});
    state.ReadOffset = RecordBack(state.ReadOffset);
  }
  return records;
}

std::string PlainStatus(const ViewState& state) {
  return std::string(kStatusPrefix) + state.ArchiveFileName;
}

ShownRecords PlainView(const ArchiveImage& image, ViewState& state, ViewScreen& screen) {
  state.ReadOffset = NewestOffset(image.writeOffset);
  // 64 blocks make the whole ring, so only the remainder moves anything.
  const int blocksToMove = state.BlocksBack > 1 ? (state.BlocksBack - 1) % kBlockCount : 0;
  for (int i = 0; i < blocksToMove * kRecordsPerBlock; ++i) {
    state.ReadOffset = RecordBack(state.ReadOffset);
  }
  screen.SetStatusText(PlainStatus(state));
  screen.EnableStepButtons();
  return CopyBlock(image, state);
}

ShownRecords StepView(const ArchiveImage& image, ViewState& state, bool forward) {
  if (forward) {
    // ReadOffset lies 16 records behind the first row shown: 32 records on is
    // the start of the next newer block.
    for (int i = 0; i < 2 * kRecordsPerBlock; ++i)
      state.ReadOffset = RecordForward(state.ReadOffset);
  }
  state.ReadOffset = NormalizeRingOffset(state.ReadOffset);
  return CopyBlock(image, state);
}

void WriteStepStatus(const ShownRecords& records, const ViewState& state, ViewScreen& screen) {
  const ArchiveRecord& first = records.front().record;
  std::string status = PlainStatus(state);
  if (!LacksShownDate(first)) status += "  время: " + FormatTimeDate(first);
  screen.SetStatusText(status);
}

bool DateMatches(const ArchiveRecord& record, std::string_view key) {
  // A record without a day or month has no date: it never matches.
  if (record.HasNoDate()) return false;
  TimeDateBuffer buffer;
  const std::string_view text = FormatTimeDate(record, buffer);
  if (text.size() <= kDatePosition) return false;
  return EqualsIgnoringAsciiCase(text.substr(kDatePosition), key);
}

std::optional<ShownRecords> DateSearch(const ArchiveImage& image, ViewState& state,
                                       ViewScreen& screen) {
  const std::string key = ComparedDateKey(state.SearchDateKey);
  state.ReadOffset = NewestOffset(image.writeOffset);
  for (int visited = 0; visited < kRecordCount; ++visited) {
    if (DateMatches(image.RecordAt(state.ReadOffset), key)) {
      screen.SetStatusText(PlainStatus(state) + "  " + state.SearchDateKey);
      screen.EnableStepButtons();
      return CopyBlock(image, state);
    }
    state.ReadOffset = RecordBack(state.ReadOffset);
  }
  screen.ShowMessage(std::string(kDateNotFoundMessage));
  return std::nullopt;
}

std::optional<ShownRecords> InputView(const ArchiveImage& image, ViewState& state,
                                      ViewScreen& screen) {
  state.ReadOffset = NewestOffset(image.writeOffset);
  ShownRecords matches;
  for (int visited = 0; visited < kRecordCount; ++visited) {
    const ArchiveRecord record = image.RecordAt(state.ReadOffset);
    // Compare the number behind byte 1 with the input number: InputNumber - 1
    // would overflow for the lowest int.
    if (InputNumberOf(record) == state.InputNumber) {
      matches.push_back({state.ReadOffset, record});
    }
    state.ReadOffset = RecordBack(state.ReadOffset);
  }
  if (matches.empty()) {
    screen.ShowMessage(std::string(kNoEventsMessage));
    return std::nullopt;
  }
  screen.SetStatusText(PlainStatus(state) + " вход № " + std::to_string(state.InputNumber));
  return matches;
}

ViewResult EndWithMessage(ViewState& state, ViewScreen& screen, std::string_view message) {
  screen.ShowMessage(std::string(message));
  state.ClearPendingFlags();
  return ViewResult::kMessage;
}

class DiskArchiveSource : public ArchiveSource {
 public:
  Result<ArchiveImage> Read(const std::string& archiveFileName) const override {
    return ReadArchiveFile(archiveFileName);
  }
};

}  // namespace

const ArchiveSource& FileArchiveSource() {
  static const DiskArchiveSource source;
  return source;
}

ViewResult Button1Click(ViewState& state, ViewScreen& screen, const ArchiveSource& source) {
  if (state.ArchiveFileName.empty()) return EndWithMessage(state, screen, kNoFileNameMessage);

  const Result<ArchiveImage> image = source.Read(state.ArchiveFileName);
  if (!image) return EndWithMessage(state, screen, kCannotOpenMessage);
  // An offset that is not a slot of the ring cannot be walked safely.
  if (!IsValidWriteOffset(image->writeOffset)) {
    return EndWithMessage(state, screen, kDamagedArchiveMessage);
  }
  if (image->writeOffset == kEmptyArchiveOffset) {
    return EndWithMessage(state, screen, kEmptyArchiveMessage);
  }

  screen.SetNewestRecordText(FormatTimeDate(image->RecordAt(NewestOffset(image->writeOffset))));

  std::optional<ShownRecords> shown;
  const bool stepping = state.StepForwardPending != 0 || state.StepBackwardPending != 0;
  if (stepping) {
    shown = StepView(*image, state, state.StepForwardPending != 0);
    WriteStepStatus(*shown, state, screen);
  } else if (state.InputFilterPending != 0) {
    shown = InputView(*image, state, screen);
  } else if (state.DateSearchPending == 1) {
    shown = DateSearch(*image, state, screen);
  } else {
    shown = PlainView(*image, state, screen);
  }

  if (shown) FillEventTable(screen, state, *shown);
  state.ClearPendingFlags();
  return shown ? ViewResult::kShown : ViewResult::kMessage;
}

}  // namespace torv
