// Cost of one view request and of the whole-archive report, each of which
// rereads the archive file from disk as the window and the command line do.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "archive/sample_archive.h"
#include "archive/view_outcome.h"
#include "archive/view_request.h"
#include "archive/view_state.h"
#include "fileio/atomic_write.h"
#include "report/report_builder.h"

namespace torv {
namespace {

// A generated, wrapped archive in a private temporary folder, removed at exit.
class BenchArchive {
 public:
  BenchArchive() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "torvdoc-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern;
    path_ = (folder_ / "archive.dat").string();
    const std::vector<std::uint8_t> bytes = GenerateArchive(SampleOptions{.seed = 4, .fill = 1700});
    if (!WriteFileAtomically(
            path_, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
      std::abort();
    }
  }
  BenchArchive(const BenchArchive&) = delete;
  BenchArchive& operator=(const BenchArchive&) = delete;
  ~BenchArchive() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::filesystem::path folder_;
  std::string path_;
};

const BenchArchive& Archive() {
  static const BenchArchive archive;
  return archive;
}

// One plain block view: open, read and decode the file into the rows shown.
void BM_BlockView(benchmark::State& bench) {
  ViewState state;
  state.ArchiveFileName = Archive().path();
  std::size_t rowCount = 0;
  for (auto _ : bench) {
    const ViewOutcome view = RequestView(state, ViewRequest::Block(kNewestBlock));
    rowCount = view.rows.size();
    benchmark::DoNotOptimize(rowCount);
  }
  if (rowCount != 16) bench.SkipWithError("no view");
}
BENCHMARK(BM_BlockView)->Unit(benchmark::kMicrosecond);

// The whole-archive report: 65 view requests and 1024 report lines.
void BM_WholeArchiveReport(benchmark::State& bench) {
  ViewState state;
  state.ArchiveFileName = Archive().path();
  std::size_t lineCount = 0;
  for (auto _ : bench) {
    const WholeArchiveReport report = BuildWholeArchiveReport(state);
    lineCount = report.lines.size();
    benchmark::DoNotOptimize(lineCount);
  }
  if (lineCount != 3 + 1024) bench.SkipWithError("incomplete report");
}
BENCHMARK(BM_WholeArchiveReport)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace torv

BENCHMARK_MAIN();
