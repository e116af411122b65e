#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Columns as the protocol counts them and as the text holds them. A line's bytes are read as
// UTF-8 where they form well-formed UTF-8 sequences; any other byte is one Windows-1252
// character, as the editor reads a file from disk. So a document the client sent and a file
// read beside it are both counted the way the client counts them.
//
//   utf16: a character below U+10000 is one unit, one above it two (a surrogate pair)
//   utf8:  one unit per byte of the character's UTF-8 form (a Windows-1252 byte above 0x7F
//          is two or three bytes once converted)
//
// A column past the line's end means the line's end; one inside a character means its start.

namespace quillon::lsp {

enum class PositionEncoding { utf16, utf8 };

// Length in bytes of the well-formed UTF-8 sequence at the start of `s`, or 0.
std::size_t utf8SequenceLength(std::string_view s);

// The byte offset in `line` of the protocol's column `units`.
std::uint32_t byteColumn(std::string_view line, std::uint32_t units, PositionEncoding encoding);
// The protocol's column of byte offset `bytes` in `line` (clamped to the line).
std::uint32_t unitColumn(std::string_view line, std::uint32_t bytes, PositionEncoding encoding);

// `bytes` as UTF-8 for the client: well-formed sequences as they are, every other byte as its
// Windows-1252 character. JSON must be valid UTF-8, and word lists and files are Windows-1252.
std::string toUtf8(std::string_view bytes);

}  // namespace quillon::lsp
