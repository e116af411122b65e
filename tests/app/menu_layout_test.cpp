#include "app/menu_layout.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

#include "platform/command_registry.h"
#include "support/workbench_ports.h"

namespace quillon::app {
namespace {

// Each id of an item: "id", "@id", "id=Caption", "bId@list"; separators and submenu marks name
// nothing.
std::set<std::string> namedIds() {
  std::set<std::string> ids;
  auto take = [&ids](std::string_view item) {
    if (item == "-" || item == "<" || item.ends_with('>')) return;
    if (item.starts_with('@')) item.remove_prefix(1);
    item = item.substr(0, item.find_first_of("=@"));
    ids.emplace(item);
  };
  for (const auto* layouts : {&menuBarLayout(), &popupLayout()})
    for (const MenuLayout& menu : *layouts) {
      for (std::string_view item : menu.items) take(item);
      if (!menu.command.empty()) take(menu.command);
    }
  for (std::string_view item : windowKeyLayout()) take(item);
  for (std::string_view item : toolbarLayout()) {
    take(item);
    if (const auto at = item.find('@'); at != std::string_view::npos) take(item.substr(at));
  }
  return ids;
}

// A row registered and placed nowhere is a command the user cannot reach; a place naming no
// row stops the window at start-up. The window registers the rows of its own dialogs.
TEST(MenuLayout, PlacesEveryRegisteredCommandAndNamesNoOther) {
  testing::WorkbenchPorts ports;
  Workbench bench{ports.ports()};
  std::set<std::string> registered;
  for (const std::string& id : bench.commands().ids()) registered.insert(id);
  for (const char* ownedByTheWindow : {"file.exit", "help.about", "keysdict.open",
                                       "context.addToKeywords", "options.programFolders"})
    registered.insert(ownedByTheWindow);
  EXPECT_EQ(namedIds(), registered);
}

}  // namespace
}  // namespace quillon::app
