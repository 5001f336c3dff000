// The history window's one seam to its boxes and dialogs: the program uses
// QtHistoryPrompts, tests a scripted fake that returns planned answers and
// records what was asked.
#pragma once

// Qt
#include <QString>
#include <QStringList>

// Std
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "history/history_model.h"
#include "history/store_location.h"
#include "ui/user_prompts.h"

class QPrinter;

namespace torv {

// What the import dialog starts with.
struct ImportChoices {
  QStringList devices;  // the devices the store holds, by name
  QString device;       // the one chosen in the window, or empty
  QString folder;       // where the file dialog opens
};

// The copies to import and the device (an existing one or a new name);
// `forceDevice` stores a copy that does not match the device's history
// anyway, as the operator vouches for it (history import --force-device).
struct ImportRequest {
  QStringList files;
  QString device;
  bool forceDevice = false;
};

// The progress of an import of several files.
class ImportProgress {
 public:
  virtual ~ImportProgress() = default;
  // Shows that `done` files of the total are imported and `next` comes now;
  // false once the operator has cancelled.
  virtual bool Advance(int done, const QString& next) = 0;
  virtual void Finish() = 0;
};

// What the names editor starts with.
struct NameChoices {
  QStringList devices;
  QString device;                         // the device chosen in the window, or empty
  std::vector<history::NameEntry> names;  // every name stored
  // Per device, the relays its history has events of.
  std::map<std::string, std::vector<int>> relays;
  QString folder;  // where its file dialogs open
  // The store, which a names file is never written over; none when unknown.
  std::optional<history::StoreLocation> store;
};

// What the copies dialog lists: every copy kept of one device, the
// withdrawn ones among them.
struct CopiesChoices {
  QString device;
  std::vector<history::KeptCopy> copies;
};

class HistoryPrompts {
 public:
  virtual ~HistoryPrompts() = default;

  // Boxes: an information box and a warning box, with one OK button.
  virtual void ShowInformation(const QString& title, const QString& text) = 0;
  virtual void ShowWarning(const QString& title, const QString& text) = 0;
  // A question with Yes and No, No the default: a change that is hard to
  // take back is made only on a deliberate Yes.
  virtual bool Confirm(const QString& title, const QString& text) = 0;
  // One line of text (a reason, a name), starting as `initial`; nothing
  // when cancelled.
  virtual std::optional<QString> AskText(const QString& title, const QString& label,
                                         const QString& initial) = 0;

  // The import dialog: files (several at once) and the device.
  virtual std::optional<ImportRequest> AskImport(const ImportChoices& choices) = 0;
  // A progress bar with a cancel button for `files` files.
  virtual std::unique_ptr<ImportProgress> StartImportProgress(int files) = 0;
  // One line per file (and per warning), in Russian, then the totals.
  virtual void ShowImportResults(const QStringList& lines, bool anyFailed) = 0;

  // The copies dialog; the ids of the copies chosen to withdraw, or nothing
  // when closed without.
  virtual std::optional<std::vector<std::int64_t>> AskCopiesToWithdraw(
      const CopiesChoices& choices) = 0;

  // Another store: a path or a postgresql:// URI; nothing when cancelled.
  virtual std::optional<QString> AskStore(const QString& current) = 0;
  // The names to store, of any device, all together (an empty name is a
  // name too: it clears the shown one); nothing when cancelled.
  virtual std::optional<std::vector<history::NameEntry>> AskNames(const NameChoices& choices) = 0;

  // The save dialog of the exports.
  virtual std::optional<FileDialogAnswer> AskExportFile(const FileDialogRequest& request) = 0;
  // The print dialog over `printer`; true when confirmed.
  virtual bool ConfirmPrint(QPrinter& printer) = 0;
  // The print preview; `paint` draws the report on the preview's printer.
  virtual void ShowPrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) = 0;
};

}  // namespace torv
