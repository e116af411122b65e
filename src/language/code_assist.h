#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "language/completion_model.h"
#include "language/name_source.h"
#include "language/signature_hint.h"

namespace quillon::editor {
class CodeMemo;
}

namespace quillon::language {

class WordLists;

// What the pop-up and the hint look like on screen. Both stand under the caret's line.
class AssistView {
public:
  virtual ~AssistView() = default;
  virtual void showCompletion(const std::vector<CompletionItem>& items, std::size_t selected) = 0;
  virtual void hideCompletion() = 0;
  virtual void showHint(const SignatureHint& hint) = 0;
  virtual void hideHint() = 0;
};

// The keys the pop-up and the hint may take while one of them is open.
enum class AssistKey { Up, Down, PageUp, PageDown, Enter, Tab, Escape };

// The completion pop-up and the signature hint of the source editor.
//
// Invariant: the pop-up is open exactly while `word_` holds the word it completes, and the
// view shows `list_` then; the hint is open exactly while `hint_` holds the call it
// describes. refresh() keeps both in step with the caret; open(), close() and take() are the
// other places that change them.
class CodeAssist {
public:
  struct Parts {
    editor::CodeMemo& editor;
    const WordLists& words;
    const NameSource& names;
    AssistView& view;
    std::function<std::string()> currentFile;
  };
  // Typing opens the pop-up from this many characters of a word on.
  static constexpr std::size_t kTypedPrefix = 2;
  static constexpr std::size_t kMaxItems = 500;

  explicit CodeAssist(Parts parts);
  ~CodeAssist();
  CodeAssist(const CodeAssist&) = delete;
  CodeAssist& operator=(const CodeAssist&) = delete;

  bool completionOpen() const { return word_.has_value(); }
  bool hintOpen() const { return hint_.has_value(); }
  const CompletionList& list() const { return list_; }

  // Ctrl+Space: the pop-up for the word before the caret, whatever its length; with nothing
  // to offer it stays closed.
  void requested();
  // A character was typed into the text (after the editor took it). Opens the pop-up while
  // a word of the code's own names is being typed, and the hint after "(" of a known routine.
  void typed(char c);
  // A key pressed in the editor while something is open; true when it was taken. Closed,
  // nothing is taken.
  bool keyPressed(AssistKey key);
  // A row was chosen with the mouse.
  void chosen(std::size_t row);
  void close();

private:
  void refresh();
  void refreshCompletion();
  void refreshHint(bool mayOpen);
  void fill(const CompletionWord& word);
  void take();
  std::optional<CompletionWord> wordAtCaret() const;
  NamePlace place() const;

  editor::CodeMemo& editor_;
  const WordLists& words_;
  const NameSource& names_;
  AssistView& view_;
  std::function<std::string()> currentFile_;

  CompletionList list_;
  std::optional<CompletionWord> word_;
  std::int64_t wordParagraph_ = 0;
  std::optional<CallAtCaret> hint_;
  std::int64_t hintParagraph_ = 0;
  bool editing_ = false;
  int listener_ = 0;
};

}  // namespace quillon::language
