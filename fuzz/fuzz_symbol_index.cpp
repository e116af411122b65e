// Any bytes as a page, indexed whole and then edited: the index must not crash, every
// definition lies in the page with its name written at its place, and an edit reaches the
// same definitions as a full scan of the edited text. Words of the page are looked up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "language/symbol_index.h"

namespace {

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') &&
          text[i + 1] != text[i])
        ++i;
      lines.emplace_back();
    } else {
      lines.back() += text[i];
    }
  }
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillon::language;
  if (size < 2) return 0;
  // The first two bytes place an edit; the rest is the page.
  const std::size_t editAt = data[0];
  const std::size_t editKind = data[1];
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  std::vector<std::string> lines = splitLines(text);
  const SymbolIndex::LineAt lineAt = [&lines](std::int64_t i) {
    return std::string_view(lines[static_cast<std::size_t>(i)]);
  };

  SymbolIndex index;
  const SourceId id =
      index.setLines("/fuzz/page.mb", static_cast<std::int64_t>(lines.size()), lineAt);
  for (const Symbol& s : index.fileSymbols("/fuzz/page.mb")) {
    if (s.line < 0 || s.line >= static_cast<std::int64_t>(lines.size()) || s.endLine < s.line)
      std::abort();
    const std::string& line = lines[static_cast<std::size_t>(s.line)];
    if (s.name.empty()) std::abort();
    if (static_cast<std::size_t>(s.column) + s.name.size() <= line.size() &&
        line.compare(static_cast<std::size_t>(s.column), s.name.size(), s.name) != 0 &&
        s.column != 0)
      std::abort();
    index.goToTargets("/fuzz/page.mb", s.line, s.name);
    index.references("/fuzz/page.mb", s.line, s.name);
    index.completions("/fuzz/page.mb", s.line, s.name.substr(0, 1));
    index.parameterText("/fuzz/page.mb", s.line, s.name);
  }

  // Move a line of the page elsewhere, or remove it, and compare with a fresh scan.
  const std::size_t at = editAt % lines.size();
  const std::string moved = lines[at];
  if (lines.size() > 1) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
    index.replaceLines(id, static_cast<std::int64_t>(at), 1, 0,
                       static_cast<std::int64_t>(lines.size()), lineAt);
  }
  if (editKind % 2 == 0) {
    const std::size_t to = editKind % (lines.size() + 1);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(to), moved + "x");
    index.replaceLines(id, static_cast<std::int64_t>(to), 0, 1,
                       static_cast<std::int64_t>(lines.size()), lineAt);
  }
  SymbolIndex fresh;
  fresh.setText("/fuzz/page.mb", joined(lines));
  const std::vector<Symbol> a = index.fileSymbols("/fuzz/page.mb");
  const std::vector<Symbol> b = fresh.fileSymbols("/fuzz/page.mb");
  if (a.size() != b.size()) std::abort();
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].name != b[i].name || a[i].line != b[i].line || a[i].kind != b[i].kind ||
        a[i].endLine != b[i].endLine || a[i].container != b[i].container)
      std::abort();
  return 0;
}
