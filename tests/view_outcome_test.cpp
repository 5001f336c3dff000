// Views as values: which request the pending flags make, what a request
// returns without any screen, and how outcomes reach a screen.
#include "archive/view_outcome.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>

#include "archive/sample_archive.h"
#include "archive/view_engine.h"
#include "archive/view_request.h"
#include "recording_screen.h"

namespace torv {
namespace {

using testing::RecordingScreen;

const std::string kName = "/архивы/устр 1.dat";
const std::string kStatus = "Архив: файл " + kName;

// Counts its reads; one image, or a failure to read.
class CountingSource : public ArchiveSource {
 public:
  explicit CountingSource(std::optional<ArchiveImage> image) : image_(std::move(image)) {}
  Result<ArchiveImage> Read(const std::string& archiveFileName) const override {
    ++reads;
    names.push_back(archiveFileName);
    if (!image_) return SystemFailure(EACCES);
    return *image_;
  }
  mutable int reads = 0;
  mutable std::vector<std::string> names;

 private:
  std::optional<ArchiveImage> image_;
};

ViewState Named() {
  ViewState state;
  state.ArchiveFileName = kName;
  return state;
}

// Slot 2 holds a warning of input 7, slot 1 an alarm of input 7, slot 1000
// another alarm of input 7; the newest record is slot 2.
ArchiveImage InputArchive() {
  ArchiveBuilder builder;
  builder.SetSlot(2, MakeRecord(1, 6, 14, 3, 7, 5, 11, 0x42));
  builder.SetSlot(1, MakeRecord(2, 6, 13, 0, 0, 5, 11));
  builder.SetSlot(1000, MakeRecord(2, 6, 1, 2, 3, 4, 5));
  return ImageFromBytes(builder.SetWriteOffset(24).Bytes());
}

struct PendingCase {
  const char* label;
  ViewState state;
  ViewRequest request;
};

void PrintTo(const PendingCase& c, std::ostream* out) {
  *out << c.label;
}

ViewState Flags(int forward, int backward, int input, int date) {
  ViewState state;
  state.BlocksBack = 64;
  state.InputNumber = 9;
  state.SearchDateKey = "05.11.2026";
  state.StepForwardPending = forward;
  state.StepBackwardPending = backward;
  state.InputFilterPending = input;
  state.DateSearchPending = date;
  return state;
}

class PendingRequestTest : public ::testing::TestWithParam<PendingCase> {};

TEST_P(PendingRequestTest, FirstPendingFlagWins) {
  EXPECT_EQ(PendingRequest(GetParam().state), GetParam().request);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, PendingRequestTest,
    ::testing::Values(
        PendingCase{"None", Flags(0, 0, 0, 0), ViewRequest::Block(64)},
        PendingCase{"StepForward", Flags(1, 0, 0, 0), ViewRequest::StepForward()},
        PendingCase{"StepBack", Flags(0, 1, 0, 0), ViewRequest::StepBack()},
        PendingCase{"BothStepsGoForward", Flags(1, 1, 0, 0), ViewRequest::StepForward()},
        PendingCase{"StepBeforeInput", Flags(0, 1, 1, 1), ViewRequest::StepBack()},
        PendingCase{"InputBeforeDate", Flags(0, 0, 1, 1), ViewRequest::Input(9)},
        PendingCase{"AnyNonZeroFlagCounts", Flags(0, -3, 0, 0), ViewRequest::StepBack()},
        PendingCase{"Date", Flags(0, 0, 0, 1), ViewRequest::Date("05.11.2026")},
        PendingCase{"DateOnlyWhenExactlyOne", Flags(0, 0, 0, 2), ViewRequest::Block(64)}),
    [](const ::testing::TestParamInfo<PendingCase>& info) { return info.param.label; });

TEST(ViewRequestTest, RangesOfTheWindowAndTheCommandLine) {
  EXPECT_FALSE(IsBlockNumber(0));
  EXPECT_TRUE(IsBlockNumber(1));
  EXPECT_TRUE(IsBlockNumber(64));
  EXPECT_FALSE(IsBlockNumber(65));
  EXPECT_FALSE(IsInputNumber(0));
  EXPECT_TRUE(IsInputNumber(1));
  EXPECT_TRUE(IsInputNumber(32));
  EXPECT_FALSE(IsInputNumber(33));
  EXPECT_FALSE(IsInputNumber(-2147483648LL));
}

TEST(ComputeViewTest, SameInputsSameOutcomeAndNothingElseChanges) {
  const ArchiveImage image = ImageFromBytes(GenerateArchive({.seed = 5, .fill = 1300}));
  const ArchiveImage copy = image;
  ViewState state = Named();
  state.ReadOffset = 4000;
  state.StepBackwardPending = 1;
  const ViewState before = state;
  const ViewOutcome first = ComputeView(image, state, ViewRequest::StepBack());
  const ViewOutcome second = ComputeView(image, state, ViewRequest::StepBack());
  EXPECT_EQ(first.rows, second.rows);
  EXPECT_EQ(first.status, second.status);
  EXPECT_EQ(first.state.ReadOffset, second.state.ReadOffset);
  EXPECT_EQ(image.ring, copy.ring);
  EXPECT_EQ(state.ReadOffset, before.ReadOffset);
  EXPECT_EQ(state.StepBackwardPending, 1);
  // The outcome's state has moved on and consumed the flag.
  EXPECT_EQ(first.state.ReadOffset, 4000 - 16 * 8);
  EXPECT_EQ(first.state.StepBackwardPending, 0);
  EXPECT_EQ(first.state.ShownRowCount, 16);
  EXPECT_EQ(first.rows.front().shown.offset, 4000);
}

TEST(ComputeViewTest, RowsCarryTheirRecordsRingOffsetsAndCells) {
  const ViewOutcome view = ComputeView(InputArchive(), Named(), ViewRequest::Input(7));
  ASSERT_TRUE(view.Shown());
  EXPECT_EQ(view.status, kStatus + " вход № 7");
  ASSERT_EQ(view.rows.size(), 3u);
  EXPECT_EQ(view.rows[0].shown.offset, 16);
  EXPECT_EQ(view.rows[0].shown.record, MakeRecord(1, 6, 14, 3, 7, 5, 11, 0x42));
  EXPECT_EQ(view.rows[0].cells,
            (EventRow{"Пред. сигн.     ", "7           ", "14:03:07", "05.11"}));
  EXPECT_EQ(view.rows[1].shown.offset, 8);
  EXPECT_EQ(view.rows[2].shown.offset, 8000);
  EXPECT_EQ(view.rows[2].cells, (EventRow{"Авар. сигн. ", "7           ", "01:02:03", "04.05"}));
  EXPECT_FALSE(view.enablesStepButtons);
  EXPECT_EQ(view.state.ShownRowCount, 3);
  EXPECT_EQ(view.state.ReadOffset, 16);  // the full circle back to the newest
  EXPECT_EQ(view.writeOffset, 24);
  EXPECT_EQ(view.newestRecordText, "14:03:07 05.11");
}

TEST(ComputeViewTest, AViewThatEndsInAMessageKeepsTheRowCountButNotTheFlags) {
  ViewState state = Named();
  state.ShownRowCount = 5;
  state.ReadOffset = 72;
  state.InputFilterPending = state.DateSearchPending = 1;

  const ViewOutcome none = ComputeView(InputArchive(), state, ViewRequest::Input(3));
  EXPECT_EQ(none.message, "нет событий");
  EXPECT_TRUE(none.rows.empty());
  EXPECT_EQ(none.status, "");
  EXPECT_EQ(none.newestRecordText, "14:03:07 05.11");
  EXPECT_EQ(none.state.ShownRowCount, 5);
  EXPECT_EQ(none.state.ReadOffset, 16);
  EXPECT_EQ(none.state.InputFilterPending, 0);
  EXPECT_EQ(none.state.DateSearchPending, 0);

  const ViewOutcome notFound = ComputeView(InputArchive(), state, ViewRequest::Date("31.12"));
  EXPECT_EQ(notFound.message, "Указанная дата не найдена");
  EXPECT_EQ(notFound.newestRecordText, "14:03:07 05.11");

  ArchiveBuilder empty;
  const ViewOutcome emptyArchive =
      ComputeView(ImageFromBytes(empty.SetWriteOffset(255).Bytes()), state, ViewRequest::Block(1));
  EXPECT_EQ(emptyArchive.message, "архив пуст");
  EXPECT_EQ(emptyArchive.newestRecordText, std::nullopt);
  EXPECT_EQ(emptyArchive.writeOffset, 255);
  EXPECT_EQ(emptyArchive.state.ReadOffset, 72);

  const ViewOutcome damaged =
      ComputeView(ImageFromBytes(empty.SetWriteOffset(12).Bytes()), state, ViewRequest::Block(1));
  EXPECT_EQ(damaged.message, "Архив поврежден");
  EXPECT_EQ(damaged.newestRecordText, std::nullopt);
  EXPECT_EQ(damaged.writeOffset, 12);
}

TEST(RequestViewTest, WithoutAnArchiveNameNothingIsRead) {
  const CountingSource source(InputArchive());
  ViewState state;
  state.ReadOffset = 40;
  state.StepForwardPending = 1;
  const ViewOutcome outcome = RequestView(state, ViewRequest::StepForward(), source);
  EXPECT_EQ(outcome.message, "Не задано имя файла архива");
  EXPECT_EQ(source.reads, 0);
  EXPECT_EQ(outcome.writeOffset, std::nullopt);
  EXPECT_EQ(outcome.state.ReadOffset, 40);
  EXPECT_EQ(outcome.state.StepForwardPending, 0);
}

TEST(RequestViewTest, AnUnreadableArchiveCarriesTheReason) {
  const CountingSource source(std::nullopt);
  const ViewOutcome outcome = RequestView(Named(), ViewRequest::Block(1), source);
  EXPECT_EQ(outcome.message, "Архив не удается открыть");
  ASSERT_TRUE(outcome.readFailure);
  EXPECT_EQ(outcome.readFailure->errorNumber, EACCES);
  EXPECT_EQ(outcome.readFailure->reason, "Permission denied");
  EXPECT_EQ(outcome.newestRecordText, std::nullopt);
  EXPECT_EQ(source.names, std::vector<std::string>{kName});
}

TEST(RequestViewTest, EveryRequestReadsTheArchiveAnew) {
  const CountingSource source(InputArchive());
  ViewOutcome view = RequestView(Named(), ViewRequest::Block(1), source);
  view = RequestView(view.state, ViewRequest::StepBack(), source);
  view = RequestView(view.state, ViewRequest::StepForward(), source);
  EXPECT_EQ(source.reads, 3);
  EXPECT_EQ(view.rows.front().shown.offset, 16);
  EXPECT_EQ(view.status, kStatus + "  время: 14:03:07 05.11");
  EXPECT_EQ(RequestView(Named(), ViewRequest::Block(1), ImageArchiveSource(InputArchive())).rows,
            RequestView(Named(), ViewRequest::Block(1), source).rows);
}

TEST(ShowOutcomeTest, AViewOrAMessageButNeverBoth) {
  RecordingScreen screen;
  const ViewOutcome view = ComputeView(InputArchive(), Named(), ViewRequest::Block(1));
  EXPECT_EQ(ShowOutcome(view, screen), ViewResult::kShown);
  EXPECT_EQ(screen.status, kStatus);
  EXPECT_EQ(screen.newestRecordText, "14:03:07 05.11");
  EXPECT_TRUE(screen.stepButtonsEnabled);
  ASSERT_EQ(screen.table.size(), 17u);
  EXPECT_EQ(screen.table[0], EventTableHeader());
  EXPECT_EQ(screen.table[1], view.rows[0].cells);
  EXPECT_TRUE(screen.messages.empty());

  const ViewOutcome none = ComputeView(InputArchive(), Named(), ViewRequest::Input(1));
  EXPECT_EQ(ShowOutcome(none, screen), ViewResult::kMessage);
  EXPECT_EQ(screen.messages, std::vector<std::string>{"нет событий"});
  EXPECT_EQ(screen.tableFills, 1);
  EXPECT_EQ(screen.status, kStatus);
}

TEST(ShowOutcomesTest, TheScreenEndsAsIfEveryOutcomeHadBeenShownInTurn) {
  const CountingSource source(InputArchive());
  std::vector<ViewOutcome> outcomes;
  outcomes.push_back(RequestView(Named(), ViewRequest::Block(1), source));
  outcomes.push_back(RequestView(outcomes.back().state, ViewRequest::StepBack(), source));
  outcomes.push_back(RequestView(outcomes.back().state, ViewRequest::StepBack(), source));

  RecordingScreen oneByOne;
  for (const ViewOutcome& outcome : outcomes) ShowOutcome(outcome, oneByOne);
  RecordingScreen folded;
  ShowOutcomes(outcomes, folded);
  EXPECT_EQ(folded.status, oneByOne.status);
  EXPECT_EQ(folded.table, oneByOne.table);
  EXPECT_EQ(folded.newestRecordText, oneByOne.newestRecordText);
  // Only the first view enables the step buttons; they stay enabled.
  EXPECT_TRUE(folded.stepButtonsEnabled);
  EXPECT_EQ(folded.tableFills, 1);

  // A last outcome that is a message: the table of the view before, the box.
  outcomes.push_back(
      RequestView(outcomes.back().state, ViewRequest::StepBack(), CountingSource(std::nullopt)));
  RecordingScreen stopped;
  ShowOutcomes(outcomes, stopped);
  EXPECT_EQ(stopped.table, oneByOne.table);
  EXPECT_EQ(stopped.messages, std::vector<std::string>{"Архив не удается открыть"});

  RecordingScreen untouched;
  ShowOutcomes({}, untouched);
  EXPECT_EQ(untouched.tableFills, 0);
  EXPECT_EQ(untouched.status, "Документирование");
}

}  // namespace
}  // namespace torv
