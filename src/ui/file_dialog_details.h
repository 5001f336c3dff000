// Qt's own file dialog shows a file's type and time in the system's
// language and format ("Folder", "9 Dec 2026 09:02" under LANG=C), whatever
// language the program speaks. This shows them as the rest of the program
// does: in Russian, and dates as DD.MM.YYYY HH:MM.
#pragma once

class QFileDialog;

namespace torv {

// For a dialog that does not use the desktop's native one.
void ShowFileDetailsInRussian(QFileDialog& dialog);

}  // namespace torv
