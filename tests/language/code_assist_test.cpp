#include "language/code_assist.h"

#include <gtest/gtest.h>
#include <map>

#include "editor/code_memo.h"
#include "language/word_lists.h"
#include "platform/ascii_text.h"

namespace quillon::language {
namespace {

// Names by prefix, and parameter lists of routines; the place is recorded.
class FakeNames final : public NameSource {
public:
  std::vector<std::string> names;
  std::map<std::string, std::string> routines;
  mutable NamePlace lastPlace;

  std::vector<std::string> namesStartingWith(std::string_view prefix, const NamePlace& place,
                                             std::size_t limit) const override {
    lastPlace = place;
    std::vector<std::string> out;
    for (const auto& n : names)
      if (out.size() < limit && n.size() >= prefix.size() &&
          platform::equalsNoCase(std::string_view(n).substr(0, prefix.size()), prefix))
        out.push_back(n);
    return out;
  }
  std::optional<std::string> parametersOf(std::string_view name, const NamePlace&) const override {
    for (const auto& [n, p] : routines)
      if (platform::equalsNoCase(n, name)) return p;
    return std::nullopt;
  }
};

struct FakeView final : AssistView {
  std::vector<std::string> rows;
  std::size_t selected = 0;
  bool popup = false;
  std::optional<std::string> hint;  // the bold part in [ ]
  void showCompletion(const std::vector<CompletionItem>& items, std::size_t s) override {
    rows.clear();
    for (const auto& i : items) rows.push_back(i.text);
    selected = s;
    popup = true;
  }
  void hideCompletion() override { popup = false; }
  void showHint(const SignatureHint& h) override {
    hint = h.text.substr(0, h.boldStart) + "[" + h.text.substr(h.boldStart, h.boldLength) + "]" +
           h.text.substr(h.boldStart + h.boldLength);
  }
  void hideHint() override { hint.reset(); }
};

class CodeAssistTest : public ::testing::Test {
protected:
  void SetUp() override {
    words.assign(WordList::Key, {"Dim", "Dialog", "Do", "ShowMe"});
    words.assign(WordList::Def, {"SHOW_X"});
    names.names = {"ShowArea", "ShowTotal", "shownCount"};
    names.routines = {{"ShowArea", "ByVal o As Object, units As String"}};
    memo.setText("Sub Main\r\n  \r\nEnd Sub");
    memo.select(12, 0);
  }
  // Types the text at the caret one character at a time, as the editor and the window do.
  void type(std::string_view text) {
    for (char c : text) {
      memo.setSelText(std::string(1, c));
      assist.typed(c);
    }
  }
  std::string line() const { return std::string(memo.paragraphText(1)); }

  WordLists words;
  FakeNames names;
  FakeView view;
  editor::CodeMemo memo;
  CodeAssist assist{{memo, words, names, view, [] { return std::string("/p/main.mb"); }}};
};

TEST_F(CodeAssistTest, TypingOffersTheCodesNamesThenKeywordsAndEnterTakesOneAsOneUndoStep) {
  type("S");
  EXPECT_FALSE(view.popup) << "one letter is not enough";
  type("h");
  ASSERT_TRUE(view.popup);
  EXPECT_EQ(view.rows,
            std::vector<std::string>({"ShowArea", "ShowTotal", "shownCount", "ShowMe", "SHOW_X"}));
  EXPECT_EQ(std::tuple(names.lastPlace.file, names.lastPlace.line),
            std::tuple(std::string("/p/main.mb"), 1));

  type("owT");
  EXPECT_EQ(view.rows, std::vector<std::string>({"ShowTotal"})) << "typing filters";
  EXPECT_TRUE(assist.keyPressed(AssistKey::Enter));
  EXPECT_EQ(std::tuple(line(), view.popup), std::tuple(std::string("  ShowTotal"), false));
  EXPECT_EQ(memo.selStart(), 21) << "the caret after the name";

  memo.undo();
  EXPECT_EQ(line(), "  ShowT");
}

TEST_F(CodeAssistTest, KeysAreTakenOnlyWhileThePopUpIsOpen) {
  for (AssistKey key : {AssistKey::Up, AssistKey::Down, AssistKey::PageUp, AssistKey::PageDown,
                        AssistKey::Enter, AssistKey::Tab, AssistKey::Escape})
    EXPECT_FALSE(assist.keyPressed(key));

  type("sh");
  ASSERT_TRUE(view.popup);
  EXPECT_TRUE(assist.keyPressed(AssistKey::Down));
  EXPECT_TRUE(assist.keyPressed(AssistKey::PageDown));
  EXPECT_EQ(view.selected, 4u);
  EXPECT_TRUE(assist.keyPressed(AssistKey::Up));
  EXPECT_TRUE(assist.keyPressed(AssistKey::Escape));
  EXPECT_FALSE(view.popup);
  EXPECT_FALSE(assist.keyPressed(AssistKey::Enter)) << "closed: Enter is the editor's again";
  EXPECT_EQ(line(), "  sh");

  // Typing on reopens; Tab takes the row selected.
  type("o");
  ASSERT_TRUE(view.popup);
  assist.keyPressed(AssistKey::Down);
  EXPECT_TRUE(assist.keyPressed(AssistKey::Tab));
  EXPECT_EQ(line(), "  ShowTotal");
}

TEST_F(CodeAssistTest, ThePopUpClosesWhenTheCaretLeavesTheWordOrNothingIsLeft) {
  type("sho");
  ASSERT_TRUE(view.popup);
  type(" ");
  EXPECT_FALSE(view.popup);

  type("shown");
  ASSERT_TRUE(view.popup);
  type("x");
  EXPECT_FALSE(view.popup) << "nothing starts with shownx";

  // A word spelt out already offers nothing new; a keyword alone never opens it.
  memo.select(memo.table().startOf(1), memo.paragraphText(1).size());
  memo.setSelText("  ");
  type("Di");
  EXPECT_FALSE(view.popup);
  type(" shownCount");
  EXPECT_FALSE(view.popup) << "typed out to its end";
}

TEST_F(CodeAssistTest, CtrlSpaceOffersEverythingForTheWordEvenAKeywordOrNoneAtAll) {
  type("Di");
  assist.requested();
  EXPECT_EQ(view.rows, std::vector<std::string>({"Dialog", "Dim"}));
  assist.keyPressed(AssistKey::Escape);
  type(" ");
  assist.requested();
  EXPECT_EQ(view.rows.size(), 8u) << "an empty word offers every name and keyword";

  assist.close();
  type(" 'Sh");
  assist.requested();
  EXPECT_FALSE(view.popup) << "in a comment";
  memo.setSelText("\r\n");
  names.names.clear();
  type("zz");
  assist.requested();
  EXPECT_FALSE(view.popup);
}

TEST_F(CodeAssistTest, TheHintFollowsTheCallsParametersAndClosesOnItsParenthesisOrEscape) {
  type("Call ShowArea(");
  EXPECT_EQ(view.hint, "ShowArea([ByVal o As Object], units As String)");
  type("x, ");
  EXPECT_EQ(view.hint, "ShowArea(ByVal o As Object, [units As String])");
  type("(a + b");
  EXPECT_EQ(view.hint, "ShowArea(ByVal o As Object, [units As String])")
      << "a grouping inside the call";
  type(")");
  EXPECT_TRUE(view.hint);
  type(")");
  EXPECT_FALSE(view.hint) << "the call's own parenthesis";

  type(" : Call ShowArea(");
  ASSERT_TRUE(view.hint);
  EXPECT_TRUE(assist.keyPressed(AssistKey::Escape));
  EXPECT_FALSE(view.hint);
  type("y");
  EXPECT_FALSE(view.hint) << "closed until the next parenthesis or comma";
  type(",");
  EXPECT_EQ(view.hint, "ShowArea(ByVal o As Object, [units As String])");

  memo.select(0, 0);
  EXPECT_FALSE(view.hint) << "another line";
  memo.select(memo.table().startOf(1) + 2, 0);
  type("Note(");
  EXPECT_FALSE(view.hint) << "built-ins keep their context-list help";
}

}  // namespace
}  // namespace quillon::language
