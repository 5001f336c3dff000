// The Debian package, built from this build tree into a scratch folder and
// unpacked there, and the desktop entry it installs.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "outside_program.h"

namespace torv {
namespace {

namespace fs = std::filesystem;
using cli_testing::ProcessResult;
using cli_testing::ReadWholeFile;
using cli_testing::RunProcess;
using cli_testing::ScratchFolder;
using cli_testing::SplitLines;

const fs::path kBuildDir = TORVDOC_BUILD_DIR;
const fs::path kSourceDir = TORVDOC_SOURCE_DIR;
constexpr bool kPackageHasWindow = TORVDOC_PACKAGE_HAS_WINDOW;
constexpr char kPackageFile[] = "torvdoc_" TORVDOC_VERSION "_amd64.deb";

// The value of `field` in a control file; empty when it is missing.
std::string ControlField(const std::string& control, const std::string& field) {
  std::istringstream lines(control);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(field + ": ", 0) == 0) return line.substr(field.size() + 2);
  }
  return "";
}

bool HasLine(const std::string& text, const std::string& line) {
  for (const std::string& each : SplitLines(text)) {
    if (each == line) return true;
  }
  return false;
}

class CliPackageTest : public ::testing::Test {
 protected:
  // One package for all tests: cpack takes a few seconds.
  static void SetUpTestSuite() {
    folder_ = std::make_unique<ScratchFolder>();
    packResult_ = RunProcess(TORVDOC_CPACK,
                             {"--config", (kBuildDir / "CPackConfig.cmake").string(), "-G", "DEB",
                              "-B", folder_->path().string()},
                             folder_->path(), folder_->path());
    package_ = folder_->path() / kPackageFile;
    root_ = folder_->path() / "root";
    if (packResult_.exitCode == 0) {
      extractResult_ = RunProcess(TORVDOC_DPKG_DEB, {"-x", package_.string(), root_.string()},
                                  folder_->path(), folder_->path());
    }
  }
  static void TearDownTestSuite() { folder_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(testing::ProgramInstalled(TORVDOC_DPKG_DEB, "dpkg"));
    ASSERT_EQ(packResult_.exitCode, 0) << packResult_.out << packResult_.err;
    ASSERT_TRUE(fs::is_regular_file(package_)) << package_;
    ASSERT_EQ(extractResult_.exitCode, 0) << extractResult_.err;
  }

  static ProcessResult Run(const std::string& program, const std::vector<std::string>& args) {
    return RunProcess(program, args, folder_->path(), folder_->path());
  }

  static inline std::unique_ptr<ScratchFolder> folder_;
  static inline ProcessResult packResult_;
  static inline ProcessResult extractResult_;
  static inline fs::path package_;
  static inline fs::path root_;
};

TEST_F(CliPackageTest, ControlNamesThePackageAndItsComputedDependencies) {
  const ProcessResult control = Run(TORVDOC_DPKG_DEB, {"-f", package_.string()});
  ASSERT_EQ(control.exitCode, 0) << control.err;
  EXPECT_EQ(ControlField(control.out, "Package"), "torvdoc");
  EXPECT_EQ(ControlField(control.out, "Version"), TORVDOC_VERSION);
  EXPECT_EQ(ControlField(control.out, "Architecture"), "amd64");
  // shlibdeps writes versioned dependencies on the libraries the binaries link.
  const std::string depends = ControlField(control.out, "Depends");
  EXPECT_NE(depends.find("libc6 (>= "), std::string::npos) << depends;
  EXPECT_NE(depends.find("libstdc++6 (>= "), std::string::npos) << depends;
  if (kPackageHasWindow) {
    EXPECT_NE(depends.find("libqt6widgets6"), std::string::npos) << depends;
    EXPECT_NE(depends.find("libqt6printsupport6"), std::string::npos) << depends;
    EXPECT_EQ(ControlField(control.out, "Recommends"), "libqt6svg6");
    // The desktop's "open" of a saved report goes through xdg-open.
    EXPECT_EQ(depends.rfind("xdg-utils, ", 0), 0u) << depends;
    // Qt's own texts in Russian come from its translation files.
    EXPECT_NE(depends.find("qt6-translations-l10n"), std::string::npos) << depends;
  } else {
    EXPECT_EQ(depends.find("libqt6"), std::string::npos) << depends;
    EXPECT_EQ(depends.find("xdg-utils"), std::string::npos) << depends;
  }
}

TEST_F(CliPackageTest, HoldsTheToolsTheIconAndTheDemoArchives) {
  EXPECT_TRUE(fs::is_regular_file(root_ / "usr/bin/torvdoc-cli"));
  EXPECT_EQ(fs::is_regular_file(root_ / "usr/bin/torvdoc"), kPackageHasWindow);
  EXPECT_EQ(fs::is_regular_file(root_ / "usr/bin/torvdoc-history"), kPackageHasWindow);
  if (kPackageHasWindow) {
    EXPECT_EQ(ReadWholeFile(root_ / "usr/share/icons/hicolor/scalable/apps/torvdoc-history.svg"),
              ReadWholeFile(kSourceDir / "data/torvdoc-history.svg"));
  }
  EXPECT_EQ(ReadWholeFile(root_ / "usr/share/icons/hicolor/scalable/apps/torvdoc.svg"),
            ReadWholeFile(kSourceDir / "data/torvdoc.svg"));
  for (const char* sample : {"full.dat", "partial.dat"}) {
    SCOPED_TRACE(sample);
    const std::string installed = ReadWholeFile(root_ / "usr/share/torvdoc/samples" / sample);
    EXPECT_EQ(installed.size(), 8196u);
    EXPECT_TRUE(installed == ReadWholeFile(kSourceDir / "samples" / sample));
  }
}

TEST_F(CliPackageTest, ExtractedToolReportsLikeTheBuiltOne) {
  const std::string extractedCli = (root_ / "usr/bin/torvdoc-cli").string();
  for (const char* sample : {"full.dat", "partial.dat"}) {
    SCOPED_TRACE(sample);
    const std::string archive = (root_ / "usr/share/torvdoc/samples" / sample).string();
    const ProcessResult extracted = Run(extractedCli, {"report", archive});
    const ProcessResult built = Run(TORVDOC_CLI_PATH, {"report", archive});
    EXPECT_EQ(extracted.exitCode, 0);
    EXPECT_EQ(extracted.err, "");
    ASSERT_EQ(built.exitCode, 0);
    EXPECT_EQ(extracted.out, built.out);
    const std::vector<std::string> lines = SplitLines(extracted.out);
    ASSERT_EQ(lines.size(), 4u + 1024u);
    EXPECT_EQ(lines[0], "Архив: файл " + archive);
  }
  const std::string full = (root_ / "usr/share/torvdoc/samples/full.dat").string();
  EXPECT_EQ(Run(extractedCli, {"info", full, "--format", "json"}).out,
            Run(TORVDOC_CLI_PATH, {"info", full, "--format", "json"}).out);
}

// What a menu entry of ours must say: its Russian name, its command line
// and its icon.
struct DesktopEntryFacts {
  std::string nameRu;
  std::string exec;
  std::string icon;
};
// A file manager hands the chosen archive to the window.
const DesktopEntryFacts kMainEntry{"Документирование архива ТОРВ-4", "torvdoc %f", "torvdoc"};
const DesktopEntryFacts kHistoryEntry{"История событий ТОРВ-4", "torvdoc-history",
                                      "torvdoc-history"};

void ExpectValidDesktopEntry(const fs::path& entry, const DesktopEntryFacts& facts) {
  ASSERT_TRUE(testing::ProgramInstalled(TORVDOC_DESKTOP_FILE_VALIDATE, "desktop-file-utils"));
  const ScratchFolder capture;
  const ProcessResult result = RunProcess(TORVDOC_DESKTOP_FILE_VALIDATE, {entry.string()},
                                          entry.parent_path(), capture.path());
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");  // warnings and hints go to standard output
  EXPECT_EQ(result.err, "");

  const std::string text = ReadWholeFile(entry);
  EXPECT_TRUE(HasLine(text, "[Desktop Entry]"));
  EXPECT_TRUE(HasLine(text, "Type=Application"));
  EXPECT_TRUE(HasLine(text, "Name[ru]=" + facts.nameRu));
  EXPECT_TRUE(HasLine(text, "Exec=" + facts.exec));
  EXPECT_TRUE(HasLine(text, "Icon=" + facts.icon));
  EXPECT_TRUE(HasLine(text, "Categories=Utility;"));
  EXPECT_EQ(text.find("MimeType="), std::string::npos) << "claims a file type";
}

TEST(DesktopEntryTest, SourceEntriesValidate) {
  ExpectValidDesktopEntry(kSourceDir / "data/torvdoc.desktop", kMainEntry);
  ExpectValidDesktopEntry(kSourceDir / "data/torvdoc-history.desktop", kHistoryEntry);
}

TEST_F(CliPackageTest, InstalledDesktopEntryComesWithTheWindowAndValidates) {
  const fs::path installed = root_ / "usr/share/applications/torvdoc.desktop";
  ASSERT_EQ(fs::is_regular_file(installed), kPackageHasWindow);
  if (kPackageHasWindow) {
    ExpectValidDesktopEntry(installed, kMainEntry);
    EXPECT_EQ(ReadWholeFile(installed), ReadWholeFile(kSourceDir / "data/torvdoc.desktop"));
  }
}

TEST_F(CliPackageTest, TheHistoryWindowsEntryComesWithItAndValidates) {
  const fs::path installed = root_ / "usr/share/applications/torvdoc-history.desktop";
  ASSERT_EQ(fs::is_regular_file(installed), kPackageHasWindow);
  if (kPackageHasWindow) {
    ExpectValidDesktopEntry(installed, kHistoryEntry);
    EXPECT_EQ(ReadWholeFile(installed), ReadWholeFile(kSourceDir / "data/torvdoc-history.desktop"));
    const ProcessResult version = Run((root_ / "usr/bin/torvdoc-history").string(), {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "torvdoc-history " TORVDOC_VERSION "\n");
  }
}

}  // namespace
}  // namespace torv
