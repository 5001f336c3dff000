#include "report/rtf_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "outside_program.h"
#include "report/report_file_names.h"
#include "result_value.h"
#include "without_privileges.h"

namespace torv {
namespace {

using testing::ValueOf;

namespace fs = std::filesystem;

// Tab stops for Courier New at 10 pt, 1229/2048 * 200 twips a character:
// widest cells of 16 ("Норма" and eleven spaces), 14 ("255" and eleven spaces)
// and 11 ("255:255:255") characters, one character to the end stop, two more
// to the next column: 17, 19, 34, 36, 48 and 50 characters, rounded up.
constexpr std::string_view kProlog =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset204 Courier "
    "New;}}\n"
    "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134\n"
    "\\pard\\tx2041\\tx2281\\tx4081\\tx4321\\tx5761\\tx6001\\f0\\fs20\n";

std::string Document(std::string_view body) {
  return std::string(kProlog) + std::string(body) + "}";
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, std::string_view content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "torvdoc-rtf-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

int EntryCount(const fs::path& folder) {
  return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// --- the document's bytes ---

TEST(RtfDocumentTest, EmptyPaneHasNoParagraph) {
  EXPECT_EQ(ValueOf(RtfDocument("")), Document(""));
}

TEST(RtfDocumentTest, OneAsciiLine) {
  EXPECT_EQ(ValueOf(RtfDocument("abc")), Document("abc\\par\n"));
}

TEST(RtfDocumentTest, EveryLineEndsInPar) {
  EXPECT_EQ(ValueOf(RtfDocument("a\nb\nc")), Document("a\\par\nb\\par\nc\\par\n"));
}

TEST(RtfDocumentTest, EmptyLinesStayParagraphs) {
  // The report's gap line: a line feed of its own between status and header.
  EXPECT_EQ(ValueOf(RtfDocument("s\n\n\nh")), Document("s\\par\n\\par\n\\par\nh\\par\n"));
  EXPECT_EQ(ValueOf(RtfDocument("\n")), Document("\\par\n\\par\n"));
}

TEST(RtfDocumentTest, TabIsControlWordEndedBySpace) {
  EXPECT_EQ(ValueOf(RtfDocument("a\t\tb")), Document("a\\tab \\tab b\\par\n"));
  // A space after a TAB is text: the control word's own space comes first.
  EXPECT_EQ(ValueOf(RtfDocument("\t Time")), Document("\\tab  Time\\par\n"));
}

TEST(RtfDocumentTest, BackslashAndBracesAreEscaped) {
  EXPECT_EQ(ValueOf(RtfDocument("{a\\b}")), Document("\\{a\\\\b\\}\\par\n"));
}

TEST(RtfDocumentTest, CyrillicBecomesCp1251HexEscapes) {
  // а = 0xE0, я = 0xFF, А = 0xC0, Ё = 0xA8, ё = 0xB8 in Windows-1251.
  EXPECT_EQ(ValueOf(RtfDocument("аяАЁё")), Document("\\'e0\\'ff\\'c0\\'a8\\'b8\\par\n"));
  EXPECT_EQ(ValueOf(RtfDocument("Дата")), Document("\\'c4\\'e0\\'f2\\'e0\\par\n"));
}

TEST(RtfDocumentTest, CharacterMissingFromCp1251BecomesQuestionMark) {
  EXPECT_EQ(ValueOf(RtfDocument("a中b")), Document("a?b\\par\n"));
}

TEST(RtfDocumentTest, ReportHeaderLine) {
  EXPECT_EQ(ValueOf(RtfDocument("Событие\t\tНомер входа\t\t Время\t\tДата")),
            Document("\\'d1\\'ee\\'e1\\'fb\\'f2\\'e8\\'e5\\tab \\tab "
                     "\\'cd\\'ee\\'ec\\'e5\\'f0 \\'e2\\'f5\\'ee\\'e4\\'e0\\tab \\tab "
                     " \\'c2\\'f0\\'e5\\'ec\\'ff\\tab \\tab \\'c4\\'e0\\'f2\\'e0\\par\n"));
}

TEST(RtfDocumentTest, OtherControlBytesAreHexEscaped) {
  EXPECT_EQ(ValueOf(RtfDocument("a\rb")), Document("a\\'0db\\par\n"));
}

// --- read back by LibreOffice ---

// The text LibreOffice reads from `rtf`, as UTF-8 without its byte order mark.
std::string TextReadByLibreOffice(const TempDir& dir, std::string_view rtf) {
  const fs::path input = dir.path() / "report.rtf";
  const fs::path output = dir.path() / "out";
  const fs::path home = dir.path() / "home";
  fs::create_directories(home);
  WriteFile(input, rtf);
  const std::string command = "HOME='" + home.string() +
                              "' soffice --headless --convert-to 'txt:Text (encoded):UTF8' "
                              "--outdir '" +
                              output.string() + "' '" + input.string() + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::string text = ReadFile(output / "report.txt");
  const std::string bom = "\xEF\xBB\xBF";
  EXPECT_EQ(text.substr(0, bom.size()), bom);
  if (text.compare(0, bom.size(), bom) == 0) text.erase(0, bom.size());
  return text;
}

TEST(RtfReadBackTest, LibreOfficeReadsReportLineForLine) {
  ASSERT_TRUE(testing::ProgramInstalled("soffice", "libreoffice-writer-nogui"));
  TempDir dir;
  const std::string pane =
      "Архив: файл /tmp/а б/archive.dat\n"
      "\n"
      "\n"
      "Событие\t\tНомер входа\t\t Время\t\tДата\n"
      "Тревожный сигнал \t\t3           \t\t12:05:09 01.02\t\t01.02\n"
      "**НЕКОРР ЗАП.**\t\t           \t\t \t\t\n"
      "ЁЖИК ёжик {скобки} и \\ черта";
  // LibreOffice ends every paragraph, the last one included, with a line feed.
  EXPECT_EQ(TextReadByLibreOffice(dir, ValueOf(RtfDocument(pane))), pane + "\n");
}

TEST(RtfReadBackTest, LibreOfficeReadsNoTextFromEmptyPane) {
  ASSERT_TRUE(testing::ProgramInstalled("soffice", "libreoffice-writer-nogui"));
  TempDir dir;
  // A Writer document always holds one paragraph; here it is empty.
  EXPECT_EQ(TextReadByLibreOffice(dir, ValueOf(RtfDocument(""))), "\n");
}

// --- saving ---

TEST(SaveRtfFileTest, WritesDocumentReplacingEarlierFile) {
  TempDir dir;
  const fs::path target = dir.path() / "отчет.rtf";
  WriteFile(target, "an earlier, longer file that must not survive in part");
  ASSERT_TRUE(SaveRtfFile(target.string(), "Дата\tx"));
  EXPECT_EQ(ReadFile(target), ValueOf(RtfDocument("Дата\tx")));
  EXPECT_EQ(EntryCount(dir.path()), 1);  // no temporary file left behind
}

TEST(SaveRtfFileTest, RelativeNameGoesToCurrentFolder) {
  TempDir dir;
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  const bool saved = SaveRtfFile(DefaultReportName(), "x").ok();
  fs::current_path(before);
  ASSERT_TRUE(saved);
  EXPECT_EQ(ReadFile(dir.path() / "отчет устр. "), ValueOf(RtfDocument("x")));
}

TEST(SaveRtfFileTest, MissingFolderFailsAndCreatesNothing) {
  TempDir dir;
  const fs::path target = dir.path() / "missing" / "report.rtf";
  const Status saved = SaveRtfFile(target.string(), "x");
  ASSERT_FALSE(saved.ok());
  EXPECT_EQ(saved.failure().errorNumber, ENOENT);
  EXPECT_FALSE(fs::exists(dir.path() / "missing"));
  EXPECT_EQ(EntryCount(dir.path()), 0);
}

TEST(SaveRtfFileTest, TargetThatIsAFolderFailsAndStays) {
  TempDir dir;
  const fs::path target = dir.path() / "report.rtf";
  fs::create_directory(target);
  WriteFile(target / "inside", "kept");
  const Status saved = SaveRtfFile(target.string(), "x");
  ASSERT_FALSE(saved.ok());
  EXPECT_EQ(saved.failure().errorNumber, EISDIR);
  EXPECT_EQ(saved.failure().reason, "Is a directory");
  ASSERT_TRUE(fs::is_directory(target));
  EXPECT_EQ(ReadFile(target / "inside"), "kept");
  EXPECT_EQ(EntryCount(dir.path()), 1);
}

TEST(SaveRtfFileTest, ANameEndingInASlashNamesAFolder) {
  TempDir dir;
  const Status saved = SaveRtfFile((dir.path() / "report").string() + "/", "x");
  ASSERT_FALSE(saved.ok());
  EXPECT_EQ(saved.failure().errorNumber, EISDIR);
  EXPECT_EQ(EntryCount(dir.path()), 0);
}

TEST(SaveRtfFileTest, ReadOnlyFolderFailsAndKeepsEarlierFile) {
  TempDir dir;
  const fs::path folder = dir.path() / "ro";
  fs::create_directory(folder);
  const fs::path target = folder / "report.rtf";
  WriteFile(target, "earlier report");
  // Open to be read by anyone, written by no one: nobody sees it as the owner does.
  fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_exec);
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                              fs::perms::others_exec);
  testing::RunWithoutPrivileges([&] {
    const Status saved = SaveRtfFile(target.string(), "x");
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.failure().errorNumber, EACCES);
    EXPECT_EQ(saved.failure().reason, "Permission denied");
  });
  fs::permissions(folder, fs::perms::owner_all);
  EXPECT_EQ(ReadFile(target), "earlier report");
  EXPECT_EQ(EntryCount(folder), 1);
}

}  // namespace
}  // namespace torv
