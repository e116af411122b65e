#include "language/code_navigator.h"

#include "editor/code_memo.h"
#include "language/index_keeper.h"
#include "pages/document_commands.h"
#include "platform/command_states.h"
#include "platform/main_view.h"
#include "platform/ui.h"

namespace quillon::language {

namespace fs = std::filesystem;
using platform::Command;

CodeNavigator::CodeNavigator(Parts parts)
    : ui_(parts.ui),
      view_(parts.view),
      states_(parts.states),
      sourceEditor_(parts.sourceEditor),
      referenceView_(parts.referenceView),
      documents_(parts.documents),
      keeper_(parts.keeper) {}

void CodeNavigator::setMessage(std::string_view text) {
  ui_.setStatusText(platform::Ui::kMessagePanel, text);
}

std::optional<std::string> CodeNavigator::wordAtCaret() const {
  const std::int64_t par = sourceEditor_.selPar();
  if (par < 0 || par >= sourceEditor_.paragraphCount()) return std::nullopt;
  const std::string_view line = sourceEditor_.paragraphText(par);
  const std::optional<WordSpan> word =
      wordAt(line, static_cast<std::size_t>(std::max<std::int64_t>(0, sourceEditor_.selCol())));
  if (!word) return std::nullopt;
  return std::string(line.substr(word->start, word->length));
}

int CodeNavigator::tabOf(const std::string& file) const {
  const std::string key = pages::DocumentCommands::documentKey(file);
  for (int i = 0; i < documents_.tabCount(); ++i) {
    const std::string& name =
        i == documents_.currentTab() ? documents_.currentFile() : documents_.page(i).fileName;
    if (name == file || (!key.empty() && pages::DocumentCommands::documentKey(name) == key))
      return i;
  }
  return -1;
}

bool CodeNavigator::showPlace(const std::string& file, std::int64_t line, std::int64_t column) {
  const int tab = tabOf(file);
  if (tab < 0) {
    if (documents_.openAsPage(file) < 0) return false;
  } else if (tab != documents_.currentTab()) {
    documents_.selectTab(tab);
  }
  if (tabOf(file) != documents_.currentTab()) return false;
  sourceEditor_.setSelPar(std::clamp<std::int64_t>(line, 0, sourceEditor_.paragraphCount() - 1));
  sourceEditor_.setSelCol(std::max<std::int64_t>(0, column));
  sourceEditor_.scrollInView();
  view_.focusSourceEditor();
  return true;
}

void CodeNavigator::jump(const std::string& file, std::int64_t line, std::int64_t column) {
  Place from{documents_.currentFile(), sourceEditor_.selPar(), sourceEditor_.selCol()};
  if (!showPlace(file, line, column)) return;
  if (!backStack_.empty() && backStack_.back().file == from.file &&
      backStack_.back().paragraph == from.paragraph && backStack_.back().column == from.column)
    return;
  backStack_.push_back(std::move(from));
  if (backStack_.size() > kBackPlaces) backStack_.pop_front();
}

void CodeNavigator::goToDefinition() {
  const std::optional<std::string> word = wordAtCaret();
  if (!word) {
    setMessage(kNoWord);
    return;
  }
  keeper_.refresh();
  const std::vector<Symbol> targets =
      keeper_.index().goToTargets(keeper_.currentFile(), sourceEditor_.selPar(), *word);
  if (targets.empty()) {
    setMessage(kNotFound + *word);
    return;
  }
  std::size_t pick = 0;
  if (targets.size() > 1) {
    std::vector<std::string> rows;
    for (const Symbol& s : targets)
      rows.push_back(s.file.filename().string() + "(" + std::to_string(s.line + 1) +
                     "): " + std::string(symbolKindName(s.kind)) + " " + s.name +
                     (s.detail.empty() ? "" : " " + s.detail));
    const std::optional<std::size_t> chosen =
        choose ? choose("Go To Definition", rows) : std::nullopt;
    if (!chosen || *chosen >= targets.size()) return;
    pick = *chosen;
  }
  jump(targets[pick].file.string(), targets[pick].line, targets[pick].column);
}

void CodeNavigator::back() {
  while (!backStack_.empty()) {
    const Place place = backStack_.back();
    backStack_.pop_back();
    // A page closed since cannot be gone back to; the place before it may still be open.
    if (tabOf(place.file) < 0) continue;
    if (showPlace(place.file, place.paragraph, place.column)) return;
  }
}

void CodeNavigator::findReferences() {
  const std::optional<std::string> word = wordAtCaret();
  if (!word) {
    setMessage(kNoWord);
    return;
  }
  keeper_.refresh();
  const std::vector<Reference> all =
      keeper_.index().references(keeper_.currentFile(), sourceEditor_.selPar(), *word);
  if (all.empty()) {
    setMessage(kNoReferences + *word);
    return;
  }
  references_.clear();
  std::string rows;
  for (const Reference& r : all) {
    // One row a line, however often the name stands on it.
    if (!references_.empty() && references_.back().file == r.file &&
        references_.back().line == r.line)
      continue;
    if (!references_.empty()) rows += "\r\n";
    rows += r.file.filename().string() + "(" + std::to_string(r.line + 1) + "): " + r.lineText;
    references_.push_back(r);
  }
  referenceView_.setText(rows);
  referenceView_.setSelStart(0);
  // The reference list takes the panel as the context list does: the other toggles let go.
  states_.setChecked(Command::ShowErrors1, Command::bError, false);
  states_.setChecked(Command::HelpContext1, false);
  view_.showBottomPanel(platform::MainView::BottomPage::References);
  setMessage(std::to_string(all.size()) + (all.size() == 1 ? " reference to " : " references to ") +
             *word);
}

bool CodeNavigator::referencesShowing() const {
  return !references_.empty() && view_.bottomPanelShows(platform::MainView::BottomPage::References);
}

void CodeNavigator::openReference() {
  const std::int64_t row = referenceView_.selPar();
  if (row < 0 || static_cast<std::size_t>(row) >= references_.size()) return;
  const Reference r = references_[static_cast<std::size_t>(row)];
  const std::string message = ui_.statusText(platform::Ui::kMessagePanel);
  jump(r.file.string(), r.line, r.column);
  referenceView_.setSelPar(row);
  referenceView_.setSelCol(0);
  referenceView_.setSelLength(
      static_cast<editor::Offset>(referenceView_.paragraphText(row).size()));
  setMessage(message);
}

bool CodeNavigator::walkReferences(bool forward) {
  if (!referencesShowing()) return false;
  const auto count = static_cast<std::int64_t>(references_.size());
  std::int64_t row = referenceView_.selPar();
  // Until a row was taken, F8 starts at the first and Shift+F8 at the last.
  if (referenceView_.selLength() == 0)
    row = forward ? 0 : count - 1;
  else
    row = ((row + (forward ? 1 : -1)) % count + count) % count;
  referenceView_.setSelPar(row);
  openReference();
  return true;
}

}  // namespace quillon::language
