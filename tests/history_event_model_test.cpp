// The window's table over a million-event device: opening reads no event,
// showing reads the rows on show, scrolling to the end reads only the end,
// and no more than a bounded number of pages is ever kept.
#include "history_ui/history_event_model.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "fake_history_prompts.h"
#include "history_test_support.h"
#include "history_ui/history_window.h"
#include "history_window_support.h"
#include "models/device_simulation.h"

namespace torv {
namespace {

using history::testing::Backend;
using history::testing::TestStore;

constexpr int kMillion = 1000000;

// The table's cells of one stored event.
std::vector<std::string> CellsOf(history::HistoryStore& store, const history::StoredEvent& event) {
  Result<std::vector<history::NameEntry>> names = store.Names();
  EXPECT_TRUE(names.ok());
  const ListedFields fields = FieldsOf(event, NameBook(*names));
  return {
      event.device, fields.date, fields.time, fields.event, NumberCellText(fields).toStdString(),
      fields.name};
}

std::vector<std::string> RowCells(const HistoryEventModel& model, int row) {
  std::vector<std::string> cells;
  for (int c = 0; c < model.columnCount(); ++c) {
    cells.push_back(model.data(model.index(row, c)).toString().toStdString());
  }
  return cells;
}

// The event at `skip` in the listing of `query`, read on its own.
history::StoredEvent EventAt(history::HistoryStore& store, const history::EventQuery& query,
                             std::int64_t skip) {
  Result<std::vector<history::ListingPart>> parts = store.Parts(query);
  EXPECT_TRUE(parts.ok());
  for (const history::ListingPart& part : *parts) {
    if (skip < part.events) {
      Result<std::vector<history::StoredEvent>> events = store.PartEvents(query, part, skip, 1);
      EXPECT_TRUE(events.ok());
      return events->front();
    }
    skip -= part.events;
  }
  ADD_FAILURE() << "no such row";
  return {};
}

class MillionEventTest : public ::testing::Test {
 protected:
  // One store for the suite: a million events take seconds to import.
  static void SetUpTestSuite() {
    test_ = new TestStore(Backend::kSqlite);
    auto store = test_->Open();
    ASSERT_TRUE(store);
    history::SimulationOptions options;
    options.seed = 99;
    options.maxStepSeconds = 40;
    history::SimulatedDevice device(options);
    device.Write(kMillion);
    history::ArchiveCopy copy;
    copy.records = device.Written();
    copy.copiedAt = device.Now();
    Result<history::ImportOutcome> outcome = store->Import("big", copy);
    ASSERT_TRUE(outcome.ok()) << outcome.failure().reason;
    ASSERT_EQ(outcome->newEvents, kMillion);
    ASSERT_TRUE(store->SetNames({{"big", history::NumberKind::kInput, 3, "Дверь"}}).ok());
  }
  static void TearDownTestSuite() {
    delete test_;
    test_ = nullptr;
  }

  void SetUp() override {
    window_ = std::make_unique<HistoryWindow>(prompts_);
    window_->resize(1000, 700);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->OpenStore(test_->location());
    QApplication::processEvents();
    store_ = window_->Session().Reader();
    ASSERT_NE(store_, nullptr);
  }

  // Scrolls the table to its last row and lets it paint.
  void ScrollToEnd() {
    window_->Ui().Table->scrollToBottom();
    window_->Ui().Table->viewport()->repaint();
    QApplication::processEvents();
  }

  static inline TestStore* test_ = nullptr;
  torv::testing::FakeHistoryPrompts prompts_;
  std::unique_ptr<HistoryWindow> window_;
  history::HistoryStore* store_ = nullptr;
};

TEST_F(MillionEventTest, OpeningReadsOnlyTheRowsOnShowAndTheEndReadsOnlyTheEnd) {
  HistoryEventModel& model = window_->Events();
  ASSERT_EQ(model.rowCount(), kMillion);
  window_->Ui().Table->viewport()->repaint();
  QApplication::processEvents();
  EXPECT_GT(model.EventsRead(), 0);
  EXPECT_LE(model.EventsRead(), HistoryEventModel::kPageSize);
  EXPECT_EQ(model.HeldPageStarts(), std::vector<int>{0});
  EXPECT_EQ(RowCells(model, 0), CellsOf(*store_, EventAt(*store_, {}, 0)));

  ScrollToEnd();
  EXPECT_LE(model.EventsRead(), 3 * HistoryEventModel::kPageSize);
  const std::vector<int> held = model.HeldPageStarts();
  ASSERT_FALSE(held.empty());
  EXPECT_EQ(held.back(),
            kMillion / HistoryEventModel::kPageSize * HistoryEventModel::kPageSize -
                (kMillion % HistoryEventModel::kPageSize == 0 ? HistoryEventModel::kPageSize : 0));
  history::EventQuery newest;
  newest.newestFirst = true;
  EXPECT_EQ(RowCells(model, kMillion - 1), CellsOf(*store_, EventAt(*store_, newest, 0)));

  // A row in the middle, reached directly.
  const std::int64_t before = model.EventsRead();
  window_->Ui().Table->scrollTo(model.index(654321, 0));
  window_->Ui().Table->viewport()->repaint();
  QApplication::processEvents();
  EXPECT_LE(model.EventsRead() - before, 2 * HistoryEventModel::kPageSize);
  EXPECT_EQ(RowCells(model, 654321), CellsOf(*store_, EventAt(*store_, {}, 654321)));
}

TEST_F(MillionEventTest, AFilteredListingAlsoReadsOnlyTheEnd) {
  window_->Ui().Input->setText(QStringLiteral("3"));
  HistoryEventModel& model = window_->Events();
  history::EventQuery input3;
  input3.input = 3;
  Result<std::int64_t> count = store_->Count(input3);
  ASSERT_TRUE(count.ok());
  ASSERT_GT(*count, 10000);
  ASSERT_EQ(model.rowCount(), *count);
  ScrollToEnd();
  EXPECT_LE(model.EventsRead(), 3 * HistoryEventModel::kPageSize);
  input3.newestFirst = true;
  const int last = model.rowCount() - 1;
  EXPECT_EQ(RowCells(model, last), CellsOf(*store_, EventAt(*store_, input3, 0)));
  EXPECT_EQ(RowCells(model, last)[5], "Дверь");

  // Newest first, the same rows the other way round.
  window_->Ui().NewestFirst->setChecked(true);
  EXPECT_EQ(model.EventsRead(), 0);
  input3.newestFirst = false;
  EXPECT_EQ(RowCells(model, last), CellsOf(*store_, EventAt(*store_, input3, 0)));
}

TEST_F(MillionEventTest, OnlyABoundedNumberOfPagesIsKept) {
  HistoryEventModel& model = window_->Events();
  const int step = HistoryEventModel::kPageSize * 97;
  int pagesAsked = 0;
  for (int row = 0; row < kMillion; row += step) {
    (void)model.data(model.index(row, 0));
    ++pagesAsked;
  }
  ASSERT_GT(pagesAsked, HistoryEventModel::kKeptPages);
  EXPECT_EQ(model.HeldPageStarts().size(), static_cast<std::size_t>(HistoryEventModel::kKeptPages));
  // The first page was let go and is read again when asked for.
  const std::int64_t before = model.EventsRead();
  EXPECT_EQ(RowCells(model, 1), CellsOf(*store_, EventAt(*store_, {}, 1)));
  EXPECT_EQ(model.EventsRead() - before, HistoryEventModel::kPageSize);
}

}  // namespace
}  // namespace torv
