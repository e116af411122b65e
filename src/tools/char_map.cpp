#include "tools/char_map.h"

#include <algorithm>
#include <cstdio>

#include "editor/code_memo.h"

namespace quillon::tools {

namespace {

// Where a box of `size` goes over cell `index`: centred, kept 1 pixel from the start and
// moved back when it would reach within 2 pixels of the end.
int boxEdge(int index, int cell, int size, int total) {
  int edge = std::max(1, (cell + 1) * index + cell / 2 - size / 2);
  if (edge + size >= total - 2) edge = total - size - 4;
  return edge;
}

}  // namespace

CharMap::CharMap(editor::CodeMemo& sourceEditor, platform::Clipboard& clipboard)
    : editor_(sourceEditor), clipboard_(clipboard) {}

std::string_view CharMap::controlName(int code) {
  if (code >= 0 && code <= 32) return kControlNames.substr(static_cast<std::size_t>(code) * 3, 3);
  if (code == 127) return kControlNames.substr(99, 3);
  return {};
}

std::string CharMap::codeLineFor(int code) {
  char head[32];
  std::snprintf(head, sizeof head, " Alt+%04d [&H%02X] [", code, code & 0xFF);
  std::string line = head;
  if (printable(code))
    line += static_cast<char>(code);
  else
    line += controlName(code);
  std::string doubled;
  for (char c : line) {
    doubled += c;
    if (c == '&') doubled += '&';
  }
  return doubled + "]";
}

void CharMap::select(int column, int row) {
  column_ = std::clamp(column, 0, kColumns - 1);
  row_ = std::clamp(row, 0, kColumns - 1);
  code_ = column_ + row_ * kColumns;
  codeLine_ = codeLineFor(code_);
}

CharMap::Box CharMap::box(int columnWidth, int rowHeight, int gridWidth, int gridHeight) const {
  Box b;
  const bool named = code_ < 33 || code_ == 127;
  b.width = named ? 48 : 24;
  b.caption = named ? std::string(controlName(code_)) : std::string(1, static_cast<char>(code_));
  b.left = boxEdge(column_, columnWidth, b.width, gridWidth);
  b.top = boxEdge(row_, rowHeight, kBoxHeight, gridHeight);
  return b;
}

void CharMap::copy() {
  if (!printable(code_)) return;
  collected_ += static_cast<char>(code_);
  clipboard_.writeText(collected_, false);
}

void CharMap::insert() {
  if (!printable(code_)) return;
  editor_.setSelText(std::string(1, static_cast<char>(code_)));
}

void CharMap::clearCopy() {
  // What another program put on the clipboard since is not ours to empty.
  const auto current = clipboard_.readText();
  if (!collected_.empty() && current && !current->columnBlock && current->text == collected_)
    clipboard_.writeText({}, false);
  collected_.clear();
}

void CharMap::close() { collected_.clear(); }

}  // namespace quillon::tools
