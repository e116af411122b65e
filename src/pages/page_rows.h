#pragma once

namespace quillon::platform {
class CommandRegistry;
}

namespace quillon::pages {

class DocumentCommands;
class RecentCommands;

// The File menu's page, recent-file and session commands, the Window menu's list of pages and
// the page buttons.
void registerPageRows(platform::CommandRegistry& registry, DocumentCommands& documents,
                      RecentCommands& recent);

}  // namespace quillon::pages
