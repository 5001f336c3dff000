// The command line of the window program torvdoc: an optional archive file,
// --help and --version.
#pragma once

#include <QString>
#include <QStringList>

namespace torv {

struct WindowArguments {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  QString archiveName;  // FILE as given, empty when there is none
  QString error;        // what is wrong with the command line, for kUsageError
};

// `arguments` starts with the program's name. --help and --version win over
// anything else on the line, so that they work even among options meant for
// Qt, which the application removes only once it exists.
WindowArguments ParseWindowArguments(const QStringList& arguments);

// The text of --help and the line of --version, each ending in a newline.
QString WindowUsage();
QString WindowVersion();

}  // namespace torv
