#include "lsp/text_document.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace quillon::lsp {

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

TextDocument::TextDocument(std::string uri, std::int64_t version, std::string_view text)
    : uri_(std::move(uri)), version_(version) {
  setText(text);
}

std::string_view TextDocument::line(std::int64_t index) const {
  if (index < 0 || index >= table_.size()) return {};
  return table_.at(index).text();
}

std::string TextDocument::text() const {
  std::string out;
  out.reserve(bytes_ + static_cast<std::size_t>(table_.size()));
  table_.forEach([&](std::int64_t i, const editor::Paragraph& p) {
    if (i > 0) out.push_back('\n');
    out.append(p.text());
    return true;
  });
  return out;
}

void TextDocument::setText(std::string_view text) {
  // One buffer that the lines borrow from, as a file load does: no allocation per line.
  auto buffer = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(buffer.get(), text.data(), text.size());
  const std::string_view copy(buffer.get(), text.size());
  table_.clearForLoad();
  const char* base = table_.adoptArena(std::move(buffer), text.size());
  bytes_ = 0;
  std::size_t start = 0;
  const auto append = [&](std::size_t stop) {
    const auto length = static_cast<std::uint32_t>(
        std::min<std::size_t>(stop - start, editor::ParagraphTable::kMaxLength));
    table_.appendBorrowed(base + start, length, 0);
    bytes_ += length;
  };
  for (std::size_t i = 0; i < copy.size(); ++i) {
    const char c = copy[i];
    if (c != '\r' && c != '\n') continue;
    append(i);
    if (c == '\r' && i + 1 < copy.size() && copy[i + 1] == '\n') ++i;
    start = i + 1;
  }
  append(copy.size());
  table_.finishLoad();
}

TextDocument::Place TextDocument::place(const Position& position, PositionEncoding encoding) const {
  if (position.line < 0) return {0, 0};
  if (position.line >= table_.size()) {
    const std::int64_t last = table_.size() - 1;
    return {last, table_.lengthOf(last)};
  }
  const auto units =
      static_cast<std::uint32_t>(std::clamp<std::int64_t>(position.character, 0, UINT32_MAX));
  return {position.line, byteColumn(line(position.line), units, encoding)};
}

Position TextDocument::position(std::int64_t lineIndex, std::uint32_t byteColumn,
                                PositionEncoding encoding) const {
  return {lineIndex, unitColumn(line(lineIndex), byteColumn, encoding)};
}

TextDocument::Edit TextDocument::apply(const Range& range, std::string_view text,
                                       PositionEncoding encoding) {
  Place from = place(range.start, encoding);
  Place to = place(range.end, encoding);
  if (to.line < from.line || (to.line == from.line && to.column < from.column)) std::swap(from, to);

  const std::vector<std::string_view> pieces = splitLines(text);
  if (pieces.size() == 1 && from.line == to.line) {
    bytes_ = bytes_ - (to.column - from.column) + text.size();
    table_.replaceInParagraph(from.line, from.column, to.column - from.column, text);
    return {from.line, 1, 1};
  }
  // The first line keeps its head and takes the first piece; the last piece takes the tail
  // of the range's last line; the lines between are replaced by the other pieces.
  const std::string tail(line(to.line).substr(to.column));
  std::int64_t removedBytes = 0;
  for (std::int64_t i = from.line + 1; i <= to.line; ++i) removedBytes += table_.lengthOf(i);
  bytes_ -= static_cast<std::size_t>(removedBytes) + (table_.lengthOf(from.line) - from.column);

  std::string lastPiece;
  std::vector<std::string_view> inserted;
  if (pieces.size() > 1) {
    lastPiece.assign(pieces.back());
    lastPiece += tail;
    inserted.assign(pieces.begin() + 1, pieces.end() - 1);
    inserted.push_back(lastPiece);
    table_.replaceInParagraph(from.line, from.column, table_.lengthOf(from.line) - from.column,
                              pieces.front());
  } else {
    std::string joined(pieces.front());
    joined += tail;
    table_.replaceInParagraph(from.line, from.column, table_.lengthOf(from.line) - from.column,
                              joined);
  }
  if (to.line > from.line) table_.eraseParagraphs(from.line + 1, to.line - from.line);
  if (!inserted.empty()) table_.insertParagraphs(from.line + 1, inserted);
  for (std::string_view piece : pieces) bytes_ += piece.size();
  bytes_ += tail.size();
  return {from.line, to.line - from.line + 1, static_cast<std::int64_t>(pieces.size())};
}

}  // namespace quillon::lsp
