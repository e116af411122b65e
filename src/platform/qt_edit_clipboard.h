#pragma once
#include "platform/edit_clipboard.h"
#include "editor/code_memo.h"

namespace quillon::platform {

// Plain-text clipboard transfer for the source editor, converting between Windows-1252 and
// the system clipboard's Unicode text.
class QtEditClipboard final : public EditClipboard {
public:
  void attach(editor::CodeMemo* memo) { memo_ = memo; }
  void copy() override;
  void cut() override;
  void paste() override;

private:
  editor::CodeMemo* memo_ = nullptr;
};

}  // namespace quillon::platform
