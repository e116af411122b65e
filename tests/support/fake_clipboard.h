#pragma once
#include "platform/clipboard.h"

namespace quillon::testing {

// A clipboard that is one variable.
class FakeClipboard final : public platform::Clipboard {
public:
  std::optional<platform::ClipboardText> content;
  std::optional<platform::ClipboardText> readText() const override { return content; }
  void writeText(std::string_view text, bool columnBlock) override {
    content = platform::ClipboardText{std::string(text), columnBlock};
  }
};

}  // namespace quillon::testing
