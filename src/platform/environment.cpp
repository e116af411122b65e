#include "platform/environment.h"

#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace quillon::platform {
namespace {

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::vector<std::string> splitColons(const std::string& list) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) parts.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool usableAbsolute(const std::string& value) {
  return !value.empty() && std::filesystem::path(value).is_absolute();
}

}  // namespace

Environment Environment::fromProcess() {
  Environment env;
  env.home = variable("HOME");
  env.winePrefix = variable("WINEPREFIX");
  env.xdgDataHome = variable("XDG_DATA_HOME");
  env.xdgConfigHome = variable("XDG_CONFIG_HOME");
  env.xdgDataDirs = variable("XDG_DATA_DIRS");
  env.mbInclude = variable("MBINCLUDE");
  env.path = variable("PATH");
  return env;
}

std::filesystem::path Environment::dataHome() const {
  if (usableAbsolute(xdgDataHome)) return xdgDataHome;
  return home / ".local" / "share";
}

std::filesystem::path Environment::configHome() const {
  if (usableAbsolute(xdgConfigHome)) return xdgConfigHome;
  return home / ".config";
}

std::vector<std::filesystem::path> Environment::dataDirs() const {
  std::vector<std::filesystem::path> dirs;
  for (const auto& part : splitColons(xdgDataDirs))
    if (usableAbsolute(part)) dirs.emplace_back(part);
  if (dirs.empty()) dirs = {"/usr/local/share", "/usr/share"};
  return dirs;
}

std::filesystem::path Environment::winePrefixFolder() const {
  if (!winePrefix.empty()) return winePrefix;
  return home / ".wine";
}

std::optional<std::filesystem::path> Environment::findProgram(const std::string& name) const {
  if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
  for (const auto& dir : splitColons(path)) {
    std::filesystem::path candidate = std::filesystem::path(dir) / name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return std::nullopt;
}

}  // namespace quillon::platform
