#include "language/context_list.h"

#include <algorithm>
#include <utility>

#include "editor/case_fold.h"
#include "editor/code_memo.h"
#include "language/word_list_files.h"
#include "platform/ascii_text.h"

namespace quillon::language {

namespace {

constexpr std::size_t kTextColumn = 4;  // an item's text starts at its fifth character
constexpr std::string_view kFixedRowMark = "    ***";
constexpr std::string_view kHelpTag = "HLP ";

std::string textOf(const std::string& item) {
  return item.size() > kTextColumn ? item.substr(kTextColumn) : std::string();
}

std::string upper(std::string_view text) { return editor::CaseFolder::ansi().upper(text); }

// Where the k characters compared with a completion's first k end-of-line characters start:
// the (n-k)th of the line counted from 1, or its first when that is before the line.
std::size_t comparedStart(std::size_t n, std::size_t k) { return n > k ? n - k - 1 : 0; }

}  // namespace

ContextList::ContextList(Parts parts)
    : ui_(parts.ui),
      view_(parts.view),
      states_(parts.states),
      editor_(parts.editor),
      lists_(parts.lists),
      items_(parts.items),
      classifier_(parts.lists),
      parses_(editor_.onParse.listen([this](editor::Offset, editor::Offset) { parsed(); })),
      changes_(editor_.onChange.listen([this] {
        if (pending_ && !editor_.updating()) classifyWord();
      })) {}

void ContextList::parsed() {
  if (editor_.updating()) {
    pending_ = true;
    return;
  }
  classifyWord();
}

std::string ContextList::caretLine() const {
  return std::string(editor_.paragraphText(editor_.selPar()));
}

void ContextList::classifyWord() {
  pending_ = false;
  const std::int64_t par = editor_.selPar();
  if (editor_.selStart() == editor_.table().startOf(par) && editor_.extraColumns() == 0) return;
  const std::string_view line = platform::trim(editor_.paragraphText(par));
  if (line.empty()) {
    items_.setContextItems({});
    return;
  }
  WordClassifier::Result result = classifier_.classify(line, editor_.currentWord());
  items_.setContextItems(std::move(result.items), result.extent);
}

bool ContextList::fixedRowsShown() const {
  const auto& list = items();
  return list.size() == 3 && list[0].starts_with(WordClassifier::kUnknownPrefix) &&
         list[1] == WordClassifier::kIgnoreRow && list[2] == WordClassifier::kAddRow;
}

// ----- Clicks -----

void ContextList::itemClicked(std::size_t index, Click click) {
  if (index >= items().size()) return;
  if (click == Click::shift)
    actOnLine(index);
  else
    complete(textOf(items()[index]));
}

void ContextList::actOnLine(std::size_t index) {
  const std::string line = items()[index];
  const bool fixedRow = line.starts_with(kFixedRowMark);
  if (index == 0 && line.starts_with(WordClassifier::kUnknownPrefix)) return;
  if (index == 1 && fixedRow) {
    lists_.add(WordList::User, textOf(items()[0]));
    return;
  }
  if (index == 2 && fixedRow) {
    addWord(textOf(items()[0]));
    return;
  }
  const std::string text = textOf(line);
  if (editor_.selLength() != 0) {
    const editor::Offset start = editor_.selStart();
    editor_.setSelText(text + " ");
    editor_.select(std::clamp<editor::Offset>(start, 0, editor_.charCount()), 0);
    editor_.scrollInView();
    return;
  }
  insertCommentAbove(text);
}

void ContextList::addWord(const std::string& word) {
  if (ui_.ask("Confirm", word + "\n\nAdd To Dictionary....", platform::Ui::Buttons::OkCancel) !=
      platform::Ui::Answer::Ok)
    return;
  lists_.add(WordList::Dict, word);
  items_.setContextItems({"DIC " + word});
}

// The first end-of-line stretch that the start of `text` matches without case is replaced by
// `text`, with the character before it; the caret goes to the end of the completed word.
void ContextList::complete(const std::string& text) {
  const std::int64_t par = editor_.selPar();
  const std::string line = caretLine();
  const std::size_t n = line.size();
  // Past the length of `text` its first k characters are all of it, which k line characters
  // never equal.
  for (std::size_t k = 1; k <= std::min(n, text.size()); ++k) {
    if (!sameWord(std::string_view(text).substr(0, k),
                  std::string_view(line).substr(comparedStart(n, k), k)))
      continue;
    const std::string completed = line.substr(0, n > k ? n - k - 1 : 0) + text;
    if (completed != line) {
      editor_.select(editor_.table().startOf(par), static_cast<editor::Offset>(n));
      editor_.setSelText(completed);
    }
    editor_.setSelStart(editor_.table().startOf(par) +
                        static_cast<editor::Offset>(completed.size()));
    break;
  }
  editor_.scrollInView();
}

void ContextList::insertCommentAbove(const std::string& text) {
  const std::int64_t par = editor_.selPar();
  const std::string_view line = editor_.paragraphText(par);
  const std::string_view indent =
      line.substr(0, line.size() - platform::trimStart(line, platform::isSpaceOrTab).size());
  const editor::Offset inLine = editor_.selStart() - editor_.table().startOf(par);
  const std::string comment = std::string(indent) + "'" + text + "\r\n";
  editor_.select(editor_.table().startOf(par), 0);
  editor_.setSelText(comment);
  editor_.setSelStart(editor_.table().startOf(par + 1) + inLine);
}

// ----- Keys -----

bool ContextList::keyPressed(std::optional<editor::EditKey> named, char,
                             editor::KeyModifiers mods) {
  if (named != editor::EditKey::Enter || !mods.ctrl) return false;
  enterPressed_ = mods;
  return true;
}

bool ContextList::keyReleased(std::optional<editor::EditKey> named, char character,
                              editor::KeyModifiers mods) {
  // Fingers may leave Ctrl or Shift before Enter: the keys held at the press count.
  if (named == editor::EditKey::Enter && enterPressed_)
    mods = *std::exchange(enterPressed_, std::nullopt);
  if (named == editor::EditKey::Enter && mods.ctrl) {
    if (mods.shift)
      insertHelpLine();
    else
      completeInCapitals();
    return true;
  }
  if (!named && platform::asciiUpper(character) == 'H' && mods.ctrl && mods.shift) {
    if (items().size() == 1) itemClicked(0, mods.alt ? Click::plain : Click::shift);
    return true;
  }
  return false;
}

// As if the caret stood at the line's end: the line's last min(k + 1, n) characters become
// the first line's text in capitals, never anything outside the line.
void ContextList::completeInCapitals() {
  if (items().empty() || editor_.currentWord().empty()) return;
  const std::int64_t par = editor_.selPar();
  const std::string line = caretLine();
  const std::string folded = upper(line);
  const std::string text = upper(textOf(items()[0]));
  const std::size_t n = line.size();
  for (std::size_t k = 1; k <= text.size() && k <= n; ++k) {
    if (std::string_view(text).substr(0, k) !=
        std::string_view(folded).substr(comparedStart(n, k), k))
      continue;
    const std::string completed = line.substr(0, n - std::min(k + 1, n)) + text;
    editor_.select(editor_.table().startOf(par), static_cast<editor::Offset>(n));
    editor_.setSelText(completed);
    editor_.setSelStart(editor_.table().startOf(par) +
                        static_cast<editor::Offset>(completed.size()));
    return;
  }
}

void ContextList::insertHelpLine() {
  const std::string word = editor_.currentWord();
  if (items().size() < 2 || word.empty() || !items()[1].starts_with(kHelpTag)) return;
  const std::string text = textOf(items()[1]);
  if (!upper(text).starts_with(upper(word))) return;
  insertCommentAbove(text);
  const std::int64_t par = editor_.selPar();
  editor_.setSelStart(editor_.table().startOf(par) +
                      static_cast<editor::Offset>(editor_.paragraphText(par).size()));
}

// ----- Menus -----

void ContextList::helpContext() {
  using Page = platform::MainView::BottomPage;
  const bool shown = !states_.checked(platform::Command::HelpContext1);
  states_.setChecked(platform::Command::HelpContext1, shown);
  if (!view_.bottomPanelVisible()) {
    view_.showBottomPanel(Page::ContextList);
    ui_.processPendingMessages();
    editor_.scrollInView();
  }
  if (!shown) {
    view_.hideBottomPanel();
    return;
  }
  view_.showBottomPanel(Page::ContextList);
  states_.setChecked(platform::Command::bError, platform::Command::ShowErrors1, false);
}

std::string ContextList::popupWord() const {
  if (fixedRowsShown()) return textOf(items()[0]);
  return std::string(platform::trim(editor_.currentWord()));
}

void ContextList::ignoreForNow() {
  if (const std::string word = popupWord(); !word.empty()) lists_.add(WordList::User, word);
}

void ContextList::addToDictionary() {
  if (const std::string word = popupWord(); !word.empty()) addWord(word);
}

}  // namespace quillon::language
