// The real boxes and dialogs behind UserPrompts.
#pragma once

// Std
#include <memory>

#include "ui/user_prompts.h"

class QMessageBox;
class QPrintDialog;

namespace torv {

// The boxes as they are shown, built apart from showing them so that their
// icon, buttons and modality can be checked without opening them.
std::unique_ptr<QMessageBox> MakeInformationBox(const QString& title, const QString& text);
std::unique_ptr<QMessageBox> MakeWarningBox(const QString& title, const QString& text);
std::unique_ptr<QMessageBox> MakeFailureBox(const QString& title, const QString& text);

// What the save dialog says when the chosen name lies in a folder that does
// not exist; it then stays open.
QString MissingFolderText(const QString& folder);

// The print dialog as it is shown: print to file, a page range, the paper
// size, orientation and printer properties, and collating; no "selection"
// choice, since the window decides that itself.
std::unique_ptr<QPrintDialog> MakePrintDialog(QPrinter& printer);

class QtUserPrompts : public UserPrompts {
 public:  // UserPrompts API
  void ShowInformation(const QString& title, const QString& text) override;
  void ShowWarning(const QString& title, const QString& text) override;
  void ShowFailure(const QString& title, const QString& text) override;
  void Beep() override;
  std::optional<FileDialogAnswer> AskOpenFileName(const FileDialogRequest& request) override;
  std::optional<FileDialogAnswer> AskSaveFileName(const FileDialogRequest& request) override;
  bool HasDefaultPrinter() override;
  bool ConfirmPrint(QPrinter& printer) override;
  bool OpenDocument(const QString& absolutePath) override;
};

}  // namespace torv
