// Input as the window system delivers it, for tests that run the real boxes
// and pop-ups with their own event loops.
//
// QTest's widget functions hand a press and its release to the widget one
// after the other, so a box opened by the press can never see the release.
// On a real display the release is a separate event that whichever event loop
// runs next picks up: the one of a box opened by the press, if there is one.
// OperatorClick and OperatorKey deliver their events through the window, the
// way the platform does, and BoxAnswerer closes real boxes from a timer.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>
#include <vector>

namespace torv::testing {

// The window-system window that shows `widget`, and the point `at` of the
// widget in that window's coordinates.
inline QWindow* HandleOf(QWidget* widget) {
  return widget->window()->windowHandle();
}
inline QPoint InWindow(QWidget* widget, QPoint at) {
  return widget->mapTo(widget->window(), at);
}

// Presses the left button over `at` in `widget` (its centre by default) and
// lets the release follow as the next window-system event: the press is
// handled at once, the release by the next pass of whichever event loop runs.
// Returns when the release has been delivered (or eaten by a box).
inline void OperatorClick(QWidget* widget, QPoint at = {-1, -1}) {
  if (at == QPoint(-1, -1)) at = widget->rect().center();
  const QPointer<QWindow> handle = HandleOf(widget);
  ASSERT_NE(handle, nullptr);
  const QPoint inWindow = InWindow(widget, at);
  // Shared with the timer, which may outlive a failed wait.
  const auto released = std::make_shared<bool>(false);
  QTimer::singleShot(0, [handle, inWindow, released] {
    if (handle) QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, inWindow);
    *released = true;
  });
  QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, inWindow);
  ASSERT_TRUE(QTest::qWaitFor([&] { return *released; }));
}

// Presses and releases `key` in the window that has the keyboard: a pop-up
// when one is open, otherwise the active window.
inline void OperatorKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* target = QApplication::activePopupWidget();
  if (target == nullptr) target = QApplication::activeWindow();
  ASSERT_NE(target, nullptr);
  QTest::keyClick(target->windowHandle(), key, modifiers);
}

struct SeenBox {
  QMessageBox::Icon icon;
  QString title;
  QString text;
  bool operator==(const SeenBox&) const = default;
};

// Answers the real boxes as an operator would: a timer finds the active modal
// box, notes what it shows and presses its OK button; a file dialog is
// cancelled. `whileOpen` runs once for each box, while it is open.
class BoxAnswerer : public QObject {
 public:
  BoxAnswerer() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] { Answer(); });
    timer_.start();
  }

  std::vector<SeenBox> boxes;
  std::function<void()> whileOpen;

  std::vector<QString> Texts() const {
    std::vector<QString> texts;
    for (const SeenBox& box : boxes) texts.push_back(box.text);
    return texts;
  }

 private:
  void Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      boxes.push_back({box->icon(), box->windowTitle(), box->text()});
      if (whileOpen) whileOpen();
      box->button(QMessageBox::Ok)->click();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      dialog->reject();
    }
  }

  QTimer timer_;
};

}  // namespace torv::testing
