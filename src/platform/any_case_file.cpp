#include "platform/any_case_file.h"

#include <climits>
#include <string>
#include <system_error>

#include "platform/ascii_text.h"

namespace quillon::platform {

namespace {

// The system would stop reading such a name at the NUL and find, or delete, another file.
bool holdsNul(const std::filesystem::path& path) {
  return path.native().find('\0') != std::string::npos;
}

// No file has a name the system refuses (a part over NAME_MAX, or a whole over PATH_MAX): such
// a name is missing at once, without a walk of its folders.
bool tooLong(const std::filesystem::path& path) {
  if (path.native().size() >= PATH_MAX) return true;
  for (const std::filesystem::path& part : path)
    if (part.native().size() > NAME_MAX) return true;
  return false;
}

bool unnameable(const std::filesystem::path& path) { return holdsNul(path) || tooLong(path); }

}  // namespace

std::optional<std::filesystem::path> findAnyCase(const std::filesystem::path& file) {
  if (unnameable(file)) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) return file;
  const std::string name = file.filename().string();
  if (name.empty()) return std::nullopt;
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  for (std::filesystem::directory_iterator it(folder, ec), last; !ec && it != last;
       it.increment(ec))
    if (equalsNoCase(it->path().filename().string(), name))
      return file.parent_path() / it->path().filename();
  return std::nullopt;
}

std::optional<std::filesystem::path> findAnyCasePath(const std::filesystem::path& path) {
  if (unnameable(path)) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return path;
  std::filesystem::path found;
  for (const std::filesystem::path& part : path) {
    if (part.has_root_directory() || part.has_root_name()) {
      found /= part;
      continue;
    }
    const std::optional<std::filesystem::path> next = findAnyCase(found / part);
    if (!next) return std::nullopt;
    found = *next;
  }
  return found.empty() ? std::nullopt : std::optional<std::filesystem::path>(found);
}

}  // namespace quillon::platform
