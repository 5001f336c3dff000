// The chart redrawn as the window redraws it on a resize: 200 bars of six
// stacks and a hole, into a window-sized image. A frame at 60 Hz is 16 ms.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "history_print/chart_drawing.h"

namespace torv {
namespace {

ChartData TwoHundredBars() {
  ChartData chart;
  chart.bin = ChartBin::kDay;
  for (std::int64_t day = 0; day < 200; ++day) {
    ChartBar bar;
    bar.firstDay = bar.lastDay = 20000 + day;
    for (std::size_t s = 0; s < kChartStacks; ++s) {
      bar.counts[s] = (day * 7 + static_cast<std::int64_t>(s) * 13) % 40;
    }
    chart.bars.push_back(bar);
  }
  chart.holes.push_back({20080, 20095});
  return chart;
}

void BM_ChartRedraw(benchmark::State& state) {
  const ChartData chart = TwoHundredBars();
  const int width = static_cast<int>(state.range(0));
  QImage image(width, 160, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawChart(painter, QRectF(0, 0, width, 160), chart);
  }
}
BENCHMARK(BM_ChartRedraw)
    ->Arg(800)
    ->Arg(1600)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

}  // namespace
}  // namespace torv

int main(int argc, char** argv) {
  // Fonts need a GUI application; offscreen needs no display.
  char name[] = "torvdoc_chart_redraw_bench";
  char option[] = "-platform";
  char platform[] = "offscreen";
  char* qtArgv[] = {name, option, platform, nullptr};
  int qtArgc = 3;
  QGuiApplication application(qtArgc, qtArgv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
