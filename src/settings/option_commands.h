#pragma once
#include "editor/code_memo_fwd.h"
#include "editor/highlight_engine.h"
#include "platform/color.h"
#include "platform/command_states.h"
#include "platform/font_info.h"
#include "platform/main_view.h"
#include "platform/ui.h"

namespace quillon::settings {

// The editor's own fonts, used until the settings file gives others.
inline const platform::FontInfo kDefaultTextFont{"Courier New", 10, platform::clWindowText, 0};
inline const platform::FontInfo kDefaultAltFont{"MS Sans Serif", 8, platform::clWindowText, 0};

// The Options menu (and the two Project toggles) that switch one property of the window or
// the source editor. The check marks live in CommandStates; the values that are saved with
// the settings (font, background, cursor past end, auto-save) are kept here, the rest in the
// source editor; stored_options.h reads and writes them all.
class OptionCommands {
public:
  OptionCommands(platform::Ui& ui, platform::MainView& view, platform::CommandStates& states,
                 editor::CodeMemo& memo);

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
  // The font of keywords with the alternate-font style.
  const platform::FontInfo& altFont() const { return altFont_; }
  void setAltFont(const platform::FontInfo& font);
  platform::Color background() const { return background_; }
  void setBackground(platform::Color color);
  bool autoSaveCompile() const { return autoSaveCompile_; }
  // As the stored settings give them at start-up: the check marks and what they switch.
  void setAutoSaveCompile(bool on);
  void setCursorPastEnd(bool on);
  bool cursorPastEnd() const { return states_.checked(platform::Command::CursorPastEnd1); }
  bool showDoneBox() const { return states_.checked(platform::Command::ShowDoneBox1); }

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
  platform::FontInfo font_ = kDefaultTextFont;
  platform::FontInfo altFont_ = kDefaultAltFont;
  platform::Color background_ = platform::clInfoBk;
  bool autoSaveCompile_ = false;
};

}  // namespace quillon::settings
