#include "editor/memo_strings.h"

#include "editor/code_memo.h"
#include "editor/memo_error.h"

namespace quillon::editor {

std::string MemoStrings::text() const { return memo_.text(); }
void MemoStrings::setText(std::string_view text) { memo_.setText(text); }
void MemoStrings::clear() { memo_.clear(); }
void MemoStrings::loadFromFile(const std::filesystem::path& path) { memo_.loadFromFile(path); }
void MemoStrings::saveToFile(const std::filesystem::path& path) const { memo_.saveToFile(path); }
void MemoStrings::loadFromStream(std::istream& in) { memo_.loadFromStream(in); }
void MemoStrings::saveToStream(std::ostream& out) const { memo_.saveToStream(out); }
void MemoStrings::beginUpdate() { memo_.beginUpdate(); }
void MemoStrings::endUpdate() { memo_.endUpdate(); }

void MemoStrings::assign(const std::vector<std::string>& items) {
  std::string all;
  for (const auto& item : items) {
    all.append(item);
    all.append("\r\n");
  }
  memo_.setText(all);
}

namespace {

void checkIndex(std::int64_t index, std::int64_t count) {
  if (index < 0 || index >= count) throw MemoError(kListIndexOutOfBounds);
}

}  // namespace

// ----- display lines -----

namespace {

// Paragraphs not yet laid out count as one line each; lay out far enough that line `index`
// is where it will stay before checking it.
void checkLine(CodeMemo& memo, std::int64_t index) {
  if (index >= 0) memo.lineSpan(index);
  checkIndex(index, memo.lineCount());
}

}  // namespace

std::int64_t LinesView::count() const {
  memo_.ensureLaidOut(memo_.paragraphCount() - 1);
  const std::int64_t n = memo_.lineCount();
  const CodeMemo::LineSpan last = memo_.lineSpan(n - 1);
  return last.stop == last.start ? n - 1 : n;
}

std::string LinesView::get(std::int64_t index) const {
  checkLine(memo_, index);
  const CodeMemo::LineSpan s = memo_.lineSpan(index);
  return std::string(memo_.paragraphText(s.paragraph).substr(s.start, s.stop - s.start));
}

void LinesView::put(std::int64_t index, std::string_view text) {
  checkLine(memo_, index);
  const CodeMemo::LineSpan s = memo_.lineSpan(index);
  const Offset start = memo_.table().startOf(s.paragraph) + s.start;
  memo_.select(start, s.stop - s.start);
  memo_.setSelText(text);
}

void LinesView::insert(std::int64_t index, std::string_view text) {
  if (index < 0) throw MemoError(kListIndexOutOfBounds);
  if (index >= count()) {
    memo_.setSelStart(memo_.charCount());
    memo_.setSelText("\r\n" + std::string(text));
    return;
  }
  memo_.setSelStart(memo_.offsetOfLine(index));
  memo_.setSelText(std::string(text) + "\r\n");
}

void LinesView::add(std::string_view text) { memo_.paragraphs().add(text); }

void LinesView::erase(std::int64_t index) {
  checkLine(memo_, index);
  const CodeMemo::LineSpan s = memo_.lineSpan(index);
  const Offset start = memo_.table().startOf(s.paragraph) + s.start;
  Offset length = s.stop - s.start;
  const bool lastOfParagraph = s.stop == memo_.paragraphText(s.paragraph).size();
  if (lastOfParagraph && s.paragraph + 1 < memo_.paragraphCount()) length += 2;
  memo_.select(start, length);
  memo_.clearSelection();
}

// ----- paragraphs -----

std::int64_t ParagraphsView::count() const {
  const std::int64_t n = memo_.paragraphCount();
  return memo_.paragraphText(n - 1).empty() ? n - 1 : n;
}

std::string ParagraphsView::get(std::int64_t index) const {
  checkIndex(index, memo_.paragraphCount());
  return std::string(memo_.paragraphText(index));
}

void ParagraphsView::put(std::int64_t index, std::string_view text) {
  checkIndex(index, memo_.paragraphCount());
  memo_.select(memo_.table().startOf(index),
               static_cast<Offset>(memo_.paragraphText(index).size()));
  memo_.setSelText(text);
}

void ParagraphsView::insert(std::int64_t index, std::string_view text) {
  if (index < 0) throw MemoError(kListIndexOutOfBounds);
  if (index >= count()) {
    memo_.setSelStart(memo_.charCount());
    memo_.setSelText("\r\n" + std::string(text));
    return;
  }
  memo_.setSelStart(memo_.table().startOf(index));
  memo_.setSelText(std::string(text) + "\r\n");
}

void ParagraphsView::add(std::string_view text) {
  const std::int64_t last = memo_.paragraphCount() - 1;
  if (memo_.paragraphText(last).empty()) {
    memo_.setSelStart(memo_.table().startOf(last));
    memo_.setSelText(std::string(text) + "\r\n");
  } else {
    memo_.setSelStart(memo_.charCount());
    memo_.setSelText("\r\n" + std::string(text));
  }
}

void ParagraphsView::erase(std::int64_t index) {
  checkIndex(index, memo_.paragraphCount());
  const Offset start = memo_.table().startOf(index);
  Offset length = static_cast<Offset>(memo_.paragraphText(index).size());
  if (index + 1 < memo_.paragraphCount()) length += 2;
  memo_.select(start, length);
  memo_.clearSelection();
}

}  // namespace quillon::editor
