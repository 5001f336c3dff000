#include "ui/application_title.h"

// Qt
#include <QCoreApplication>
#include <QFileInfo>

namespace torv {

QString ApplicationTitleFromPath(const QString& programPath) {
  const QString name = QFileInfo(programPath).completeBaseName();
  if (name.isEmpty()) return name;
  return name.left(1) + name.mid(1).toLower();
}

QString ApplicationTitle() {
  return ApplicationTitleFromPath(QCoreApplication::applicationFilePath());
}

}  // namespace torv
