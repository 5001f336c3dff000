// The offscreen main window: the input view that fills 1025 table rows, the
// whole-archive report from the command to a filled pane, and start-up to an
// exposed window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "archive/sample_archive.h"
#include "ui/tform_main.h"
#include "ui/user_prompts.h"

namespace torv {
namespace {

// Answers nothing; a benchmark that shows a box has gone wrong.
class SilentPrompts : public UserPrompts {
 public:
  void ShowInformation(const QString&, const QString&) override { std::abort(); }
  void ShowWarning(const QString&, const QString&) override { std::abort(); }
  void ShowFailure(const QString&, const QString&) override { std::abort(); }
  void Beep() override {}
  std::optional<FileDialogAnswer> AskOpenFileName(const FileDialogRequest&) override { return {}; }
  std::optional<FileDialogAnswer> AskSaveFileName(const FileDialogRequest&) override { return {}; }
  bool HasDefaultPrinter() override { return true; }
  bool ConfirmPrint(QPrinter&) override { return false; }
  bool OpenDocument(const QString&) override { return false; }
};

// An archive file in a temporary folder: every record an event of input 7
// for the input view, or a generated archive.
std::string WriteArchive(const QTemporaryDir& dir, const std::vector<std::uint8_t>& bytes) {
  const std::string path = dir.filePath(QStringLiteral("archive.dat")).toStdString();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path;
}

struct ShownWindow {
  ViewState state;
  SilentPrompts prompts;
  TForm_main window{state, prompts};
  ShownWindow() {
    window.FormCreate();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) std::abort();
  }
};

void BM_InputViewOf1024Matches(benchmark::State& bench) {
  QTemporaryDir dir;
  ArchiveBuilder builder;
  builder.FillAll(MakeRecord(2, 6, 12, 30, 45, 8, 3)).SetWriteOffset(0);
  ShownWindow shown;
  shown.state.ArchiveFileName = WriteArchive(dir, builder.Bytes());
  for (auto _ : bench) {
    shown.state.InputNumber = 7;
    shown.state.InputFilterPending = 1;
    shown.window.Button1Click();
    QCoreApplication::processEvents();  // lets the table lay out its rows
  }
  if (shown.window.TableRowCount() != 1025) std::abort();
}
BENCHMARK(BM_InputViewOf1024Matches)->Unit(benchmark::kMillisecond);

void BM_WholeArchiveReport(benchmark::State& bench) {
  QTemporaryDir dir;
  ShownWindow shown;
  shown.state.ArchiveFileName = WriteArchive(dir, GenerateArchive({.seed = 4, .fill = 1700}));
  for (auto _ : bench) {
    shown.window.But3Click();
    QCoreApplication::processEvents();
  }
  if (shown.window.Ui().RichEdit1->document()->blockCount() != 4 + 1024) std::abort();
}
BENCHMARK(BM_WholeArchiveReport)->Unit(benchmark::kMillisecond);

void BM_WindowStart(benchmark::State& bench) {
  for (auto _ : bench) {
    ShownWindow shown;
    benchmark::DoNotOptimize(&shown);
  }
}
BENCHMARK(BM_WindowStart)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace torv

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
