// Recognising documents: whatever the bytes, the text made of them is written back as those very
// bytes (bytes taken as Windows-1252 are left as they were), the stream writer agrees with the
// whole-text one however the text reaches it, and the break chosen rebuilds the text from the
// editor's paragraphs whenever any break can.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "editor/code_memo.h"
#include "pages/text_encoding.h"

namespace {

using namespace quillon;

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "encoding check failed: %s\n", what);
  std::abort();
}

// The paragraphs joined as the writer joins them.
std::string joined(const editor::CodeMemo& memo, editor::LineBreak brk) {
  const char* sep = brk == editor::LineBreak::pbCRLF ? "\r\n"
                    : brk == editor::LineBreak::pbLF ? "\n"
                    : brk == editor::LineBreak::pbCR ? "\r"
                                                     : "\n\r";
  std::string out;
  for (std::int64_t i = 0; i < memo.paragraphCount(); ++i) {
    if (i > 0) out += sep;
    out += memo.paragraphText(i);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  auto buffer = std::make_unique<char[]>(size + 1);
  std::memcpy(buffer.get(), data, size);
  const pages::DecodedText d = pages::decodeText(buffer, size);
  const std::string text(buffer.get(), d.size);
  if (d.format.encoding == pages::TextEncoding::windows1252) {
    check(!d.format.heldAsUtf8 && text == input, "Windows-1252 bytes changed");
  }
  check(pages::encodeText(text, d.format) == input, "decode then encode differs from the input");

  // The same text written three bytes at a time, so held sequences are cut between writes.
  std::ostringstream out;
  pages::EncodingStreamBuffer writer(out, d.format);
  std::ostream stream(&writer);
  for (std::size_t at = 0; at < text.size(); at += 3)
    stream.write(text.data() + at,
                 static_cast<std::streamsize>(std::min<std::size_t>(3, text.size() - at)));
  writer.finish();
  check(out.str() == input, "stream writer differs");

  editor::CodeMemo memo;
  memo.setText(text);
  bool anyBreakRebuilds = false;
  for (editor::LineBreak b : {editor::LineBreak::pbCRLF, editor::LineBreak::pbLF,
                              editor::LineBreak::pbCR, editor::LineBreak::pbLFCR})
    anyBreakRebuilds = anyBreakRebuilds || joined(memo, b) == text;
  check(!anyBreakRebuilds || joined(memo, d.format.lineBreak) == text,
        "the break chosen loses the text");
  return 0;
}
