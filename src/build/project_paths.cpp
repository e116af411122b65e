#include "build/project_paths.h"

#include <string>

namespace quillon::build {

namespace {

bool hasDriveLetter(std::string_view value) {
  return value.size() >= 2 && value[1] == ':' &&
         ((value[0] >= 'A' && value[0] <= 'Z') || (value[0] >= 'a' && value[0] <= 'z'));
}

}  // namespace

std::filesystem::path ProjectPaths::resolve(std::string_view value) const {
  if (hasDriveLetter(value)) {
    if (auto local = drives_.toLocalPath(value)) return *local;
  }
  std::string text(value);
  for (char& c : text)
    if (c == '\\') c = '/';
  const std::filesystem::path path(text);
  if (path.is_absolute()) return path;
  return folder_ / path;
}

std::filesystem::path ProjectPaths::localFolder(const std::filesystem::path& folder, const platform::Registry& drives) {
  const std::string text = folder.string();
  if (hasDriveLetter(text)) {
    if (auto local = drives.toLocalPath(text)) return platform::withTrailingSeparator(*local);
  }
  return folder;
}

}  // namespace quillon::build
