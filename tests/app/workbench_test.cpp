#include "app/workbench.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <tuple>

#include "app/status_presenter.h"
#include "editor/code_memo.h"
#include "editor/highlight_engine.h"
#include "editor/memo_error.h"
#include "editor/number_highlighter.h"
#include "language/word_lists.h"
#include "pages/document_commands.h"
#include "platform/command_registry.h"
#include "settings/ini_file.h"
#include "settings/option_commands.h"
#include "support/test_program.h"
#include "support/workbench_ports.h"

namespace quillon::app {
namespace {

using platform::Command;

class WorkbenchTest : public ::testing::Test, protected testing::WorkbenchPorts {
protected:
  // The build folder holds the default key file the program looks for beside itself.
  std::filesystem::path program() const { return installed.file(); }
  void start(std::vector<std::string> args = {}) { installed.start(bench, args); }

  void fillLines() { bench.sourceEditor().setText(testing::numberedLines("line", 20)); }
  // Caret to a line and column counted from 1.
  void caretTo(int line, int column) {
    auto& memo = bench.sourceEditor();
    memo.setSelLine(line - 1);
    memo.setSelCol(column - 1);
  }
  std::filesystem::path writeFile(const std::string& name, const std::string& text) {
    return files.write(name, text);
  }
  std::vector<std::string> lockPanels() const {
    return {ui.statusText(1), ui.statusText(2), ui.statusText(3)};
  }

  testing::TestProgram installed;
  testing::TempFolder files;
  Workbench bench{ports()};
};

TEST_F(WorkbenchTest, StartsAsAnUntitledMbPage) {
  keyboard.caps = true;
  start();
  EXPECT_EQ(std::tuple(view.caption, view.tabs[0], bench.currentFile(), bench.currentExt()),
            std::tuple("Quillon - Untitled", "Untitled", "Untitled", "mb"));
  EXPECT_EQ(std::tuple(bench.programFolder(), ui.statusText(0), lockPanels(), ui.messages().size()),
            std::tuple(program().parent_path() / "", "1:  1",
                       std::vector<std::string>{"INS", "CAP", ""}, 0u));

  // A lock that is off and one whose state is unknown both leave their panels empty.
  keyboard.caps = false;
  keyboard.num = true;
  bench.lockKeyPressed();
  EXPECT_EQ(lockPanels(), (std::vector<std::string>{"INS", "", "NUM"}));

  bench.anotherCopyStarted();
  EXPECT_EQ(std::tuple(view.raised, ui.messages()),
            std::tuple(1, std::vector<std::string>{"Quillon Is Running....Use Drag-N-Drop"}));
}

TEST_F(WorkbenchTest, CommandLineOpensOnlyTheFirstFile) {
  const auto first = writeFile("first.MB", "Dim a As Integer\r\n");
  const auto second = writeFile("second.mb", "other\r\n");
  start({first.string(), second.string()});
  EXPECT_EQ(std::tuple(bench.sourceEditor().text(), view.tabs, bench.currentExt(), ui.statusText(4),
                       bench.commandLineFile()),
            std::tuple("Dim a As Integer\r\n", std::vector<std::string>{"first.MB"}, "mb",
                       "LOADED: first.MB", ""));
  // Loading is not an edit.
  EXPECT_FALSE(bench.sourceEditor().modified() || states.enabled(Command::bSave) ||
               states.enabled(Command::bUndo));
}

// A first argument naming nothing readable is opened as a dialog's file: the page commands' test.
TEST_F(WorkbenchTest, AnEmptyFirstArgumentIsPassedOver) {
  start({"", writeFile("ignored.mb", "x").string()});
  EXPECT_EQ(std::tuple(ui.messages().size(), bench.documents().tabCaptions(), view.caption,
                       bench.sourceEditor().charCount()),
            std::tuple(0u, std::vector<std::string>{"Untitled"}, "Quillon - Untitled", 0));
  EXPECT_GT(ui.pendingMessageCalls(), 0);
}

TEST_F(WorkbenchTest, CutAndCopyFollowTheSelectionExceptWhileTheMouseIsDown) {
  start();
  fillLines();
  auto& memo = bench.sourceEditor();
  auto cutCopy = [&] {
    return std::vector{states.enabled(Command::bCut), states.enabled(Command::Cut1),
                       states.enabled(Command::bCopy), states.enabled(Command::Copy1)};
  };
  memo.select(4, -4);  // the caret moves; the selection ends behind it
  EXPECT_EQ(cutCopy(), std::vector(4, true));
  bench.editorMousePressed();
  memo.select(10, 0);
  EXPECT_TRUE(states.enabled(Command::bCut)) << "a drag in progress must not switch Cut";
  bench.editorMouseReleased();
  EXPECT_EQ(cutCopy(), std::vector(4, false));
  bench.commands().run("edit.selectAll");
  EXPECT_EQ(cutCopy(), std::vector(4, true));
}

// The caret panel is written differently after a mouse move; a blank line clears the context.
TEST_F(WorkbenchTest, StatusPanelsFollowTheCaretTheParenthesesAndTheContext) {
  start();
  fillLines();
  caretTo(12, 5);
  EXPECT_EQ(ui.statusText(0), "12:5");
  bench.editorMousePressed();
  caretTo(3, 2);
  bench.editorMouseReleased();
  EXPECT_EQ(ui.statusText(0), "3 :  2");

  auto& status = bench.status();
  status.setOpenParenCount(2);
  caretTo(2, 1);
  EXPECT_EQ(ui.statusText(4), "Open Parenthis: 2");
  status.setOpenParenCount(0);
  caretTo(2, 2);
  EXPECT_EQ(ui.statusText(4), "Parenthis OK....");
  status.setContextItems({"01 Dim statement", "02 other"});
  caretTo(2, 3);
  EXPECT_EQ(std::tuple(ui.statusText(4), view.context.size()), std::tuple("Dim statement", 2u));
  status.setContextItems({});
  caretTo(2, 4);
  EXPECT_EQ(ui.statusText(4), "");

  bench.sourceEditor().setText("word\r\n   \r\nmore");
  status.setContextItems({"01 word"});
  caretTo(2, 2);
  EXPECT_TRUE(view.context.empty() && status.contextItems().empty());
}

TEST_F(WorkbenchTest, StatusBarClickTogglesInsertModeOnlyOverItsPanel) {
  start();
  auto mode = [&] { return std::tuple(ui.statusText(1), bench.sourceEditor().overwrite()); };
  bench.statusBarClicked(91);
  bench.statusBarClicked(125);
  EXPECT_EQ(mode(), std::tuple("INS", false));
  bench.statusBarClicked(92);
  EXPECT_EQ(mode(), std::tuple("OVR", true));
  bench.statusBarClicked(124);
  EXPECT_EQ(mode(), std::tuple("INS", false));
}

// Column blocks through the system clipboard are the window test's.
TEST_F(WorkbenchTest, EditMenuCutAndPasteNeedFocusAndAWritableEditor) {
  start();
  auto& memo = bench.sourceEditor();
  clipboard.content = platform::ClipboardText{"one\ntwo\nthree", false};
  view.focus = false;
  bench.commands().run("edit.paste");
  EXPECT_EQ(memo.charCount(), 0) << "paste needs the editor's focus";
  view.focus = true;
  bench.commands().run("edit.paste");
  EXPECT_EQ(memo.paragraphCount(), 3);

  memo.select(0, 3);
  bench.commands().run("edit.cut");
  EXPECT_EQ(std::tuple(memo.text(), clipboard.content->text),
            std::tuple("\r\ntwo\r\nthree", "one"));

  memo.setReadOnly(true);
  memo.select(2, 3);
  bench.commands().run("edit.cut");
  bench.commands().run("edit.paste");
  EXPECT_EQ(std::tuple(memo.text(), clipboard.content->text), std::tuple("\r\ntwo\r\nthree", "one"))
      << "a read-only editor keeps its text";
}

// Tab stops out of range are asked for again, also after Cancel.
TEST_F(WorkbenchTest, NumberPromptsClampRejectAndAskAgain) {
  start();
  auto& memo = bench.sourceEditor();
  const struct {
    bool tabs;
    int before;
    std::vector<std::optional<std::string>> answers;
    int after;
    const char* message;
  } rows[] = {
      {true, 8, {"40"}, 16, nullptr},
      {true, 8, {"-3"}, 2, nullptr},
      {true, 8, {"1", std::nullopt, ""}, 2, nullptr},
      {true, 7, {std::nullopt}, 7, nullptr},
      {true, 4, {"abc"}, 4, "'abc' is not a valid integer value"},
      {false, 0, {"-4"}, 4, nullptr},
      {false, 4, {""}, 0, nullptr},
      {false, 2, {std::nullopt}, 2, nullptr},
      {false, 3, {"2x"}, 3, "'2x' is not a valid integer value"},
      {false, 2, {"-2147483648"}, 2147483647, nullptr},  // no absolute value of its own
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.answers.front().value_or("Cancel") +
                 (r.tabs ? " for the tab stops" : " for the cursor width"));
    const std::size_t messages = ui.messages().size();
    for (const auto& a : r.answers) ui.queuePrompt(a);
    if (r.tabs) {
      memo.setTabStops(r.before);
      bench.options().askTabStops();
      EXPECT_EQ(memo.tabStops(), r.after);
    } else {
      memo.setCaretWidth(r.before);
      bench.options().askCursorWidth();
      EXPECT_EQ(memo.caretWidth(), r.after);
    }
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_EQ(ui.questions().back().caption, r.tabs ? "Set Tab Value" : "Setting cursor width");
    EXPECT_EQ(ui.questions().back().text, r.tabs ? "Enter Number of Chars for Tab [2-16]...."
                                                 : "Enter the new value (0 means auto width)");
    EXPECT_EQ(std::vector<std::string>(ui.messages().begin() + messages, ui.messages().end()),
              r.message ? std::vector<std::string>{r.message} : std::vector<std::string>{});
  }
}

TEST_F(WorkbenchTest, OptionsSwitchRegionsAndEditorOptionsAndReachTheView) {
  start();
  auto& options = bench.options();
  auto& memo = bench.sourceEditor();
  // The toolbar and word wrap: the window test, through menu and button.
  options.toggleStatusBar();
  EXPECT_FALSE(states.checked(Command::StatusBar1) ||
               view.regionVisible(platform::MainView::Region::StatusBar));
  options.toggleLineNumbers();
  EXPECT_FALSE(view.regionVisible(platform::MainView::Region::Gutter));

  ASSERT_TRUE(memo.hasOption(editor::moWrapCaret));
  options.toggleCursorPastEnd();
  EXPECT_FALSE(memo.hasOption(editor::moWrapCaret));

  options.toggleAutoIndent();
  EXPECT_FALSE(memo.hasOption(editor::moAutoIndent));
  EXPECT_TRUE(memo.hasOption(editor::moBackIndent)) << "other options stay";

  EXPECT_EQ(std::tuple(view.font.name, view.background),
            std::tuple("Courier New", platform::clInfoBk));

  view.fontAnswer = std::nullopt;
  bench.options().chooseFont();
  EXPECT_EQ(view.font.name, "Courier New");
  view.fontAnswer = platform::FontInfo{"Liberation Mono", 12, platform::clBlack, platform::fsBold};
  bench.options().chooseFont();
  EXPECT_EQ(view.font, *view.fontAnswer);

  bench.options().chooseBackground();
  EXPECT_EQ(
      std::tuple(view.pickerPreset, view.regionVisible(platform::MainView::Region::ColorPicker)),
      std::tuple(platform::clInfoBk, true));
  bench.options().backgroundChosen(platform::clYellow);
  EXPECT_EQ(
      std::tuple(view.background, view.regionVisible(platform::MainView::Region::ColorPicker)),
      std::tuple(platform::clYellow, false));
}

TEST_F(WorkbenchTest, AMissingKeyFileIsReportedAndStartUpCompletes) {
  bench.start(installed.folder() / "nowhere" / "quillon", {}, installed.surroundings());
  // The message's words are the key file's test.
  EXPECT_EQ(
      std::tuple(ui.messages().size(), ui.statusText(0), bench.highlighting().keywords().count()),
      std::tuple(1u, "1:  1", 0));
}

// Nothing escapes start-up: a step that fails is reported in words and the rest still run.
TEST_F(WorkbenchTest, AFailingStartUpStepIsReportedAndStartUpCompletes) {
  auto surroundings = installed.surroundings();
  surroundings.folderLookup = []() -> platform::ProgramFolders {
    throw std::runtime_error("registry unreadable");
  };
  const auto file = writeFile("given.mb", "Dim a\r\n");
  bench.start(installed.file(), {file.string()}, surroundings);
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"registry unreadable"});
  EXPECT_EQ(std::tuple(bench.wordLists().list(language::WordList::Key).empty(), view.tabs,
                       bench.sourceEditor().text(), ui.statusText(1)),
            std::tuple(false, std::vector<std::string>{"given.mb"}, "Dim a\r\n", "INS"));
  // The key file still loads and highlighting is on: the keyword is coloured.
  bench.sourceEditor().prepareParagraphs(0, 0);
  EXPECT_FALSE(bench.sourceEditor().table().at(0).extra()->runs.empty());
}

// How the entries are written is the stored options' business; here: at once, not at exit.
TEST_F(WorkbenchTest, AppliedNumberStyleIsStoredAtOnce) {
  start();
  bench.numbers().setStyle(1 | 4);
  bench.numberSyntaxApplied();
  settings::IniFile stored;
  ASSERT_TRUE(stored.load(installed.settingsFile()));
  EXPECT_EQ(stored.readString("Numbers", "Style", ""), "5");
}

TEST_F(WorkbenchTest, PrintAndPreviewShowThePageWithItsFileNameAndLetGoOfIt) {
  const auto file = writeFile("module.mb", "Dim a\r\nDim b");
  start({file.string()});
  bench.commands().run("file.print");
  const std::vector<std::string> expected = {
      "start",
      "text " + file.string() + " in 75,40-800,75 MS Sans Serif",
      "text Page 1 in 75,1060-800,1100 MS Sans Serif",
      "lines 0-1 at 75,75 every 15",
      "end",
  };
  EXPECT_EQ(printer.calls, expected);
  EXPECT_EQ(std::tuple(printer.progress, bench.memoPrinter().memoToPrint()),
            std::tuple(std::vector<std::int64_t>{0, -1}, nullptr));

  // Cancel in the progress window stops before the next page.
  bench.sourceEditor().setText(testing::numberedLines("line", 200));
  printer.calls.clear();
  printer.progress.clear();
  printer.cancelPage = 1;
  bench.commands().run("file.print");
  EXPECT_EQ(printer.progress, (std::vector<std::int64_t>{0, 1, -1}));

  // Preview shows the same page under the same header, and lets go of it too.
  printer.calls.clear();
  printer.whileShown = [&] {
    EXPECT_EQ(bench.memoPrinter().memoToPrint(), &bench.sourceEditor());
    EXPECT_EQ(bench.memoPrinter().header(), file.string());
  };
  bench.commands().run("file.preview");
  EXPECT_EQ(printer.calls, (std::vector<std::string>{"preview created", "preview shown"}));
  EXPECT_EQ(bench.memoPrinter().memoToPrint(), nullptr);

  // Without a printer the page goes into a PDF file, for this run only; cancelled, nothing.
  printer.installed = false;
  printer.cancelPage = -1;
  printer.calls.clear();
  ui.queueSaveFile(std::nullopt);
  bench.commands().run("file.print");
  EXPECT_TRUE(printer.calls.empty());
  const auto pdf = writeFile("module.pdf", "%PDF-1.4");  // what the port would have written
  ui.queueSaveFile(pdf);
  bench.commands().run("file.print");
  ASSERT_GE(printer.calls.size(), 3u);
  EXPECT_EQ(
      std::tuple(printer.calls.front(), printer.calls[1], printer.calls.back(), printer.outputFile,
                 ui.statusText(4)),
      std::tuple("output " + pdf.string(), "start", "output ", "", "PRINTED: " + pdf.string()));
  EXPECT_EQ(bench.memoPrinter().memoToPrint(), nullptr);
}

}  // namespace
}  // namespace quillon::app
