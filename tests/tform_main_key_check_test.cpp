// The key check of the input-number fields: which keys pass, which are
// rejected, and the two-character typing limit.
#include "tform_main_fixture.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <ostream>

namespace torv {
namespace {

TEST_F(TFormMainTest, TypingStopsAtTwoCharacters) {
  Focus(Ui().Edit1);
  QTest::keyClicks(Ui().Edit1, QStringLiteral("123"));
  EXPECT_EQ(Ui().Edit1->text(), QStringLiteral("12"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, EditingKeysPassWithoutFeedback) {
  Focus(Ui().Edit1);
  QTest::keyClicks(Ui().Edit1, QStringLiteral("12"));
  QTest::keyClick(Ui().Edit1, Qt::Key_Left);
  QTest::keyClick(Ui().Edit1, Qt::Key_Delete);
  EXPECT_EQ(Ui().Edit1->text(), QStringLiteral("1"));
  QTest::keyClick(Ui().Edit1, Qt::Key_Right);
  QTest::keyClick(Ui().Edit1, Qt::Key_Backspace);
  EXPECT_EQ(Ui().Edit1->text(), QString());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(prompts_.beeps, 0);
  EXPECT_TRUE(Ui().Edit1->hasFocus());
}

struct RejectedKey {
  const char* label;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
};

void PrintTo(const RejectedKey& key, std::ostream* out) {
  *out << key.label;
}

class RejectedKeyTest : public TFormMainTest, public ::testing::WithParamInterface<RejectedKey> {};

TEST_P(RejectedKeyTest, GivesFeedbackTwiceInEitherField) {
  for (QLineEdit* field : {Ui().EditNVh, Ui().Edit1}) {
    SCOPED_TRACE(field->objectName().toStdString());
    prompts_.boxes.clear();
    prompts_.beeps = 0;
    if (field == Ui().EditNVh) {
      Click(Ui().Button7);
    } else {
      Focus(field);
      field->setText(QStringLiteral("5"));
    }
    QTest::keyClick(field, GetParam().key, GetParam().modifiers);
    EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError, kInputError}));
    EXPECT_EQ(prompts_.beeps, 2);
    EXPECT_EQ(field->text(), QStringLiteral("00"));
    EXPECT_TRUE(Ui().StringGrid1->hasFocus());
    EXPECT_EQ(state_.InputFilterPending, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RejectedKeyTest,
    ::testing::Values(RejectedKey{"Letter", Qt::Key_A, Qt::NoModifier},
                      RejectedKey{"KeypadDigit", Qt::Key_5, Qt::KeypadModifier},
                      RejectedKey{"ShiftAlone", Qt::Key_Shift, Qt::NoModifier},
                      RejectedKey{"ControlAlone", Qt::Key_Control, Qt::NoModifier},
                      RejectedKey{"Up", Qt::Key_Up, Qt::NoModifier},
                      RejectedKey{"Down", Qt::Key_Down, Qt::NoModifier},
                      RejectedKey{"Home", Qt::Key_Home, Qt::NoModifier},
                      RejectedKey{"End", Qt::Key_End, Qt::NoModifier},
                      RejectedKey{"Escape", Qt::Key_Escape, Qt::NoModifier},
                      RejectedKey{"Space", Qt::Key_Space, Qt::NoModifier}),
    [](const ::testing::TestParamInfo<RejectedKey>& info) {
      return std::string(info.param.label);
    });

TEST_F(TFormMainTest, TabIsNotRejectedAndRunsTheExitCheck) {
  UseTestArchive();
  Click(Ui().Button7);
  QTest::keyClick(Ui().EditNVh, Qt::Key_4);
  QTest::keyClick(Ui().EditNVh, Qt::Key_Tab);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(state_.InputNumber, 4);
  EXPECT_EQ(Label1().toStdString(), Status(" вход № 4"));
}

TEST_F(TFormMainTest, OpenShortcutInAFieldIsNotRejected) {
  Focus(Ui().Edit1);
  Ui().Edit1->setText(QStringLiteral("5"));
  QTest::keyClick(Ui().Edit1, Qt::Key_F3);
  // The window's command ran (the dialog was cancelled); no key check.
  EXPECT_EQ(prompts_.openRequests.size(), 1u);
  EXPECT_EQ(Boxes(), (std::vector<QString>{QStringLiteral("Файл архива не выбран")}));
  EXPECT_EQ(Ui().Edit1->text(), QStringLiteral("5"));
  EXPECT_EQ(prompts_.beeps, 0);
}

TEST_F(TFormMainTest, EnterOnEdit1WithTheNewestTimeShowsOnlyTheConversionFailure) {
  UseTestArchive();
  Click(Ui().Button8);
  Focus(Ui().Edit1);
  QTest::keyClick(Ui().Edit1, Qt::Key_Return);
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kFailure);
  EXPECT_TRUE(Ui().StringGrid1->hasFocus());
}

// --- pasted and dropped text ---

// Opens the field's own context menu with the mouse and chooses its paste
// entry, as the operator does.
void PasteThroughContextMenu(QLineEdit* field) {
  const QPoint at = field->rect().center();
  QContextMenuEvent request(QContextMenuEvent::Mouse, at, field->mapToGlobal(at));
  QApplication::sendEvent(field, &request);
  QMenu* menu = nullptr;
  ASSERT_TRUE(QTest::qWaitFor([&] {
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu != nullptr;
  }));
  // The entry that names the paste shortcut, in whatever language.
  const QString pasteKey =
      QLatin1Char('\t') + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
  QAction* paste = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->text().endsWith(pasteKey)) paste = action;
  }
  ASSERT_NE(paste, nullptr);
  ASSERT_TRUE(paste->isEnabled());
  menu->setActiveAction(paste);
  QTest::keyClick(menu, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
}

TEST_F(TFormMainTest, PasteThroughTheContextMenuKeepsTwoCharacters) {
  QGuiApplication::clipboard()->setText(QStringLiteral("12345"));
  Click(Ui().Button7);
  ASSERT_EQ(Ui().EditNVh->selectedText(), QStringLiteral("1"));
  PasteThroughContextMenu(Ui().EditNVh);
  EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("12"));
  EXPECT_EQ(Ui().EditNVh->cursorPosition(), 2);
  // The menu took the focus for a while; that is no exit from the field.
  EXPECT_TRUE(Ui().EditNVh->hasFocus());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, PasteBehindTwoCharactersAddsNothing) {
  QGuiApplication::clipboard()->setText(QStringLiteral("345"));
  Focus(Ui().Edit1);
  QTest::keyClicks(Ui().Edit1, QStringLiteral("12"));
  PasteThroughContextMenu(Ui().Edit1);
  EXPECT_EQ(Ui().Edit1->text(), QStringLiteral("12"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, PasteKeyIsRejectedAndPastesNothing) {
  QGuiApplication::clipboard()->setText(QStringLiteral("12345"));
  Click(Ui().Button7);
  // Ctrl held down before the field had the focus: only V reaches the field.
  QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
  QApplication::sendEvent(Ui().EditNVh, &press);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError, kInputError}));
  EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("00"));
  EXPECT_TRUE(Ui().StringGrid1->hasFocus());
}

TEST_F(TFormMainTest, DroppedTextKeepsTwoCharacters) {
  Focus(Ui().Edit1);
  QTest::keyClick(Ui().Edit1, Qt::Key_5);
  QMimeData dropped;
  dropped.setText(QStringLiteral("9876"));
  // Dropped in front of the 5.
  const QPoint at(1, Ui().Edit1->height() / 2);
  QDragEnterEvent enter(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Ui().Edit1, &enter);
  QDropEvent drop(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Ui().Edit1, &drop);
  EXPECT_EQ(Ui().Edit1->text(), QStringLiteral("95"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, PastedSignFailsTheConversion) {
  UseTestArchive();
  QGuiApplication::clipboard()->setText(QStringLiteral("+7"));
  Click(Ui().Button7);
  PasteThroughContextMenu(Ui().EditNVh);
  ASSERT_EQ(Ui().EditNVh->text(), QStringLiteral("+7"));
  QTest::keyClick(Ui().EditNVh, Qt::Key_Tab);
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kFailure);
  EXPECT_EQ(prompts_.boxes[0].text, QStringLiteral("'+7' is not a valid integer value."));
  EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("+7"));
  EXPECT_EQ(state_.InputFilterPending, 0);
  EXPECT_EQ(Label1(), QStringLiteral("Документирование"));
}

}  // namespace
}  // namespace torv
