#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/paragraph_table.h"
#include "lsp/position_codec.h"

namespace quillon::lsp {

// A line and column as the protocol gives them, in the negotiated units.
struct Position {
  std::int64_t line = 0;
  std::int64_t character = 0;
  bool operator==(const Position&) const = default;
};
struct Range {
  Position start;
  Position end;
};

// One open document as the client has it: its lines in the editor's paragraph table, so a
// document of millions of lines costs its bytes plus a small record per line, and one edit
// touches only the lines it changes. Lines are split at CR LF, LF and CR, as the protocol
// splits them; the breaks themselves are not kept.
//
// Invariant: the table holds at least one line, and no line holds a CR or LF; setText() and
// apply() are the only writers and both split on every break.
class TextDocument {
public:
  TextDocument(std::string uri, std::int64_t version, std::string_view text);
  TextDocument(const TextDocument&) = delete;
  TextDocument& operator=(const TextDocument&) = delete;

  const std::string& uri() const { return uri_; }
  std::int64_t version() const { return version_; }
  void setVersion(std::int64_t version) { version_ = version; }

  std::int64_t lineCount() const { return table_.size(); }
  // An empty view for a line past the end.
  std::string_view line(std::int64_t index) const;
  // The lines joined by LF.
  std::string text() const;
  std::size_t byteSize() const { return bytes_; }

  void setText(std::string_view text);
  // Lines [firstLine, firstLine + removedLines) became [firstLine, firstLine + insertedLines).
  struct Edit {
    std::int64_t firstLine = 0;
    std::int64_t removedLines = 0;
    std::int64_t insertedLines = 0;
  };
  // Replaces `range` (clamped to the text, its ends put in order) with `text`.
  Edit apply(const Range& range, std::string_view text, PositionEncoding encoding);

  // Byte offset in its line of a protocol position, the line clamped to the document.
  struct Place {
    std::int64_t line = 0;
    std::uint32_t column = 0;
  };
  Place place(const Position& position, PositionEncoding encoding) const;
  Position position(std::int64_t line, std::uint32_t byteColumn, PositionEncoding encoding) const;

private:
  std::string uri_;
  std::int64_t version_ = 0;
  editor::ParagraphTable table_;
  std::size_t bytes_ = 0;  // sum of line lengths, breaks not counted
};

// `text` split at CR LF, LF and CR; always at least one piece.
std::vector<std::string_view> splitLines(std::string_view text);

}  // namespace quillon::lsp
