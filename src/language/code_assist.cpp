#include "language/code_assist.h"

#include "editor/code_memo.h"
#include "language/mapbasic_scanner.h"
#include "language/word_lists.h"
#include "platform/ascii_text.h"

namespace quillon::language {

CodeAssist::CodeAssist(Parts parts)
    : editor_(parts.editor),
      words_(parts.words),
      names_(parts.names),
      view_(parts.view),
      currentFile_(std::move(parts.currentFile)) {
  listener_ = editor_.addViewListener([this](editor::CodeMemo::ViewEvent e) {
    if (!editing_ && (e == editor::CodeMemo::ViewEvent::changed ||
                      e == editor::CodeMemo::ViewEvent::selectionMoved))
      refresh();
  });
}

CodeAssist::~CodeAssist() { editor_.removeViewListener(listener_); }

NamePlace CodeAssist::place() const {
  return NamePlace{currentFile_ ? currentFile_() : std::string(), editor_.selPar()};
}

std::optional<CompletionWord> CodeAssist::wordAtCaret() const {
  if (editor_.selLength() != 0) return std::nullopt;
  const std::int64_t par = editor_.selPar();
  if (par < 0 || par >= editor_.paragraphCount()) return std::nullopt;
  const auto column = static_cast<std::size_t>(editor_.selStart() - editor_.table().startOf(par));
  return completionWordAt(editor_.paragraphText(par), column);
}

void CodeAssist::fill(const CompletionWord& word) {
  const std::vector<std::string> own = names_.namesStartingWith(word.prefix, place(), kMaxItems);
  // The key list is kept descending; the pop-up reads best ascending.
  const auto& keys = words_.list(WordList::Key);
  const std::vector<std::string> keywords(keys.rbegin(), keys.rend());
  list_.fill(word.prefix, own, keywords, words_.list(WordList::Def));
}

void CodeAssist::requested() {
  const auto word = wordAtCaret();
  if (!word) return;
  if (!word_) list_ = CompletionList();  // a new pop-up starts on its first row
  fill(*word);
  if (list_.empty()) {
    if (word_) {
      word_.reset();
      view_.hideCompletion();
    }
    return;
  }
  word_ = word;
  wordParagraph_ = editor_.selPar();
  view_.showCompletion(list_.items(), list_.selected());
}

void CodeAssist::typed(char c) {
  if (isNameChar(c) && !word_) {
    const auto word = wordAtCaret();
    if (word && word->prefix.size() >= kTypedPrefix) {
      // Typing opens the pop-up only for a name of the code that the word does not spell yet;
      // a keyword typed out needs no list, and Enter stays the editor's.
      const auto own = names_.namesStartingWith(word->prefix, place(), 2);
      const bool offers =
          own.size() > 1 || (own.size() == 1 && !platform::equalsNoCase(own.front(), word->prefix));
      if (offers) requested();
    }
  }
  if (c == '(' || c == ',') refreshHint(true);
}

bool CodeAssist::keyPressed(AssistKey key) {
  if (word_) {
    switch (key) {
      case AssistKey::Up: list_.move(-1); break;
      case AssistKey::Down: list_.move(1); break;
      case AssistKey::PageUp:
        list_.move(-static_cast<std::ptrdiff_t>(CompletionList::kPageRows));
        break;
      case AssistKey::PageDown:
        list_.move(static_cast<std::ptrdiff_t>(CompletionList::kPageRows));
        break;
      case AssistKey::Enter:
      case AssistKey::Tab: take(); return true;
      case AssistKey::Escape:
        word_.reset();
        view_.hideCompletion();
        return true;
    }
    view_.showCompletion(list_.items(), list_.selected());
    return true;
  }
  if (hint_ && key == AssistKey::Escape) {
    hint_.reset();
    view_.hideHint();
    return true;
  }
  return false;
}

void CodeAssist::chosen(std::size_t row) {
  if (!word_) return;
  list_.select(row);
  take();
}

void CodeAssist::take() {
  const CompletionItem* item = list_.selectedItem();
  if (!word_ || !item) return;
  const CompletionEdit edit = completionEdit(*word_, item->text);
  const editor::Offset start =
      editor_.table().startOf(wordParagraph_) + static_cast<editor::Offset>(edit.start);
  word_.reset();
  view_.hideCompletion();
  editing_ = true;
  editor_.beginUndoStep();
  editor_.select(start, static_cast<editor::Offset>(edit.length));
  editor_.setSelText(edit.text);
  editor_.endUndoStep();
  editing_ = false;
  refreshHint(false);
}

void CodeAssist::close() {
  if (word_) {
    word_.reset();
    view_.hideCompletion();
  }
  if (hint_) {
    hint_.reset();
    view_.hideHint();
  }
}

void CodeAssist::refresh() {
  refreshCompletion();
  refreshHint(false);
}

void CodeAssist::refreshCompletion() {
  if (!word_) return;
  const auto word = wordAtCaret();
  if (!word || word->start != word_->start || editor_.selPar() != wordParagraph_) {
    word_.reset();
    view_.hideCompletion();
    return;
  }
  fill(*word);
  // Nothing left, or only the word as it stands now: the list has done its work.
  if (list_.empty() || (list_.items().size() == 1 &&
                        platform::equalsNoCase(list_.items().front().text, word->prefix))) {
    word_.reset();
    view_.hideCompletion();
    return;
  }
  word_ = word;
  view_.showCompletion(list_.items(), list_.selected());
}

void CodeAssist::refreshHint(bool mayOpen) {
  if (!hint_ && !mayOpen) return;
  std::optional<CallAtCaret> call;
  std::optional<std::string> parameters;
  const std::int64_t par = editor_.selPar();
  if (editor_.selLength() == 0 && par >= 0 && par < editor_.paragraphCount()) {
    const NamePlace at = place();
    const auto column = static_cast<std::size_t>(editor_.selStart() - editor_.table().startOf(par));
    call = callAtCaret(editor_.paragraphText(par), column, [&](std::string_view name) {
      parameters = names_.parametersOf(name, at);
      return parameters.has_value();
    });
  }
  // Leaving every known call, or the line, ends the hint; within the line it follows the
  // parentheses from one call to the one around it.
  if (!call || (hint_ && !mayOpen && par != hintParagraph_)) {
    if (hint_) {
      hint_.reset();
      view_.hideHint();
    }
    return;
  }
  hint_ = call;
  hintParagraph_ = par;
  view_.showHint(signatureHint(call->name, *parameters, call->parameter));
}

}  // namespace quillon::language
