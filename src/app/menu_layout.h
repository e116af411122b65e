#pragma once
#include <string_view>
#include <vector>

namespace quillon::app {

// Where the window puts the registered commands, in order. An item is read as:
//   "id"          the row registered under that id
//   "-"           a separator (between toolbar buttons: a gap)
//   "Caption>"    a submenu of that caption begins; "<" ends it
//   "@id"         the rows of the list registered under that id, as the core fills it
//   "id=Caption"  the row under another caption and without its key (the pop-up menus)
//   "bId@list"    (toolbar) a button whose drop-down holds the list's menu
// A menu-bar entry with a `command` is that command itself, without a menu.
struct MenuLayout {
  std::string_view title;  // the menu-bar caption; for a pop-up, its object name
  std::vector<std::string_view> items;
  std::string_view command = {};
};

const std::vector<MenuLayout>& menuBarLayout();
const std::vector<MenuLayout>& popupLayout();
// Keys that work anywhere in the window and have no menu item.
const std::vector<std::string_view>& windowKeyLayout();
const std::vector<std::string_view>& toolbarLayout();

}  // namespace quillon::app
