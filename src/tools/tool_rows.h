#pragma once

namespace quillon::platform {
class CommandRegistry;
}

namespace quillon::tools {

class CharMap;
class EditingCommands;
class FindReplace;

struct ToolRowParts {
  EditingCommands& editing;
  FindReplace& find;
  CharMap& charMap;
};

// Indent and Outdent, the Find menu, the bookmarks, the character map and the search buttons.
void registerToolRows(platform::CommandRegistry& registry, ToolRowParts parts);

}  // namespace quillon::tools
