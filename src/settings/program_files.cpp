#include "settings/program_files.h"

#include <system_error>
#include <unistd.h>
#include <utility>

namespace quillon::settings {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool isFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

}  // namespace

ProgramFiles::ProgramFiles(fs::path programFile, platform::Environment env)
    : programFile_(std::move(programFile)), env_(std::move(env)) {
  std::error_code ec;
  if (fs::path absolute = fs::absolute(programFile_, ec); !ec) programFile_ = absolute;
  const fs::path folder = programFile_.parent_path();
  const std::string stem = programFile_.stem().string();
  const bool ownFilesBeside =
      isFile(folder / (stem + ".bin")) || fs::exists(folder / (stem + ".ini"), ec);
  if (!ownFilesBeside)
    for (const fs::path& shared : sharedFolders())
      if (isFolder(shared)) {
        installed_ = true;
        break;
      }
}

ProgramFiles ProgramFiles::beside(fs::path programFile) {
  ProgramFiles files;
  files.searchShared_ = false;
  files.programFile_ = std::move(programFile);
  std::error_code ec;
  if (fs::path absolute = fs::absolute(files.programFile_, ec); !ec) files.programFile_ = absolute;
  return files;
}

std::vector<fs::path> ProgramFiles::sharedFolders() const {
  if (!searchShared_) return {};
  const std::string stem = programFile_.stem().string();
  std::vector<fs::path> folders{
      (programFile_.parent_path().parent_path() / "share" / stem).lexically_normal()};
  for (const fs::path& dir : env_.dataDirs()) folders.push_back(dir / stem);
  return folders;
}

fs::path ProgramFiles::findShared(const fs::path& name) const {
  if (name.empty()) return {};
  if (const fs::path beside = programFile_.parent_path() / name; isFile(beside)) return beside;
  for (const fs::path& folder : sharedFolders())
    if (isFile(folder / name)) return folder / name;
  return {};
}

fs::path ProgramFiles::defaultFile(std::string_view extension) const {
  fs::path name = programFile_.filename();
  name.replace_extension(extension);
  if (fs::path found = findShared(name); !found.empty()) return found;
  if (installed_)
    for (const fs::path& folder : sharedFolders())
      if (isFolder(folder)) return folder / name;
  return programFile_.parent_path() / name;
}

fs::path ProgramFiles::dictionary() const {
  fs::path name = programFile_.filename();
  name.replace_extension(".dic");
  // Words are saved where the user may write, never into a shared folder.
  if (!installed_) return programFile_.parent_path() / name;
  return env_.dataHome() / programFile_.stem() / name;
}

bool ProgramFiles::ensureUserDictionary() const {
  if (!installed_) return true;
  const fs::path user = dictionary();
  std::error_code ec;
  if (fs::exists(user, ec)) return true;
  const fs::path shared = defaultFile(".dic");
  // Nothing to copy: the first save at exit creates the file.
  if (!isFile(shared)) return true;
  fs::create_directories(user.parent_path(), ec);
  if (!fs::copy_file(shared, user, ec) || ec) return false;
  // A read-only shared file must not make the user's copy read-only too.
  fs::permissions(user, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
  return true;
}

fs::path ProgramFiles::settingsFile() const {
  const std::string name = programFile_.stem().string() + ".ini";
  const fs::path folder = programFile_.parent_path();
  const fs::path beside = folder / name;
  std::error_code ec;
  if (fs::exists(beside, ec)) return beside;
  const fs::path probe = folder.empty() ? fs::path(".") : folder;
  if (!installed_ && ::access(probe.c_str(), W_OK) == 0) return beside;
  return env_.configHome() / "quillon" / name;
}

}  // namespace quillon::settings
