#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace quillon::platform {

// Clipboard text as the core sees it: Windows-1252 bytes. A column block is text that also
// carries the block marker, so that pasting it inserts a rectangle again.
struct ClipboardText {
  std::string text;
  bool columnBlock = false;
};

// The system clipboard. The Qt adapter converts to and from Unicode; tests use a fake.
class Clipboard {
public:
  virtual ~Clipboard() = default;
  // Nothing when the clipboard holds no text.
  virtual std::optional<ClipboardText> readText() const = 0;
  virtual void writeText(std::string_view text, bool columnBlock) = 0;
};

}  // namespace quillon::platform
