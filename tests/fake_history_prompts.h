// A scripted HistoryPrompts for widget tests: planned answers, and a record
// of every box and dialog with what it was shown.
#pragma once

#include <QPrinter>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "history_ui/history_prompts.h"

namespace torv::testing {

struct HistoryBox {
  bool warning = false;
  QString title;
  QString text;
};

class FakeHistoryPrompts : public HistoryPrompts {
 public:
  std::vector<HistoryBox> boxes;
  // The questions asked (warning false); no answer left is No.
  std::vector<HistoryBox> questions;
  std::deque<std::optional<bool>> confirmAnswers;
  std::deque<std::optional<QString>> textAnswers;
  std::vector<CopiesChoices> copiesChoices;
  std::deque<std::optional<std::vector<std::int64_t>>> copiesAnswers;

  std::deque<std::optional<ImportRequest>> importAnswers;
  std::vector<ImportChoices> importChoices;
  // The progress: the files seen by Advance, and the Advance call (by its
  // `done`) that answers "cancelled"; none never cancels.
  QStringList progressFiles;
  std::optional<int> cancelAtDone;
  int progressStarts = 0;
  int progressFinishes = 0;
  // When set, the progress is the one this returns (the real dialog).
  std::function<std::unique_ptr<ImportProgress>(int)> realProgress;
  std::vector<QStringList> importResults;

  std::deque<std::optional<QString>> storeAnswers;
  std::deque<std::optional<std::vector<history::NameEntry>>> nameAnswers;
  std::vector<NameChoices> nameChoices;
  std::deque<std::optional<FileDialogAnswer>> exportAnswers;
  std::vector<FileDialogRequest> exportRequests;
  // Print: whether to confirm, and where the confirmed printer writes a PDF.
  bool confirmPrint = false;
  QString printToFile;
  int printDialogs = 0;
  int previews = 0;
  int previewPaints = 0;

  void ShowInformation(const QString& title, const QString& text) override {
    boxes.push_back({false, title, text});
  }
  void ShowWarning(const QString& title, const QString& text) override {
    boxes.push_back({true, title, text});
  }
  bool Confirm(const QString& title, const QString& text) override {
    questions.push_back({false, title, text});
    return Next(confirmAnswers).value_or(false);
  }
  std::optional<QString> AskText(const QString&, const QString&, const QString&) override {
    return Next(textAnswers);
  }
  std::optional<std::vector<std::int64_t>> AskCopiesToWithdraw(
      const CopiesChoices& choices) override {
    copiesChoices.push_back(choices);
    return Next(copiesAnswers);
  }
  std::optional<ImportRequest> AskImport(const ImportChoices& choices) override {
    importChoices.push_back(choices);
    return Next(importAnswers);
  }
  std::unique_ptr<ImportProgress> StartImportProgress(int files) override {
    ++progressStarts;
    if (realProgress) return realProgress(files);
    return std::make_unique<Progress>(*this);
  }
  void ShowImportResults(const QStringList& lines, bool anyFailed) override {
    importResults.push_back(lines);
    boxes.push_back({anyFailed, QStringLiteral("Импорт копий"), lines.join(u'\n')});
  }
  std::optional<QString> AskStore(const QString&) override { return Next(storeAnswers); }
  std::optional<std::vector<history::NameEntry>> AskNames(const NameChoices& choices) override {
    nameChoices.push_back(choices);
    return Next(nameAnswers);
  }
  std::optional<FileDialogAnswer> AskExportFile(const FileDialogRequest& request) override {
    exportRequests.push_back(request);
    return Next(exportAnswers);
  }
  bool ConfirmPrint(QPrinter& printer) override {
    ++printDialogs;
    if (confirmPrint && !printToFile.isEmpty()) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(printToFile);
    }
    return confirmPrint;
  }
  void ShowPrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override {
    ++previews;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printToFile);
    paint(printer);
    ++previewPaints;
  }

 private:
  class Progress final : public ImportProgress {
   public:
    explicit Progress(FakeHistoryPrompts& owner) : owner_(owner) {}
    bool Advance(int done, const QString& next) override {
      if (owner_.cancelAtDone && done >= *owner_.cancelAtDone) return false;
      owner_.progressFiles.push_back(next);
      return true;
    }
    void Finish() override { ++owner_.progressFinishes; }

   private:
    FakeHistoryPrompts& owner_;
  };

  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<T> answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace torv::testing
