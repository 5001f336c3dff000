// The window speaks Russian, and so do Qt's own parts of it: the file and
// print dialogs, the Yes and No of a question, the calendar's month and day
// names. Whatever the system's language is.
#pragma once

#include <QString>

class QCoreApplication;

namespace torv {

// Where Qt's Russian translation is expected (from Debian's
// qt6-translations-l10n).
QString QtRussianTranslationPath();

// Makes Russian the default locale and installs Qt's Russian translation in
// `application`. Returns false when the translation is not installed; Qt's
// own texts then stay in English, and the locale is Russian all the same.
bool UseRussianLanguage(QCoreApplication& application);

}  // namespace torv
