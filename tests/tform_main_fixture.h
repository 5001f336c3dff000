// The main window's widget tests share this fixture: the window shown and
// active offscreen, boxes and dialogs answered by a recording fake, and a
// test archive whose every record can be told from its slot.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "archive/sample_archive.h"
#include "fake_user_prompts.h"
#include "qstring_printer.h"
#include "ui/application_title.h"
#include "ui/tform_main.h"

namespace torv {

using testing::BoxKind;
using testing::FakeUserPrompts;

// The test archive: slot s holds code s % 3 for input s % 32 + 1 at
// 's / 60':'s % 60':07 on day 1 + s / 40 of March. The newest record is in
// slot 99, so the ring wraps from slot 99 back to slot 1023.
constexpr int kNewestSlot = 99;
constexpr int kWriteOffset = (kNewestSlot + 1) * 8;

inline ArchiveRecord SlotRecord(int slot) {
  return MakeRecord(static_cast<std::uint8_t>(slot % 3), static_cast<std::uint8_t>(slot % 32),
                    static_cast<std::uint8_t>(slot / 60), static_cast<std::uint8_t>(slot % 60), 7,
                    static_cast<std::uint8_t>(1 + slot / 40), 3);
}

inline std::vector<std::uint8_t> TestArchive() {
  ArchiveBuilder builder;
  for (int slot = 0; slot < 1024; ++slot) builder.SetSlot(slot, SlotRecord(slot));
  return builder.SetWriteOffset(kWriteOffset).Bytes();
}

inline std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

inline std::string SlotTime(int slot) {
  return TwoDigits(slot / 60) + ":" + TwoDigits(slot % 60) + ":07";
}
inline std::string SlotDate(int slot) {
  return TwoDigits(1 + slot / 40) + ".03";
}

inline EventRow ExpectedRow(int slot) {
  static const char* const kEvents[] = {"Норма           ", "Пред. сигн.     ", "Авар. сигн. "};
  return {kEvents[slot % 3], std::to_string(slot % 32 + 1) + "           ", SlotTime(slot),
          SlotDate(slot)};
}

inline const EventRow kHeaderRow = {"Событие", "Номер входа", " Время", "Дата"};

inline int SlotBack(int slot, int records) {
  return ((slot - records) % 1024 + 1024) % 1024;
}

// The window shown and active, with `Prompts` answering its boxes and dialogs.
template <typename Prompts>
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    window_ = std::make_unique<TForm_main>(state_, prompts_);
    window_->FormCreate();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  void TearDown() override {
    window_.reset();
    other_.reset();
  }

  const MainWindowControls& Ui() const { return window_->Ui(); }

  std::string WriteArchive(const std::vector<std::uint8_t>& bytes,
                           const QString& name = QStringLiteral("arch.dat")) {
    const QString path = dir_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path.toStdString();
  }

  // Chooses the test archive as if through the open dialog.
  std::string UseTestArchive() {
    archivePath_ = WriteArchive(TestArchive());
    state_.ArchiveFileName = archivePath_;
    return archivePath_;
  }

  // The test archive with every record of input 32 turned into one of
  // input 1, so that the input view of input 32 ends in its message.
  void UseArchiveWithoutInput32() {
    ArchiveBuilder builder;
    for (int slot = 0; slot < 1024; ++slot) {
      builder.SetSlot(slot, SlotRecord(slot % 32 == 31 ? 0 : slot));
    }
    archivePath_ = WriteArchive(builder.SetWriteOffset(kWriteOffset).Bytes());
    state_.ArchiveFileName = archivePath_;
  }

  std::string Status(const std::string& tail = {}) const {
    return "Архив: файл " + archivePath_ + tail;
  }

  void ExpectBlock(int firstSlot) const {
    ASSERT_EQ(window_->TableRowCount(), 17);
    EXPECT_EQ(window_->TableRow(0), kHeaderRow);
    for (int row = 1; row <= 16; ++row) {
      EXPECT_EQ(window_->TableRow(row), ExpectedRow(SlotBack(firstSlot, row - 1))) << "row " << row;
    }
    EXPECT_EQ(state_.ShownRowCount, 16);
  }

  QString Label1() const { return Ui().Label1->text(); }
  bool StepButtonsEnabled() const { return Ui().Button5->isEnabled() && Ui().Button6->isEnabled(); }
  QColor Background(const QLineEdit* field) const { return field->palette().color(QPalette::Base); }

  void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

  void Focus(QWidget* widget) {
    widget->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(widget->hasFocus());
  }

  // Makes another window the active one, as a modal box or another program
  // would; the main window keeps only its focus child.
  void ActivateOtherWindow() {
    if (!other_) {
      other_ = std::make_unique<QWidget>();
      other_->resize(100, 100);
    }
    other_->show();
    other_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other_.get()));
    ASSERT_FALSE(window_->isActiveWindow());
  }

  void ReactivateWindow() {
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  // Shows the picker through "Показать с заданной даты" and "Задайте дату"
  // with `date` set beforehand, as the operator's last choice would leave it.
  void OpenPicker(QDate date) {
    {
      const QSignalBlocker blocker(Ui().DateTimePicker2);
      Ui().DateTimePicker2->setDate(date);
    }
    Click(Ui().Button4);
    ASSERT_TRUE(Ui().Button3->isVisible());
    Click(Ui().Button3);
    ASSERT_TRUE(Ui().DateTimePicker2->isVisible());
  }

  QTemporaryDir dir_;
  ViewState state_;
  Prompts prompts_;
  std::unique_ptr<TForm_main> window_;
  std::unique_ptr<QWidget> other_;
  std::string archivePath_;
  const QString kInputError = QStringLiteral("Ошибка ввода");
  const QString kAppTitle = ApplicationTitle();
};

// Boxes and dialogs answered by a recording fake that opens no event loop.
class TFormMainTest : public WindowTest<FakeUserPrompts> {
 protected:
  std::vector<QString> Boxes() const { return prompts_.BoxTexts(); }
};

}  // namespace torv
