#pragma once

namespace quillon::platform {

// Clipboard transfer of the source editor's selection. Kept this small so that the Qt
// clipboard adapter can implement it directly.
class EditClipboard {
public:
  virtual ~EditClipboard() = default;
  virtual void copy() = 0;
  virtual void cut() = 0;
  virtual void paste() = 0;
};

}  // namespace quillon::platform
