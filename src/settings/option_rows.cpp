#include "settings/option_rows.h"

#include "platform/command_registry.h"
#include "settings/option_commands.h"

namespace quillon::settings {

void registerOptionRows(platform::CommandRegistry& registry, OptionCommands& options) {
  using platform::Command;
  auto toggle = [&](const char* id, const char* caption, Command state,
                    void (OptionCommands::*run)()) {
    registry.add({.id = id,
                  .caption = caption,
                  .run = [&options, run] { (options.*run)(); },
                  .state = state,
                  .checkable = true});
  };
  auto plain = [&](const char* id, const char* caption, const char* key,
                   void (OptionCommands::*run)()) {
    registry.add(
        {.id = id, .caption = caption, .key = key, .run = [&options, run] { (options.*run)(); }});
  };
  toggle("project.autoSave", "AutoSave @ Compile", Command::AutoSaveCompile1,
         &OptionCommands::toggleAutoSaveCompile);
  toggle("project.showDoneBox", "Show Done Box", Command::ShowDoneBox1,
         &OptionCommands::toggleShowDoneBox);
  plain("options.font", "&Font...", "", &OptionCommands::chooseFont);
  plain("options.background", "&Background Color...", "", &OptionCommands::chooseBackground);
  toggle("options.highlighting", "Use Syntax Highlighting", Command::SyntaxHighlighting1,
         &OptionCommands::toggleSyntaxHighlighting);
  plain("options.refreshHighlighting", "Refresh Highlighting", "F10",
        &OptionCommands::refreshHighlighting);
  toggle("options.toolbar", "Toolbar", Command::Toolbar1, &OptionCommands::toggleToolbar);
  toggle("options.statusBar", "Status bar", Command::StatusBar1, &OptionCommands::toggleStatusBar);
  toggle("options.lineNumbers", "Line Numbers", Command::LineNumbers1,
         &OptionCommands::toggleLineNumbers);
  toggle("options.wordWrap", "Word Wrap", Command::WordWrap1, &OptionCommands::toggleWordWrap);
  toggle("options.cursorPastEnd", "Cursor Past End", Command::CursorPastEnd1,
         &OptionCommands::toggleCursorPastEnd);
  plain("options.cursorWidth", "Cursor Width...", "", &OptionCommands::askCursorWidth);
  plain("options.tabStops", "Tab Stops...", "", &OptionCommands::askTabStops);
  toggle("options.autoIndent", "Auto Indent", Command::AutoIndent1,
         &OptionCommands::toggleAutoIndent);
  registry.add({.id = "bWrap",
                .hint = "WordWrap",
                .icon = "wrap",
                .run = [&options] { options.toggleWordWrap(); },
                .state = Command::bWrap,
                .checkable = true});
}

}  // namespace quillon::settings
