#include "pages/text_file.h"

#include <optional>
#include <ostream>
#include <string>
#include <system_error>

#include "editor/code_memo.h"
#include "platform/regular_file.h"
#include "platform/replace_file.h"

namespace quillon::pages {

TextFormat loadTextFile(editor::CodeMemo& editor, const std::filesystem::path& path) {
  platform::FileBytes bytes = editor::CodeMemo::readLoadable(path);
  const DecodedText decoded = decodeText(bytes.data, bytes.size);
  editor.loadFromBuffer(std::move(bytes.data), decoded.size);
  return decoded.format;
}

bool saveTextFile(const editor::CodeMemo& editor, const std::filesystem::path& path,
                  const TextFormat& format) {
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

void loadErrorFile(editor::CodeMemo& view, const std::filesystem::path& path, std::uint64_t limit) {
  bool cut = false;
  std::error_code error;
  std::optional<platform::FileBytes> bytes = platform::readRegularFileHead(path, limit, cut, error);
  if (!bytes) throw std::system_error(error, path.string());
  if (!cut) {
    view.loadFromBuffer(std::move(bytes->data), bytes->size);
    return;
  }
  std::string_view head(bytes->data.get(), bytes->size);
  const std::size_t lastBreak = head.find_last_of("\r\n");
  head = head.substr(0, lastBreak == std::string_view::npos ? 0 : lastBreak);
  // A break split by the cut leaves its CR behind.
  while (!head.empty() && (head.back() == '\r' || head.back() == '\n')) head.remove_suffix(1);
  std::string text(head);
  if (!text.empty()) text += "\r\n";
  text += kErrorFileCut;
  view.setText(text);
}

}  // namespace quillon::pages
