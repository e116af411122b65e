#include "platform/include_resolver.h"

#include <string>
#include <system_error>

#include "platform/any_case_file.h"
#include "platform/ascii_text.h"

namespace quillon::platform {

namespace fs = std::filesystem;

namespace {

bool hasDriveLetter(std::string_view value) {
  return value.size() >= 2 && value[1] == ':' &&
         ((value[0] >= 'A' && value[0] <= 'Z') || (value[0] >= 'a' && value[0] <= 'z'));
}

bool refusedOutright(std::string_view name) {
  return name.empty() || name.size() > IncludeResolver::kMaxNameLength ||
         name.find('\0') != std::string_view::npos || name.front() == '\\' || name.front() == '/';
}

std::string withSlashes(std::string_view value) {
  std::string text(value);
  for (char& c : text)
    if (c == '\\') c = '/';
  return text;
}

// Inside the kernel's own trees: files there never end, block, or change on every read.
bool inSystemTree(const fs::path& file) {
  std::error_code ec;
  fs::path real = fs::weakly_canonical(file, ec);
  if (ec) real = file;
  const std::string text = real.string();
  for (std::string_view root : {"/proc", "/sys", "/dev"})
    if (text.starts_with(root) && (text.size() == root.size() || text[root.size()] == '/'))
      return true;
  return false;
}

std::optional<fs::path> regularFile(const fs::path& candidate) {
  const std::optional<fs::path> found = findAnyCasePath(candidate);
  std::error_code ec;
  if (!found || !fs::is_regular_file(*found, ec) || inSystemTree(*found)) return std::nullopt;
  // "sub/../x.def" as the user reads it, unless a link makes the short form another file.
  const fs::path normal = found->lexically_normal();
  return normal != *found && fs::equivalent(normal, *found, ec) ? normal : *found;
}

}  // namespace

IncludeResolver::IncludeResolver(const IncludeFolders& folders, const Registry* drives)
    : mapBasic_(folders.mapBasic), drives_(drives) {
  for (const fs::path& top : folders.mbInclude) {
    searched_.push_back(top);
    std::error_code ec;
    fs::recursive_directory_iterator it(top, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (searched_.size() >= kMaxSubFolders) break;
      if (it.depth() >= kMaxDepth) {
        it.disable_recursion_pending();
        continue;
      }
      std::error_code typeError;
      if (it->is_directory(typeError) && !it->is_symlink(typeError) && !inSystemTree(it->path()))
        searched_.push_back(it->path());
      else
        it.disable_recursion_pending();
    }
  }
}

std::vector<fs::path> IncludeResolver::parseMbInclude(std::string_view value,
                                                      const Registry* drives) {
  std::vector<fs::path> folders;
  while (!value.empty()) {
    const std::size_t stop = value.find(';');
    const std::string_view part = trim(value.substr(0, stop), isBlankOrControl);
    value = stop == std::string_view::npos ? std::string_view() : value.substr(stop + 1);
    if (part.empty() || part.find('\0') != std::string_view::npos || part.starts_with("\\\\"))
      continue;
    if (hasDriveLetter(part)) {
      if (!drives) continue;
      if (auto local = drives->toLocalPath(part)) folders.push_back(*local);
      continue;
    }
    folders.emplace_back(withSlashes(part));
  }
  return folders;
}

std::optional<fs::path> IncludeResolver::relativeName(std::string_view name) {
  if (refusedOutright(name) || hasDriveLetter(name)) return std::nullopt;
  return fs::path(withSlashes(name));
}

std::optional<fs::path> IncludeResolver::findIn(const fs::path& folder,
                                                const fs::path& relative) const {
  if (folder.empty()) return std::nullopt;
  return regularFile(folder / relative);
}

std::optional<fs::path> IncludeResolver::resolve(std::string_view name,
                                                 const fs::path& includingFolder) const {
  if (refusedOutright(name)) return std::nullopt;
  if (hasDriveLetter(name)) {
    if (!drives_) return std::nullopt;
    const std::optional<fs::path> local = drives_->toLocalPath(name);
    return local ? regularFile(*local) : std::nullopt;
  }
  const fs::path relative(withSlashes(name));
  if (relative.is_absolute()) return std::nullopt;
  if (auto found = findIn(includingFolder.empty() ? fs::path(".") : includingFolder, relative))
    return found;
  for (const fs::path& folder : searched_)
    if (auto found = findIn(folder, relative)) return found;
  return findIn(mapBasic_, relative);
}

void IncludeSearch::setSurroundings(const Environment& environment,
                                    std::function<std::filesystem::path()> mapBasicFolder) {
  drives_ = WineRegistry::fromText({}, {}, environment.winePrefixFolder());
  mbInclude_ = IncludeResolver::parseMbInclude(environment.mbInclude, &drives_);
  mapBasicFolder_ = std::move(mapBasicFolder);
  madeFor_ = std::filesystem::path("\n");
  ++generation_;
}

bool IncludeSearch::refresh() {
  const std::filesystem::path mapBasic =
      mapBasicFolder_ ? mapBasicFolder_() : std::filesystem::path();
  if (mapBasic == madeFor_) return false;
  madeFor_ = mapBasic;
  resolver_ = IncludeResolver({mbInclude_, mapBasic}, &drives_);
  ++generation_;
  return true;
}

}  // namespace quillon::platform
