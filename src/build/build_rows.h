#pragma once
#include <functional>

namespace quillon::platform {
class CommandRegistry;
}

namespace quillon::build {

class BuildCommands;
class ErrorPanel;
class InsertFile;
class ProjectCommands;

struct BuildRowParts {
  BuildCommands& build;
  ErrorPanel& errors;
  ProjectCommands& project;
  InsertFile& insertFile;
};

// The Project menu's project and build rows, the error walk, Insert File and the build buttons.
void registerBuildRows(platform::CommandRegistry& registry, BuildRowParts parts);

}  // namespace quillon::build
