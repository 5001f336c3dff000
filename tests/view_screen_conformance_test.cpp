// Every screen shows the same views: the main window and the recording fake
// are driven through the same view requests and must show exactly what the
// view outcome says, and their table report must be what torvdoc-cli prints
// for the same view.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <memory>
#include <string>
#include <vector>

#include "archive/sample_archive.h"
#include "archive/view_engine.h"
#include "archive/view_outcome.h"
#include "archive/view_screen.h"
#include "cli/cli_commands.h"
#include "fake_user_prompts.h"
#include "recording_screen.h"
#include "report/report_builder.h"
#include "temp_archive.h"
#include "ui/tform_main.h"

namespace torv {
namespace {

const EventRow kEmptyRow;

// A screen under test, with a way to read back what it shows.
class Face {
 public:
  virtual ~Face() = default;
  virtual ViewScreen& Screen() = 0;
  virtual const ReportTable& Table() const = 0;
  virtual std::string ShownStatus() const = 0;
  virtual std::string ShownNewestRecordText() const = 0;
  virtual bool StepButtonsEnabled() const = 0;
  virtual std::vector<std::string> Messages() const = 0;
  // The header row, then the data rows.
  virtual std::vector<EventRow> ShownTable() const = 0;
};

class RecordingFace : public Face {
 public:
  ViewScreen& Screen() override { return screen_; }
  const ReportTable& Table() const override { return screen_; }
  std::string ShownStatus() const override { return screen_.status; }
  std::string ShownNewestRecordText() const override { return screen_.newestRecordText; }
  bool StepButtonsEnabled() const override { return screen_.stepButtonsEnabled; }
  std::vector<std::string> Messages() const override { return screen_.messages; }
  std::vector<EventRow> ShownTable() const override { return screen_.table; }

 private:
  testing::RecordingScreen screen_;
};

// The window, read back from its widgets: the label, the edit, the buttons,
// the boxes it opened and the grid as it shows its cells.
class WindowFace : public Face {
 public:
  WindowFace() { window_.FormCreate(); }
  ViewScreen& Screen() override { return window_; }
  const ReportTable& Table() const override { return window_; }
  std::string ShownStatus() const override { return window_.Ui().Label1->text().toStdString(); }
  std::string ShownNewestRecordText() const override {
    return window_.Ui().Edit1->text().toStdString();
  }
  bool StepButtonsEnabled() const override {
    EXPECT_EQ(window_.Ui().Button5->isEnabled(), window_.Ui().Button6->isEnabled());
    return window_.Ui().Button5->isEnabled();
  }
  std::vector<std::string> Messages() const override {
    std::vector<std::string> texts;
    for (const QString& text : prompts_.BoxTexts()) texts.push_back(text.toStdString());
    return texts;
  }
  std::vector<EventRow> ShownTable() const override {
    const QAbstractItemModel& model = *window_.Ui().StringGrid1->model();
    std::vector<EventRow> table(1 + static_cast<std::size_t>(model.rowCount()));
    for (int column = 0; column < kEventColumnCount; ++column) {
      table[0][column] = model.headerData(column, Qt::Horizontal).toString().toStdString();
      for (int row = 0; row < model.rowCount(); ++row) {
        table[row + 1][column] = model.data(model.index(row, column)).toString().toStdString();
      }
    }
    return table;
  }

 private:
  ViewState state_;
  testing::FakeUserPrompts prompts_;
  TForm_main window_{state_, prompts_};
};

// A step of a scenario: the flags a command sets before it asks for a view.
using Command = void (*)(ViewState&);

void Newest(ViewState& state) {
  state.BlocksBack = 1;
}
void Oldest(ViewState& state) {
  state.BlocksBack = 64;
}
void Back(ViewState& state) {
  state.StepBackwardPending = 1;
}
void Forward(ViewState& state) {
  state.StepForwardPending = 1;
}
void Input3(ViewState& state) {
  state.InputNumber = 3;
  state.InputFilterPending = 1;
}
// No record carries input 0: the input view ends in "нет событий".
void NoSuchInput(ViewState& state) {
  state.InputNumber = 0;
  state.InputFilterPending = 1;
}
void DateOfNewest(ViewState& state) {
  state.SearchDateKey = "01.01";
  state.DateSearchPending = 1;
}
void AbsentDate(ViewState& state) {
  state.SearchDateKey = "31.06";
  state.DateSearchPending = 1;
}

template <typename FaceType>
class ViewScreenConformanceTest : public ::testing::Test {
 protected:
  ViewScreenConformanceTest() {
    // Seed 9, fill 1500: a wrapped ring whose newest record is at 09:29:12
    // on 01.01.
    state_.ArchiveFileName =
        folder_.Write("архив 1.dat", GenerateArchive({.seed = 9, .fill = 1500}));
  }

  // Runs the commands on the face, each as one request, and checks after
  // each that the face shows what the outcome says.
  void Run(std::initializer_list<Command> commands) {
    std::vector<std::string> messages;
    ViewOutcome lastShown;
    bool anyShown = false;
    bool stepButtons = false;
    for (const Command command : commands) {
      command(state_);
      const ViewOutcome expected = RequestView(state_, PendingRequest(state_));
      Button1Click(state_, face_.Screen());
      EXPECT_EQ(state_.ReadOffset, expected.state.ReadOffset);
      EXPECT_EQ(state_.ShownRowCount, expected.state.ShownRowCount);
      if (expected.Shown()) {
        lastShown = expected;
        anyShown = true;
        stepButtons = stepButtons || expected.enablesStepButtons;
      } else {
        messages.push_back(*expected.message);
      }
      EXPECT_EQ(face_.Messages(), messages);
      if (!anyShown) continue;
      EXPECT_EQ(face_.ShownStatus(), lastShown.status);
      EXPECT_EQ(face_.ShownNewestRecordText(), *expected.newestRecordText);
      EXPECT_EQ(face_.StepButtonsEnabled(), stepButtons);
      std::vector<EventRow> table{EventTableHeader()};
      for (const ViewRow& row : lastShown.rows) table.push_back(row.cells);
      EXPECT_EQ(face_.ShownTable(), table);
    }
  }

  // The table report, as "Просмотр блока архива из таблицы" makes it.
  std::string TableReport() const {
    return JoinReportLines(BuildTableReport(face_.Table(), state_)) + "\n";
  }

  // What torvdoc-cli prints for `args` after "view FILE".
  std::string CliOutput(std::vector<std::string> args) const {
    args.insert(args.begin(), {"view", state_.ArchiveFileName});
    const CommandOutcome outcome = RunCommandLine(args);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    return outcome.out;
  }

  std::string Status(const std::string& tail = {}) const {
    return "Архив: файл " + state_.ArchiveFileName + tail;
  }

  testing::TempFolder folder_;
  ViewState state_;
  FaceType face_;
};

using Faces = ::testing::Types<RecordingFace, WindowFace>;
TYPED_TEST_SUITE(ViewScreenConformanceTest, Faces);

TYPED_TEST(ViewScreenConformanceTest, StartsWithTheStartScreen) {
  EXPECT_EQ(this->face_.ShownStatus(), "Документирование");
  EXPECT_EQ(this->face_.ShownNewestRecordText(), "");
  EXPECT_FALSE(this->face_.StepButtonsEnabled());
  EXPECT_TRUE(this->face_.Messages().empty());
  EXPECT_EQ(this->face_.ShownTable(), std::vector<EventRow>(17));
  EXPECT_EQ(this->TableReport(), "Документирование\n\n\n\t\t\t\t\t\t\n");
  // A row outside the table reads as empty cells.
  EXPECT_EQ(this->face_.Table().TableRow(17), kEmptyRow);
  EXPECT_EQ(this->face_.Table().TableRow(-1), kEmptyRow);
}

TYPED_TEST(ViewScreenConformanceTest, KeepsWhatItIsShown) {
  ViewScreen& screen = this->face_.Screen();
  screen.SetStatusText("Архив: файл /a.dat");
  screen.SetNewestRecordText("14:03:07 05.11");
  screen.EnableStepButtons();
  screen.ShowMessage("архив пуст");
  screen.ShowMessage("нет событий");
  screen.SetTableRows(
      {EventTableHeader(), {"Норма           ", "2           ", "14:03:07", "05.11"}});
  EXPECT_EQ(this->face_.ShownStatus(), "Архив: файл /a.dat");
  EXPECT_EQ(this->face_.Table().StatusText(), "Архив: файл /a.dat");
  EXPECT_EQ(this->face_.ShownNewestRecordText(), "14:03:07 05.11");
  EXPECT_TRUE(this->face_.StepButtonsEnabled());
  EXPECT_EQ(this->face_.Messages(), (std::vector<std::string>{"архив пуст", "нет событий"}));
  const std::vector<EventRow> table{EventTableHeader(),
                                    {"Норма           ", "2           ", "14:03:07", "05.11"}};
  EXPECT_EQ(this->face_.ShownTable(), table);
  EXPECT_EQ(this->face_.Table().TableRow(1), table[1]);
  EXPECT_EQ(this->face_.Table().TableRow(2), kEmptyRow);
}

TYPED_TEST(ViewScreenConformanceTest, NewestBlock) {
  this->Run({Newest});
  EXPECT_EQ(this->face_.ShownStatus(), this->Status());
  EXPECT_EQ(this->face_.ShownNewestRecordText(), "09:29:12 01.01");
  EXPECT_EQ(this->TableReport(), this->CliOutput({"--block", "1"}));
}

TYPED_TEST(ViewScreenConformanceTest, TheRingHasNoEndsForTheSteps) {
  // Back from the oldest block is the newest block.
  this->Run({Oldest, Back});
  EXPECT_EQ(this->face_.ShownStatus(), this->Status("  время: 09:29:12 01.01"));
  EXPECT_EQ(this->TableReport(), this->CliOutput({"--block", "64", "--steps", "b"}));
  // Forward from the newest block is the oldest block.
  this->Run({Newest, Forward});
  EXPECT_EQ(this->TableReport(), this->CliOutput({"--block", "1", "--steps", "f"}));
  EXPECT_EQ(this->TableReport(), this->CliOutput({"--block", "64"})
                                     .replace(0, this->Status().size(), this->face_.ShownStatus()));
}

TYPED_TEST(ViewScreenConformanceTest, StepsContinueFromTheBlockShown) {
  this->Run({Newest, Back, Back, Forward, Back, Back});
  EXPECT_EQ(this->TableReport(), this->CliOutput({"--steps", "bbfbb"}));
}

TYPED_TEST(ViewScreenConformanceTest, DateSearch) {
  this->Run({DateOfNewest});
  EXPECT_EQ(this->face_.ShownStatus(), this->Status("  01.01"));
  EXPECT_TRUE(this->face_.StepButtonsEnabled());
  EXPECT_EQ(this->TableReport(), this->CliOutput({"--date", "01.01"}));
}

TYPED_TEST(ViewScreenConformanceTest, InputViewLeavesTheStepButtonsAsTheyWere) {
  this->Run({Input3});
  EXPECT_EQ(this->face_.ShownStatus(), this->Status(" вход № 3"));
  EXPECT_FALSE(this->face_.StepButtonsEnabled());
  EXPECT_EQ(this->TableReport(), this->CliOutput({"--input", "3"}));
}

TYPED_TEST(ViewScreenConformanceTest, AMessageLeavesTheViewBeforeIt) {
  this->Run({Newest, AbsentDate, Back, NoSuchInput});
  EXPECT_EQ(this->face_.Messages(),
            (std::vector<std::string>{"Указанная дата не найдена", "нет событий"}));
  // The failed search walked the whole ring back to the newest record, where
  // the step back then started: the newest block, with its time.
  EXPECT_EQ(this->face_.ShownStatus(), this->Status("  время: 09:29:12 01.01"));
  EXPECT_EQ(this->TableReport(),
            this->CliOutput({"--block", "1"})
                .replace(0, this->Status().size(), this->Status("  время: 09:29:12 01.01")));
}

}  // namespace
}  // namespace torv
