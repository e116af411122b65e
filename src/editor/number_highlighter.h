#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/code_highlighter.h"
#include "editor/highlight_engine.h"

namespace quillon::editor {

// Colours numeric literals: decimal digit runs and the hex forms "$1F" and "&H1F", token by
// token between its own separators, where the enclosing region's value equals Scope.
class NumberHighlighter final : public CodeHighlighter {
public:
  NumberHighlighter();

  // The characters 0-26 are always separators; the text reads back from character 27 up.
  std::string separators() const;
  void setSeparators(std::string_view chars);
  bool isSeparator(char c) const { return separators_[static_cast<unsigned char>(c)]; }

  std::int32_t foreground() const { return foreground_; }
  void setForeground(std::int32_t color) {
    foreground_ = color;
    changed();
  }
  std::int32_t background() const { return background_; }
  void setBackground(std::int32_t color) {
    background_ = color;
    changed();
  }
  std::uint8_t style() const { return style_; }
  void setStyle(std::uint8_t style) {
    style_ = static_cast<std::uint8_t>(style & 0x0F);
    changed();
  }
  bool altFont() const { return altFont_; }
  void setAltFont(bool on) {
    altFont_ = on;
    changed();
  }
  std::int16_t contextNum() const { return contextNum_; }
  void setContextNum(std::int16_t n) {
    contextNum_ = n;
    changed();
  }
  int scope() const { return scope_; }
  void setScope(int scope) { scope_ = scope; }
  int priority() const { return priority_; }
  void setPriority(int priority) { priority_ = priority; }

  // (region value, may colour): lets the owner decide per region.
  std::function<void(int scope, bool& doHilit)> onQueryHilit;

  void scanParagraph(HighlightEngine& engine, std::int64_t index, Paragraph& paragraph) override;

  // A token that counts as a number.
  static bool isNumber(std::string_view token);

private:
  void changed() { levelsEngine_ = nullptr; }
  AttrStateRef levelFor(HighlightEngine& engine, std::size_t length);
  bool allowedIn(AttrStateRef state) const;

  std::array<bool, 256> separators_{};
  std::int32_t foreground_ = 0x00FF00FF;  // fuchsia
  std::int32_t background_ = -1;
  std::uint8_t style_ = 0;
  bool altFont_ = false;
  std::int16_t contextNum_ = 1;
  int scope_ = 0;
  int priority_ = 0;

  // Interned level states by number length, valid for one engine until a property changes.
  const HighlightEngine* levelsEngine_ = nullptr;
  std::array<AttrStateRef, 256> levels_{};
  std::vector<HighlightEngine::Span> spans_;
};

}  // namespace quillon::editor
