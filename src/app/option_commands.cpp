#include "app/option_commands.h"

#include <cstdint>
#include <limits>
#include <string>

#include "app/setting_codec.h"

namespace quillon::app {

using editor::CodeMemoOption;

OptionCommands::OptionCommands(platform::Ui& ui, MainView& view, CommandStates& states, editor::CodeMemo& memo)
    : ui_(ui), view_(view), states_(states), memo_(memo) {}

void OptionCommands::initialize() {
  states_.setChecked(Command::SyntaxHighlighting1, true);
  states_.setChecked(Command::Toolbar1, true);
  states_.setChecked(Command::StatusBar1, true);
  states_.setChecked(Command::LineNumbers1, true);
  states_.setChecked(Command::AutoIndent1, true);
  setOption(editor::moAutoIndent, true);
  states_.setChecked(Command::WordWrap1, Command::bWrap, memo_.wordWrap());
  states_.setChecked(Command::CursorPastEnd1, !memo_.hasOption(editor::moWrapCaret));
  states_.setChecked(Command::AutoSaveCompile1, autoSaveCompile_);
}

bool OptionCommands::toggle(Command command) {
  const bool on = !states_.checked(command);
  states_.setChecked(command, on);
  return on;
}

void OptionCommands::setOption(CodeMemoOption option, bool on) {
  memo_.setOptions(on ? (memo_.options() | option) : (memo_.options() & ~option));
}

void OptionCommands::setFont(const FontInfo& font) {
  font_ = font;
  view_.setEditorFont(font_);
}

void OptionCommands::setBackground(Color color) {
  background_ = color;
  view_.setEditorBackground(color);
}

void OptionCommands::chooseFont() {
  if (auto chosen = view_.chooseFont(font_)) {
    setFont(*chosen);
    refreshHighlighting();
  }
}

void OptionCommands::chooseBackground() {
  view_.showColorPicker(background_);
  view_.setRegionVisible(MainView::Region::ColorPicker, true);
}

void OptionCommands::backgroundChosen(Color color) {
  setBackground(color);
  view_.setRegionVisible(MainView::Region::ColorPicker, false);
}

void OptionCommands::toggleSyntaxHighlighting() {
  applyHighlighting(toggle(Command::SyntaxHighlighting1));
  refreshHighlighting();
}

void OptionCommands::toggleToolbar() { view_.setRegionVisible(MainView::Region::Toolbar, toggle(Command::Toolbar1)); }

void OptionCommands::toggleStatusBar() {
  const bool shown = !view_.regionVisible(MainView::Region::StatusBar);
  view_.setRegionVisible(MainView::Region::StatusBar, shown);
  states_.setChecked(Command::StatusBar1, shown);
}

void OptionCommands::toggleLineNumbers() {
  view_.setRegionVisible(MainView::Region::Gutter, toggle(Command::LineNumbers1));
}

void OptionCommands::toggleWordWrap() {
  const bool on = toggle(Command::WordWrap1);
  memo_.setWordWrap(on);
  states_.setChecked(Command::bWrap, on);
}

void OptionCommands::toggleCursorPastEnd() { setOption(editor::moWrapCaret, !toggle(Command::CursorPastEnd1)); }

void OptionCommands::askCursorWidth() {
  const auto answer =
      ui_.prompt("Setting cursor width", "Enter the new value (0 means auto width)", std::to_string(memo_.caretWidth()));
  if (!answer) return;
  const std::string text = answer->empty() ? "0" : *answer;
  const auto value = parseInteger(text);
  if (!value) {
    ui_.showMessage(invalidIntegerMessage(text));
    return;
  }
  // The most negative integer has no positive counterpart; it saturates.
  const std::int64_t width = *value < 0 ? -static_cast<std::int64_t>(*value) : *value;
  memo_.setCaretWidth(static_cast<int>(std::min<std::int64_t>(width, std::numeric_limits<int>::max())));
}

void OptionCommands::askTabStops() {
  for (;;) {
    const auto answer =
        ui_.prompt("Set Tab Value", "Enter Number of Chars for Tab [2-16]....", std::to_string(memo_.tabStops()));
    if (answer) {
      const std::string text = answer->empty() ? "2" : *answer;
      const auto value = parseInteger(text);
      if (!value) {
        ui_.showMessage(invalidIntegerMessage(text));
        return;
      }
      memo_.setTabStops(*value < 0 ? 2 : *value > 16 ? 16 : *value);
    }
    if (memo_.tabStops() >= 2 && memo_.tabStops() <= 16) return;
  }
}

void OptionCommands::toggleAutoIndent() { setOption(editor::moAutoIndent, toggle(Command::AutoIndent1)); }

void OptionCommands::setAutoSaveCompile(bool on) {
  autoSaveCompile_ = on;
  states_.setChecked(Command::AutoSaveCompile1, on);
}

void OptionCommands::setCursorPastEnd(bool on) {
  states_.setChecked(Command::CursorPastEnd1, on);
  setOption(editor::moWrapCaret, !on);
}

void OptionCommands::toggleAutoSaveCompile() { autoSaveCompile_ = toggle(Command::AutoSaveCompile1); }

void OptionCommands::toggleShowDoneBox() { toggle(Command::ShowDoneBox1); }

void OptionCommands::applyHighlighting(bool on) {
  if (!highlighting_) return;
  highlighting_->setApplyKeyWords(on);
  highlighting_->setApplyStartStopKeys(on);
  highlighting_->setHighlighter(on ? numbers_ : nullptr);
}

void OptionCommands::refreshHighlighting() {
  if (highlighting_) highlighting_->reApplyKeywords();
}

}  // namespace quillon::app
