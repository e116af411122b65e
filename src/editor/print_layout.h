#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "editor/code_memo_fwd.h"
#include "editor/line_breaker.h"
#include "editor/text_metrics.h"

namespace quillon::editor {

// The source editor's paragraphs laid out for paper: the printer's metrics, the source's tab
// stops and word wrap, a given text width and no inner margins, broken into lines by the
// editor's own breakLines(). It reads the paragraphs and their highlighting runs where they
// are instead of copying the text, so it is valid only while that text does not change:
// printing runs at once and the preview is modal.
//
// Invariant: after layOut(), firstLine_ holds the first display line of every paragraph and
// one more entry for the total, or is empty when every paragraph is one line; breaks_ holds
// the line starts of exactly the paragraphs with more than one line, sorted by paragraph.
// layOut() alone writes both.
class PrintLayout {
public:
  // `plainText`: painted without the runs of the highlighting.
  PrintLayout(CodeMemo& source, bool plainText) : source_(source), plainText_(plainText) {}
  PrintLayout(const PrintLayout&) = delete;
  PrintLayout& operator=(const PrintLayout&) = delete;

  void layOut(const TextMetrics& metrics, int textWidth);
  // Forgets the lines (a new text width is coming); laidOut() is false until layOut().
  void discardLines();

  CodeMemo& source() const { return source_; }
  bool plainText() const { return plainText_; }
  const CharAdvance& advance() const { return advance_; }
  int textWidth() const { return textWidth_; }
  bool laidOut() const { return advance_.metrics != nullptr; }
  std::int64_t lineCount() const;
  // Display line n: its paragraph and character range.
  MemoLineSpan line(std::int64_t n) const;

private:
  CodeMemo& source_;
  bool plainText_;
  CharAdvance advance_;
  int textWidth_ = 0;
  std::vector<std::int64_t> firstLine_;
  std::vector<std::pair<std::int64_t, std::vector<std::uint32_t>>> breaks_;
};

}  // namespace quillon::editor
