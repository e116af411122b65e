#include "platform/box_text.h"

#include <algorithm>
#include <vector>

namespace quillon::platform {

namespace {

std::string_view ellipsis(bool utf8) { return utf8 ? "\xE2\x80\xA6" : "\x85"; }

bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t from = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(from, i - from));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    from = i + 1;
  }
  lines.push_back(text.substr(from));
  return lines;
}

void appendLine(BoxText& box, std::string_view line, std::size_t maxColumns, bool utf8) {
  if (line.size() <= maxColumns) {
    box.shown += line;
    return;
  }
  box.shortened = true;
  const std::size_t keep = maxColumns - 1;
  std::size_t headEnd = keep - keep / 2;
  std::size_t tailStart = line.size() - keep / 2;
  // Both cuts fall between characters.
  while (utf8 && headEnd > 0 && continuation(line[headEnd])) --headEnd;
  while (utf8 && tailStart < line.size() && continuation(line[tailStart])) ++tailStart;
  box.shown += line.substr(0, headEnd);
  box.shown += ellipsis(utf8);
  box.shown += line.substr(tailStart);
}

}  // namespace

BoxText shortenForBox(std::string_view text, bool utf8, std::size_t maxLines,
                      std::size_t maxColumns) {
  maxLines = std::max<std::size_t>(maxLines, 3);
  maxColumns = std::max<std::size_t>(maxColumns, 3);
  const std::vector<std::string_view> lines = splitLines(text);
  BoxText box;
  const bool tooMany = lines.size() > maxLines;
  const std::size_t head = tooMany ? maxLines / 2 : lines.size();
  const std::size_t tail = tooMany ? maxLines - head - 1 : 0;
  for (std::size_t i = 0; i < head; ++i) {
    if (i > 0) box.shown += '\n';
    appendLine(box, lines[i], maxColumns, utf8);
  }
  if (tooMany) {
    box.shortened = true;
    box.shown += '\n';
    box.shown += ellipsis(utf8);
    for (std::size_t i = lines.size() - tail; i < lines.size(); ++i) {
      box.shown += '\n';
      appendLine(box, lines[i], maxColumns, utf8);
    }
  }
  return box;
}

}  // namespace quillon::platform
