// The options the settings file keeps, read into and collected from where they live.
#include "settings/stored_options.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

#include "editor/code_memo.h"
#include "settings/settings.h"
#include "support/fake_main_view.h"
#include "support/recording_command_states.h"
#include "support/scripted_ui.h"

namespace quillon::settings {
namespace {

using Lines = std::vector<std::string>;

// The Options commands, the source editor and the number highlighter, as a run has them.
struct Holders {
  testing::ScriptedUi ui;
  testing::FakeMainView view;
  testing::RecordingCommandStates states;
  editor::CodeMemo editor;
  editor::NumberHighlighter numbers;
  OptionCommands options{ui, view, states, editor};
  OptionHolders all() { return {options, editor, numbers}; }
};

// Odd case, blanks and a bad colour; unknown keys and duplicates are the INI file's.
const std::string kHandEdited =
    "[ system ]\r\n"
    "BackColor=$00123456\r\n"
    "TextFont=Courier New,12,clNavy,1,0,0,0\r\n"
    "AltFont=Arial,9\r\n"
    "hitext=clPink\r\n"
    "CursorPastEnd=1\r\n"
    "Cursor=junk\r\n"
    "TABSTOPS=4\r\n"
    "\r\n"
    "[NUMBERS]\r\n"
    "color=clRed\r\n"
    "Delimiters=+ - *\r\n";

TEST(StoredOptions, AHandEditedFileReachesWhereEachOptionLives) {
  Holders h;
  const IniFile ini(kHandEdited);
  applyStoredOptions(ini, h.all(), h.ui);

  EXPECT_EQ(h.view.background, 0x00123456);
  EXPECT_EQ(h.view.font,
            (platform::FontInfo{"Courier New", 12, platform::clNavy, platform::fsBold}));
  EXPECT_EQ(h.view.fontSets, 1) << "the font is given to the window once";
  EXPECT_EQ(h.options.altFont(), kDefaultAltFont) << "two fields are no font";
  EXPECT_EQ(std::tuple(h.states.checked(platform::Command::CursorPastEnd1),
                       h.editor.hasOption(editor::moWrapCaret), h.options.autoSaveCompile(),
                       h.editor.caretWidth(), h.editor.tabStops(), h.editor.highlightColor(),
                       h.editor.highlightBackgnd()),
            std::tuple(true, false, false, 1, 4, platform::clBlue, platform::clYellow));
  EXPECT_EQ(
      std::tuple(h.ui.messages(), h.numbers.foreground(), h.numbers.background(),
                 h.numbers.style()),
      std::tuple(Lines{"'clPink' is not a valid integer value"}, 0x0000FF, platform::kNoColor, 0));
  EXPECT_EQ(h.numbers.separators(), " *+-") << "space and tab always end a number";
  EXPECT_TRUE(h.numbers.isSeparator('\t'));
}

TEST(StoredOptions, StoringReplacesEntriesInPlaceAndTheNumbersGoAlone) {
  Holders h;
  IniFile ini(kHandEdited);
  applyStoredOptions(ini, h.all(), h.ui);
  h.numbers.setSeparators(" $%()*+");
  h.editor.setCaretWidth(3);

  IniFile numbersOnly(kHandEdited);
  storeOptions(numbersOnly, h.all(), OptionGroup::Numbers);
  EXPECT_EQ(numbersOnly.readString("SYSTEM", "Cursor", ""), "junk")
      << "the Number Syntax dialog writes its section only";
  EXPECT_EQ(numbersOnly.readString("Numbers", "Delimiters", ""), "$%()*+");

  storeOptions(ini, h.all());
  const std::string bytes = ini.bytes();
  for (const char* line : {"BackColor=$00123456\r\n", "TextFont=Courier New,12,clNavy,1,0,0,0\r\n",
                           "AltFont=MS Sans Serif,8,clWindowText,0,0,0,0\r\n", "Cursor=3\r\n"})
    EXPECT_NE(bytes.find(line), std::string::npos) << line;
  // Numbers entries are replaced where they stand; new ones follow in the written spelling.
  EXPECT_NE(
      bytes.find(
          "[NUMBERS]\r\ncolor=clRed\r\nDelimiters= $%()*+\r\nbackground=$FFFFFFFF\r\nstyle=0\r\n"),
      std::string::npos);
  EXPECT_EQ(ini.sectionNames(), (Lines{"system", "NUMBERS"}));
}

// No option reads one property and writes another.
TEST(StoredOptions, EveryOptionSurvivesTheFile) {
  Holders first;
  first.options.setAutoSaveCompile(true);
  first.options.setCursorPastEnd(true);
  first.editor.setCaretWidth(0);
  first.options.setBackground(0x00112233);
  first.options.setAltFont(
      {"Liberation Sans", -13, platform::kNoColor, platform::fsItalic | platform::fsStrikeOut});
  first.options.setFont({"Liberation Mono", 11, platform::clNavy, platform::fsUnderline});
  first.numbers.setForeground(platform::clYellow);
  first.numbers.setBackground(platform::clNavy);
  first.numbers.setStyle(platform::fsBold | platform::fsStrikeOut);
  first.numbers.setSeparators(" \t;:");
  first.editor.setTabStops(7);
  first.editor.setHighlightColor(platform::clFuchsia);
  first.editor.setHighlightBackgnd(platform::clBlack);
  IniFile ini;
  storeOptions(ini, first.all());

  Holders second;
  applyStoredOptions(IniFile(ini.bytes()), second.all(), second.ui);
  auto stored = [](Holders& h) {
    return std::tuple(h.options.autoSaveCompile(), h.options.cursorPastEnd(), h.editor.caretWidth(),
                      h.options.background(), h.options.altFont(), h.options.font(),
                      h.numbers.foreground(), h.numbers.background(), h.numbers.style(),
                      h.numbers.separators(), h.editor.tabStops(), h.editor.highlightColor(),
                      h.editor.highlightBackgnd());
  };
  EXPECT_EQ(std::pair(stored(second), second.ui.messages().size()),
            std::pair(stored(first), std::size_t{0}));
}

TEST(StoredOptions, DelimitersDropBlanksAndControlsButKeepHighCharacters) {
  // "   " is not empty before the blanks go.
  EXPECT_EQ(
      (Lines{normalizeDelimiters(""), normalizeDelimiters("+ - *"),
             normalizeDelimiters(std::string("\t\x01\x7f\xa7", 4)), normalizeDelimiters("   ")}),
      (Lines{std::string(kDefaultDelimiters), "+-*", "\x7f\xa7", ""}));
}

}  // namespace
}  // namespace quillon::settings
