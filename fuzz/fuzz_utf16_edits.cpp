// A UTF-16 document that could not be converted takes no edit: whatever is typed, pasted,
// cut, put, undone or replaced through the editor, it writes the very bytes it wrote before
// the first edit. Those are not always the file's bytes, for any page: saving drops a
// formatting code that the same code follows, and writes breaks of mixed kinds as CR LF. The
// input is one byte of how to dress the document (its mark, an odd byte at the end), one byte
// counting the edits, the edits, and the document.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "editor/code_memo.h"
#include "editor/memo_clipboard.h"
#include "editor/memo_keyboard.h"
#include "pages/text_encoding.h"
#include "support/fake_clipboard.h"

namespace {

using namespace quillon;

std::string written(const editor::CodeMemo& memo, const pages::TextFormat& format) {
  std::ostringstream out;
  pages::EncodingStreamBuffer encoder(out, format);
  std::ostream encoded(&encoder);
  memo.saveToStream(encoded, format.lineBreak);
  encoder.finish();
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 4096) return 0;
  const std::uint8_t dress = data[0];
  const std::size_t edits = std::min<std::size_t>(data[1], size - 2);
  const std::uint8_t* op = data + 2;
  std::string file((dress & 1) ? "\xFE\xFF" : "\xFF\xFE");
  file.append(reinterpret_cast<const char*>(op + edits), size - 2 - edits);
  if ((dress & 2) && file.size() % 2 == 0) file += static_cast<char>(dress);

  auto buffer = std::make_unique<char[]>(file.size() + 1);
  std::memcpy(buffer.get(), file.data(), file.size());
  const pages::DecodedText decoded = pages::decodeText(buffer, file.size());
  if (!pages::editsRefused(decoded.format)) return 0;

  editor::CodeMemo memo;
  memo.loadFromBuffer(std::move(buffer), decoded.size);
  memo.setModified(false);  // as a page just loaded
  memo.setReadOnly(true);
  const std::string untouched = written(memo, decoded.format);
  quillon::testing::FakeClipboard clipboard;
  clipboard.content = platform::ClipboardText{"pasted\r\nZ\xE9", (dress & 4) != 0};
  editor::MemoClipboard clip(memo, &clipboard);
  editor::MemoKeyboard keys(memo, clip);
  for (std::size_t i = 0; i < edits; ++i) {
    const std::uint8_t b = op[i];
    const editor::Offset at = memo.charCount() > 0 ? b % (memo.charCount() + 1) : 0;
    switch (b % 9) {
      case 0: memo.select(at, (b & 8) ? 1 : -1); break;
      case 1: keys.typeChar(static_cast<char>(b)); break;
      case 2: keys.keyDown(editor::EditKey::Backspace, {}); break;
      case 3: keys.keyDown(editor::EditKey::Delete, {.ctrl = (b & 16) != 0}); break;
      case 4: clip.paste(); break;
      case 5: clip.cut(); break;
      case 6: memo.setSelText(std::string(b % 5, static_cast<char>(b))); break;
      case 7:
        if (memo.lineCount() > 0) memo.lines().put(b % memo.lineCount(), "put");
        break;
      case 8: (b & 1) ? memo.undo() : memo.redo(); break;
    }
  }
  if (written(memo, decoded.format) != untouched || memo.modified()) {
    std::fprintf(stderr, "a read-only UTF-16 page changed\n");
    std::abort();
  }
  return 0;
}
