// The real boxes and dialogs behind HistoryPrompts.
#pragma once

#include "history_ui/history_prompts.h"
#include "ui/qt_user_prompts.h"

class QWidget;

namespace torv {

class QtHistoryPrompts : public HistoryPrompts {
 public:
  // Dialogs open over `owner` (the history window) once it is set.
  void SetOwner(QWidget* owner) { owner_ = owner; }

 public:  // HistoryPrompts API
  void ShowInformation(const QString& title, const QString& text) override;
  void ShowWarning(const QString& title, const QString& text) override;
  bool Confirm(const QString& title, const QString& text) override;
  std::optional<QString> AskText(const QString& title, const QString& label,
                                 const QString& initial) override;
  std::optional<ImportRequest> AskImport(const ImportChoices& choices) override;
  std::unique_ptr<ImportProgress> StartImportProgress(int files) override;
  void ShowImportResults(const QStringList& lines, bool anyFailed) override;
  std::optional<std::vector<std::int64_t>> AskCopiesToWithdraw(
      const CopiesChoices& choices) override;
  std::optional<QString> AskStore(const QString& current) override;
  std::optional<std::vector<history::NameEntry>> AskNames(const NameChoices& choices) override;
  std::optional<FileDialogAnswer> AskExportFile(const FileDialogRequest& request) override;
  bool ConfirmPrint(QPrinter& printer) override;
  void ShowPrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;

 private:
  QWidget* owner_ = nullptr;
  // The main window's boxes and file dialogs, shared.
  QtUserPrompts common_;
};

}  // namespace torv
