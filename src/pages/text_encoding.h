#pragma once
// How a document's bytes are taken, in this order:
//  - EF BB BF at the start: UTF-8 with a mark.
//  - FF FE at the start: UTF-16 little-endian with a mark; FE FF: big-endian. UTF-16 is only
//    known by its mark.
//  - Bytes of which at least one is 0x80 or above and which are all well-formed UTF-8: UTF-8
//    without a mark. Well-formed means no overlong form, no surrogate, nothing above U+10FFFF
//    and no sequence cut short, the end of the file included.
//  - Anything else, a UTF-8 mark before bytes that are not well-formed UTF-8 included, is
//    Windows-1252, the editor's own bytes, taken as they are.
// A Unicode document whose every character has a Windows-1252 byte is converted into those
// bytes. One holding a character Windows-1252 lacks is held as its UTF-8 form, unconverted, so
// nothing is lost: a UTF-8 document as its own bytes, a UTF-16 one turned into UTF-8 (its own
// bytes, full of NULs and with every break split in two, cannot stand in the editor). A lone
// surrogate there takes the three-byte form of its value, and the odd last byte of a UTF-16
// file the four bytes F4 90 80+(byte>>6) 80+(byte&63), which no character has. The mark is
// never part of the text. Written back, an unchanged text gives the very bytes it came from.
//
// Line breaks are counted as the editor splits paragraphs: at a CR or an LF, together with the
// other one of the two right after it. A text whose breaks are all of one kind (CR LF, LF CR,
// CR or LF) is saved with that kind; a text without breaks, or with breaks of more than one
// kind, with CR LF.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "editor/code_memo_fwd.h"

namespace quillon::pages {

enum class TextEncoding : std::uint8_t { windows1252, utf8, utf8WithMark, utf16LE, utf16BE };

// "UTF-8", "UTF-16 LE", ... for the words the user reads.
const char* encodingName(TextEncoding encoding);

// How a page's text goes back into its file.
struct TextFormat {
  TextEncoding encoding = TextEncoding::windows1252;
  // The text is the document's UTF-8 form: characters beyond Windows-1252 stay as their bytes.
  // Bytes typed into it that are not UTF-8 are written as the characters they show.
  bool heldAsUtf8 = false;
  editor::LineBreak lineBreak = editor::LineBreak::pbCRLF;
  bool operator==(const TextFormat&) const = default;
};

// A UTF-16 document held as UTF-8 cannot take an edit: one typed byte or one deleted byte of
// a sequence has no UTF-16 form, and saving it would shift every character after it. Its page
// is read-only.
inline bool editsRefused(const TextFormat& format) {
  return format.heldAsUtf8 &&
         (format.encoding == TextEncoding::utf16LE || format.encoding == TextEncoding::utf16BE);
}

// The first paragraph (from 0) of a UTF-8 document's text that is no longer well-formed
// UTF-8, or -1.
std::int64_t firstBrokenParagraph(const editor::CodeMemo& editor);

struct DecodedText {
  TextFormat format;
  std::size_t size = 0;  // of the text, at the start of the buffer
};

// Recognises the document in the first `size` bytes of `buffer` and turns it into the editor's
// text in one pass: in place, except for a UTF-16 document held as UTF-8, which gets a new
// buffer. Bytes that are taken as Windows-1252 are left exactly as they were.
DecodedText decodeText(std::unique_ptr<char[]>& buffer, std::size_t size);

// The break a text is saved with (see the rules above).
editor::LineBreak lineBreakOf(std::string_view text);

// The editor's text as the bytes of the document, mark first.
std::string encodeText(std::string_view text, const TextFormat& format);

// Passes the editor's bytes on to `out` as the document's bytes while they are written. The
// mark is written at once, so an empty text still gets it; finish() writes what a sequence
// cut short at the very end leaves.
class EncodingStreamBuffer final : public std::streambuf {
public:
  EncodingStreamBuffer(std::ostream& out, const TextFormat& format);
  void finish();

protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int_type overflow(int_type ch) override;

private:
  std::ostream& out_;
  TextFormat format_;
  std::array<unsigned char, 4> pending_{};  // the start of a sequence the next write completes
  std::size_t pendingSize_ = 0;
  std::vector<unsigned char> piece_;
  std::vector<char> encoded_;
};

}  // namespace quillon::pages
