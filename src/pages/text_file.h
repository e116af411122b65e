#pragma once
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "editor/code_memo_fwd.h"
#include "pages/text_encoding.h"

namespace quillon::pages {

// Loads a document into the editor: read once into one buffer, recognised and converted in
// that buffer (text_encoding.h), handed to the editor without a copy. Returns how the text
// goes back into the file. Throws std::system_error when the file cannot be read or is no
// regular file, and MemoError "Text too long" for one longer than the editor takes, before
// anything is read; the editor's text is then as it was.
TextFormat loadTextFile(editor::CodeMemo& editor, const std::filesystem::path& path);

// Writes the editor's text into the file in `format` (encoding, mark and break) as the bytes
// are produced, through platform::replaceFile, so a failed save never destroys the old file.
// Throws std::system_error on failure; false when the file was saved but could not keep its
// owner or group.
bool saveTextFile(const editor::CodeMemo& editor, const std::filesystem::path& path,
                  const TextFormat& format);

// An error file is shown as far as its first `limit` bytes, ended at the last whole line
// there; a longer one gets a last line of ours saying the rest was left out. Throws as
// CodeMemo::loadFromFile does for a file that cannot be read.
inline constexpr std::uint64_t kErrorFileLimit = std::uint64_t{16} << 20;
inline constexpr std::string_view kErrorFileCut =
    "(The rest of this error file, beyond 16 MB, was left out.)";
void loadErrorFile(editor::CodeMemo& view, const std::filesystem::path& path,
                   std::uint64_t limit = kErrorFileLimit);

}  // namespace quillon::pages
