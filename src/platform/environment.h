#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillon::platform {

// The process environment values that decide where per-user files live. Everything that reads
// or writes outside the program folder takes one of these, so tests point it at a temporary
// home instead of the real one.
struct Environment {
  std::filesystem::path home;  // HOME
  std::string winePrefix;      // WINEPREFIX, empty when unset
  std::string xdgDataHome;     // XDG_DATA_HOME, empty when unset
  std::string xdgConfigHome;   // XDG_CONFIG_HOME, empty when unset
  std::string xdgDataDirs;     // XDG_DATA_DIRS, colon-separated
  std::string path;            // PATH, colon-separated
  std::string mbInclude;       // MBINCLUDE, the compiler's include folders

  static Environment fromProcess();

  // XDG base folders. A relative XDG value is ignored, as the base directory rules require.
  std::filesystem::path dataHome() const;
  std::filesystem::path configHome() const;
  std::vector<std::filesystem::path> dataDirs() const;

  std::filesystem::path winePrefixFolder() const;

  // The first executable file called `name` in a PATH folder.
  std::optional<std::filesystem::path> findProgram(const std::string& name) const;
};

}  // namespace quillon::platform
