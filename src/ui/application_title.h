// The application's title, used by every plain message box.
#pragma once

#include <QString>

namespace torv {

// The program file's name without folder and extension, every letter after
// the first in lower case: "/opt/bin/TorvDoc.exe" gives "Torvdoc".
QString ApplicationTitleFromPath(const QString& programPath);

// The title of the running program.
QString ApplicationTitle();

}  // namespace torv
