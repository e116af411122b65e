#pragma once
#include "platform/clipboard.h"

namespace quillon::editor {

// The system clipboard through Qt: plain text converted between Windows-1252 and Unicode;
// a column block also carries the block marker under its own MIME type.
class QtClipboard final : public platform::Clipboard {
public:
  // Named after the format other Windows editors register for column blocks.
  static constexpr const char* kBlockMimeType = "application/x-borland-ide-block-type";

  std::optional<platform::ClipboardText> readText() const override;
  void writeText(std::string_view text, bool columnBlock) override;
};

}  // namespace quillon::editor
