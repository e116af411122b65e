#pragma once
#include <string>
#include <string_view>

#include "editor/code_memo_fwd.h"
#include "platform/clipboard.h"

namespace quillon::editor {

// Copy, cut and paste of the editor, plain text and column blocks, against the clipboard port.
// It is the one way between an editor and the clipboard: its keys, menus and buttons all come
// here, so line ends and the column-block marker are treated alike whatever the user pressed.
// Cut and paste leave a read-only editor alone.
class MemoClipboard {
public:
  explicit MemoClipboard(CodeMemo& memo, platform::Clipboard* clipboard = nullptr)
      : memo_(memo), clipboard_(clipboard) {}
  void setClipboard(platform::Clipboard* clipboard) { clipboard_ = clipboard; }

  void copy();
  void cut();
  void paste();
  // Inserts text as a rectangle: line i goes into paragraph caret paragraph + i at the
  // caret's column, padded with spaces and with paragraphs appended as needed. One undo step.
  void pasteBlock(std::string_view text);
  // Text inserted as typed: in virtual space preceded by spaces when moPutExtraSpaces is set.
  void insertAtCaret(std::string_view text);

  // Every LF that does not follow a CR becomes CR LF; other systems' clipboards end lines
  // with LF alone, which would otherwise stay inside a paragraph.
  static std::string toParagraphBreaks(std::string_view text);

private:
  CodeMemo& memo_;
  platform::Clipboard* clipboard_;
};

}  // namespace quillon::editor
