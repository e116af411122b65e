#include "settings/program_folder_choice.h"

#include <system_error>
#include <unistd.h>

#include "platform/any_case_file.h"
#include "platform/wine_automation.h"
#include "platform/wine_registry.h"
#include "settings/settings.h"

namespace quillon::settings {

namespace fs = std::filesystem;

namespace {
bool sameFolder(const fs::path& a, const fs::path& b) {
  return !a.empty() && platform::withTrailingSeparator(a) == platform::withTrailingSeparator(b);
}
}  // namespace

fs::path ProgramFolderChoice::folder(Which which) const {
  const SettingsValues& v = settings_.values();
  return which == Which::MapInfo ? v.mapInfoFolder : v.mapBasicFolder;
}

std::string ProgramFolderChoice::origin(Which which) {
  const fs::path used = folder(which);
  if (used.empty()) return "not set";
  const char* key = which == Which::MapInfo ? "MapInfo" : "MapBasic";
  const platform::ProgramFolders& found = settings_.registryFolders();
  if (sameFolder(used, which == Which::MapInfo ? found.mapInfo : found.mapBasic))
    return "from the Wine prefix's registry";
  if (sameFolder(used, settings_.file().readString(kSystemSection, key, "")))
    return "from the settings file";
  return "chosen in this session";
}

std::string ProgramFolderChoice::check(Which which, const fs::path& folder, bool* ok) {
  if (ok) *ok = false;
  if (folder.empty()) return "No folder is set.";
  std::error_code ec;
  const fs::file_status status = fs::status(folder, ec);
  if (!fs::exists(status)) {
    return fs::is_symlink(fs::symlink_status(folder, ec))
               ? "The folder is a link that leads nowhere."
               : "The folder does not exist.";
  }
  if (!fs::is_directory(status)) return "This is not a folder.";
  if (::access(folder.c_str(), R_OK | X_OK) != 0) return "The folder cannot be read.";
  fs::path program;
  if (which == Which::MapBasic)
    program = platform::findAnyCase(folder / "MapBasic.exe").value_or(fs::path());
  else
    program = platform::WineAutomation::findGisProgram(folder);
  if (program.empty() || !fs::is_regular_file(program, ec))
    return which == Which::MapBasic ? "MapBasic.exe is not in this folder."
                                    : "Mapinfow.exe is not in this folder.";
  if (ok) *ok = true;
  return program.filename().string() + " is there.";
}

fs::path ProgramFolderChoice::pickerStart(Which which) const {
  std::error_code ec;
  if (const fs::path used = folder(which); !used.empty() && fs::is_directory(used, ec)) return used;
  const fs::path driveC = settings_.environment().winePrefixFolder() / "drive_c";
  return fs::is_directory(driveC, ec) ? driveC : fs::path();
}

bool ProgramFolderChoice::store(const fs::path& mapInfo, const fs::path& mapBasic) {
  SettingsValues& v = settings_.values();
  v.mapInfoFolder = mapInfo.empty() ? fs::path() : platform::withTrailingSeparator(mapInfo);
  v.mapBasicFolder = mapBasic.empty() ? fs::path() : platform::withTrailingSeparator(mapBasic);
  settings_.file().writeString(kSystemSection, "MapInfo", v.mapInfoFolder.string());
  settings_.file().writeString(kSystemSection, "MapBasic", v.mapBasicFolder.string());
  return settings_.save();
}

}  // namespace quillon::settings
