#include "pages/text_file.h"

#include <ostream>
#include <system_error>

#include "platform/replace_file.h"

namespace quillon::pages {

TextFormat loadTextFile(editor::CodeMemo& editor, const std::filesystem::path& path) {
  platform::FileBytes bytes = editor::CodeMemo::readLoadable(path);
  const DecodedText decoded = decodeText(bytes.data, bytes.size);
  editor.loadFromBuffer(std::move(bytes.data), decoded.size);
  return decoded.format;
}

bool saveTextFile(const editor::CodeMemo& editor, const std::filesystem::path& path, const TextFormat& format) {
  const platform::FileReplaced done = platform::replaceFile(path, [&](std::ostream& out) {
    if (format.encoding == TextEncoding::windows1252) {
      editor.saveToStream(out, format.lineBreak);
      return;
    }
    EncodingStreamBuffer encoder(out, format);
    std::ostream encoded(&encoder);
    editor.saveToStream(encoded, format.lineBreak);
    encoder.finish();
  });
  if (!done) throw std::system_error(done.error, std::generic_category(), path.string());
  return done.ownerKept;
}

}  // namespace quillon::pages
