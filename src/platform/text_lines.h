#pragma once
#include <cstddef>
#include <string_view>

namespace quillon::platform {

// One line of a text as forEachLine hands it out: its bytes without the break, where it
// starts and where the next line starts (after its break).
struct TextLine {
  std::string_view text;
  std::size_t start = 0;
  std::size_t next = 0;
  bool hasBreak() const { return next > start + text.size(); }
};

// Calls `visit(TextLine)` for each line of `bytes`. A break is CR or LF, taking the other one
// with it when it follows at once (CR LF and LF CR are one break). A break that ends the text
// starts no further line, and an empty text has no lines.
template <class Visit>
void forEachLine(std::string_view bytes, Visit&& visit) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t brk = pos;
    while (brk < bytes.size() && bytes[brk] != '\r' && bytes[brk] != '\n') ++brk;
    std::size_t next = brk;
    if (brk < bytes.size()) {
      const char other = bytes[brk] == '\r' ? '\n' : '\r';
      next = brk + 1;
      if (next < bytes.size() && bytes[next] == other) ++next;
    }
    visit(TextLine{bytes.substr(pos, brk - pos), pos, next});
    pos = next;
  }
}

}  // namespace quillon::platform
