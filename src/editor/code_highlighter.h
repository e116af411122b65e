#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "editor/attr_run.h"
#include "editor/paragraph_table.h"

namespace quillon::editor {

class HighlightEngine;

// An outside source of highlighting that an engine consults besides its own lists. The base
// class adds nothing; a derived highlighter overrides the hooks it needs. It remembers the
// engines that use it and detaches itself from them when destroyed.
class CodeHighlighter {
public:
  CodeHighlighter() = default;
  CodeHighlighter(const CodeHighlighter&) = delete;
  CodeHighlighter& operator=(const CodeHighlighter&) = delete;
  virtual ~CodeHighlighter();

  // Adds this highlighter's runs to a paragraph; called before the engine's keyword scan of it.
  virtual void scanParagraph(HighlightEngine& engine, std::int64_t index, Paragraph& paragraph) {
    (void)engine, (void)index, (void)paragraph;
  }

  struct RegionStart {
    std::uint32_t offset = 0;
    AttrState state;  // the state inside the region
  };
  // A region of this highlighter opening at or after `from`, when no start-stop key opened one.
  virtual std::optional<RegionStart> findRegionStart(std::string_view text, std::uint32_t from,
                                                     const AttrState& current) {
    (void)text, (void)from, (void)current;
    return std::nullopt;
  }
  // Where the region of `current`, which no start-stop key opened, ends (at or after `from`).
  virtual std::optional<std::uint32_t> findRegionEnd(std::string_view text, std::uint32_t from,
                                                     const AttrState& current) {
    (void)text, (void)from, (void)current;
    return std::nullopt;
  }

private:
  friend class HighlightEngine;
  std::vector<HighlightEngine*> users_;
};

}  // namespace quillon::editor
