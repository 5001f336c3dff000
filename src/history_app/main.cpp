// torvdoc-history: the window over the history store.
#include <QApplication>
#include <QIcon>

// Std
#include <cstdio>
#include <string>
#include <vector>

#include "history/store_location.h"
#include "history_app/history_app_options.h"
#include "history_ui/history_window.h"
#include "history_ui/qt_history_prompts.h"
#include "ui/russian_language.h"

int main(int argc, char* argv[]) {
  const torv::HistoryAppOptions options =
      torv::ParseHistoryAppOptions(std::vector<std::string>(argv + 1, argv + argc));
  switch (options.action) {
    case torv::HistoryAppOptions::Action::kHelp:
      std::fputs(torv::HistoryAppUsage().c_str(), stdout);
      return 0;
    case torv::HistoryAppOptions::Action::kVersion:
      std::printf("%s %s\n", torv::kHistoryProgramName, TORVDOC_VERSION);
      return 0;
    case torv::HistoryAppOptions::Action::kUsageError:
      std::fprintf(stderr, "%s: %s\n%s", torv::kHistoryProgramName, options.error.c_str(),
                   torv::HistoryAppUsage().c_str());
      return 2;
    case torv::HistoryAppOptions::Action::kRun:
      break;
  }
  // Qt reads only its own options; ours are checked above.
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  QApplication::setApplicationName(QString::fromUtf8(torv::kHistoryProgramName));
  QApplication::setOrganizationName(QStringLiteral("torvdoc"));
  application.setWindowIcon(QIcon(QStringLiteral(":/torvdoc-history.svg")));
  // Qt's own dialogs (files, printing, Yes/No) in Russian, like the window.
  if (!torv::UseRussianLanguage(application)) {
    std::fprintf(stderr, "%s: %s is missing; Qt's own texts stay in English\n",
                 torv::kHistoryProgramName,
                 torv::QtRussianTranslationPath().toLocal8Bit().constData());
  }

  torv::QtHistoryPrompts prompts;
  torv::HistoryWindow window(prompts);
  prompts.SetOwner(&window);
  window.show();
  window.OpenStoreFrom(options.db, torv::history::ProcessStoreEnvironment());
  return application.exec();
}
