// The window's commands on one device over a real SQLite store, boxes
// answered by the scripted fake: a withdrawal, and refusals.
#include <QAction>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "fake_history_prompts.h"
#include "history_report/history_summaries.h"
#include "history_test_support.h"
#include "history_ui/history_window.h"
#include "history_window_support.h"

namespace torv {
namespace {

using history::testing::Backend;
using history::testing::TestStore;
using torv::testing::ListingRows;
using torv::testing::ShownRows;

const QString kWarehouse = QStringLiteral("Склад, ТОРВ-4 №2");

// Device "3" of three copies, "Склад, ТОРВ-4 №2" of one with 700 events.
class HistoryWindowDevicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((folder_.path() / "config").string()));
    history::SimulationOptions options;
    options.seed = 41;
    history::SimulatedDevice three(options);
    options.seed = 42;
    history::SimulatedDevice warehouse(options);
    for (const int written : {500, 1300, 300}) {
      three.Write(written);
      copies_.push_back(three.CopyNow());
      copies_.back().source = "copy" + std::to_string(copies_.size()) + ".dat";
      ASSERT_TRUE(store_->Import("3", copies_.back()).ok());
    }
    warehouse.Write(700);
    ASSERT_TRUE(store_->Import(kWarehouse.toStdString(), warehouse.CopyNow()).ok());
    // Made after the settings' path is set: the window reads them at once.
    window_ = std::make_unique<HistoryWindow>(prompts_);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get(), 30000));
    window_->OpenStore(test_.location());
  }

  torv::testing::TempFolder folder_;
  TestStore test_{Backend::kSqlite};
  std::unique_ptr<history::HistoryStore> store_ = test_.Open();
  std::vector<history::ArchiveCopy> copies_;
  testing::FakeHistoryPrompts prompts_;
  std::unique_ptr<HistoryWindow> window_;
};

TEST_F(HistoryWindowDevicesTest, AWithdrawnCopyLeavesTheDeviceAsIfItHadNeverBeenImported) {
  window_->ChooseDevice(QStringLiteral("3"));
  const std::int64_t before = window_->Events().EventCount();
  prompts_.copiesAnswers.push_back(std::vector<std::int64_t>{2});
  prompts_.textAnswers.push_back(QStringLiteral(" ошибочная копия "));
  prompts_.confirmAnswers.push_back(true);
  window_->Ui().Copies->trigger();
  EXPECT_EQ(prompts_.copiesChoices.at(0).copies.size(), 3u);
  ASSERT_EQ(prompts_.questions.size(), 1u);
  EXPECT_EQ(prompts_.questions[0].text,
            QStringLiteral("Снять копии устройства «3»?\n№ 2 — copy2.dat\n\nИстория устройства "
                           "будет собрана заново из остальных его копий."));
  // The device is what the other two copies alone make of it.
  TestStore reference(Backend::kSqlite);
  auto without = reference.Open();
  ASSERT_TRUE(without->Import("3", copies_[0]).ok());
  ASSERT_TRUE(without->Import("3", copies_[2]).ok());
  EXPECT_EQ(prompts_.boxes.at(0).text,
            QString::fromStdString(RebuiltLine({"3", before, *without->Count({}), 2})));
  EXPECT_EQ(ShownRows(window_->Events()), ListingRows(*without, window_->CurrentQuery()));
  EXPECT_EQ(window_->Ui().Devices->topLevelItem(1)->text(2), QStringLiteral("2"));
  EXPECT_EQ(store_->Journal()->back().reason, "ошибочная копия");
}

TEST_F(HistoryWindowDevicesTest, ARefusalOrANoChangesNothing) {
  ASSERT_TRUE(store_->Withdraw({1}, "").ok());
  const std::string listing = history::testing::StoreListing(*store_);
  const std::size_t journal = store_->Journal()->size();
  window_->ChooseDevice(QStringLiteral("3"));
  // The store refuses a taken name and a withdrawn copy; the window a name
  // that is another device's mistyped. Then a No at each question.
  prompts_.textAnswers = {kWarehouse, QStringLiteral("склад,  торв-4 №2"), QString(),
                          QStringLiteral("другое"), QStringLiteral("причина")};
  prompts_.confirmAnswers = {true, true};
  prompts_.copiesAnswers.push_back(std::vector<std::int64_t>{1});
  for (QAction* command :
       {window_->Ui().RenameDevice, window_->Ui().RenameDevice, window_->Ui().Copies,
        window_->Ui().RenameDevice, window_->Ui().RemoveDevice}) {
    command->trigger();
  }
  std::vector<QString> warnings;
  for (const testing::HistoryBox& box : prompts_.boxes) warnings.push_back(box.text);
  EXPECT_EQ(warnings, std::vector<QString>({
                          QStringLiteral("Устройство не переименовано: a device \"Склад, ТОРВ-4 "
                                         "№2\" is in the history already"),
                          QStringLiteral("Устройство не переименовано: «склад,  торв-4 №2» — "
                                         "почти имя устройства «Склад, ТОРВ-4 №2»."),
                          QStringLiteral("Копии не сняты: copy 1 is withdrawn already"),
                      }));
  EXPECT_EQ(prompts_.questions.size(), 4u);
  EXPECT_EQ(history::testing::StoreListing(*store_), listing);
  EXPECT_EQ(store_->Journal()->size(), journal);
  EXPECT_EQ(window_->ChosenDevice(), QStringLiteral("3"));
}

}  // namespace
}  // namespace torv
