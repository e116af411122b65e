#include "settings/option_commands.h"

#include <cstdint>
#include <limits>
#include <string>

#include "editor/code_memo.h"
#include "settings/setting_codec.h"

namespace quillon::settings {

using editor::CodeMemoOption;

OptionCommands::OptionCommands(platform::Ui& ui, platform::MainView& view,
                               platform::CommandStates& states, editor::CodeMemo& memo)
    : ui_(ui), view_(view), states_(states), memo_(memo) {}

void OptionCommands::initialize() {
  states_.setChecked(platform::Command::SyntaxHighlighting1, true);
  states_.setChecked(platform::Command::Toolbar1, true);
  states_.setChecked(platform::Command::StatusBar1, true);
  states_.setChecked(platform::Command::LineNumbers1, true);
  states_.setChecked(platform::Command::AutoIndent1, true);
  setOption(editor::moAutoIndent, true);
  states_.setChecked(platform::Command::WordWrap1, platform::Command::bWrap, memo_.wordWrap());
  states_.setChecked(platform::Command::CursorPastEnd1, !memo_.hasOption(editor::moWrapCaret));
  states_.setChecked(platform::Command::AutoSaveCompile1, autoSaveCompile_);
}

bool OptionCommands::toggle(platform::Command command) {
  const bool on = !states_.checked(command);
  states_.setChecked(command, on);
  return on;
}

void OptionCommands::setOption(CodeMemoOption option, bool on) {
  memo_.setOptions(on ? (memo_.options() | option) : (memo_.options() & ~option));
}

void OptionCommands::setFont(const platform::FontInfo& font) {
  font_ = font;
  view_.setEditorFont(font_);
}

void OptionCommands::setAltFont(const platform::FontInfo& font) {
  altFont_ = font;
  view_.setEditorAltFont(altFont_);
}

void OptionCommands::setBackground(platform::Color color) {
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
  view_.setRegionVisible(platform::MainView::Region::ColorPicker, true);
}

void OptionCommands::backgroundChosen(platform::Color color) {
  setBackground(color);
  view_.setRegionVisible(platform::MainView::Region::ColorPicker, false);
}

void OptionCommands::toggleSyntaxHighlighting() {
  applyHighlighting(toggle(platform::Command::SyntaxHighlighting1));
  refreshHighlighting();
}

void OptionCommands::toggleToolbar() {
  view_.setRegionVisible(platform::MainView::Region::Toolbar, toggle(platform::Command::Toolbar1));
}

void OptionCommands::toggleStatusBar() {
  const bool shown = !view_.regionVisible(platform::MainView::Region::StatusBar);
  view_.setRegionVisible(platform::MainView::Region::StatusBar, shown);
  states_.setChecked(platform::Command::StatusBar1, shown);
}

void OptionCommands::toggleLineNumbers() {
  view_.setRegionVisible(platform::MainView::Region::Gutter,
                         toggle(platform::Command::LineNumbers1));
}

void OptionCommands::toggleWordWrap() {
  const bool on = toggle(platform::Command::WordWrap1);
  memo_.setWordWrap(on);
  states_.setChecked(platform::Command::bWrap, on);
}

void OptionCommands::toggleCursorPastEnd() {
  setOption(editor::moWrapCaret, !toggle(platform::Command::CursorPastEnd1));
}

void OptionCommands::askCursorWidth() {
  const auto answer = ui_.prompt("Setting cursor width", "Enter the new value (0 means auto width)",
                                 std::to_string(memo_.caretWidth()));
  if (!answer) return;
  const std::string text = answer->empty() ? "0" : *answer;
  const auto value = parseInteger(text);
  if (!value) {
    ui_.showMessage(invalidIntegerMessage(text));
    return;
  }
  // The most negative integer has no positive counterpart; it saturates.
  const std::int64_t width = *value < 0 ? -static_cast<std::int64_t>(*value) : *value;
  memo_.setCaretWidth(
      static_cast<int>(std::min<std::int64_t>(width, std::numeric_limits<int>::max())));
}

void OptionCommands::askTabStops() {
  for (;;) {
    const auto answer = ui_.prompt("Set Tab Value", "Enter Number of Chars for Tab [2-16]....",
                                   std::to_string(memo_.tabStops()));
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

void OptionCommands::toggleAutoIndent() {
  setOption(editor::moAutoIndent, toggle(platform::Command::AutoIndent1));
}

void OptionCommands::setAutoSaveCompile(bool on) {
  autoSaveCompile_ = on;
  states_.setChecked(platform::Command::AutoSaveCompile1, on);
}

void OptionCommands::setCursorPastEnd(bool on) {
  states_.setChecked(platform::Command::CursorPastEnd1, on);
  setOption(editor::moWrapCaret, !on);
}

void OptionCommands::toggleAutoSaveCompile() {
  autoSaveCompile_ = toggle(platform::Command::AutoSaveCompile1);
}

void OptionCommands::toggleShowDoneBox() { toggle(platform::Command::ShowDoneBox1); }

void OptionCommands::applyHighlighting(bool on) {
  if (!highlighting_) return;
  highlighting_->setApplyKeyWords(on);
  highlighting_->setApplyStartStopKeys(on);
  highlighting_->setHighlighter(on ? numbers_ : nullptr);
}

void OptionCommands::refreshHighlighting() {
  if (highlighting_) highlighting_->reApplyKeywords();
}

}  // namespace quillon::settings
