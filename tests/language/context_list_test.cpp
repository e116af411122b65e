#include "language/context_list.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "editor/code_memo.h"
#include "support/fake_main_view.h"
#include "support/recording_command_states.h"
#include "support/scripted_ui.h"
#include "support/special_files.h"

namespace quillon::language {
namespace {

using Words = std::vector<std::string>;
using Click = ContextList::Click;
using editor::EditKey;
using editor::KeyModifiers;

struct Holder : ContextItems {
  const std::vector<std::string>& contextItems() const override { return items; }
  void setContextItems(std::vector<std::string> lines, int) override {
    items = std::move(lines);
    ++sets;
  }
  Words items;
  int sets = 0;
};

class ContextListTest : public ::testing::Test {
protected:
  ContextListTest() {
    lists.assign(WordList::Key, {"Dim", "Dimension", "Do"});
    lists.assign(WordList::Help, {"Dim var_name As var_type", "Do [ While | Until condition ]"});
  }
  // Types `text` at the caret, one character at a time, as the keyboard does.
  void type(std::string_view text) {
    for (char c : text) memo.setSelText(std::string(1, c));
  }
  // A fresh text with the caret at its end; the list as typing the last line would leave it.
  void typeLine(const std::string& before, const std::string& line) {
    memo.setText(before + line);
    memo.setSelStart(memo.charCount());
    context.classifyWord();
  }
  std::string par(std::int64_t i) const { return std::string(memo.paragraphText(i)); }

  testing::ScriptedUi ui;
  testing::FakeMainView view;
  testing::RecordingCommandStates states;
  editor::CodeMemo memo;
  WordLists lists;
  Holder holder;
  ContextList context{{ui, view, states, memo, lists, holder}};
};

TEST_F(ContextListTest, TypingListsTheMatchesOfTheWordsBeforeTheCaret) {
  type("    di");
  EXPECT_EQ(holder.items, (Words{"KEY Dim", "HLP Dim var_name As var_type", "KEY Dimension"}));
  type("m x");
  EXPECT_TRUE(holder.items.size() == 3 && holder.items[0] == " ?  x") << holder.items.size();
  // Classification never lets another event run inside the insertion.
  EXPECT_EQ(ui.pendingMessageCalls(), 0);
}

TEST_F(ContextListTest, ACaretAtTheLineStartKeepsTheListAndABlankLineClearsIt) {
  type("do");
  const Words before = holder.items;
  ASSERT_FALSE(before.empty());
  memo.setSelText("\r\n");
  EXPECT_EQ(holder.items, before);
  type(" ");
  EXPECT_TRUE(holder.items.empty());
}

TEST_F(ContextListTest, InsertionsInsideOneUpdateAreClassifiedOnceAtItsEnd) {
  memo.beginUpdate();
  type("Dim a");
  EXPECT_EQ(holder.sets, 0);
  memo.endUpdate();
  EXPECT_EQ(holder.sets, 1);
}

TEST_F(ContextListTest, APlainClickCompletesTheEndOfTheLineAsOneUndoStep) {
  const std::pair<std::string, std::string> cases[] = {
      {"    Di", "    Dim"}, {"  D", "  D"}, {"D", "Dim"}, {"x = dI", "x = Dim"}};
  for (const auto& [line, completed] : cases) {
    typeLine("first\r\n", line);
    holder.items = {"KEY Dim"};
    context.itemClicked(0, Click::plain);
    EXPECT_EQ(par(1), completed) << line;
    if (completed == line) continue;
    EXPECT_EQ(memo.selStart(), memo.charCount()) << line;
    memo.undo();
    EXPECT_EQ(par(1), line);
  }
}

TEST_F(ContextListTest, ShiftClicksIgnoreOrAddTheUnknownWord) {
  typeLine("", "x = zzq");
  ASSERT_EQ(holder.items.size(), 3u);
  context.itemClicked(0, Click::shift);
  context.itemClicked(1, Click::shift);
  EXPECT_EQ(lists.list(WordList::User), Words{"zzq"});
  EXPECT_EQ(holder.items.size(), 3u);

  ui.queueAnswer(platform::Ui::Answer::Cancel);
  context.itemClicked(2, Click::shift);
  EXPECT_EQ(holder.items.size(), 3u);
  ui.queueAnswer(platform::Ui::Answer::Ok);
  context.itemClicked(2, Click::shift);
  EXPECT_EQ(holder.items, Words{"DIC zzq"});
  EXPECT_EQ(lists.list(WordList::Dict), Words{"zzq"});
  const auto& q = ui.questions().back();
  EXPECT_EQ(std::tuple(q.caption, q.text, q.buttons),
            std::tuple("Confirm", "zzq\n\nAdd To Dictionary....", platform::Ui::Buttons::OkCancel));
  EXPECT_EQ(memo.text(), "x = zzq");
}

TEST_F(ContextListTest, AShiftClickOnAMatchInsertsItAsAComment) {
  typeLine("top\r\n", "\t  Dim");
  memo.setSelStart(memo.charCount() - 1);
  context.itemClicked(1, Click::shift);
  EXPECT_EQ(memo.text(), "top\r\n\t  'Dim var_name As var_type\r\n\t  Dim");
  EXPECT_EQ(memo.selStart(), memo.charCount() - 1);
  memo.undo();
  EXPECT_EQ(memo.text(), "top\r\n\t  Dim");

  // With a selection the text replaces it, and the caret goes back to where it began.
  memo.select(0, 3);
  context.itemClicked(0, Click::shift);
  EXPECT_EQ(memo.text(), "Dim \r\n\t  Dim");
  EXPECT_EQ(std::pair(memo.selStart(), memo.selLength()),
            std::pair(editor::Offset{0}, editor::Offset{0}));
}

// Ctrl+Shift+Enter needs a help line in the second row; the keys held at the press count.
TEST_F(ContextListTest, CtrlEnterAndCtrlShiftEnterComplete) {
  const KeyModifiers ctrl{false, true, false}, ctrlShift{true, true, false};
  // The line, the caret's distance from its end, the list (empty: as typing left it), the keys
  // at the press and at the release, and the text after.
  const std::tuple<const char*, int, Words, KeyModifiers, KeyModifiers, std::string> rows[] = {
      {"    Di", 0, {}, ctrl, ctrl, "    DIM"},
      {"D x", 2, {"KEY Dim"}, ctrl, ctrl, "D x"},  // the end of the line is what is completed
      {"d", 0, {"KEY Dim"}, ctrl, ctrl, "DIM"},
      {"  Dim", 0, {}, ctrlShift, ctrlShift, "  'Dim var_name As var_type\r\n  Dim"},
      {"Dim", 0, {}, ctrlShift, {}, "'Dim var_name As var_type\r\nDim"},
      {"Dim", 0, {"KEY Dim", "KEY Dimension"}, ctrlShift, ctrlShift, "Dim"},
  };
  for (const auto& [line, caretBack, items, pressed, released, expected] : rows) {
    SCOPED_TRACE(line);
    typeLine("a\r\n", line);
    memo.setSelStart(memo.charCount() - caretBack);
    if (!items.empty()) holder.items = items;
    EXPECT_TRUE(context.keyPressed(EditKey::Enter, 0, pressed));
    EXPECT_TRUE(context.keyReleased(EditKey::Enter, 0, released));
    EXPECT_EQ(memo.text(), "a\r\n" + expected);
    if (caretBack == 0) {
      EXPECT_EQ(memo.selStart(), memo.charCount());
    }
  }
}

TEST_F(ContextListTest, CtrlShiftHChoosesTheOnlyLine) {
  typeLine("", "x Dimen");
  ASSERT_EQ(holder.items, Words{"KEY Dimension"});
  EXPECT_TRUE(context.keyReleased(std::nullopt, 'H', {true, true, true}));
  EXPECT_EQ(memo.text(), "x Dimension");
  EXPECT_TRUE(context.keyReleased(std::nullopt, 'h', {true, true, false}));
  EXPECT_EQ(memo.text(), "'Dimension\r\nx Dimension");
  EXPECT_FALSE(context.keyReleased(std::nullopt, 'H', {false, true, false}));
}

TEST_F(ContextListTest, ThePopupActsOnRowZerosWordOrTheCurrentWord) {
  typeLine("", "x = qqz");
  EXPECT_EQ(context.popupWord(), "qqz");
  context.ignoreForNow();
  EXPECT_EQ(lists.list(WordList::User), Words{"qqz"});
  typeLine("", "Do");
  memo.setSelStart(1);
  EXPECT_EQ(context.popupWord(), "Do");
  typeLine("", "Do ");
  memo.setSelStart(3);
  EXPECT_EQ(context.popupWord(), "");
  context.addToDictionary();  // no word: no question
}

TEST_F(ContextListTest, HelpContextShowsTheListInFrontOrHidesThePanel) {
  states.setChecked(platform::Command::bError, platform::Command::ShowErrors1, true);
  context.helpContext();
  EXPECT_EQ(std::tuple(view.bottomVisible, view.bottomFront,
                       states.checked(platform::Command::HelpContext1)),
            std::tuple(true, platform::MainView::BottomPage::ContextList, true));
  EXPECT_FALSE(states.checked(platform::Command::bError) ||
               states.checked(platform::Command::ShowErrors1));
  context.helpContext();
  EXPECT_FALSE(view.bottomVisible || states.checked(platform::Command::HelpContext1));
}

TEST_F(ContextListTest, TypingAtTheEndOfAHugeLineStaysCheap) {
  testing::HangGuard guard(60);
  std::string line;
  while (line.size() < (20u << 20)) line += "Dim abc, ";
  typeLine("", line);
  type("Di");
  EXPECT_EQ(holder.items.front(), "KEY Dim");
  typeLine("", std::string(4u << 20, 'q'));
  type("q");
  EXPECT_TRUE(holder.items.empty());
}

}  // namespace
}  // namespace quillon::language
