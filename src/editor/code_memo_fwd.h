#pragma once
#include <cstdint>

// What a header needs to speak of the editor model without its definition: most only hold a
// reference to a CodeMemo, and code_memo.h is the most included header of the tree.
namespace quillon::editor {

class CodeMemo;

using Offset = std::int64_t;

// The longest paragraph the editor holds.
inline constexpr Offset kMaxParagraphLength = 0x7FFFFF9B;
// The longest file a load takes: text offsets keep within the same 31 bits.
inline constexpr Offset kMaxLoadLength = kMaxParagraphLength;

// Editor options, one bit each, in the order the settings and the key file know them.
enum CodeMemoOption : std::uint16_t {
  moKeepColumnPos = 1u << 0,
  moPutExtraSpaces = 1u << 1,
  moWrapCaret = 1u << 2,
  moInsertKeyActive = 1u << 3,
  moWideOverwriteCaret = 1u << 4,
  moLargeWordSelect = 1u << 5,
  moAutoScrollBars = 1u << 6,
  moNoDragnDrop = 1u << 7,
  moAutoIndent = 1u << 8,
  moBackIndent = 1u << 9,
  moWindowsSelColors = 1u << 10,
  moFullLineSelect = 1u << 11,
  moDiscardTrailingSpaces = 1u << 12,
  moNoFineScroll = 1u << 13,
  moNoLineSelection = 1u << 14,
  moBlockSelection = 1u << 15,
};
using CodeMemoOptions = std::uint16_t;

inline constexpr CodeMemoOptions kDefaultOptions =
    moWrapCaret | moInsertKeyActive | moWideOverwriteCaret | moAutoScrollBars | moBlockSelection;

enum class LineBreak { pbCRLF, pbLFCR, pbCR, pbLF };
enum class UpdateMode { umImmediate, umOnNeed, umBackground };

// Text positions that follow edits (bookmarks and the like).
using MemoAnchorId = int;

// A display line: paragraph and character range [start, stop) inside it (CodeMemo::LineSpan).
struct MemoLineSpan {
  std::int64_t paragraph = 0;
  std::uint32_t start = 0;
  std::uint32_t stop = 0;
};

// What the widget and the controls attached to the editor hear (CodeMemo::ViewEvent).
enum class MemoViewEvent { changed, scrolled, selectionMoved, layoutProgressed };

}  // namespace quillon::editor
