#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "editor/code_memo_fwd.h"
#include "editor/edit_keys.h"
#include "editor/listener_list.h"
#include "language/word_classifier.h"
#include "language/word_lists.h"
#include "platform/command_states.h"
#include "platform/main_view.h"
#include "platform/ui.h"

namespace quillon::language {

// Where the context list's lines are kept and shown; the status bar shows the first of them.
class ContextItems {
public:
  virtual ~ContextItems() = default;
  virtual const std::vector<std::string>& contextItems() const = 0;
  // `extent` is the list's horizontal scroll width in pixels; -1 leaves it as it was.
  virtual void setContextItems(std::vector<std::string> items, int extent = -1) = 0;
};

// The context list under the source editor: the words before the caret classified on every
// parse of the editor, and what a click on a line, the list's keys in the editor and its popup
// do with that line.
//
// Invariant: the lines live only in the ContextItems holder, and this class changes them only
// there. Nothing here processes pending messages: classification runs inside the editor's
// insertion, where another keystroke must never run. Insertions inside one editor update (a
// command's bulk change) are classified once, when the update ends. Each edit is one undo step.
class ContextList {
public:
  struct Parts {
    platform::Ui& ui;
    platform::MainView& view;
    platform::CommandStates& states;
    editor::CodeMemo& editor;
    WordLists& lists;
    ContextItems& items;
  };
  enum class Click { plain, shift };

  explicit ContextList(Parts parts);
  ContextList(const ContextList&) = delete;
  ContextList& operator=(const ContextList&) = delete;

  void classifyWord();

  // The mouse released over line `index` with the left button: a plain click completes the
  // word at the line's end, a Shift click acts on the line. Other lines than the list's are
  // ignored.
  void itemClicked(std::size_t index, Click click);

  // The editor's keys: Ctrl+Enter completes in capitals, Ctrl+Shift+Enter inserts the help
  // line above, Ctrl+Shift+H chooses the only line (with Alt as a plain click). They act on
  // release, with the modifiers held when Enter went down; the press is swallowed so that the
  // editor does not break the line. True when consumed.
  bool keyPressed(std::optional<editor::EditKey> named, char character, editor::KeyModifiers mods);
  bool keyReleased(std::optional<editor::EditKey> named, char character, editor::KeyModifiers mods);

  // "Help Context": shows the list in front of the bottom panel, or hides the panel.
  void helpContext();

  // The popup's word: row 0's while the fixed rows show, else the trimmed current word; empty
  // when there is none and its two word items are disabled.
  std::string popupWord() const;
  void ignoreForNow();
  void addToDictionary();

private:
  const std::vector<std::string>& items() const { return items_.contextItems(); }
  bool fixedRowsShown() const;
  void addWord(const std::string& word);
  void complete(const std::string& text);
  void actOnLine(std::size_t index);
  void completeInCapitals();
  void insertHelpLine();
  // Inserts `text` as a comment line above the caret's line, indented as that line.
  void insertCommentAbove(const std::string& text);
  std::string caretLine() const;
  void parsed();

  platform::Ui& ui_;
  platform::MainView& view_;
  platform::CommandStates& states_;
  editor::CodeMemo& editor_;
  WordLists& lists_;
  ContextItems& items_;
  WordClassifier classifier_;
  bool pending_ = false;
  std::optional<editor::KeyModifiers> enterPressed_;  // Ctrl+Enter was pressed with these
  editor::Subscription parses_;
  editor::Subscription changes_;
};

}  // namespace quillon::language
