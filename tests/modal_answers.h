// Answers real modal boxes and dialogs from inside their own event loops, as
// a person would: each step waits for a modal window to be active, looks at
// it and acts on it (presses a button, types a name, accepts). A step may open
// another modal window (a dialog's own warning); the next step answers that
// one from the nested event loop.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

namespace torv::testing {

class ModalAnswers : public QObject {
 public:
  // A step gets the active modal window; false when it is not the one the
  // step waits for, and the step is tried again a moment later.
  using Step = std::function<bool(QWidget* modal)>;

  explicit ModalAnswers(std::deque<Step> steps) : steps_(std::move(steps)) {
    sinceLastStep_.start();
    Poll();
  }

  // True when every step has run.
  bool Done() const { return steps_.empty(); }

  // A step that notes the text of a message box, then presses its only button.
  static Step CloseBox(std::vector<QString>& texts) {
    return [&texts](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (!box || !box->isVisible()) return false;
      texts.push_back(box->text());
      box->accept();
      return true;
    };
  }

 private:
  void Poll() {
    // A new single-shot timer each time: Qt never fires a timer again while
    // its own handler runs, and a step's handler may run a nested loop.
    QTimer::singleShot(20, this, [this] {
      if (steps_.empty()) return;
      Poll();
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      if (sinceLastStep_.hasExpired(kPatienceMs)) {
        // A window no step answers would block the test for ever.
        ADD_FAILURE() << "no step answers the modal " << modal->metaObject()->className() << " \""
                      << modal->windowTitle().toStdString() << "\"";
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        sinceLastStep_.restart();
        return;
      }
      // Taken off before it runs: a step that opens another modal window
      // blocks in its loop while the next step answers that window.
      Step step = std::move(steps_.front());
      steps_.pop_front();
      if (step(modal)) {
        sinceLastStep_.restart();
      } else {
        steps_.push_front(std::move(step));
      }
    });
  }

  static constexpr int kPatienceMs = 10000;
  std::deque<Step> steps_;
  QElapsedTimer sinceLastStep_;
};

}  // namespace torv::testing
