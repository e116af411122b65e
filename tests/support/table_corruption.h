#pragma once
#include <cstdint>

#include "editor/code_memo.h"

namespace quillon::testing {

// Breaks the paragraph table behind the editor's back, for tests of its self-check: the
// paragraph's own display lines no longer match the count the table keeps. The program itself
// cannot: outside the editor the table is read only. `lines` 1 mends it again.
inline void corruptLineCount(const editor::CodeMemo& memo, std::int64_t paragraph,
                             std::uint32_t lines) {
  auto& p = const_cast<editor::Paragraph&>(memo.table().at(paragraph));
  auto& starts = p.ensureExtra().lineStarts;
  starts.clear();
  for (std::uint32_t k = 1; k < lines; ++k) starts.push_back(k);
}

}  // namespace quillon::testing
