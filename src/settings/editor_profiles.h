#pragma once
#include "editor/code_memo_fwd.h"

namespace quillon::settings {

// The settings the main window gives its two editors: the source editor shared by all
// pages, and the read-only view of compiler messages; and the word checker's work copy.
void applySourceEditorProfile(editor::CodeMemo& memo);
void applyErrorViewProfile(editor::CodeMemo& memo);
void applyWordCheckProfile(editor::CodeMemo& memo);

}  // namespace quillon::settings
