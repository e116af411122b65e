#pragma once
#include <cstdint>

namespace quillon::editor {

class CodeMemo;
class ParagraphTable;

// What the highlighting engine hears from the editor model. The model keeps each
// paragraph's runs, start state and scan flags; the scanner fills them.
class ParagraphScanner {
public:
  virtual ~ParagraphScanner() = default;
  // The whole text was replaced (a load): every paragraph is new and unscanned.
  virtual void textReset() = 0;
  // Paragraphs [first, first + removed) became [first, first + inserted). Inside BeginUpdate
  // (`deferred`) the scanner only marks them; otherwise it re-scans at once what it had
  // scanned before.
  virtual void paragraphsReplaced(std::int64_t first, std::int64_t removed, std::int64_t inserted,
                                  bool deferred) = 0;
  // Runs of paragraphs [first, last] must be current: called before they are painted.
  virtual void prepare(std::int64_t first, std::int64_t last) = 0;

protected:
  // The paragraphs whose runs, start states and scan flags the scanner keeps. Their text is
  // the editor's: it changes only through the editing operations, which undo records.
  static ParagraphTable& paragraphsOf(CodeMemo& memo);
};

}  // namespace quillon::editor
