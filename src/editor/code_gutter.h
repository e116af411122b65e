#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/code_memo_fwd.h"
#include "editor/edit_keys.h"
#include "editor/error_mark.h"
#include "editor/text_metrics.h"

namespace quillon::editor {

// The strip beside an editor: line numbers, ten numbered bookmarks and the error marks of a
// build. This is the whole behaviour; the widget only paints the items it gets and reports
// its size.
//
// A bookmark is an anchor of the memo set at the first character of a display line, so it
// follows its text through edits. An error mark is an anchor at the start of a paragraph
// with that paragraph's text: it lives while both still hold, so it moves with lines
// inserted or deleted above and goes when its own line is edited; errorMarkOn() is the one
// place that decides. The gutter must be detached (setMemo(nullptr)) or destroyed before
// its memo is.
class CodeGutter {
public:
  static constexpr int kBookmarks = 10;
  static constexpr int kGlyphSize = 10;
  static constexpr int kEdgeWidth = 2;

  enum class Alignment { left, right, centre };

  // One thing to draw. A number is drawn with its baseline at y; a glyph with its top-left
  // corner at (x, y).
  struct Item {
    std::int64_t line = 0;
    int bookmark = -1;   // the glyph's number, or -1 for a number
    bool error = false;  // the error glyph (bookmark -1, no text)
    std::string text;
    int x = 0;
    int y = 0;
  };

  // The gutter's size and the area being painted, in gutter pixels. editorTop is where the
  // editor's client area starts, measured from the gutter's top.
  struct PaintArea {
    int clientWidth = 0;
    int clientHeight = 0;
    int top = 0;
    int bottom = 0;
    int editorTop = 0;
  };

  struct Paint {
    // The editor's layout moved since the last paint: paint only the background and ask
    // for another paint.
    bool repaintAgain = false;
    std::vector<Item> items;
  };

  CodeGutter() = default;
  explicit CodeGutter(CodeMemo* memo) { setMemo(memo); }
  ~CodeGutter();
  CodeGutter(const CodeGutter&) = delete;
  CodeGutter& operator=(const CodeGutter&) = delete;

  CodeMemo* memo() const { return memo_; }
  // A different memo frees every bookmark.
  void setMemo(CodeMemo* memo);

  // Font of the numbers; without one, the memo's.
  void setMetrics(const TextMetrics* metrics) { metrics_ = metrics; }

  Alignment alignment() const { return alignment_; }
  void setAlignment(Alignment a);
  bool lineNumbers() const { return lineNumbers_; }
  void setLineNumbers(bool on);
  bool paragraphNumbers() const { return paragraphNumbers_; }
  void setParagraphNumbers(bool on);

  // ----- Bookmarks -----
  // Same bookmark on the line: removed. No bookmark on the line: set there (moved if it was
  // elsewhere). Another bookmark on the line: nothing. True when something changed.
  bool toggleBookmark(std::int64_t line, int n);
  // The display line of bookmark n, or -1 when it is not set or n is not 0..9.
  std::int64_t bookmarkLine(int n) const;
  // Caret to the bookmark, scrolled into view; nothing when the slot is empty.
  void goToBookmark(int n);
  void clearAll();

  // Ctrl+Shift+digit toggles bookmark digit on the caret's line; Ctrl+digit puts the caret
  // at the start of that bookmark's line. Digits are the main keyboard's. True when the key
  // was one of these (the editor should still see it).
  bool keyDown(int digit, KeyModifiers mods);

  // ----- Error marks -----
  // Replaces the marks; paragraphs past the end are left out.
  void setErrorMarks(const std::vector<ErrorMark>& marks);
  // The marks that still hold, in paragraph order.
  std::vector<ErrorMark> errorMarks() const;
  // The message of the mark on a paragraph; null when none holds there.
  const std::string* errorMarkOn(std::int64_t paragraph) const;
  std::size_t errorMarkCount() const { return errorMarks().size(); }
  // The message of the mark on the line at gutter pixel row y (the tool tip); null when none.
  const std::string* errorMarkAt(int y, int editorTop) const;

  // ----- Painting -----
  Paint paint(const PaintArea& area);

  // Asked for by the gutter when its picture is stale.
  std::function<void()> onRepaint;
  // The editor scrolled and nothing else moved: shift the picture by dy pixels (positive
  // moves it down) and paint the uncovered strip.
  std::function<void(int dy)> onScroll;

private:
  struct Slot {
    bool set = false;
    MemoAnchorId anchor = 0;
  };
  struct Error {
    MemoAnchorId anchor = 0;
    std::string text;  // the paragraph's text when marked
    ErrorMark mark;
  };

  void onViewEvent(MemoViewEvent e);
  void freeBookmarks();
  void freeErrorMarks();
  // The mark on a paragraph, found by its anchor among marks kept in text order.
  const Error* errorOn(std::int64_t paragraph) const;
  void requestRepaint() {
    if (onRepaint) onRepaint();
  }
  int bookmarkOn(std::int64_t line) const;
  bool layoutMovedSincePaint() const;
  const TextMetrics* numberMetrics() const;

  CodeMemo* memo_ = nullptr;
  int listenerId_ = 0;
  const TextMetrics* metrics_ = nullptr;
  Alignment alignment_ = Alignment::centre;
  bool lineNumbers_ = true;
  bool paragraphNumbers_ = false;
  std::array<Slot, kBookmarks> slots_{};
  std::vector<Error> errors_;  // ordered by anchor; edits keep anchors in order

  // What the picture on screen shows.
  std::array<std::int64_t, kBookmarks> paintedLines_{};
  std::int64_t paintedLineCount_ = -1;
  std::int64_t paintedParagraphCount_ = -1;
  std::int64_t shownScrollY_ = 0;
};

}  // namespace quillon::editor
