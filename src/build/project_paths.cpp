#include "build/project_paths.h"

#include <string>
#include <system_error>

#include "platform/any_case_file.h"

namespace quillon::build {

namespace {

bool hasDriveLetter(std::string_view value) {
  return value.size() >= 2 && value[1] == ':' &&
         ((value[0] >= 'A' && value[0] <= 'Z') || (value[0] >= 'a' && value[0] <= 'z'));
}

std::string withSlashes(std::string_view value) {
  std::string text(value);
  for (char& c : text)
    if (c == '\\') c = '/';
  return text;
}

}  // namespace

std::optional<std::filesystem::path> ProjectPaths::localPath(std::string_view value) const {
  // The system would stop reading the name at the NUL, and find another file.
  if (value.find('\0') != std::string_view::npos) return std::nullopt;
  if (hasDriveLetter(value)) return drives_.toLocalPath(value);
  if (value.starts_with("\\\\")) return std::nullopt;
  if (value.starts_with('\\')) value.remove_prefix(1);
  const std::filesystem::path path(withSlashes(value));
  if (path.is_absolute()) return path;
  return folder_ / path;
}

std::filesystem::path ProjectPaths::resolve(std::string_view value) const {
  if (auto local = localPath(value)) return *local;
  return folder_ / withSlashes(value);
}

std::optional<std::filesystem::path> ProjectPaths::findFile(std::string_view value) const {
  const std::optional<std::filesystem::path> local = localPath(value);
  if (!local) return std::nullopt;
  const std::optional<std::filesystem::path> found = platform::findAnyCasePath(*local);
  std::error_code ec;
  if (!found || !std::filesystem::is_regular_file(*found, ec)) return std::nullopt;
  return found;
}

std::filesystem::path ProjectPaths::localFolder(const std::filesystem::path& folder,
                                                const platform::Registry& drives) {
  const std::string text = folder.string();
  if (hasDriveLetter(text)) {
    if (auto local = drives.toLocalPath(text)) return platform::withTrailingSeparator(*local);
  }
  return folder;
}

}  // namespace quillon::build
