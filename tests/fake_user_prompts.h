// A scripted UserPrompts for widget tests: answers the file dialogs from a
// list and records every box with its kind, title and text.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/user_prompts.h"

namespace torv::testing {

enum class BoxKind { kInformation, kWarning, kFailure };

struct BoxRecord {
  BoxKind kind;
  QString title;
  QString text;
};

class FakeUserPrompts : public UserPrompts {
 public:
  std::vector<BoxRecord> boxes;
  int beeps = 0;
  // Runs while a box is "open", before it is recorded as closed.
  std::function<void(const BoxRecord&)> whileBoxOpen;

  // Answers of the open dialog, in order; nothing left means a cancel.
  std::deque<std::optional<FileDialogAnswer>> openAnswers;
  std::vector<FileDialogRequest> openRequests;
  std::deque<std::optional<FileDialogAnswer>> saveAnswers;
  std::vector<FileDialogRequest> saveRequests;
  bool defaultPrinter = true;
  bool confirmPrint = false;
  int printDialogs = 0;
  // Whether the desktop could be asked to open a document.
  bool desktopOpens = true;
  std::vector<QString> openedDocuments;

  std::vector<QString> BoxTexts() const {
    std::vector<QString> texts;
    for (const BoxRecord& box : boxes) texts.push_back(box.text);
    return texts;
  }

  void ShowInformation(const QString& title, const QString& text) override {
    Record({BoxKind::kInformation, title, text});
  }
  void ShowWarning(const QString& title, const QString& text) override {
    Record({BoxKind::kWarning, title, text});
  }
  void ShowFailure(const QString& title, const QString& text) override {
    Record({BoxKind::kFailure, title, text});
  }
  void Beep() override { ++beeps; }

  std::optional<FileDialogAnswer> AskOpenFileName(const FileDialogRequest& request) override {
    openRequests.push_back(request);
    return Next(openAnswers);
  }
  std::optional<FileDialogAnswer> AskSaveFileName(const FileDialogRequest& request) override {
    saveRequests.push_back(request);
    return Next(saveAnswers);
  }
  bool HasDefaultPrinter() override { return defaultPrinter; }
  bool ConfirmPrint(QPrinter&) override {
    ++printDialogs;
    return confirmPrint;
  }
  bool OpenDocument(const QString& absolutePath) override {
    openedDocuments.push_back(absolutePath);
    return desktopOpens;
  }

 private:
  void Record(const BoxRecord& box) {
    boxes.push_back(box);
    if (whileBoxOpen) whileBoxOpen(box);
  }
  static std::optional<FileDialogAnswer> Next(
      std::deque<std::optional<FileDialogAnswer>>& answers) {
    std::optional<FileDialogAnswer> answer;
    if (!answers.empty()) {
      answer.swap(answers.front());
      answers.pop_front();
    }
    return answer;
  }
};

}  // namespace torv::testing
