#include "settings/editor_profiles.h"

#include "editor/code_memo.h"

namespace quillon::settings {

using namespace editor;

void applySourceEditorProfile(CodeMemo& memo) {
  memo.setWordWrap(false);
  memo.setCaretWidth(1);
  memo.setMouseWheelFactor(5);
  memo.setNullReplacement(' ');
  memo.setOptions(moKeepColumnPos | moPutExtraSpaces | moWrapCaret | moInsertKeyActive |
                  moWideOverwriteCaret | moAutoScrollBars | moAutoIndent | moBackIndent |
                  moWindowsSelColors | moBlockSelection);
  memo.setReadOnly(false);
  memo.setRightMargin(5);
  memo.setSeparators("\t '()+,-./:;<=>[\\]{}");
  memo.setTabStops(2);
  memo.setUndoMaxSpace(65000);
  memo.setEnableHotKeys(false);
  memo.setHighlightBackgnd(0x0000FFFF);  // yellow
  memo.setHighlightColor(0x00FF0000);    // blue
}

void applyErrorViewProfile(CodeMemo& memo) {
  memo.setWordWrap(false);
  memo.setCaretWidth(1);
  memo.setMouseWheelFactor(3);
  memo.setNullReplacement(' ');
  memo.setOptions(moWrapCaret | moWideOverwriteCaret | moLargeWordSelect | moAutoScrollBars |
                  moWindowsSelColors | moFullLineSelect);
  memo.setReadOnly(true);
  memo.setRightMargin(8);
  memo.setSeparators("\t $%&,./:;<=>");
  memo.setTabStops(8);
  memo.setUndoMaxSpace(65536);
}

void applyWordCheckProfile(CodeMemo& memo) {
  memo.setWordWrap(false);
  memo.setCaretWidth(1);
  memo.setMouseWheelFactor(3);
  memo.setNullReplacement(' ');
  // Both scroll bars always: no moAutoScrollBars.
  memo.setOptions(moWrapCaret | moWindowsSelColors | moBlockSelection);
  memo.setReadOnly(true);
  memo.setSeparators("\t $%&,./:;<=>");
  memo.setTabStops(8);
}

}  // namespace quillon::settings
