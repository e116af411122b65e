#include "build/insert_file.h"

#include <gtest/gtest.h>

#include "build/build_fixture.h"
#include "editor/code_memo.h"

namespace quillon::testing {
namespace {

class InsertFileTest : public BuildFixture {
protected:
  void SetUp() override {
    BuildFixture::SetUp();
    std::string text;
    for (int i = 1; i <= 20; ++i)
      text += "line " + std::to_string(i) + (i == 10 ? std::string(150, 'w') : "") + "\r\n";
    editor().setText(text);
    editor().setModified(false);
    errors().setText("kept");
  }
  void insert(const fs::path& file, int filterIndex = 1) {
    ui.queueOpenFiles({file}, filterIndex);
    bench.insertFile().run();
  }
  // The page's lines from paragraph `first` on, `count` of them.
  std::vector<std::string> lines(std::int64_t first, std::int64_t count) {
    std::vector<std::string> out;
    for (std::int64_t i = first; i < first + count; ++i)
      out.emplace_back(editor().paragraphText(i));
    return out;
  }
};

TEST_F(InsertFileTest, APlainFileGoesAboveTheCaretsParagraphAsOneUndoStep) {
  const fs::path file = source("part.mb", "first\nsecond\r\n");
  docs().setProjectFolder(folder / "");
  editor().setWordWrap(true);
  // The caret on the third display line of the wrapped paragraph 10.
  editor().setSelPar(9);
  editor().setSelStart(editor().selStart() + 120);
  ASSERT_GT(editor().selLine(), 9);
  const std::string before = editor().text();
  insert(file);

  const auto& d = ui.fileDialogs().back();
  EXPECT_EQ(std::tuple(d.filterIndex, d.multiSelect, d.initialDir),
            std::tuple(1, false, folder / ""));

  const std::string p = file.string();
  EXPECT_EQ(lines(8, 7),
            (std::vector<std::string>{"line 9", "'**** INSERT START: " + p + "****", "first",
                                      "second", "", "'**** INSERT END: " + p + "****",
                                      "line 10" + std::string(150, 'w')}));
  EXPECT_EQ(std::tuple(editor().selPar(), editor().selCol(), editor().modified(), errors().text()),
            std::tuple(14, 0, true, "kept"));
  editor().undo();
  EXPECT_EQ(editor().text(), before);
}

TEST_F(InsertFileTest, TheProjectFilterInsertsEverySectionInOrder) {
  const char* sections[] = {"dcl", "def", "dim", "dlg", "sub", "usr"};
  for (const char* ext : sections) source(std::string("form.") + ext, std::string("body ") + ext);
  fs::rename(folder / "form.dcl", folder / "FORM.DCL");
  // Any file chosen under the third filter stands for the project.
  const fs::path chosen = source("form.txt", "not inserted");
  editor().setSelPar(0);
  insert(chosen, 3);

  const std::string p = chosen.string();
  std::vector<std::string> expected{"'**** INSERT START: " + p + "****"};
  for (const char* ext : sections) {
    expected.push_back("'********");
    expected.push_back(std::string("body ") + ext);
  }
  expected.push_back("'**** INSERT END: " + p + "****");
  expected.push_back("line 1");
  EXPECT_EQ(lines(0, 15), expected);
}

// Which files cannot be read is the file reader's test.
TEST_F(InsertFileTest, ASectionThatCannotBeReadLeavesThePageAsItWas) {
  const std::string before = editor().text();
  for (const char* ext : {"dcl", "def", "dim", "dlg", "sub"})
    source(std::string("form.") + ext, "x");
  insert(folder / "form.prj", 3);
  EXPECT_EQ(ui.messages().back(), "Cannot open file " + (folder / "form.usr").string());
  EXPECT_EQ(editor().text(), before);
  EXPECT_FALSE(editor().modified());
}

TEST_F(InsertFileTest, ControlCharactersOfTheNameStayInsideTheComment) {
  const fs::path file = source("two\nlines\t.mb", "x");
  editor().setSelPar(0);
  insert(file);
  const std::string shown = (folder / "two?lines?.mb").string();
  EXPECT_EQ(lines(0, 4),
            (std::vector<std::string>{"'**** INSERT START: " + shown + "****", "x",
                                      "'**** INSERT END: " + shown + "****", "line 1"}));
}

}  // namespace
}  // namespace quillon::testing
