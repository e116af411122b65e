#pragma once
#include <cstdint>

#include "editor/code_memo.h"

namespace quillon::testing {

// Breaks the paragraph table behind the editor's back, for tests of its self-check. The
// program itself cannot: outside the editor the table is read only.
inline void corruptLineCount(const editor::CodeMemo& memo, std::int64_t paragraph, std::uint32_t lines) {
  const_cast<editor::Paragraph&>(memo.table().at(paragraph)).lineCount = lines;
}

}  // namespace quillon::testing
