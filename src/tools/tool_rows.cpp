#include "tools/tool_rows.h"

#include <string>

#include "platform/command_registry.h"
#include "tools/char_map.h"
#include "tools/editing_commands.h"
#include "tools/find_replace.h"

namespace quillon::tools {

void registerToolRows(platform::CommandRegistry& registry, ToolRowParts parts) {
  using platform::Command;
  EditingCommands& editing = parts.editing;
  FindReplace& find = parts.find;
  registry.add({.id = "edit.indent", .caption = "Indent", .key = "Ctrl+I", .run = [&editing] {
                  editing.indent();
                }});
  registry.add({.id = "edit.outdent", .caption = "Outdent", .key = "Ctrl+O", .run = [&editing] {
                  editing.outdent();
                }});
  registry.add({.id = "edit.charMap",
                .caption = "Character Map....",
                .run = [&map = parts.charMap] { map.open(); }});
  registry.add(
      {.id = "find.findReplace", .caption = "&Find/Replace...", .key = "Ctrl+F", .run = [&find] {
         find.open();
       }});
  registry.add({.id = "find.next",
                .caption = "Find/Replace next",
                .key = "F3",
                .run = [&find] { find.again(); },
                .state = Command::FindNext1});
  registry.add({.id = "find.revert",
                .caption = "Revert",
                .run = [&find] { find.revert(); },
                .state = Command::Revert1});
  registry.add(
      {.id = "find.goToLine", .caption = "Go To Line....", .key = "Ctrl+T", .run = [&editing] {
         editing.goToLine();
       }});
  for (int i = 0; i < EditingCommands::kSlots; ++i) {
    const std::string digit = std::to_string(i);
    registry.add({.id = "bookmarks.set." + digit, .caption = digit, .run = [&editing, i] {
                    editing.setBookmark(i);
                  }});
    registry.add({.id = "bookmarks.goto." + digit, .caption = digit, .run = [&editing, i] {
                    editing.gotoBookmark(i);
                  }});
  }
  registry.add({.id = "bookmarks.clearAll", .caption = "Clear All", .run = [&editing] {
                  editing.clearAllBookmarks();
                }});

  registry.add({.id = "bSearch", .hint = "Search/Replace", .icon = "search", .run = [&find] {
                  find.open();
                }});
  registry.add({.id = "bAgain",
                .hint = "Again [F3]......",
                .icon = "again",
                .run = [&find] { find.again(); },
                .state = Command::bAgain});
}

}  // namespace quillon::tools
