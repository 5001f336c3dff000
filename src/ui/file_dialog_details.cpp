#include "ui/file_dialog_details.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QTreeView>

namespace torv {
namespace {

// The columns of the dialog's detail view, as its file system model has them.
enum Column { kName, kSize, kType, kModified };

class RussianFileDetails final : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr || role != Qt::DisplayRole ||
        (index.column() != kType && index.column() != kModified)) {
      return QIdentityProxyModel::data(index, role);
    }
    const QModelIndex source = mapToSource(index);
    if (index.column() == kModified) {
      return files->lastModified(source).toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    }
    const QFileInfo info = files->fileInfo(source);
    if (info.isDir()) return QStringLiteral("Папка");
    return info.suffix().isEmpty() ? QStringLiteral("Файл")
                                   : QStringLiteral("Файл %1").arg(info.suffix().toUpper());
  }
};

}  // namespace

void ShowFileDetailsInRussian(QFileDialog& dialog) {
  dialog.setProxyModel(new RussianFileDetails(&dialog));
  // Sized for Qt's own texts, the columns cut the date's year in two.
  if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    const QFontMetrics metrics(view->font());
    // The name takes what the others leave.
    view->header()->setSectionResizeMode(kName, QHeaderView::Stretch);
    view->header()->resizeSection(kType,
                                  metrics.horizontalAdvance(QStringLiteral("Файл DAT")) + 24);
    view->header()->resizeSection(
        kModified, metrics.horizontalAdvance(QStringLiteral("00.00.0000 00:00")) + 24);
  }
}

}  // namespace torv
