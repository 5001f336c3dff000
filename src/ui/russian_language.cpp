#include "ui/russian_language.h"

// Qt
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace torv {

QString QtRussianTranslationPath() {
  return QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
      .filePath(QStringLiteral("qtbase_ru.qm"));
}

bool UseRussianLanguage(QCoreApplication& application) {
  // Widgets take the default locale when they are made: set it first.
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  auto* translator = new QTranslator(&application);
  if (!translator->load(QtRussianTranslationPath())) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}

}  // namespace torv
