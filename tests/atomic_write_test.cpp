#include "fileio/atomic_write.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "save_rules.h"
#include "temp_archive.h"

namespace torv {
namespace {

namespace fs = std::filesystem;
using testing::Entries;
using testing::FileText;
using testing::LongestCyrillicName;
using testing::ModeOf;
using testing::PutFile;

// The rules users meet first (mode kept, link followed, read-only refused, the
// longest name) are tested where they save: tform_main_reports_test for the
// window, cli_export_test for -o. Here: the rest of what the save must do.
class AtomicWriteTest : public ::testing::Test {
 protected:
  fs::path Path(const std::string& name) const { return folder_.path() / name; }
  bool Write(const fs::path& path, std::string_view content) {
    return WriteFileAtomically(path.string(), content).ok();
  }
  // Writes `content` to `path`, which names or leads to the pipe "pipe":
  // what its reader then gets. The reading end is open before the write, so
  // the writer never waits.
  std::string ReadThroughPipe(const fs::path& path, std::string_view content) {
    const int reader = ::open(Path("pipe").c_str(), O_RDONLY | O_NONBLOCK);
    EXPECT_GE(reader, 0);
    if (reader < 0) return {};
    EXPECT_TRUE(Write(path, content));
    char buffer[64] = {};
    const ssize_t got = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    return std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
  }

  testing::TempFolder folder_;
};

TEST_F(AtomicWriteTest, NewFileIsAnOrdinaryDocument) {
  const mode_t mask = ::umask(022);
  const bool written = Write(Path("new.rtf"), "text");
  ::umask(mask);
  ASSERT_TRUE(written);
  EXPECT_EQ(FileText(Path("new.rtf")), "text");
  EXPECT_EQ(ModeOf(Path("new.rtf")), 0644u);
  EXPECT_EQ(Entries(folder_.path()), std::vector<std::string>{"new.rtf"});
}

TEST_F(AtomicWriteTest, ReplacedFileKeepsItsOwnerWhenRootSaves) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
  PutFile(Path("report.rtf"), "old", 0640);
  ASSERT_EQ(::chown(Path("report.rtf").c_str(), 65534, 65534), 0);
  ASSERT_TRUE(Write(Path("report.rtf"), "new"));
  struct stat info {};
  ASSERT_EQ(::stat(Path("report.rtf").c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 65534u);
  EXPECT_EQ(info.st_gid, 65534u);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(AtomicWriteTest, ChainOfLinksAndALinkToAFileNotYetThere) {
  PutFile(Path("real.rtf"), "old");
  fs::create_symlink("real.rtf", Path("second"));
  fs::create_symlink(Path("second"), Path("first"));  // absolute
  ASSERT_TRUE(Write(Path("first"), "new"));
  EXPECT_TRUE(fs::is_symlink(Path("first")));
  EXPECT_TRUE(fs::is_symlink(Path("second")));
  EXPECT_EQ(FileText(Path("real.rtf")), "new");

  ::chmod(Path("real.rtf").c_str(), 0444);  // read only, also behind links
  EXPECT_FALSE(Write(Path("first"), "refused"));
  EXPECT_EQ(FileText(Path("real.rtf")), "new");

  fs::create_symlink("later.rtf", Path("dangling"));
  ASSERT_TRUE(Write(Path("dangling"), "made"));
  EXPECT_TRUE(fs::is_symlink(Path("dangling")));
  EXPECT_EQ(FileText(Path("later.rtf")), "made");
  EXPECT_EQ(Entries(folder_.path()),
            (std::vector<std::string>{"dangling", "first", "later.rtf", "real.rtf", "second"}));
}

TEST_F(AtomicWriteTest, LinkLoopFailsAndChangesNothing) {
  fs::create_symlink("b", Path("a"));
  fs::create_symlink("a", Path("b"));
  EXPECT_FALSE(Write(Path("a"), "x"));
  EXPECT_EQ(Entries(folder_.path()), (std::vector<std::string>{"a", "b"}));
}

TEST_F(AtomicWriteTest, FileThisUserMayNotWriteIsRefusedInAFolderItMayWrite) {
  // The folder lets anyone rename files in it; the file itself is the
  // owner's alone. A rename would replace it, so the save must refuse.
  ASSERT_EQ(::chmod(folder_.path().c_str(), 0777), 0);
  PutFile(Path("report.rtf"), "earlier report", 0644);
  if (::geteuid() != 0) {
    ASSERT_EQ(::chmod(Path("report.rtf").c_str(), 0466), 0);  // the owner may not write
    EXPECT_FALSE(Write(Path("report.rtf"), "new"));
  } else {
    // Root may write any file, so the save runs in a child that is "nobody".
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
      ::_exit(Write(Path("report.rtf"), "new") ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: could not become nobody; 1: the save went through";
  }
  EXPECT_EQ(FileText(Path("report.rtf")), "earlier report");
  EXPECT_EQ(Entries(folder_.path()), std::vector<std::string>{"report.rtf"});
}

TEST_F(AtomicWriteTest, NameLongerThanTheFileSystemTakesFails) {
  const std::string name = "ж" + LongestCyrillicName(".rtf");
  EXPECT_FALSE(Write(Path(name), "x"));
  EXPECT_TRUE(Entries(folder_.path()).empty());
}

TEST_F(AtomicWriteTest, FolderAsTargetFailsAndStays) {
  fs::create_directory(Path("report.rtf"));
  EXPECT_FALSE(Write(Path("report.rtf"), "x"));
  EXPECT_TRUE(fs::is_directory(Path("report.rtf")));
  EXPECT_FALSE(Write(folder_.path().string() + "/", "x"));
  EXPECT_EQ(Entries(folder_.path()), std::vector<std::string>{"report.rtf"});
}

TEST_F(AtomicWriteTest, PipeIsWrittenInPlace) {
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
  EXPECT_EQ(ReadThroughPipe(Path("pipe"), "through the pipe"), "through the pipe");
  EXPECT_EQ(fs::symlink_status(Path("pipe")).type(), fs::file_type::fifo);
  EXPECT_EQ(Entries(folder_.path()), std::vector<std::string>{"pipe"});
}

TEST_F(AtomicWriteTest, WhatALinkLeadsToDecidesHowItIsWritten) {
  fs::create_directory(Path("folder"));
  fs::create_symlink("folder", Path("to-folder"));
  fs::create_symlink("to-folder", Path("to-link"));
  for (const char* link : {"to-folder", "to-link"}) {
    const Status written = WriteFileAtomically(Path(link).string(), "x");
    ASSERT_FALSE(written.ok()) << link;
    EXPECT_EQ(written.failure().errorNumber, EISDIR) << link;
  }
  fs::create_symlink("a", Path("loop-b"));
  fs::create_symlink("loop-b", Path("a"));
  const Status looped = WriteFileAtomically(Path("a").string(), "x");
  ASSERT_FALSE(looped.ok());
  EXPECT_EQ(looped.failure().errorNumber, ELOOP);

  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
  fs::create_symlink("pipe", Path("to-pipe"));
  EXPECT_EQ(ReadThroughPipe(Path("to-pipe"), "through the link"), "through the link");
  EXPECT_EQ(fs::symlink_status(Path("to-pipe")).type(), fs::file_type::symlink);
  EXPECT_EQ(Entries(folder_.path()), (std::vector<std::string>{"a", "folder", "loop-b", "pipe",
                                                               "to-folder", "to-link", "to-pipe"}));
}

TEST_F(AtomicWriteTest, NewFileOnlyWhereNothingIsYet) {
  const mode_t mask = ::umask(027);
  const Status written = WriteNewFileAtomically(Path("new.dat").string(), "archive");
  ::umask(mask);
  ASSERT_TRUE(written.ok()) << written.failure().reason;
  EXPECT_EQ(FileText(Path("new.dat")), "archive");
  EXPECT_EQ(ModeOf(Path("new.dat")), 0640u);

  // A file, a folder, a link, even one that leads nowhere: each stays as it is.
  PutFile(Path("copy.dat"), "a real archive's copy", 0600);
  fs::create_directory(Path("folder.dat"));
  fs::create_symlink("copy.dat", Path("link.dat"));
  fs::create_symlink("nowhere.dat", Path("dangling.dat"));
  for (const char* name : {"new.dat", "copy.dat", "folder.dat", "link.dat", "dangling.dat"}) {
    SCOPED_TRACE(name);
    const Status refused = WriteNewFileAtomically(Path(name).string(), "generated");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().errorNumber, EEXIST);
  }
  EXPECT_EQ(FileText(Path("new.dat")), "archive");
  EXPECT_EQ(FileText(Path("copy.dat")), "a real archive's copy");
  EXPECT_EQ(ModeOf(Path("copy.dat")), 0600u);
  EXPECT_FALSE(fs::exists(Path("nowhere.dat")));
  EXPECT_EQ(
      Entries(folder_.path()),
      (std::vector<std::string>{"copy.dat", "dangling.dat", "folder.dat", "link.dat", "new.dat"}));
}

TEST_F(AtomicWriteTest, NewFileInAMissingFolderFailsAndLeavesNothing) {
  const Status failed = WriteNewFileAtomically(Path("missing/new.dat").string(), "x");
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.failure().errorNumber, ENOENT);
  EXPECT_TRUE(Entries(folder_.path()).empty());
  EXPECT_EQ(WriteNewFileAtomically(folder_.path().string() + "/", "x").failure().errorNumber,
            EISDIR);
}

}  // namespace
}  // namespace torv
