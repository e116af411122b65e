#pragma once
#include <string>
#include <string_view>

#include "editor/code_memo_fwd.h"
#include "editor/number_highlighter.h"
#include "platform/ui.h"
#include "settings/ini_file.h"
#include "settings/option_commands.h"

namespace quillon::settings {

// Where the stored options live while the program runs: the Options menu's own state, the
// source editor and the number highlighter.
struct OptionHolders {
  OptionCommands& options;
  editor::CodeMemo& editor;
  editor::NumberHighlighter& numbers;
};

// The options the settings file keeps (SYSTEM: AutoSaveCompile, CursorPastEnd, Cursor,
// BackColor, AltFont, TextFont, TabStops, hitext, hiback; Numbers: Color, BackGround, Style,
// Delimiters). Each is listed once, in stored_options.cpp, with its key, its encoding, its
// default and the property that holds it; adding an option is one line there.
enum class OptionGroup { All, Numbers };

// Start-up: every option read from the file and applied where it lives, each once, in the
// order ReadSettings has them. A colour text that is no colour is reported through `ui` and
// gives the default.
void applyStoredOptions(const IniFile& ini, const OptionHolders& to, platform::Ui& ui);
// Close (All) and the Number Syntax dialog (Numbers): the options collected from where they
// live and written into the file, which the caller saves.
void storeOptions(IniFile& ini, const OptionHolders& from, OptionGroup group = OptionGroup::All);

// The Numbers delimiters as read: every character below 33 removed; an empty text gives the
// default delimiters.
std::string normalizeDelimiters(std::string_view text);

}  // namespace quillon::settings
