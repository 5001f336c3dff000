// torvdoc-cli's history commands run as processes against a store of each
// kind: an SQLite file, and a schema of its own on the PostgreSQL server the
// test set-up started. Archive files are made here record by record.
#pragma once

#include <sys/time.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "archive/archive_format.h"
#include "archive/sample_archive.h"
#include "cli_test_support.h"
#include "history_test_support.h"

namespace torv::cli_testing {

using history::testing::Backend;
using history::testing::TestStore;

// The text listing's header line.
inline constexpr char kListHeader[] = "Устройство\tДата\tВремя\tСобытие\tВход\tРеле\tНазвание\n";
inline constexpr char kAllDevices[] = "Устройства: все";
inline constexpr char kAllTime[] = "Период: всё время";
inline constexpr char kNoFilter[] = "Отбор: нет";

// What a text listing opens with: what it shows, an empty line, the header.
inline std::string Opening(const std::string& devices = kAllDevices,
                           const std::string& period = kAllTime,
                           const std::string& filter = kNoFilter) {
  return devices + "\n" + period + "\n" + filter + "\n\n" + kListHeader;
}
// An archive file whose ring holds `records` from slot 0 on, oldest first,
// and whose WriteOffset points after them (or is `writeOffset` when given).
inline std::vector<std::uint8_t> ArchiveOf(const std::vector<ArchiveRecord>& records,
                                           std::optional<std::int32_t> writeOffset = {}) {
  ArchiveBuilder builder;
  for (std::size_t i = 0; i < records.size(); ++i) {
    builder.SetSlot(static_cast<int>(i), records[i]);
  }
  builder.SetWriteOffset(writeOffset.value_or(static_cast<std::int32_t>(8 * records.size())));
  return builder.Bytes();
}

inline ArchiveRecord DamagedRecord() {
  ArchiveRecord record;
  record.bytes.fill(kDamagedCode);
  return record;
}

// Sets the file's modification time, which dates a copy imported without
// --copied-at.
inline void SetModified(const std::string& path, std::int64_t unixSeconds) {
  const struct timeval times[2] = {{unixSeconds, 0}, {unixSeconds, 0}};
  ::utimes(path.c_str(), times);
}

// Import output with the moment of an earlier import ("уже импортирован
// 09.12.2026 07:10") as "DD.MM.YYYY HH:MM".
inline std::string WithImportTimesMasked(const std::string& text) {
  static const std::regex kMoment("уже импортирован \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d");
  return std::regex_replace(text, kMoment, "уже импортирован DD.MM.YYYY HH:MM");
}

// Every test runs with TZ=UTC, no TORVDOC_DB and no XDG_DATA_HOME, and a HOME
// of its own, so that no store but the test's is ever touched.
class HistoryCliTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::unsetenv("TORVDOC_DB");
    ::unsetenv("XDG_DATA_HOME");
    home_ = folder_.path() / "home";
    std::filesystem::create_directories(home_);
    ::setenv("HOME", home_.c_str(), 1);
  }

  ProcessResult Run(const std::vector<std::string>& args) {
    return RunProcess(TORVDOC_CLI_PATH, args, folder_.path(), folder_.path());
  }
  // `history ARGS... --db STORE`.
  ProcessResult History(std::vector<std::string> args) {
    args.insert(args.begin(), "history");
    args.insert(args.end(), {"--db", store_.dbText()});
    return Run(args);
  }
  // A history command that must succeed; its standard output, a listing
  // without its frame (WithoutListingFrame).
  std::string HistoryOutput(const std::vector<std::string>& args) {
    const ProcessResult result = History(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return history::testing::WithoutListingFrame(result.out);
  }
  // Writes an archive file of the scratch folder; its name relative to it.
  std::string WriteArchive(const std::string& name, const std::vector<ArchiveRecord>& records) {
    folder_.Write(name, ArchiveOf(records));
    return name;
  }
  std::string PathOf(const std::string& name) const { return (folder_.path() / name).string(); }

  ScratchFolder folder_;
  std::filesystem::path home_;
  TestStore store_{GetParam()};
};

}  // namespace torv::cli_testing
