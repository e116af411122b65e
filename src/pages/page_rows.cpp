#include "pages/page_rows.h"

#include "pages/document_commands.h"
#include "pages/recent_commands.h"
#include "platform/command_registry.h"

namespace quillon::pages {

void registerPageRows(platform::CommandRegistry& registry, DocumentCommands& docs,
                      RecentCommands& recent) {
  using platform::Command;
  auto open = [&docs] { docs.open(DocumentCommands::Opener::Dialog); };
  registry.add({.id = "file.new", .caption = "&New", .run = [&docs] { docs.newPage(); }});
  registry.add({.id = "file.open", .caption = "&Open...", .run = open});
  registry.add({.id = "file.save",
                .caption = "&Save",
                .key = "Ctrl+S",
                .run = [&docs] { docs.save(); },
                .state = Command::Save1});
  registry.add({.id = "file.saveAs", .caption = "Save &As...", .run = [&docs] { docs.saveAs(); }});
  registry.add({.id = "file.saveAll", .caption = "Save All", .run = [&docs] { docs.saveAll(); }});
  registry.add(
      {.id = "file.closePage", .caption = "Close Page", .run = [&docs] { docs.closePage(); }});
  registry.add(
      {.id = "file.closeAll", .caption = "Close All", .run = [&docs] { docs.closeAll(); }});
  registry.addList(
      {.id = "recent.files", .pick = [&recent](std::size_t entry) { recent.filePicked(entry); }});
  registry.addList({.id = "recent.sessions",
                    .pick = [&recent](std::size_t entry) { recent.sessionPicked(entry); }});
  registry.add({.id = "recent.clearFiles",
                .caption = "Clear List...",
                .hint = "Clear recent files list",
                .run = [&recent] { recent.clearFiles(); }});
  registry.add({.id = "recent.clearSessions",
                .caption = "Clear List...",
                .hint = "Clear recent files list",
                .run = [&recent] { recent.clearSessions(); }});
  registry.addList({.id = "window.pages",
                    .pick = [&docs](std::size_t entry) { docs.windowMenuPick(entry); },
                    .refresh = [&docs] { docs.refreshWindowList(); }});

  registry.add(
      {.id = "bNew", .hint = "New Page", .icon = "new", .run = [&docs] { docs.newPage(); }});
  registry.add({.id = "bOpen", .hint = "Open File", .icon = "open", .run = open});
  registry.add({.id = "bSave",
                .hint = "Save Page",
                .icon = "save",
                .run = [&docs] { docs.save(); },
                .state = Command::bSave});
  registry.add({.id = "bClose", .hint = "Close Page", .icon = "close", .run = [&docs] {
                  docs.closePage();
                }});
}

}  // namespace quillon::pages
