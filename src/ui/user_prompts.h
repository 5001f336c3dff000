// The window's one seam to modal boxes, file dialogs, the print dialog, the
// beep and the desktop: the program uses QtUserPrompts, tests a scripted fake
// that returns planned answers and records what was asked.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

namespace torv {

struct FileDialogRequest {
  QString title;           // empty: the platform's own title
  QStringList filters;     // e.g. "Файлы типа .dat (*.dat)", "Все файлы (*.*)"
  QString selectedFilter;  // the filter chosen last time (the first one at first)
  QString startName;       // the name last confirmed, or empty
  QString defaultSuffix;   // appended by the dialog to a name without one, without the dot
};

struct FileDialogAnswer {
  QString fileName;        // whole path as returned by the dialog
  QString selectedFilter;  // the filter the operator left selected
};

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;

  // Plain information box: no icon, one OK button, the application's title.
  virtual void ShowInformation(const QString& title, const QString& text) = 0;
  // Task-modal warning box without owner: exclamation icon, one OK button.
  virtual void ShowWarning(const QString& title, const QString& text) = 0;
  // A failure that escaped a handler: stop icon, one OK button.
  virtual void ShowFailure(const QString& title, const QString& text) = 0;
  // The system's default beep.
  virtual void Beep() = 0;

  // File dialogs; nothing when the operator cancels.
  virtual std::optional<FileDialogAnswer> AskOpenFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<FileDialogAnswer> AskSaveFileName(const FileDialogRequest& request) = 0;

  // Whether the system names a default printer.
  virtual bool HasDefaultPrinter() = 0;
  // The print dialog over `printer`; true when the operator confirmed it.
  virtual bool ConfirmPrint(QPrinter& printer) = 0;
  // The desktop's "open" of a document in its associated application; false
  // when nothing on the desktop could be asked to open it.
  virtual bool OpenDocument(const QString& absolutePath) = 0;
};

}  // namespace torv
