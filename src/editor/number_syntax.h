#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/number_highlighter.h"

namespace quillon::editor {

// What the Number Syntax dialog edits: the number highlighter's look and its delimiters.
struct NumberSyntax {
  std::int32_t foreground = 0;
  // Kept while the background is switched off, so switching it on again restores it.
  std::int32_t background = -1;
  bool backgroundOn = false;
  std::uint8_t style = 0;  // bold 1, italic 2, underline 4, strike out 8
  // Without blanks and control characters; tab and space are added on apply.
  std::string separators;
};

// Every character below 33 removed.
std::string withoutBlanks(std::string_view text);

NumberSyntax fromHighlighter(const NumberHighlighter& numbers);
// Does not re-scan; the caller re-applies the keywords.
void apply(const NumberSyntax& syntax, NumberHighlighter& numbers);

}  // namespace quillon::editor
