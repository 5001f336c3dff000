// torvdoc: the window that documents a ТОРВ-4 event archive.
#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <QTimer>

// Std
#include <cstdio>
#include <memory>

#include "app/window_arguments.h"
#include "archive/view_state.h"
#include "ui/application_title.h"
#include "ui/failure_text.h"
#include "ui/qt_user_prompts.h"
#include "ui/russian_language.h"
#include "ui/tform_main.h"

namespace {

QStringList RawArguments(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

void Print(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
}

}  // namespace

int main(int argc, char* argv[]) {
  // --help and --version answer before the application exists, so that they
  // need no display.
  switch (torv::ParseWindowArguments(RawArguments(argc, argv)).action) {
    case torv::WindowArguments::Action::kHelp:
      Print(stdout, torv::WindowUsage());
      return 0;
    case torv::WindowArguments::Action::kVersion:
      Print(stdout, torv::WindowVersion());
      return 0;
    default:
      break;
  }

  QApplication application(argc, argv);
  // The application has taken out Qt's own options (-platform, -style ...).
  const torv::WindowArguments arguments = torv::ParseWindowArguments(application.arguments());
  if (arguments.action == torv::WindowArguments::Action::kUsageError) {
    Print(stderr, QStringLiteral("torvdoc: %1\nTry 'torvdoc --help'.\n").arg(arguments.error));
    return 2;
  }
  if (!torv::UseRussianLanguage(application)) {
    Print(stderr, QStringLiteral("torvdoc: %1 is missing; Qt's own texts stay in English\n")
                      .arg(torv::QtRussianTranslationPath()));
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
  if (!arguments.archiveName.isEmpty()) {
    // Once the window is on screen, so that a refused name's warning box
    // appears over it.
    QTimer::singleShot(0, window.get(), [&window, &arguments] {
      window->RunHandler([&] { window->ChooseArchiveFromCommandLine(arguments.archiveName); });
    });
  }
  // Every handler catches its own failures, so nothing leaves the loop.
  return application.exec();
}
