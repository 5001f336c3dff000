// torvdoc: the window that documents a ТОРВ-4 event archive.
#include <QApplication>
#include <QIcon>
#include <QStringList>

// Std
#include <cstdio>
#include <memory>

#include "archive/view_state.h"
#include "ui/application_title.h"
#include "ui/failure_text.h"
#include "ui/qt_user_prompts.h"
#include "ui/russian_language.h"
#include "ui/tform_main.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (!torv::UseRussianLanguage(application)) {
    std::fprintf(stderr, "torvdoc: %s is missing; Qt's own texts stay in English\n",
                 torv::QtRussianTranslationPath().toLocal8Bit().constData());
  }
  // Drawn by Qt's SVG image plugin (libqt6svg6); without it the window simply
  // has no icon.
  application.setWindowIcon(QIcon(QStringLiteral(":/torvdoc.svg")));

  torv::ViewState state;
  // Kept as given; nothing reads it.
  state.CommandLine = QCoreApplication::arguments().join(QLatin1Char(' ')).toStdString();

  torv::QtUserPrompts prompts;
  std::unique_ptr<torv::TForm_main> window;
  try {
    window = std::make_unique<torv::TForm_main>(state, prompts);
    window->FormCreate();
  } catch (const std::exception& failure) {
    // A failure during start-up is shown like any other, and ends the program.
    prompts.ShowFailure(torv::ApplicationTitle(),
                        QString::fromStdString(torv::FailureBoxText(failure.what())));
    return 1;
  }
  window->show();
  // Every handler catches its own failures, so nothing leaves the loop.
  return application.exec();
}
