#include "build/error_panel.h"

#include <gtest/gtest.h>

#include "build/build_fixture.h"
#include "editor/code_memo.h"
#include "pages/text_file.h"

namespace quillon::build {
namespace {

namespace fs = std::filesystem;
using platform::Command;
using testing::numberedLines;
using testing::writeFile;

class ErrorPanelTest : public testing::BuildFixture {
protected:
  ErrorPanel& panel() { return bench.errorPanel(); }
  // Loads an error file with these lines and clicks line `line` (0-based).
  void click(const std::vector<std::string>& lines, int line, const fs::path& where = {}) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    const fs::path file = (where.empty() ? folder.path() : where) / "click.err";
    writeFile(file, text);
    ASSERT_TRUE(panel().load(file));
    errors().setSelPar(line);
    panel().mouseReleased();
  }
};

TEST_F(ErrorPanelTest, JumpsFromErrorLines) {
  const fs::path a = source("A.mb", numberedLines("a", 30));
  const fs::path b = source("b.mb", numberedLines("b", 30));
  open({a, b});
  ASSERT_EQ(docs().currentFile(), b.string());

  view.focus = false;
  click({"Compiling", "(a.MB:12) Type mismatch"}, 1);
  EXPECT_EQ(std::tuple(docs().currentFile(), caretLine(), editor().selCol(), view.focus),
            std::tuple(a.string(), 12, 0, true));
  EXPECT_EQ(errors().selText(), "(a.MB:12) Type mismatch");

  const std::pair<const char*, const char*> cases[] = {
      // the line, and what it says (nullptr: nothing)
      {"", ErrorPanel::kCannotLocate},
      {"(C:\\src\\b.mb:3) drive letter", nullptr},
      {"(other.mb:3) not open, not found", "FILE NOT OPEN: other.mb"},
      {"(../nowhere/b.mb:3) nowhere", "FILE NOT OPEN: ../nowhere/b.mb"},
      {"(:3)", "FILE NOT OPEN: "},
  };
  for (const auto& [line, said] : cases) {
    ui.setStatusText(4, "before");
    const std::int64_t caret = editor().selStart();
    click({line}, 0);
    EXPECT_EQ(status(), said ? said : "before") << line;
    EXPECT_EQ(editor().selStart(), caret) << line;
  }

  // A line number that is no number: the page comes forward with its own caret first.
  docs().showPage(1);
  editor().setSelLine(5);
  docs().showPage(0);
  click({"(b.mb:12a)"}, 0);
  EXPECT_EQ(std::tuple(docs().currentFile(), caretLine(), status()),
            std::tuple(b.string(), 6, ErrorPanel::kCannotLocate));
  click({"(b.mb:0)"}, 0);
  EXPECT_EQ(caretLine(), 1);
  click({"(b.mb:9999)"}, 0);
  EXPECT_EQ(caretLine(), editor().paragraphCount());
}

// With word wrap on, the line number is a paragraph, not a display line.
// Any other button: the caret first goes to the line under the pointer, then the jump.
TEST_F(ErrorPanelTest, ARightButtonReleaseJumpsForTheLineUnderThePointer) {
  open({source("a.mb", numberedLines("a", 30))});
  click({"(a.mb:3) first", "(a.mb:7) second", "(a.mb:9) third"}, 0);
  ASSERT_EQ(caretLine(), 3);
  const int lh = errors().lineHeight();
  panel().mouseReleasedAt(lh + lh / 2);
  EXPECT_EQ(std::tuple(caretLine(), errors().selText()), std::tuple(7, "(a.mb:7) second"));
  // Below the text the caret goes to the last line, the empty one after the last break, as
  // a left click would put it.
  panel().mouseReleasedAt(40 * lh);
  EXPECT_EQ(std::tuple(caretLine(), status()), std::tuple(7, ErrorPanel::kCannotLocate));
}

TEST_F(ErrorPanelTest, JumpLandsOnTheParagraphWithWordWrapOn) {
  std::string text;
  for (int i = 1; i <= 10; ++i) text += std::string(200, 'x') + " " + std::to_string(i) + "\r\n";
  open({source("w.mb", text)});
  editor().setWordWrap(true);
  editor().ensureLaidOut(editor().paragraphCount());
  ASSERT_GT(editor().lineCount(), 20);
  click({"(w.mb:7)"}, 0);
  EXPECT_EQ(caretLine(), 7);
  EXPECT_EQ(editor().selStart(), 6 * (200 + 2 + 2));
}

// Of two pages with the name, the one beside the error file is meant.
TEST_F(ErrorPanelTest, NamesThatAreNoPageAreLookedForNearby) {
  const fs::path one = source("one/same.mb", numberedLines("one", 9));
  const fs::path two = source("two/same.mb", numberedLines("two", 9));
  open({one, two});
  click({"(same.mb:4)"}, 0, folder / "one");
  EXPECT_EQ(docs().currentFile(), one.string());
  click({"(SAME.MB:4)"}, 0, folder / "two");
  EXPECT_EQ(docs().currentFile(), two.string());

  const fs::path inc = source("MapBasic/MAPBASIC.DEF", numberedLines("def", 9));
  click({"(mapbasic.def:8)"}, 0, folder / "one");
  EXPECT_EQ(std::tuple(docs().currentFile(), caretLine(), docs().tabCount(),
                       std::string(errors().paragraphText(0))),
            std::tuple(inc.string(), 8, 3, "(mapbasic.def:8)"));
}

// The compiler writes an included file's name as the Include gave it; a click and F8 both
// find it as the compiler did, and both refuse what it would not follow.
TEST_F(ErrorPanelTest, IncludedFilesWithFoldersOpenByClickAndByF8Alike) {
  const fs::path main = source("app/src/main.mb", "Include \"..\\ARRAYLib.def\"\r\n");
  const fs::path up = source("app/ARRAYLib.def", numberedLines("up", 20));
  const fs::path sub = source("app/src/Sub/Local.def", numberedLines("sub", 20));
  open({main});
  click({"(..\\arraylib.def:12) Syntax error"}, 0, folder / "app/src");
  EXPECT_EQ(std::tuple(docs().currentFile(), caretLine()), std::tuple(up.string(), 12));
  click({"(sub\\local.def:3) Syntax error", "(/proc/self/status:1) x",
         "(../../../../../../../../dev/zero:1) x"},
        0, folder / "app/src");
  EXPECT_EQ(std::tuple(docs().currentFile(), caretLine()), std::tuple(sub.string(), 3));
  ui.setStatusText(4, "");
  errors().setSelPar(1);
  panel().mouseReleased();
  EXPECT_EQ(status(), "FILE NOT OPEN: /proc/self/status");
  panel().nextError(true);
  EXPECT_EQ(status(), "FILE NOT OPEN: ../../../../../../../../dev/zero");
  EXPECT_EQ(docs().tabCount(), 3);
  panel().nextError(true);  // round again to the first: the page is open now
  EXPECT_EQ(std::tuple(docs().currentFile(), caretLine(), docs().tabCount()),
            std::tuple(sub.string(), 3, 3));
}

// In whatever case Wine wrote the error file.
TEST_F(ErrorPanelTest, EnteringAPageRefillsTheErrorView) {
  const fs::path a = source("a.mb", "a\r\n");
  const fs::path b = source("b.mb", "b\r\n");
  source("A.ERR", "(a.mb:1) x\r\n");
  auto shown = [&] { return std::pair(errors().text(), panel().errorFile()); };
  open({a, b});
  EXPECT_EQ(shown(), std::pair(std::string(), fs::path()));
  docs().selectTab(0);
  EXPECT_EQ(shown(), std::pair(std::string("(a.mb:1) x\r\n"), folder / "A.ERR"));
  docs().selectTab(1);
  EXPECT_EQ(shown(), std::pair(std::string(), fs::path()));
}

// Reading odd bytes is the editor's business; here the walk over what was read.
TEST_F(ErrorPanelTest, BadErrorFiles) {
  open({source("a.mb", numberedLines("a", 5))});
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xff);
  const std::tuple<const char*, std::string, std::int64_t> files[] = {
      // name, bytes, paragraphs (-1: any)
      {"empty.err", "", 1},
      {"binary.err", binary, -1},
      {"odd.err",
       "(x:)\r\n(:12)\r\n(a.mb:99999999999999999999)\r\n(a.mb:-3)\r\n(\xe9\xff.mb:1)\r\n(a.mb:5)"
       "\r\n",
       7},
  };
  for (const auto& [name, bytes, paragraphs] : files) {
    ASSERT_TRUE(panel().load(folder.write(name, bytes))) << name;
    if (paragraphs >= 0) {
      EXPECT_EQ(errors().paragraphCount(), paragraphs) << name;
    }
    for (int i = 0; i < 8; ++i) panel().nextError(true);
    panel().nextError(false);
  }
  EXPECT_EQ(caretLine(), 5);  // the last file's only good line

  ASSERT_EQ(::mkfifo((folder / "fifo.err").c_str(), 0600), 0);
  EXPECT_FALSE(panel().load(folder / "fifo.err"));
  EXPECT_EQ(std::tuple(errors().charCount(), panel().errorFile()), std::tuple(0, fs::path()));
  panel().nextError(true);  // nothing to walk
}

// A compiler that wrote without end: the first 16 MB are shown, cut at a whole line, with a
// last line of ours; the lines shown still jump.
TEST_F(ErrorPanelTest, AHugeErrorFileIsCutAt16Megabytes) {
  open({source("a.mb", numberedLines("a", 5))});
  std::string line = "(a.mb:3) Error: unknown " + std::string(1000, 'w') + "\r\n";
  std::string bytes;
  while (bytes.size() <= pages::kErrorFileLimit) bytes += line;
  ASSERT_TRUE(panel().load(folder.write("huge.err", bytes)));
  const std::int64_t last = errors().paragraphCount() - 1;
  EXPECT_EQ(errors().paragraphText(last), pages::kErrorFileCut);
  EXPECT_EQ(errors().paragraphText(last - 1), line.substr(0, line.size() - 2));
  EXPECT_LE(static_cast<std::uint64_t>(errors().charCount()), pages::kErrorFileLimit + 100);
  panel().jumpToFirstLine();
  EXPECT_EQ(caretLine(), 3);
  // Exactly at the limit is whole.
  bytes.resize(pages::kErrorFileLimit - pages::kErrorFileLimit % line.size());
  ASSERT_TRUE(panel().load(folder.write("whole.err", bytes)));
  EXPECT_NE(errors().paragraphText(errors().paragraphCount() - 2), pages::kErrorFileCut);
  EXPECT_EQ(static_cast<std::size_t>(errors().charCount()), bytes.size());
}

}  // namespace
}  // namespace quillon::build
