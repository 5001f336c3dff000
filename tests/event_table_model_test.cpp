#include "ui/event_table_model.h"

#include <gtest/gtest.h>

namespace torv {
namespace {

EventRow Row(const char* a, const char* b, const char* c, const char* d) {
  return {a, b, c, d};
}

TEST(EventTableModelTest, StartsWithSeventeenEmptyRows) {
  EventTableModel model;
  EXPECT_EQ(model.GridRowCount(), 17);
  EXPECT_EQ(model.rowCount(), 16);  // the header row is the view's header
  EXPECT_EQ(model.columnCount(), 4);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QString());
  EXPECT_EQ(model.GridRow(16), EventRow{});
}

TEST(EventTableModelTest, ShowsRowZeroAsHeaderAndTheRestAsCells) {
  EventTableModel model;
  model.SetRows({Row("Событие", "Номер входа", " Время", "Дата"),
                 Row("Норма           ", "7           ", "01:02:03", "04.05")});
  EXPECT_EQ(model.GridRowCount(), 2);
  EXPECT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral(" Время"));
  EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("Норма           "));
  EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("7           "));
  EXPECT_EQ(model.GridRow(1)[3], "04.05");
  EXPECT_EQ(model.GridRow(2), EventRow{});
}

TEST(EventTableModelTest, CellsCanBeSelectedButNotEdited) {
  EventTableModel model;
  const Qt::ItemFlags flags = model.flags(model.index(0, 0));
  EXPECT_TRUE(flags.testFlag(Qt::ItemIsSelectable));
  EXPECT_FALSE(flags.testFlag(Qt::ItemIsEditable));
}

TEST(EventTableModelTest, HoldsATableOf1025Rows) {
  EventTableModel model;
  model.SetRows(std::vector<EventRow>(1025, Row("a", "b", "c", "d")));
  EXPECT_EQ(model.GridRowCount(), 1025);
  EXPECT_EQ(model.rowCount(), 1024);
}

}  // namespace
}  // namespace torv
