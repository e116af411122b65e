#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/command_states.h"

namespace quillon::platform {

// One command as a menu item or a toolbar button shows it. Each feature folder adds its own
// rows through its register...Rows function; the window places them where the layout table
// of src/app/ names their ids, and runs `run` when one is picked.
struct CommandRow {
  std::string id{};       // what the layout table names: "file.save", or a button's "bSave"
  std::string caption{};  // a menu item's text with its '&' mnemonic; a button's tool tip
  std::string key{};      // the shortcut as portable text ("Ctrl+S", "Shift+F8"), or empty
  std::string hint{};     // the status line's text, also the item's tool tip
  std::string icon{};     // a toolbar button's icon name (":/icons/<icon>.svg")
  std::function<void()> run{};
  // The CommandStates key whose enabling, and check mark when `checkable`, the row shows.
  std::optional<Command> state{};
  bool checkable = false;
  // For rows nobody sets a state for: asked each time the menu holding the row opens.
  std::function<bool()> enabled{};
};

// Rows that come and go, the captions of which the core hands to MainView (the recent files,
// the sessions, the open pages): `pick` gets the entry, counted from 0.
struct CommandList {
  std::string id{};
  std::function<void(std::size_t entry)> pick{};
  std::function<void()> refresh{};  // run before the menu holding the list opens; may be empty
};

// Every command the window can show. Invariant: ids are unique across rows and lists; add is
// the one place that keeps it, and it throws on a second row of the same id, so a clash
// between two features shows at start-up of the first test that builds the window.
class CommandRegistry {
public:
  void add(CommandRow row);
  void addList(CommandList list);

  const CommandRow* row(std::string_view id) const;
  const CommandList* list(std::string_view id) const;
  // Runs the row's command; false when there is no such row.
  bool run(std::string_view id) const;
  std::vector<std::string> ids() const;

  // F8 and Shift+F8 walk the list in front of the bottom panel. A feature with such a list adds
  // a walker that moves in it and returns true when its list was in front; the error walk
  // asks them first.
  void addListWalker(std::function<bool(bool forward)> walker);
  bool walkShownList(bool forward) const;

private:
  std::map<std::string, CommandRow, std::less<>> rows_;
  std::map<std::string, CommandList, std::less<>> lists_;
  std::vector<std::function<bool(bool forward)>> walkers_;
};

}  // namespace quillon::platform
