// Writes the seed corpora of the fuzz targets:
//   fuzz_seed_corpus ARCHIVE_DIR RTF_DIR
// Archive seeds are request programs (archive_program.h) over generated
// archives and hand-made edge files; RTF seeds are reports of those archives
// and a few awkward texts. The output is deterministic, so the corpus in the
// repository can be regenerated and compared.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_source.h"
#include "archive/sample_archive.h"
#include "archive/view_outcome.h"
#include "archive/view_request.h"
#include "archive/view_screen.h"
#include "archive/view_state.h"
#include "archive_program.h"
#include "report/report_builder.h"

namespace torv::fuzz {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Request {
  RequestKind kind;
  std::uint8_t parameter = 0;
};

Bytes Program(const std::vector<Request>& requests, bool wholeReport,
              std::string_view rawKey = "05.11") {
  Bytes program(kProgramSize, 0);
  program[0] = ProgramHeader(requests.size(), wholeReport);
  for (std::size_t i = 0; i < requests.size(); ++i) {
    program[kRequestsAt + 2 * i] = requests[i].kind;
    program[kRequestsAt + 2 * i + 1] = requests[i].parameter;
  }
  for (std::size_t i = 0; i < kRawKeySize && i < rawKey.size(); ++i) {
    program[kRawKeyAt + i] = static_cast<std::uint8_t>(rawKey[i]);
  }
  return program;
}

// The program followed by the archive; a program that asks for the
// whole-archive report gets the salt that lets it run.
Bytes Join(Bytes program, const Bytes& archive) {
  program.insert(program.end(), archive.begin(), archive.end());
  if ((program[0] >> kWholeReportShift) != kWholeReportBits) return program;
  for (int salt = 0; salt < 256; ++salt) {
    program[kSaltAt] = static_cast<std::uint8_t>(salt);
    if (RunsWholeReport(program.data(), program.size())) return program;
  }
  std::fprintf(stderr, "no salt lets the whole-archive report run\n");
  std::exit(1);
}

void Write(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

void Write(const std::filesystem::path& path, const Bytes& bytes) {
  Write(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The table report before any view: the start screen's status line and a
// header row of empty cells.
std::string StartScreenReportText() {
  return JoinReportLines(
      {std::string(kStartStatusText), std::string(kReportGapLine), FormatReportLine(EventRow{})});
}

// The table report of one view: what a pane holds after "Просмотр блока
// архива из таблицы". Whole-archive reports are 50 KB, too big for seeds.
std::string TableReportText(const Bytes& archive, int blocksBack, int inputNumber) {
  ViewState state;
  state.ArchiveFileName = "/архивы/устр 1.dat";
  state.BlocksBack = blocksBack;
  state.InputNumber = inputNumber;
  state.InputFilterPending = inputNumber != 0 ? 1 : 0;
  const ViewOutcome view =
      RequestView(state, PendingRequest(state), ImageArchiveSource(ImageFromBytes(archive)));
  return view.Shown() ? JoinReportLines(BuildViewReport(view)) : StartScreenReportText();
}

std::string WholeReportText(const Bytes& archive) {
  ViewState state;
  state.ArchiveFileName = "/архивы/устр 1.dat";
  const WholeArchiveReport report =
      BuildWholeArchiveReport(state, ImageArchiveSource(ImageFromBytes(archive)));
  return report.message ? std::string() : JoinReportLines(report.lines);
}

Bytes WithWriteOffset(Bytes archive, std::int32_t writeOffset) {
  archive.resize(kArchiveFileSize);
  const auto value = static_cast<std::uint32_t>(writeOffset);
  for (int i = 0; i < kWriteOffsetSize; ++i) {
    archive[kRingSize + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  return archive;
}

}  // namespace

int WriteCorpora(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_seed_corpus ARCHIVE_DIR RTF_DIR\n");
    return 2;
  }
  const std::filesystem::path archiveDir = argv[1];
  const std::filesystem::path rtfDir = argv[2];
  std::filesystem::create_directories(archiveDir);
  std::filesystem::create_directories(rtfDir);

  const Bytes wrapped = GenerateArchive({.seed = 1, .fill = 1500});
  const Bytes partial = GenerateArchive({.seed = 2, .fill = 300});
  const Bytes exactlyFull = GenerateArchive({.seed = 3, .fill = 1024});
  const Bytes empty = GenerateArchive({.seed = 4, .fill = 0});
  const Bytes allUnset = ArchiveBuilder()
                             .FillAll(MakeRecord(255, 255, 255, 255, 255, 255, 255, 255))
                             .SetWriteOffset(255)
                             .Bytes();
  const Bytes allUnsetReadable = WithWriteOffset(allUnset, 0);

  const std::vector<Request> browse = {{kNewestBlock}, {kStepBack}, {kStepForward}, {kBothSteps}};
  const std::vector<Request> browseOld = {
      {kOldestBlock}, {kStepBack}, {kPlainView, 17}, {kPlainView, 200}};
  const std::vector<Request> search = {
      {kDateSearchOfSlot, 10}, {kStepBack}, {kDateSearchRawKey}, {kFlagMix, 0x0F}};
  const std::vector<Request> inputs = {
      {kInputView, 3}, {kInputView, 0}, {kFlagMix, 0x14}, {kStepBack}};
  const std::vector<Request> failures = {
      {kNewestBlock}, {kUnreadable}, {kStepBack}, {kNoArchiveName}};
  const std::vector<Request> oddValues = {
      {kInputView, 250}, {kStepForward}, {kDateSearchRawKey}, {kFlagMix, 0x10}};

  struct Seed {
    const char* name;
    Bytes bytes;
  };
  const std::vector<Seed> archiveSeeds = {
      {"wrapped-browse", Join(Program(browse, false), wrapped)},
      {"wrapped-search", Join(Program(search, false), wrapped)},
      {"wrapped-inputs", Join(Program(inputs, false), wrapped)},
      {"wrapped-old", Join(Program(browseOld, false), wrapped)},
      {"wrapped-report", Join(Program({{kInputView, 1}}, true), wrapped)},
      {"partial-browse", Join(Program(browse, false), partial)},
      {"partial-search", Join(Program(search, false, "01.01"), partial)},
      {"full-report", Join(Program({{kOldestBlock}}, true), exactlyFull)},
      {"full-failures", Join(Program(failures, false), exactlyFull)},
      {"full-odd-values", Join(Program(oddValues, false), exactlyFull)},
      {"partial-inputs", Join(Program(inputs, false), partial)},
      {"empty-255", Join(Program(browse, true), empty)},
      {"unset-255", Join(Program(search, false), allUnset)},
      {"unset-offset-0", Join(Program(search, true), allUnsetReadable)},
      {"offset-8184", Join(Program(browse, false), WithWriteOffset(wrapped, 8184))},
      {"offset-8192", Join(Program(browse, false), WithWriteOffset(partial, 8192))},
      {"offset-not-slot", Join(Program(browse, false), WithWriteOffset(wrapped, 4))},
      {"offset-negative", Join(Program(search, false), WithWriteOffset(wrapped, -8))},
      {"short-0", Program(browse, false)},
      {"short-100", Join(Program(search, false), Bytes(wrapped.begin(), wrapped.begin() + 100))},
      {"short-8192", Join(Program(browse, false), Bytes(wrapped.begin(), wrapped.begin() + 8192))},
      {"short-8194", Join(Program(search, false), Bytes(wrapped.begin(), wrapped.begin() + 8194))},
      {"long-9000", Join(Program(browse, false),
                         [&] {
                           Bytes longer = wrapped;
                           longer.resize(9000, 0xA5);
                           return longer;
                         }())},
  };
  for (const Seed& seed : archiveSeeds) Write(archiveDir / seed.name, seed.bytes);

  Write(rtfDir / "block-newest", TableReportText(wrapped, 1, 0));
  Write(rtfDir / "block-oldest-partial", TableReportText(partial, 64, 0));
  Write(rtfDir / "block-unset", TableReportText(allUnsetReadable, 1, 0));
  Write(rtfDir / "input-2", TableReportText(partial, 1, 2));
  Write(rtfDir / "before-any-view", StartScreenReportText());
  // The first 60 lines of a whole-archive report: the heading and four blocks.
  const std::string whole = WholeReportText(wrapped);
  std::size_t cut = 0;
  for (int line = 0; line < 60 && cut != std::string::npos; ++line) cut = whole.find('\n', cut + 1);
  Write(rtfDir / "whole-report-start", std::string_view(whole).substr(0, cut));
  Write(rtfDir / "empty", std::string_view());
  Write(rtfDir / "rtf-escapes", std::string_view("{\\rtf1 \\par}\t\\'e0\n\n\\\\ {} \r\n"));
  Write(rtfDir / "not-cp1251", std::string_view("Ж € ™ № ✓ 中文 😀 ё\n"));
  Write(rtfDir / "broken-utf8",
        std::string_view("\xD0\n\xE0\x41\x42 \xC0\x80 \xED\xA0\x80 \xFF\xF5"));
  return 0;
}

}  // namespace torv::fuzz

int main(int argc, char* argv[]) {
  return torv::fuzz::WriteCorpora(argc, argv);
}
