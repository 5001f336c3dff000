// The Debian package, built from this build tree into a scratch folder and
// unpacked there: what lintian says of it, its documents, manual pages,
// completion, AppStream data and desktop entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "outside_program.h"
#include "save_rules.h"

namespace torv {
namespace {

namespace fs = std::filesystem;
using cli_testing::ProcessResult;
using cli_testing::ReadWholeFile;
using cli_testing::RunProcess;
using cli_testing::ScratchFolder;
using cli_testing::SplitLines;
using testing::PutFile;

const fs::path kBuildDir = TORVDOC_BUILD_DIR;
const fs::path kSourceDir = TORVDOC_SOURCE_DIR;
constexpr bool kPackageHasWindow = TORVDOC_PACKAGE_HAS_WINDOW;
constexpr char kPackageVersion[] = TORVDOC_VERSION "-1";
constexpr char kPackageFile[] = "torvdoc_" TORVDOC_VERSION "-1_amd64.deb";

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
  EXPECT_EQ(ControlField(control.out, "Version"), kPackageVersion);
  EXPECT_EQ(ControlField(control.out, "Maintainer"),
            "torvdoc developers <torvdoc@users.noreply.github.com>");
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

// The installed tool finds the modules the package installs beside it: a
// PDF comes out, and a server address reaches libpq, which cannot connect.
TEST_F(CliPackageTest, ExtractedToolLoadsTheInstalledModules) {
  for (const char* module : {"torvdoc-postgresql.so", "torvdoc-pdf.so"}) {
    EXPECT_EQ(fs::is_regular_file(root_ / "usr/lib/torvdoc/modules" / module),
              kPackageHasWindow || std::string(module) == "torvdoc-postgresql.so")
        << module;
  }
  const std::string extractedCli = (root_ / "usr/bin/torvdoc-cli").string();
  const std::string store = (folder_->path() / "modules.sqlite3").string();
  const std::string full = (root_ / "usr/share/torvdoc/samples/full.dat").string();
  ASSERT_EQ(
      Run(extractedCli, {"history", "import", "--new-device", "--db", store, "--device", "a", full})
          .exitCode,
      0);
  if (kPackageHasWindow) {
    const ProcessResult pdf =
        Run(extractedCli, {"history", "list", "--db", store, "--format", "pdf"});
    EXPECT_EQ(pdf.exitCode, 0) << pdf.err;
    EXPECT_EQ(pdf.out.rfind("%PDF-", 0), 0u);
  }
  const ProcessResult server =
      Run(extractedCli, {"history", "devices", "--db", "postgresql:///site?host=/nonexistent"});
  EXPECT_EQ(server.exitCode, 1);
  EXPECT_EQ(server.err.rfind("torvdoc-cli: postgresql:///site?host=/nonexistent: ", 0), 0u)
      << server.err;
  EXPECT_EQ(server.err.find("this installation has no"), std::string::npos) << server.err;
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

TEST_F(CliPackageTest, LintianFindsNoErrorAndNoWarning) {
  ASSERT_TRUE(testing::ProgramInstalled("lintian", "lintian"));
  const ProcessResult result =
      Run("/usr/bin/lintian",
          {"--fail-on", "error,warning", "--tag-display-limit", "0", package_.string()});
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_EQ(result.out, "");
  // The one override, with its reason written beside it.
  const ProcessResult shown = Run("/usr/bin/lintian", {"--show-overrides", package_.string()});
  const std::vector<std::string> lines = SplitLines(shown.out);
  ASSERT_EQ(lines.size(), 3u) << shown.out;
  EXPECT_EQ(lines[0].rfind("N: torvdoc is built and installed from its own repository", 0), 0u);
  EXPECT_EQ(lines[2],
            "O: torvdoc: initial-upload-closes-no-bugs "
            "[usr/share/doc/torvdoc/changelog.Debian.gz:1]");
  EXPECT_EQ(ReadWholeFile(root_ / "usr/share/lintian/overrides/torvdoc"),
            ReadWholeFile(kSourceDir / "packaging/lintian-overrides"));
}

TEST_F(CliPackageTest, DescriptionIsAShortLineAndAnExtendedTextWithin80Columns) {
  const ProcessResult control = Run(TORVDOC_DPKG_DEB, {"-f", package_.string(), "Description"});
  ASSERT_EQ(control.exitCode, 0) << control.err;
  const std::vector<std::string> lines = SplitLines(control.out);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "documents the event archive of a TORV-4 alarm device");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size(), 80u) << lines[i];
    EXPECT_EQ(lines[i][0], ' ') << lines[i];
  }
}

TEST_F(CliPackageTest, CopyrightAndChangelogAreWhereDebianKeepsThem) {
  const std::string copyright = ReadWholeFile(root_ / "usr/share/doc/torvdoc/copyright");
  const std::vector<std::string> lines = SplitLines(copyright);
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/");
  EXPECT_TRUE(HasLine(copyright, "Files: *"));
  EXPECT_TRUE(HasLine(copyright, "Copyright: 2026 torvdoc developers"));
  EXPECT_TRUE(HasLine(copyright, "License: Expat"));
  // The licence text is LICENSE's, indented, an empty line as " .".
  const std::string license = ReadWholeFile(kSourceDir / "LICENSE");
  EXPECT_TRUE(HasLine(license, "Copyright (c) 2026 torvdoc developers"));
  std::string indented;
  for (const std::string& line : SplitLines(license.substr(license.find("Permission")))) {
    indented += line.empty() ? " .\n" : " " + line + "\n";
  }
  EXPECT_NE(copyright.find("License: Expat\n" + indented), std::string::npos);

  const fs::path changelog = root_ / "usr/share/doc/torvdoc/changelog.Debian.gz";
  ASSERT_TRUE(fs::is_regular_file(changelog));
  const ProcessResult unpacked = Run("/bin/gzip", {"-dc", changelog.string()});
  ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err;
  const std::vector<std::string> entry = SplitLines(unpacked.out);
  ASSERT_GE(entry.size(), 3u);
  EXPECT_EQ(entry[0], std::string("torvdoc (") + kPackageVersion + ") unstable; urgency=medium");
  EXPECT_EQ(entry.back().rfind(" -- torvdoc developers <torvdoc@users.noreply.github.com>  ", 0),
            0u);
}

// A manual page as man shows it, 80 columns wide, with groff's warnings on
// standard error.
ProcessResult ShowManualPage(const fs::path& page, const fs::path& folder) {
  return RunProcess("/usr/bin/env",
                    {"LC_ALL=C.UTF-8", "MANWIDTH=80", "MAN_KEEP_FORMATTING=", "man", "--warnings",
                     "-E", "UTF-8", "-l", page.string()},
                    folder, folder);
}

TEST_F(CliPackageTest, ManualPagesShowWithoutAWarning) {
  ASSERT_TRUE(testing::ProgramInstalled("man", "man-db"));
  const ProcessResult cli =
      ShowManualPage(root_ / "usr/share/man/man1/torvdoc-cli.1.gz", folder_->path());
  EXPECT_EQ(cli.exitCode, 0);
  EXPECT_EQ(cli.err, "");
  EXPECT_TRUE(HasLine(cli.out,
                      "       torvdoc-cli - document the event archive of a TORV-4 alarm "
                      "device"))
      << cli.out;
  // Each command's own help is in the page, a group's commands too.
  for (const std::vector<std::string>& command :
       std::vector<std::vector<std::string>>{{"view"},
                                             {"report"},
                                             {"info"},
                                             {"sample"},
                                             {"history"},
                                             {"history", "import"},
                                             {"history", "names", "set"}}) {
    std::string name;
    for (const std::string& word : command) name += (name.empty() ? "" : " ") + word;
    SCOPED_TRACE(name);
    EXPECT_TRUE(HasLine(cli.out, "   " + name));
    std::vector<std::string> args = command;
    args.push_back("--help");
    const std::string usage = Run(TORVDOC_CLI_PATH, args).out;
    EXPECT_TRUE(HasLine(cli.out, "       " + SplitLines(usage).at(0)));
  }
  EXPECT_TRUE(HasLine(cli.out, "       torvdoc(1), torvdoc-history(1)"));

  const fs::path windowPage = root_ / "usr/share/man/man1/torvdoc.1.gz";
  ASSERT_EQ(fs::is_regular_file(windowPage), kPackageHasWindow);
  if (kPackageHasWindow) {
    const ProcessResult window = ShowManualPage(windowPage, folder_->path());
    EXPECT_EQ(window.exitCode, 0);
    EXPECT_EQ(window.err, "");
    EXPECT_TRUE(HasLine(window.out, "       torvdoc [FILE]")) << window.out;
    EXPECT_TRUE(HasLine(window.out, "       torvdoc-cli(1), torvdoc-history(1)"));

    const ProcessResult history =
        ShowManualPage(root_ / "usr/share/man/man1/torvdoc-history.1.gz", folder_->path());
    EXPECT_EQ(history.exitCode, 0);
    EXPECT_EQ(history.err, "");
    EXPECT_TRUE(HasLine(history.out, "       torvdoc-history [--db STORE]")) << history.out;
    EXPECT_TRUE(HasLine(history.out, "       torvdoc(1), torvdoc-cli(1)"));
  }
}

TEST_F(CliPackageTest, AppStreamDataValidatesAndComesWithTheWindow) {
  const fs::path metainfo = root_ / "usr/share/metainfo/io.github.torvdoc.torvdoc.metainfo.xml";
  ASSERT_EQ(fs::is_regular_file(metainfo), kPackageHasWindow);
  if (!kPackageHasWindow) return;
  ASSERT_TRUE(testing::ProgramInstalled("appstreamcli", "appstream"));
  const ProcessResult result =
      Run("/usr/bin/appstreamcli", {"validate", "--no-net", "--pedantic", metainfo.string()});
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("Validation was successful."), std::string::npos) << result.out;
  // It names the desktop entry the package installs.
  const std::string text = ReadWholeFile(metainfo);
  EXPECT_NE(text.find("<launchable type=\"desktop-id\">torvdoc.desktop</launchable>"),
            std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(root_ / "usr/share/applications/torvdoc.desktop"));
}

// What bash completion offers for `words`, the last being completed, with
// the package's completion file and its torvdoc-cli.
std::vector<std::string> Completions(const fs::path& root, const fs::path& folder,
                                     const std::vector<std::string>& words) {
  std::string script =
      "source /usr/share/bash-completion/bash_completion\n"
      "source \"$1\"\n"
      "shift\n"
      "COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1))\n"
      "COMP_LINE=\"$*\"; COMP_POINT=${#COMP_LINE}\n"
      "complete -p torvdoc-cli >/dev/null || exit 3\n"
      "_torvdoc_cli torvdoc-cli \"${COMP_WORDS[COMP_CWORD]}\" \"${COMP_WORDS[COMP_CWORD-1]}\"\n"
      "((${#COMPREPLY[@]} == 0)) || printf '%s\\n' \"${COMPREPLY[@]}\"\n";
  std::vector<std::string> args = {
      "PATH=" + (root / "usr/bin").string() + ":/usr/bin:/bin",
      "bash",
      "-c",
      script,
      "complete",
      (root / "usr/share/bash-completion/completions/torvdoc-cli").string()};
  args.insert(args.end(), words.begin(), words.end());
  const ProcessResult result = RunProcess("/usr/bin/env", args, folder, folder);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  std::vector<std::string> offered = SplitLines(result.out);
  std::sort(offered.begin(), offered.end());
  return offered;
}

TEST_F(CliPackageTest, BashCompletesCommandsOptionsValuesAndFiles) {
  ASSERT_TRUE(fs::exists("/usr/share/bash-completion/bash_completion"))
      << "bash-completion is missing: it comes with the Debian package bash-completion, which "
         "scripts/setup.sh installs";
  const fs::path installed = root_ / "usr/share/bash-completion/completions/torvdoc-cli";
  ASSERT_TRUE(fs::is_regular_file(installed));
  EXPECT_EQ(ReadWholeFile(installed),
            ReadWholeFile(kSourceDir / "data/torvdoc-cli.bash-completion"));

  using Words = std::vector<std::string>;
  const fs::path& folder = folder_->path();
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", ""}),
            (Words{"help", "history", "info", "report", "sample", "view"}));
  // A group's commands, word by word.
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "history", ""}),
            (Words{"backup", "chart", "check", "copies", "copy-file", "devices", "gaps", "import",
                   "journal", "list", "names", "report", "stats", "verify", "watch", "withdraw"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "history", "names", "s"}), (Words{"set"}));
  // A command that is also the start of others.
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "history", "devices", "re"}),
            (Words{"remove", "rename"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "history", "devices", "--f"}),
            (Words{"--format"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "history", "names", "set", "x", "--r"}),
            (Words{"--relay"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "history", "list", "--csv-dialect", ""}),
            (Words{"excel", "rfc4180"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "re"}), (Words{"report"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "help", "s"}), (Words{"sample"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "sample", "x.dat", "--"}),
            (Words{"--fill", "--force", "--help", "--seed", "--version"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "view", "a.dat", "--format", ""}),
            (Words{"csv", "json", "rtf", "text"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "info", "a.dat", "--format", ""}),
            (Words{"json", "text"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "report", "a.dat", "--csv-dialect=e"}),
            (Words{"excel"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "view", "--block", ""}), Words{});
  // File names for FILE and for -o.
  fs::create_directory(folder / "archives");
  PutFile(folder / "archives" / "full.dat", "x", 0644);
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "view", "archives/f"}),
            (Words{"archives/full.dat"}));
  EXPECT_EQ(Completions(root_, folder, {"torvdoc-cli", "view", "a.dat", "-o", "archives/f"}),
            (Words{"archives/full.dat"}));
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
