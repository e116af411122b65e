#pragma once
#include "platform/color.h"
#include "platform/command_states.h"
#include "platform/font_info.h"
#include "platform/main_view.h"
#include "editor/code_memo.h"
#include "editor/highlight_engine.h"
#include "platform/ui.h"

namespace quillon::settings {

// The Options menu (and the two Project toggles) that switch one property of the window or
// the source editor. The check marks live in CommandStates; the values that are saved with
// the settings (font, background, caret width, tab stops, cursor past end, auto-save) are
// readable here.
class OptionCommands {
public:
  OptionCommands(platform::Ui& ui, platform::MainView& view, platform::CommandStates& states, editor::CodeMemo& memo);

  // Puts the check marks and the editor in their start state.
  void initialize();

  void chooseFont();
  void chooseBackground();
  void backgroundChosen(platform::Color color);
  void toggleSyntaxHighlighting();
  void toggleToolbar();
  void toggleStatusBar();
  void toggleLineNumbers();
  void toggleWordWrap();
  void toggleCursorPastEnd();
  void askCursorWidth();
  void askTabStops();
  void toggleAutoIndent();
  void toggleAutoSaveCompile();
  void toggleShowDoneBox();

  const platform::FontInfo& font() const { return font_; }
  void setFont(const platform::FontInfo& font);
  platform::Color background() const { return background_; }
  void setBackground(platform::Color color);
  bool autoSaveCompile() const { return autoSaveCompile_; }
  // As the stored settings give them at start-up: the check marks and what they switch.
  void setAutoSaveCompile(bool on);
  void setCursorPastEnd(bool on);
  bool cursorPastEnd() const { return states_.checked(platform::Command::CursorPastEnd1); }
  bool showDoneBox() const { return states_.checked(platform::Command::ShowDoneBox1); }

  // Highlighting is not wired in yet; these are the places where the highlighter is switched
  // on or off and asked to re-scan the whole text.
  // Highlighting is switched and re-applied through the engine once it is attached.
  void attachHighlighting(editor::HighlightEngine& engine, editor::CodeHighlighter& numbers) {
    highlighting_ = &engine;
    numbers_ = &numbers;
  }
  void applyHighlighting(bool on);
  void refreshHighlighting();

private:
  bool toggle(platform::Command command);
  void setOption(editor::CodeMemoOption option, bool on);

  editor::HighlightEngine* highlighting_ = nullptr;
  editor::CodeHighlighter* numbers_ = nullptr;
  platform::Ui& ui_;
  platform::MainView& view_;
  platform::CommandStates& states_;
  editor::CodeMemo& memo_;
  platform::FontInfo font_{"Courier New", 10, platform::clWindowText, 0};
  platform::Color background_ = platform::clInfoBk;
  bool autoSaveCompile_ = false;
};

}  // namespace quillon::settings
