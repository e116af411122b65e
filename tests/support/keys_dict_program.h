#pragma once
#include "editor/code_memo.h"
#include "editor/highlight_engine.h"
#include "language/keys_dict_commands.h"
#include "language/word_lists.h"
#include "settings/option_commands.h"
#include "settings/settings.h"
#include "support/fake_main_view.h"
#include "support/recording_command_states.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace quillon::testing {

// The keys and dictionary commands over an editor and word lists of their own, for a program
// "quillon" in a temporary folder; the test writes its default files there.
struct KeysDictProgram {
  KeysDictProgram() { commands.setSurroundings(&values, folder / "quillon"); }

  TempFolder folder;
  ScriptedUi ui;
  FakeMainView view;
  RecordingCommandStates states;
  editor::CodeMemo memo;
  editor::HighlightEngine highlighting{memo};
  settings::OptionCommands options{ui, view, states, memo};
  language::WordLists lists;
  settings::SettingsValues values;
  language::KeysDictCommands commands{{ui, memo, highlighting, options, lists}};
};

}  // namespace quillon::testing
