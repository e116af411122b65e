#pragma once
#include <filesystem>
#include <functional>
#include <memory>

#include "editor/code_memo_fwd.h"
#include "editor/listener_list.h"
#include "language/code_navigator.h"
#include "language/index_keeper.h"
#include "language/name_source.h"

namespace quillon::language {

// The code's own names for the completion pop-up and the signature hint: the index brought up
// to date for the page on screen, asked from the caret's line.
class IndexNames final : public NameSource {
public:
  explicit IndexNames(IndexKeeper& keeper) : keeper_(keeper) {}
  std::vector<std::string> namesStartingWith(std::string_view prefix, const NamePlace& place,
                                             std::size_t limit) const override;
  std::optional<std::string> parametersOf(std::string_view name,
                                          const NamePlace& place) const override;

private:
  IndexKeeper& keeper_;
};

// The code's own names across pages, includes and project modules: the index and its
// upkeep, Go To Definition, Back and Find References, with the reference list they fill.
// The window reaches every part through here, so the composition root holds one member.
class CodeIntelligence {
public:
  struct Parts {
    platform::Ui& ui;
    platform::MainView& view;
    platform::CommandStates& states;
    editor::CodeMemo& sourceEditor;
    pages::DocumentCommands& documents;
    platform::IncludeSearch& includes;  // shared with the error panel
  };
  explicit CodeIntelligence(Parts parts);
  ~CodeIntelligence();

  IndexKeeper& keeper() { return keeper_; }
  // Brought up to date for the page on screen.
  SymbolIndex& index() {
    keeper_.refresh();
    return keeper_.index();
  }
  CodeNavigator& navigator() { return navigator_; }
  const NameSource& names() const { return names_; }
  // The read-only list of Find References in the bottom panel.
  editor::CodeMemo& referenceView() { return *referenceView_; }

private:
  std::unique_ptr<editor::CodeMemo> referenceView_;
  IndexKeeper keeper_;
  CodeNavigator navigator_;
  IndexNames names_{keeper_};
  // Any change of the page set or of the page on screen makes the index look again.
  editor::Subscription pageWatches_[4];
};

}  // namespace quillon::language
