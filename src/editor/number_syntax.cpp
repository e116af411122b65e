#include "editor/number_syntax.h"

namespace quillon::editor {

std::string withoutBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 33) out.push_back(c);
  return out;
}

NumberSyntax fromHighlighter(const NumberHighlighter& numbers) {
  NumberSyntax s;
  s.foreground = numbers.foreground();
  s.background = numbers.background();
  s.backgroundOn = numbers.background() != -1;
  s.style = static_cast<std::uint8_t>(numbers.style() & 0x0F);
  s.separators = withoutBlanks(numbers.separators());
  return s;
}

void apply(const NumberSyntax& syntax, NumberHighlighter& numbers) {
  numbers.setForeground(syntax.foreground);
  numbers.setBackground(syntax.backgroundOn ? syntax.background : -1);
  numbers.setStyle(syntax.style);
  numbers.setSeparators("\t " + withoutBlanks(syntax.separators));
}

}  // namespace quillon::editor
