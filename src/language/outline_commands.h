#pragma once
#include <bitset>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "editor/code_memo_fwd.h"
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
// The tree follows the page on screen: a page shown by any route makes a shown outline
// rescan at once, and edits make it rescan once the editor has been idle for kIdleDelay.
// Which groups are open lives here, so a rescan keeps them as the user left them.
//
// Invariant: `outline_` is what the last scan found (nothing once the tree was emptied), and
// it is stale() exactly when another page entered the editor since that scan (the page
// generation moved on); `dirty_` is set exactly when the text changed since that scan.
// scan(), empty() and the page events are the only places that change them.
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

  // Whether the tree describes a page that is no longer the one on screen; it shows no
  // entries then, and a click on one only rescans.
  bool stale() const { return outline_ && scannedPage_ != page_; }
  // Whether the last scan was of the same page as the one before it, so the tree keeps its
  // scroll position.
  bool keptPage() const { return keptPage_; }

  // A page went into the editor by any route (a tab change, a jump to an error's page): a
  // shown outline asks for a scan at once.
  void pageShown();
  // The editor was idle for the delay onScanWanted asked for: a shown outline whose page
  // changed or was edited since its scan rescans, without a status text. Pages past
  // kIdleScanLines wait for ReScan, so typing in them never stalls.
  void idleElapsed();
  static constexpr std::chrono::milliseconds kIdleDelay{300};
  static constexpr std::int64_t kIdleScanLines = 200000;

  // The open or closed state of the nine groups, kept across scans; all closed at start.
  void setGroupExpanded(std::size_t group, bool expanded);
  bool groupExpanded(std::size_t group) const {
    return group < kOutlineGroups && expanded_.test(group);
  }

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
  // The view should call idleElapsed() once this long has passed without another request;
  // each request replaces the one before.
  editor::Event<OutlineCommands, std::chrono::milliseconds> onScanWanted;

  ~OutlineCommands();

private:
  void scan(bool quiet);
  void empty();
  void setShown(bool shown);

  platform::Ui& ui_;
  platform::MainView& view_;
  platform::CommandStates& states_;
  editor::CodeMemo& editor_;
  std::function<std::string()> pageCaption_;
  const platform::Clock& clock_;

  std::optional<Outline> outline_;
  std::uint64_t page_ = 0;         // moves on with every page that enters the editor
  std::uint64_t scannedPage_ = 0;  // page_ at the last scan
  bool keptPage_ = false;
  bool dirty_ = false;
  std::bitset<kOutlineGroups> expanded_;
  int listener_ = 0;
  int mouseX_ = -99;
  int mouseY_ = -99;
  editor::Subscription pageWatches_[4];
};

}  // namespace quillon::language
