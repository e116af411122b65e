#include "editor/memo_clipboard.h"

#include <algorithm>
#include <vector>

#include "editor/code_memo.h"

namespace quillon::editor {

std::string MemoClipboard::toParagraphBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

void MemoClipboard::copy() {
  if (!clipboard_ || (memo_.selLength() == 0 && !memo_.blockSelection())) return;
  clipboard_->writeText(memo_.selText(), memo_.blockSelection());
}

void MemoClipboard::cut() {
  if (memo_.readOnly() || (memo_.selLength() == 0 && !memo_.blockSelection())) return;
  copy();
  memo_.clearSelection();
}

void MemoClipboard::insertAtCaret(std::string_view text) {
  std::string s;
  const int extra = memo_.extraColumns();
  if (extra > 0 && memo_.hasOption(moPutExtraSpaces) && memo_.selLength() == 0 &&
      !memo_.blockSelection())
    s.assign(static_cast<std::size_t>(extra), ' ');
  s.append(text);
  memo_.setSelText(s);
}

void MemoClipboard::paste() {
  if (!clipboard_ || memo_.readOnly()) return;
  std::optional<platform::ClipboardText> clip = clipboard_->readText();
  if (!clip || clip->text.empty()) return;
  std::string text = toParagraphBreaks(clip->text);
  if (memo_.nullReplacement() != 0)
    std::replace(text.begin(), text.end(), '\0', memo_.nullReplacement());
  memo_.markCaretPlaced();  // a paste never joins the typing before it
  if (clip->columnBlock && !memo_.wordWrap()) {
    pasteBlock(text);
  } else {
    insertAtCaret(text);
    memo_.markCaretPlaced();  // nor the typing after it
  }
}

void MemoClipboard::pasteBlock(std::string_view text) {
  if (memo_.selLength() != 0 || memo_.blockSelection()) memo_.clearSelection();
  // Rows end with CR LF; the break after the last row ends it and adds no row.
  std::vector<std::string_view> rows;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t cr = text.find('\r', start);
    if (cr == std::string_view::npos) {
      rows.push_back(text.substr(start));
      break;
    }
    rows.push_back(text.substr(start, cr - start));
    start = cr + 1;
    if (start < text.size() && text[start] == '\n') ++start;
  }
  if (rows.empty()) return;

  const int avg = std::max(1, memo_.metrics() ? memo_.metrics()->averageCharWidth() : 1);
  const int column = std::max(0, memo_.caretX() - memo_.leftMargin()) / avg;
  const std::int64_t first = memo_.selPar();
  const std::int64_t wanted = first + static_cast<std::int64_t>(rows.size());
  const std::int64_t existing = std::min(memo_.paragraphCount(), wanted);

  // Build the new text of every paragraph the block touches and replace them in one go:
  // one undo record, and no per-row shifting of the rest of the text.
  std::string out;
  Offset caretInOut = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::int64_t p = first + static_cast<std::int64_t>(i);
    if (i > 0) out.append("\r\n");
    const std::string_view par = p < existing ? memo_.paragraphText(p) : std::string_view();
    const int width =
        p < existing ? memo_.displayColumn(p, static_cast<std::uint32_t>(par.size())) : 0;
    std::size_t at = par.size();
    if (width < column) {
      out.append(par);
      out.append(static_cast<std::size_t>(column - width), ' ');
    } else {
      at = memo_.positionAtDisplayColumn(p, column);
      out.append(par.substr(0, at));
    }
    if (i == 0) caretInOut = static_cast<Offset>(out.size());
    out.append(rows[i]);
    out.append(par.substr(at));
  }
  const Offset from = memo_.table().startOf(first);
  const Offset to = memo_.table().startOf(existing - 1) +
                    static_cast<Offset>(memo_.paragraphText(existing - 1).size());
  memo_.select(from, to - from);
  memo_.setSelText(out);
  memo_.setSelStart(from + caretInOut);
}

}  // namespace quillon::editor
