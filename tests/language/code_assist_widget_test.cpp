#include "language/code_assist_widget.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <cctype>
#include <gtest/gtest.h>

#include "editor/code_memo.h"
#include "editor/code_memo_widget.h"
#include "editor/memo_clipboard.h"
#include "language/name_source.h"
#include "language/word_lists.h"
#include "support/scripted_ui.h"

namespace quillon::language {
namespace {

// The one routine of the page below, as the index would answer for it.
class OneRoutine final : public NameSource {
public:
  std::vector<std::string> namesStartingWith(std::string_view prefix, const NamePlace&,
                                             std::size_t) const override {
    if (prefix.size() > 8 || std::string_view("showarea").substr(0, prefix.size()) != lower(prefix))
      return {};
    return {"ShowArea"};
  }
  std::optional<std::string> parametersOf(std::string_view name, const NamePlace&) const override {
    if (lower(name) != "showarea") return std::nullopt;
    return "o As Object, units As String";
  }

private:
  static std::string lower(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
  }
};

class CodeAssistWidgetTest : public ::testing::Test {
protected:
  void SetUp() override {
    memo.setText(
        "Declare Sub ShowArea(o As Object, units As String)\r\nSub ShowArea(o As Object, u As "
        "String)\r\nEnd Sub\r\n");
    memo.select(memo.table().startOf(3), 0);
    widget.resize(600, 300);
    widget.show();
    widget.setFocus();
    QApplication::processEvents();
  }
  void type(const char* text) {
    QTest::keyClicks(&widget, text);
    QApplication::processEvents();
  }
  std::string lastLine() const { return std::string(memo.paragraphText(3)); }

  editor::CodeMemo memo;
  editor::MemoClipboard clipboard{memo, nullptr};
  testing::ScriptedUi ui;
  editor::CodeMemoWidget widget{memo, clipboard, ui};
  WordLists words;
  OneRoutine names;
  CodeAssistWidget assist{widget, words, names, [] { return std::string(); }};
};

TEST_F(CodeAssistWidgetTest, TypingOffersTheSubAndEnterCompletesItInTheEditor) {
  type("Call Sh");
  ASSERT_TRUE(assist.popup()->isVisible());
  EXPECT_EQ(assist.popup()->item(0)->text(), "ShowArea");
  EXPECT_FALSE(assist.popup()->hasFocus());
  QTest::keyClick(&widget, Qt::Key_Return);
  EXPECT_EQ(lastLine(), "Call ShowArea");
  EXPECT_FALSE(assist.popup()->isVisible());
  EXPECT_EQ(memo.paragraphCount(), 4) << "Enter went to the pop-up, not into the text";

  type("(a, ");
  ASSERT_TRUE(assist.hint()->isVisible());
  EXPECT_EQ(assist.hint()->text(), "ShowArea(o As Object, <b>units As String</b>)");
  EXPECT_GT(assist.hint()->y(), 0) << "under the caret's line";
  QTest::keyClick(&widget, Qt::Key_Escape);
  EXPECT_FALSE(assist.hint()->isVisible());

  // Closed, the keys belong to the editor.
  QTest::keyClick(&widget, Qt::Key_Return);
  EXPECT_EQ(memo.paragraphCount(), 5);
  QTest::keyClick(&widget, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_TRUE(assist.popup()->isVisible()) << "Ctrl+Space on an empty word offers every name";
  QTest::keyClick(&widget, Qt::Key_Escape);
  EXPECT_FALSE(assist.popup()->isVisible());
}

}  // namespace
}  // namespace quillon::language
