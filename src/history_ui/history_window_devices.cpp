// The commands on the device chosen in the list: its copies and the
// withdrawal of some of them, renaming it, removing it. Each asks before it
// changes the store, since none of them is taken back by another command
// (a withdrawn copy comes back only by importing its file again).
#include <QAction>

#include <algorithm>

#include "history/operator_text.h"
#include "history_report/history_summaries.h"
#include "history_ui/history_window.h"
#include "history_ui/qt_text.h"

namespace torv {
namespace {

const QString kCopiesTitle = QStringLiteral("Копии устройства");
const QString kWithdrawTitle = QStringLiteral("Снятие копий");
const QString kRenameTitle = QStringLiteral("Переименование устройства");
const QString kRemoveTitle = QStringLiteral("Удаление устройства");
const QString kReasonLabel = QStringLiteral("Причина (её сохранит журнал хранилища):");

// "№ 2 — copy2.dat", one line per copy, in the order of `ids`.
QString NamedCopies(const CopiesChoices& choices, const std::vector<std::int64_t>& ids) {
  QStringList lines;
  for (const std::int64_t id : ids) {
    const auto copy = std::find_if(choices.copies.begin(), choices.copies.end(),
                                   [id](const history::KeptCopy& c) { return c.id == id; });
    lines.push_back(QStringLiteral("№ %1 — %2")
                        .arg(id)
                        .arg(copy != choices.copies.end() ? Utf8(copy->file) : QString()));
  }
  return lines.join(u'\n');
}

}  // namespace

void HistoryWindow::UpdateDeviceActions() {
  const bool one = ChosenDevice().has_value();
  for (QAction* action : {ui_.Copies, ui_.RenameDevice, ui_.RemoveDevice}) action->setEnabled(one);
}

void HistoryWindow::ShowChangedStore(const std::optional<QString>& chosen) {
  ShowStoreState({});
  RefreshDevices();
  settingFilters_ = true;
  ChooseDevice(chosen && DeviceNames().contains(*chosen) ? chosen : std::nullopt);
  settingFilters_ = false;
  ShowListing();
}

void HistoryWindow::ShowCopies() {
  const std::optional<QString> device = ChosenDevice();
  history::HistoryStore* reader = session_.Reader();
  // A device is listed only from a store that reads.
  if (!device || reader == nullptr) return;
  Result<std::vector<history::KeptCopy>> copies = reader->Copies(device->toStdString());
  if (!copies) {
    prompts_.ShowWarning(
        kCopiesTitle,
        QStringLiteral("Копии устройства не читаются: %1").arg(Utf8(copies.failure().reason)));
    return;
  }
  const CopiesChoices choices{*device, std::move(*copies)};
  const std::optional<std::vector<std::int64_t>> ids = prompts_.AskCopiesToWithdraw(choices);
  if (!ids || ids->empty()) return;
  WithdrawCopies(choices, *ids);
}

void HistoryWindow::WithdrawCopies(const CopiesChoices& choices,
                                   const std::vector<std::int64_t>& ids) {
  const std::optional<QString> reason = prompts_.AskText(kWithdrawTitle, kReasonLabel, {});
  if (!reason) return;
  if (!prompts_.Confirm(kWithdrawTitle,
                        QStringLiteral("Снять копии устройства «%1»?\n%2\n\nИстория устройства "
                                       "будет собрана заново из остальных его копий.")
                            .arg(choices.device, NamedCopies(choices, ids)))) {
    return;
  }
  history::HistoryStore* store = WritableStore();
  if (store == nullptr) return;
  Result<std::vector<history::RebuiltDevice>> rebuilt =
      store->Withdraw(ids, reason->trimmed().toStdString());
  if (!rebuilt) {
    prompts_.ShowWarning(kWithdrawTitle,
                         QStringLiteral("Копии не сняты: %1").arg(Utf8(rebuilt.failure().reason)));
    return;
  }
  ShowChangedStore(choices.device);
  QStringList lines;
  for (const history::RebuiltDevice& device : *rebuilt) lines.push_back(Utf8(RebuiltLine(device)));
  prompts_.ShowInformation(kWithdrawTitle, lines.join(u'\n'));
}

void HistoryWindow::RenameChosenDevice() {
  const std::optional<QString> device = ChosenDevice();
  if (!device) return;
  const std::optional<QString> typed = prompts_.AskText(
      kRenameTitle, QStringLiteral("Новое имя устройства «%1»:").arg(*device), *device);
  if (!typed) return;
  const QString name = typed->trimmed();
  if (name.isEmpty() || name == *device) return;
  // As for an import: a name that differs from another device's only in
  // case or spaces is that device mistyped, not a name of its own.
  std::vector<std::string> others;
  for (const QString& other : DeviceNames()) {
    if (other != *device) others.push_back(other.toStdString());
  }
  if (const std::optional<std::string> similar =
          history::SimilarStoredDevice(others, name.toStdString())) {
    prompts_.ShowWarning(kRenameTitle,
                         QStringLiteral("Устройство не переименовано: «%1» — почти имя "
                                        "устройства «%2».")
                             .arg(name, Utf8(*similar)));
    return;
  }
  if (!prompts_.Confirm(
          kRenameTitle,
          QStringLiteral("Переименовать устройство «%1» в «%2»?").arg(*device, name))) {
    return;
  }
  history::HistoryStore* store = WritableStore();
  if (store == nullptr) return;
  if (Status s = store->RenameDevice(device->toStdString(), name.toStdString(), {}); !s) {
    prompts_.ShowWarning(
        kRenameTitle,
        QStringLiteral("Устройство не переименовано: %1").arg(Utf8(s.failure().reason)));
    return;
  }
  ShowChangedStore(name);
}

void HistoryWindow::RemoveChosenDevice() {
  const std::optional<QString> device = ChosenDevice();
  history::HistoryStore* reader = session_.Reader();
  if (!device || reader == nullptr) return;
  history::EventQuery query;
  query.devices = {device->toStdString()};
  // Every copy, the withdrawn ones too: the removal takes them all.
  Result<std::int64_t> events = reader->Count(query);
  Result<std::vector<history::KeptCopy>> copies = reader->Copies(query.devices.front());
  if (!events || !copies) {
    prompts_.ShowWarning(
        kRemoveTitle, QStringLiteral("Устройство не читается: %1")
                          .arg(Utf8(!events ? events.failure().reason : copies.failure().reason)));
    return;
  }
  const std::optional<QString> reason = prompts_.AskText(kRemoveTitle, kReasonLabel, {});
  if (!reason) return;
  if (!prompts_.Confirm(kRemoveTitle,
                        QStringLiteral("Удалить устройство «%1»?\nБудут удалены событий: %2, "
                                       "копий: %3, и названия его входов и реле.\n\n"
                                       "Удаление нельзя отменить.")
                            .arg(*device)
                            .arg(*events)
                            .arg(copies->size()))) {
    return;
  }
  history::HistoryStore* store = WritableStore();
  if (store == nullptr) return;
  if (Status s = store->RemoveDevice(query.devices.front(), reason->trimmed().toStdString()); !s) {
    prompts_.ShowWarning(kRemoveTitle,
                         QStringLiteral("Устройство не удалено: %1").arg(Utf8(s.failure().reason)));
    return;
  }
  ShowChangedStore(std::nullopt);
}

}  // namespace torv
