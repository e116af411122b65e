#pragma once
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/wine_registry.h"

namespace quillon::build {

// The file and folder names a build reads from projects and settings, as this machine opens
// them. A project value is taken relative to the project file's folder, an absolute one as
// it is; a value with a drive letter goes through the Wine prefix's drives, and a
// backslash counts as a separator. A leading single backslash, the root of the project's
// drive on Windows, stands for the project file's folder. Every project value is resolved
// here and nowhere else.
class ProjectPaths {
public:
  ProjectPaths(std::filesystem::path projectFile, const platform::Registry& drives)
      : folder_(std::filesystem::path(projectFile).parent_path()), drives_(drives) {}

  std::filesystem::path resolve(std::string_view value) const;
  // The same, but nullopt where no file can be: a drive the prefix does not map, a
  // "\\server" share, a NUL byte.
  std::optional<std::filesystem::path> localPath(std::string_view value) const;
  // The regular file a value names, its folders and name matched in any case when the exact
  // spelling does not exist; nullopt when there is none.
  std::optional<std::filesystem::path> findFile(std::string_view value) const;
  const std::filesystem::path& folder() const { return folder_; }

  // A folder from the settings: a Windows path through the prefix's drives (folders
  // matched in any case), a local one as it is.
  static std::filesystem::path localFolder(const std::filesystem::path& folder,
                                           const platform::Registry& drives);

private:
  std::filesystem::path folder_;
  const platform::Registry& drives_;
};

}  // namespace quillon::build
