// Go To Definition, Back and Find References in a started program over pages, includes and
// a project's modules.
#include "language/code_navigator.h"

#include <gtest/gtest.h>

#include "build/build_fixture.h"
#include "editor/code_memo.h"
#include "language/code_intelligence.h"
#include "pages/document_commands.h"
#include "platform/command_registry.h"

namespace quillon::language {
namespace {

namespace fs = std::filesystem;
using testing::numberedLines;

class CodeNavigatorTest : public testing::BuildFixture {
protected:
  CodeNavigator& nav() { return bench.code().navigator(); }
  // The caret on the first use of `word` in paragraph `line` (from 0).
  void caretOn(std::int64_t line, std::string_view word) {
    const std::string_view text = editor().paragraphText(line);
    editor().setSelPar(line);
    editor().setSelCol(static_cast<std::int64_t>(text.find(word)) + 1);
  }
  std::string place() {
    return fs::path(docs().currentFile()).filename().string() + ":" + std::to_string(caretLine());
  }
  std::vector<std::string> referenceRows() {
    std::vector<std::string> rows;
    editor::CodeMemo& list = bench.code().referenceView();
    for (std::int64_t i = 0; i < list.paragraphCount(); ++i)
      rows.emplace_back(list.paragraphText(i));
    return rows;
  }

  void makeProject() {
    source("app/lib/Shared.def", "Declare Sub Helper(ByVal n As Integer)\r\nDefine LIMIT 10\r\n");
    source("app/src/a.mb",
           "Include \"..\\lib\\Shared.def\"\r\n"
           "Sub Main\r\n"
           "  Dim n As Integer\r\n"
           "  n = LIMIT\r\n"
           "  Call Helper(n)\r\n"
           "End Sub\r\n");
    source("app/src/b.mb",
           "Include \"..\\lib\\Shared.def\"\r\n"
           "Sub Helper(ByVal n As Integer)\r\n"
           "  Print n\r\n"
           "End Sub\r\n"
           "Sub Again\r\n"
           "  Call Helper(LIMIT)\r\n"
           "End Sub\r\n");
    source("app/src/app.mbp", "[LINK]\r\nApplication=app.mbx\r\nModule=a.mbo\r\nModule=b.mbo\r\n");
  }
};

TEST_F(CodeNavigatorTest, JumpsIntoAModuleNotOpenAndBack) {
  makeProject();
  open({folder / "app/src/app.mbp", folder / "app/src/a.mb"});
  caretOn(4, "Helper");
  nav().goToDefinition();
  EXPECT_EQ(std::tuple(place(), docs().tabCount(), editor().selCol()), std::tuple("b.mb:2", 3, 4));
  // Into the include through the Define, then back twice.
  caretOn(5, "LIMIT");
  nav().goToDefinition();
  EXPECT_EQ(place(), "Shared.def:2");
  nav().back();
  EXPECT_EQ(place(), "b.mb:6");
  nav().back();
  EXPECT_EQ(std::tuple(place(), editor().selCol()), std::tuple("a.mb:5", 8));
  nav().back();  // nothing left: nothing moves
  EXPECT_EQ(place(), "a.mb:5");

  caretOn(2, "n ");
  nav().goToDefinition();
  EXPECT_EQ(place(), "a.mb:3");  // the Sub's own Dim, not the Parameter of b.mb
}

TEST_F(CodeNavigatorTest, UnsavedTextCountsAndNothingFoundMovesNothing) {
  open({source("one.mb", "Sub Main\r\n  Call Later\r\nEnd Sub\r\n")});
  caretOn(1, "Later");
  nav().goToDefinition();
  EXPECT_EQ(std::tuple(place(), status()),
            std::tuple("one.mb:2", std::string(CodeNavigator::kNotFound) + "Later"));

  // Typed, not saved: the edit reaches the index.
  editor().setSelStart(editor().charCount());
  editor().setSelText("\r\nSub Later\r\nEnd Sub");
  caretOn(1, "Later");
  nav().goToDefinition();
  EXPECT_EQ(place(), "one.mb:5");

  editor().setSelPar(2);
  editor().setSelCol(5);
  ui.setStatusText(4, "");
  editor().setSelText("   ");
  caretOn(3, "   ");
  nav().goToDefinition();
  EXPECT_EQ(status(), CodeNavigator::kNoWord);
}

TEST_F(CodeNavigatorTest, SeveralCandidatesAreChosenFromAList) {
  const fs::path one = source("one.mb", "Sub Twice\r\nEnd Sub\r\n");
  const fs::path two = source("two.mb", "Sub Twice\r\nEnd Sub\r\n");
  const fs::path caller = source("caller.mb", "Call Twice\r\n");
  source("p.mbp", "Module=one.mbo\r\nModule=two.mbo\r\nModule=caller.mbo\r\n");
  open({folder / "p.mbp", caller});
  std::vector<std::string> offered;
  std::optional<std::size_t> answer = 1;
  nav().choose = [&](std::string_view, const std::vector<std::string>& rows) {
    offered = rows;
    return answer;
  };
  caretOn(0, "Twice");
  answer = std::nullopt;
  nav().goToDefinition();
  EXPECT_EQ(std::tuple(place(), docs().tabCount()), std::tuple("caller.mb:1", 2));
  EXPECT_EQ(offered, (std::vector<std::string>{"one.mb(1): Sub Twice", "two.mb(1): Sub Twice"}));
  answer = 1;
  nav().goToDefinition();
  EXPECT_EQ(docs().currentFile(), two.string());
  (void)one;
}

TEST_F(CodeNavigatorTest, BackKeepsFiftyPlacesAndSkipsClosedPages) {
  std::string text;
  for (int i = 0; i < 60; ++i)
    text +=
        "Sub S" + std::to_string(i) + "\r\n  Call S" + std::to_string(i + 1) + "\r\nEnd Sub\r\n";
  const fs::path far = source("far.mb", "Sub Far\r\nEnd Sub\r\n");
  source("p.mbp", "Module=far.mbo\r\nModule=near.mbo\r\n");
  const fs::path near = source("near.mb", text + "Call Far\r\n");
  open({folder / "p.mbp", near});
  for (int i = 0; i < 59; ++i) {
    caretOn(3 * i + 1, "S");
    nav().goToDefinition();
  }
  EXPECT_EQ(nav().backDepth(), CodeNavigator::kBackPlaces);
  caretOn(180, "Far");
  nav().goToDefinition();
  ASSERT_EQ(docs().currentFile(), far.string());
  // far.mb goes back to near.mb; once near.mb is closed, its places are no longer reachable.
  docs().showPage(docs().tabCount() - 2);
  ASSERT_EQ(docs().currentFile(), near.string());
  docs().closePage();
  const int tabs = docs().tabCount();
  nav().back();
  EXPECT_EQ(nav().backDepth(), 0u);
  EXPECT_EQ(docs().tabCount(), tabs);
}

TEST_F(CodeNavigatorTest, FindReferencesListsEveryUseAndWalksThem) {
  makeProject();
  open({folder / "app/src/app.mbp", folder / "app/src/a.mb"});
  caretOn(4, "Helper");
  nav().findReferences();
  EXPECT_EQ(
      referenceRows(),
      (std::vector<std::string>{
          "Shared.def(1): Declare Sub Helper(ByVal n As Integer)", "a.mb(5):   Call Helper(n)",
          "b.mb(2): Sub Helper(ByVal n As Integer)", "b.mb(6):   Call Helper(LIMIT)"}));
  EXPECT_EQ(status(), "4 references to Helper");
  EXPECT_TRUE(nav().referencesShowing());
  EXPECT_FALSE(states.checked(platform::Command::ShowErrors1));

  // F8 and Shift+F8, as the menu runs them, walk the list in front rather than the errors.
  ASSERT_TRUE(bench.commands().run("errors.next"));
  EXPECT_EQ(place(), "Shared.def:1");
  bench.commands().run("errors.previous");
  bench.commands().run("errors.previous");
  EXPECT_EQ(place(), "b.mb:2");
  bench.code().referenceView().setSelPar(1);
  nav().openReference();
  EXPECT_EQ(std::tuple(place(), editor().selCol()), std::tuple("a.mb:5", 7));

  // A local: only its own Sub's uses.
  caretOn(2, "n ");
  nav().findReferences();
  EXPECT_EQ(referenceRows(),
            (std::vector<std::string>{"a.mb(3):   Dim n As Integer", "a.mb(4):   n = LIMIT",
                                      "a.mb(5):   Call Helper(n)"}));
  // In a string there is no name to look for.
  editor().setSelStart(editor().charCount());
  editor().setSelText("\r\nPrint \"Helper\"");
  caretOn(6, "Helper");
  nav().findReferences();
  EXPECT_EQ(status(), CodeNavigator::kNoWord);
}

TEST_F(CodeNavigatorTest, ADefinitionBeyondThePageLimitSaysSoAndStays) {
  source("p.mbp", "Module=target.mbo\r\n");
  source("target.mb", "Sub Target\r\nEnd Sub\r\n");
  std::vector<fs::path> files{folder / "p.mbp"};
  for (int i = 0; i < 48; ++i) files.push_back(source("f" + std::to_string(i) + ".mb", "x\r\n"));
  files.push_back(source("caller.mb", "Call Target\r\n"));
  open(files);
  ASSERT_EQ(docs().tabCount(), 50);
  caretOn(0, "Target");
  nav().goToDefinition();
  EXPECT_EQ(std::tuple(place(), status(), nav().backDepth()),
            std::tuple("caller.mb:1", "50 File MAX -- Close Excess First", 0u));
}

// The pop-up and the hint ask the index: names of the page's own scope first, then those of
// its includes and of the project's other modules; a Declare's list wins; an edit is seen.
TEST_F(CodeNavigatorTest, CompletionNamesAndParametersComeFromTheIndex) {
  makeProject();
  source("app/src/c.mb",
         "Include \"..\\lib\\Shared.def\"\r\n"
         "Declare Sub ShowArea(ByVal o As Object, units As String)\r\n"
         "Sub ShowArea(ByVal o As Object, u As String)\r\n"
         "  Dim shownArea As Float\r\n"
         "End Sub\r\n"
         "Sub Other\r\n"
         "  Dim shownOther\r\n"
         "End Sub\r\n");
  open({folder / "app/src/app.mbp", folder / "app/src/c.mb"});
  const NameSource& names = bench.code().names();
  EXPECT_EQ(names.namesStartingWith("show", {"", 3}, 10),
            (std::vector<std::string>{"shownArea", "ShowArea", "shownOther"}));
  EXPECT_EQ(names.namesStartingWith("hel", {"", 3}, 10), std::vector<std::string>{"Helper"})
      << "from the include";
  EXPECT_EQ(names.namesStartingWith("LIM", {"", 0}, 10), std::vector<std::string>{"LIMIT"});
  EXPECT_EQ(names.namesStartingWith("", {"", 3}, 2).size(), 2u);
  EXPECT_EQ(names.parametersOf("showarea", {"", 6}), "ByVal o As Object, units As String");
  EXPECT_EQ(names.parametersOf("Helper", {"", 6}), "ByVal n As Integer");
  EXPECT_FALSE(names.parametersOf("LIMIT", {"", 6}));

  editor().select(0, 0);
  editor().setSelText("Sub Added(n)\r\nEnd Sub\r\n");
  EXPECT_EQ(names.parametersOf("Added", {"", 0}), "n");
  EXPECT_EQ(names.namesStartingWith("add", {"", 0}, 10), std::vector<std::string>{"Added"});
}

}  // namespace
}  // namespace quillon::language
