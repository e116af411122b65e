#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language/symbol_index.h"

namespace quillon::editor {
class CodeMemo;
}
namespace quillon::pages {
class DocumentCommands;
}
namespace quillon::platform {
class Ui;
class MainView;
class CommandStates;
}  // namespace quillon::platform

namespace quillon::language {

class IndexKeeper;

// Go To Definition, Back and Find References over the symbol index.
//
// Invariant: the Back stack holds at most kBackPlaces places, each of a page that was open
// when it was pushed; back() is the one place that drops those whose page has gone. The
// reference rows and `references_` always correspond one to one.
class CodeNavigator {
public:
  struct Parts {
    platform::Ui& ui;
    platform::MainView& view;
    platform::CommandStates& states;
    editor::CodeMemo& sourceEditor;
    editor::CodeMemo& referenceView;
    pages::DocumentCommands& documents;
    IndexKeeper& keeper;
  };
  static constexpr std::size_t kBackPlaces = 50;
  static constexpr const char* kNoWord = "No name at the caret";
  static constexpr const char* kNotFound = "No definition found for ";
  static constexpr const char* kNoReferences = "No references found for ";

  explicit CodeNavigator(Parts parts);

  // The small list of places to choose from when a name has several definitions: the row
  // picked, nullopt when cancelled. Unset, nothing is chosen.
  std::function<std::optional<std::size_t>(std::string_view caption,
                                           const std::vector<std::string>& rows)>
      choose;

  // F6, the CodeInfo item and Ctrl+click: the definition of the word at the caret.
  void goToDefinition();
  // Alt+Left: where the last jump started.
  void back();
  std::size_t backDepth() const { return backStack_.size(); }
  // Shift+F6 and the CodeInfo item: the uses of the symbol at the caret, in the bottom panel.
  void findReferences();
  // A click or Enter on a row of the reference list.
  void openReference();
  // F8 and Shift+F8: the next row while the reference list is in front; false when it is not.
  bool walkReferences(bool forward);
  bool referencesShowing() const;
  const std::vector<Reference>& references() const { return references_; }

private:
  struct Place {
    std::string file;
    std::int64_t paragraph = 0;
    std::int64_t column = 0;
  };
  std::optional<std::string> wordAtCaret() const;
  // The tab showing `file`, -1 when none.
  int tabOf(const std::string& file) const;
  // Shows `file` (opening it as a page when needed) with the caret at (line, column); false
  // when it cannot be shown.
  bool showPlace(const std::string& file, std::int64_t line, std::int64_t column);
  void jump(const std::string& file, std::int64_t line, std::int64_t column);
  void setMessage(std::string_view text);

  platform::Ui& ui_;
  platform::MainView& view_;
  platform::CommandStates& states_;
  editor::CodeMemo& sourceEditor_;
  editor::CodeMemo& referenceView_;
  pages::DocumentCommands& documents_;
  IndexKeeper& keeper_;
  std::deque<Place> backStack_;
  std::vector<Reference> references_;  // one per row
};

}  // namespace quillon::language
