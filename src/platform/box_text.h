#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace quillon::platform {

// What a message box shows of a text: at most `maxLines` lines of at most `maxColumns`
// characters, so that a box never grows past the screen and its buttons stay in reach. A
// longer line keeps its start and end with "…" between them; a text of more lines keeps its
// first and last lines with a line of "…" between them. A CR LF or a lone CR ends a line as an
// LF does; the shown text breaks lines with LF. A `utf8` text gets the UTF-8 "…" and is cut
// between characters only; any other is Windows-1252 (0x85). Columns count bytes.
struct BoxText {
  std::string shown;
  bool shortened = false;  // the box should keep the whole text within reach (its details)
};

inline constexpr std::size_t kBoxLines = 20;
inline constexpr std::size_t kBoxColumns = 200;

BoxText shortenForBox(std::string_view text, bool utf8, std::size_t maxLines = kBoxLines,
                      std::size_t maxColumns = kBoxColumns);

}  // namespace quillon::platform
