#pragma once
#include <functional>

#include "platform/environment.h"
#include "platform/wine_registry.h"

namespace quillon::platform {
class AssociationStore;
}

namespace quillon::app {

// What start-up reads from the machine besides the settings file. Tests point all of it
// at temporary folders.
struct StartSurroundings {
  platform::Environment environment;
  std::function<platform::ProgramFolders()> folderLookup;  // empty: the Wine registry
  platform::AssociationStore* associations = nullptr;      // empty: no opener, nothing written
};

}  // namespace quillon::app
