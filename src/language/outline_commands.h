#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "editor/code_memo.h"
#include "editor/listener_list.h"
#include "language/code_outline.h"
#include "platform/clock.h"
#include "platform/command_states.h"
#include "platform/main_view.h"
#include "platform/ui.h"

namespace quillon::pages {
class DocumentCommands;
}

namespace quillon::language {

// The CodeInfo outline: the menu's "Show...", "ReScan...." and "Sorted", the scan, what the
// page commands ask of it, and the tree's clicks. The tree widget draws `outline()` and hears
// `onOutlineChanged`.
//
// Invariant: `outline_` is what the last scan found (nothing once the tree was emptied), and
// `stale_` is set exactly when another page entered the editor since that scan. scan(),
// empty() and pageEntered() are the only places that change them.
class OutlineCommands {
public:
  struct Parts {
    platform::Ui& ui;
    platform::MainView& view;
    platform::CommandStates& states;
    editor::CodeMemo& editor;
    std::function<std::string()> pageCaption;  // the current tab's caption
    const platform::Clock& clock;
    pages::DocumentCommands* pages = nullptr;  // followed, when given, as its pages come and go
  };

  explicit OutlineCommands(Parts parts);
  OutlineCommands(const OutlineCommands&) = delete;
  OutlineCommands& operator=(const OutlineCommands&) = delete;

  const std::optional<Outline>& outline() const { return outline_; }
  bool shown() const { return states_.checked(platform::Command::CodeInfoShow1); }

  // Rebuilds the tree from the editor's paragraphs. Reads the editor only: caret, selection,
  // scrolling and the modified flag stay, and no event is processed meanwhile.
  void scan();
  // "Show...": shows the panel, scanning unless it already describes this page, or hides it.
  void toggleShow();
  // "ReScan....": scans and shows; false for an empty text, where nothing happens.
  bool rescan();
  // "Sorted": toggles and scans.
  void toggleSorted();

  // What the page commands tell: another page (new, opened, tab change) is in the editor; the
  // current page was closed; every page was closed.
  void pageEntered();
  void pageClosed();
  void allClosed();

  // The tree. A click jumps only with a known mouse position, so the click that expanded or
  // collapsed a group does not jump until the mouse has moved.
  void treeMouseMoved(int x, int y);
  void treeNodeToggled();
  // `level` 0 is the root, 1 a group, 2 an entry; `line` is the entry's, counted from 1.
  // True when the caret went to the line.
  bool treeClicked(int level, std::int64_t line);

  editor::Event<OutlineCommands> onOutlineChanged;

private:
  void empty();
  void setShown(bool shown);

  platform::Ui& ui_;
  platform::MainView& view_;
  platform::CommandStates& states_;
  editor::CodeMemo& editor_;
  std::function<std::string()> pageCaption_;
  const platform::Clock& clock_;

  std::optional<Outline> outline_;
  bool stale_ = false;
  int mouseX_ = -99;
  int mouseY_ = -99;
  editor::Subscription pageWatches_[3];
};

}  // namespace quillon::language
