#include "archive/view_outcome.h"

#include <utility>

#include "archive/date_key.h"
#include "archive/record_kind.h"
#include "archive/text_utf8.h"
#include "archive/view_messages.h"

namespace torv {
namespace {

constexpr std::string_view kStatusPrefix = "Архив: файл ";
constexpr std::size_t kDatePosition = 9;  // where the day starts in a time-date text

ViewRow RowOf(int offset, const ArchiveRecord& record) {
  return ViewRow{{offset, record}, DecodeRecord(record)};
}

// Shows 16 records walking back from `readOffset`, which moves with them.
void CopyBlock(const ArchiveImage& image, std::int32_t& readOffset, ViewOutcome& outcome) {
  outcome.rows.reserve(kRecordsPerBlock);
  for (int i = 0; i < kRecordsPerBlock; ++i) {
    outcome.rows.push_back(RowOf(readOffset, image.RecordAt(readOffset)));
    readOffset = RecordBack(readOffset);
  }
}

std::string PlainStatus(const ViewState& state) {
  return std::string(kStatusPrefix) + state.ArchiveFileName;
}

void PlainView(const ArchiveImage& image, std::int32_t blocksBack, ViewOutcome& outcome) {
  std::int32_t& readOffset = outcome.state.ReadOffset;
  readOffset = NewestOffset(image.writeOffset);
  // 64 blocks make the whole ring, so only the remainder moves anything.
  const int blocksToMove = blocksBack > kNewestBlock ? (blocksBack - 1) % kBlockCount : 0;
  for (int i = 0; i < blocksToMove * kRecordsPerBlock; ++i) readOffset = RecordBack(readOffset);
  outcome.status = PlainStatus(outcome.state);
  outcome.enablesStepButtons = true;
  CopyBlock(image, readOffset, outcome);
}

void StepView(const ArchiveImage& image, bool forward, ViewOutcome& outcome) {
  std::int32_t& readOffset = outcome.state.ReadOffset;
  if (forward) {
    // ReadOffset lies 16 records behind the first row shown: 32 records on is
    // the start of the next newer block.
    for (int i = 0; i < 2 * kRecordsPerBlock; ++i) readOffset = RecordForward(readOffset);
  }
  readOffset = NormalizeRingOffset(readOffset);
  CopyBlock(image, readOffset, outcome);
  const ArchiveRecord& first = outcome.rows.front().shown.record;
  outcome.status = PlainStatus(outcome.state);
  if (!LacksShownDate(first)) outcome.status += "  время: " + FormatTimeDate(first);
}

bool DateMatches(const ArchiveRecord& record, std::string_view key) {
  // A record without a day or month has no date: it never matches.
  if (record.HasNoDate()) return false;
  TimeDateBuffer buffer;
  const std::string_view text = FormatTimeDate(record, buffer);
  if (text.size() <= kDatePosition) return false;
  return EqualsIgnoringAsciiCase(text.substr(kDatePosition), key);
}

void DateSearch(const ArchiveImage& image, const std::string& dateKey, ViewOutcome& outcome) {
  const std::string key = ComparedDateKey(dateKey);
  std::int32_t& readOffset = outcome.state.ReadOffset;
  readOffset = NewestOffset(image.writeOffset);
  for (int visited = 0; visited < kRecordCount; ++visited) {
    if (DateMatches(image.RecordAt(readOffset), key)) {
      outcome.status = PlainStatus(outcome.state) + "  " + dateKey;
      outcome.enablesStepButtons = true;
      CopyBlock(image, readOffset, outcome);
      return;
    }
    readOffset = RecordBack(readOffset);
  }
  outcome.message = kDateNotFoundMessage;
}

void InputView(const ArchiveImage& image, std::int32_t inputNumber, ViewOutcome& outcome) {
  std::int32_t& readOffset = outcome.state.ReadOffset;
  readOffset = NewestOffset(image.writeOffset);
  // The matches' offsets first, so that their rows are decoded into place.
  std::vector<int> matches;
  matches.reserve(kRecordCount);
  for (int visited = 0; visited < kRecordCount; ++visited) {
    // Compare the number behind byte 1 with the input number: InputNumber - 1
    // would overflow for the lowest int.
    if (InputNumberOf(image.RecordAt(readOffset)) == inputNumber) matches.push_back(readOffset);
    readOffset = RecordBack(readOffset);
  }
  outcome.rows.reserve(matches.size());
  for (const int offset : matches) outcome.rows.push_back(RowOf(offset, image.RecordAt(offset)));
  if (outcome.rows.empty()) {
    outcome.message = kNoEventsMessage;
    return;
  }
  outcome.status = PlainStatus(outcome.state) + " вход № " + std::to_string(inputNumber);
}

// The outcome's starting point: every request consumes the pending flags,
// whether it shows a view or ends in a message.
ViewOutcome StartOutcome(const ViewState& state) {
  ViewOutcome outcome;
  outcome.state = state;
  outcome.state.ClearPendingFlags();
  return outcome;
}

ViewOutcome EndWithMessage(ViewOutcome outcome, std::string_view message) {
  outcome.message = message;
  return outcome;
}

}  // namespace

ViewOutcome ComputeView(const ArchiveImage& image, const ViewState& state,
                        const ViewRequest& request) {
  ViewOutcome outcome = StartOutcome(state);
  outcome.writeOffset = image.writeOffset;
  // An offset that is not a slot of the ring cannot be walked safely.
  if (!IsValidWriteOffset(image.writeOffset)) {
    return EndWithMessage(std::move(outcome), kDamagedArchiveMessage);
  }
  if (image.writeOffset == kEmptyArchiveOffset) {
    return EndWithMessage(std::move(outcome), kEmptyArchiveMessage);
  }
  outcome.newestRecordText = FormatTimeDate(image.RecordAt(NewestOffset(image.writeOffset)));

  switch (request.kind) {
    case ViewRequest::Kind::kBlock:
      PlainView(image, request.blocksBack, outcome);
      break;
    case ViewRequest::Kind::kStepBack:
    case ViewRequest::Kind::kStepForward:
      StepView(image, request.kind == ViewRequest::Kind::kStepForward, outcome);
      break;
    case ViewRequest::Kind::kDate:
      DateSearch(image, request.dateKey, outcome);
      break;
    case ViewRequest::Kind::kInput:
      InputView(image, request.inputNumber, outcome);
      break;
  }
  if (outcome.Shown()) outcome.state.ShownRowCount = static_cast<std::int32_t>(outcome.rows.size());
  return outcome;
}

ViewOutcome RequestView(const ViewState& state, const ViewRequest& request,
                        const ArchiveSource& source) {
  if (state.ArchiveFileName.empty()) {
    return EndWithMessage(StartOutcome(state), kNoFileNameMessage);
  }
  Result<ArchiveImage> image = source.Read(state.ArchiveFileName);
  if (!image) {
    ViewOutcome outcome = StartOutcome(state);
    outcome.readFailure = image.failure();
    return EndWithMessage(std::move(outcome), kCannotOpenMessage);
  }
  return ComputeView(*image, state, request);
}

}  // namespace torv
