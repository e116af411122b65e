#include "editor/print_layout.h"

#include <algorithm>

#include "editor/code_memo.h"

namespace quillon::editor {

void PrintLayout::layOut(const TextMetrics& metrics, int textWidth) {
  advance_ = CharAdvance{&metrics, source_.tabStops(), source_.staticFormat()};
  textWidth_ = std::max(1, textWidth);
  firstLine_.clear();
  breaks_.clear();
  if (!source_.wordWrap()) return;  // one display line per paragraph
  const ParagraphTable& table = source_.table();
  firstLine_.reserve(static_cast<std::size_t>(table.size()) + 1);
  firstLine_.push_back(0);
  std::vector<std::uint32_t> starts;
  table.forEach([&](std::int64_t index, const Paragraph& p) {
    breakLines(p.text(), (p.flags & Paragraph::kHasCodes) != 0, advance_, textWidth_, starts);
    if (!starts.empty()) breaks_.emplace_back(index, starts);
    firstLine_.push_back(firstLine_.back() + static_cast<std::int64_t>(starts.size()) + 1);
    return true;
  });
  if (breaks_.empty()) firstLine_.clear();
}

void PrintLayout::discardLines() {
  advance_.metrics = nullptr;
  firstLine_.clear();
  breaks_.clear();
}

std::int64_t PrintLayout::lineCount() const {
  return firstLine_.empty() ? source_.paragraphCount() : firstLine_.back();
}

CodeMemo::LineSpan PrintLayout::line(std::int64_t n) const {
  CodeMemo::LineSpan span;
  n = std::clamp<std::int64_t>(n, 0, std::max<std::int64_t>(0, lineCount() - 1));
  if (firstLine_.empty()) {
    span.paragraph = n;
    span.stop = source_.table().lengthOf(n);
    return span;
  }
  const auto after = std::upper_bound(firstLine_.begin(), firstLine_.end(), n);
  span.paragraph = (after - firstLine_.begin()) - 1;
  const std::int64_t local = n - firstLine_[static_cast<std::size_t>(span.paragraph)];
  span.stop = source_.table().lengthOf(span.paragraph);
  const auto found =
      std::lower_bound(breaks_.begin(), breaks_.end(), span.paragraph,
                       [](const auto& entry, std::int64_t p) { return entry.first < p; });
  if (found == breaks_.end() || found->first != span.paragraph) return span;
  const std::vector<std::uint32_t>& starts = found->second;
  const auto k = static_cast<std::size_t>(local);
  if (k > 0) span.start = starts[k - 1];
  if (k < starts.size()) span.stop = starts[k];
  return span;
}

}  // namespace quillon::editor
