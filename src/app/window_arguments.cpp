#include "app/window_arguments.h"

// Qt
#include <QCommandLineOption>
#include <QCommandLineParser>

namespace torv {

WindowArguments ParseWindowArguments(const QStringList& arguments) {
  QCommandLineParser parser;
  // "-platform" is one unknown option, not the letters p, l, a ...
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringLiteral("version"));
  parser.addOption(help);
  parser.addOption(version);
  const bool parsed = parser.parse(arguments);

  WindowArguments result;
  if (parser.isSet(help)) {
    result.action = WindowArguments::Action::kHelp;
  } else if (parser.isSet(version)) {
    result.action = WindowArguments::Action::kVersion;
  } else if (!parsed) {
    result.action = WindowArguments::Action::kUsageError;
    result.error = parser.errorText();
  } else if (const QStringList files = parser.positionalArguments(); files.size() > 1) {
    result.action = WindowArguments::Action::kUsageError;
    result.error = QStringLiteral("one archive FILE at most, not %1").arg(files.size());
  } else if (files.size() == 1) {
    result.archiveName = files.front();
  }
  return result;
}

QString WindowUsage() {
  return QStringLiteral(
      "Usage: torvdoc [FILE]\n"
      "Opens the window that documents the event archive of a ТОРВ-4 alarm device.\n"
      "  FILE        the archive file to use, as if chosen with F3 (\"Задать имя\n"
      "              файла архива\"): a name without an extension gets \".dat\", any\n"
      "              extension other than \".dat\" is refused; nothing is shown until\n"
      "              a view command asks for it\n"
      "  --help      this text\n"
      "  --version   the program's version\n"
      "Exit status: 0 the window was closed, 1 it could not start, 2 wrong usage.\n"
      "torvdoc-cli shows and reports archives without a window.\n");
}

QString WindowVersion() {
  return QStringLiteral("torvdoc " TORVDOC_VERSION "\n");
}

}  // namespace torv
