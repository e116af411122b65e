// Any bytes as a page: the outline must not crash, and every entry names a line of the page
// with a name, whatever the line breaks, quotes and parentheses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "editor/code_memo.h"
#include "language/code_outline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillon;
  editor::CodeMemo memo;
  auto bytes = std::make_unique<char[]>(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(data[i]);
  memo.loadFromBuffer(std::move(bytes), size);
  const std::int64_t count = memo.paragraphCount();
  language::Outline outline =
      language::scanOutline(count, [&memo](std::int64_t i) { return memo.paragraphText(i); });
  language::sortOutline(outline);
  for (const auto& group : outline.groups)
    for (const auto& entry : group) {
      if (entry.line < 1 || entry.line > count) std::abort();
      if (entry.nameLength == 0 || entry.nameLength > entry.text.size()) std::abort();
      if (entry.text != std::string(entry.name()) + " [" + std::to_string(entry.line) + "]")
        std::abort();
    }
  return 0;
}
