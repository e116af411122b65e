#include "settings/settings.h"

#include <system_error>
#include <unistd.h>
#include <utility>

#include "settings/setting_codec.h"

namespace quillon::settings {
namespace {

namespace fs = std::filesystem;

bool fileExists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

fs::path normalizeFolder(const fs::path& folder) { return platform::withTrailingSeparator(folder); }

// A folder that is nothing but the separator came from an empty value; keep it empty so the
// next start looks it up again.
fs::path normalizeProgramFolder(const fs::path& folder) {
  fs::path out = normalizeFolder(folder);
  if (out.native() == "/") out.clear();
  return out;
}

std::string withExtension(fs::path path, std::string_view extension) {
  path.replace_extension(extension);
  return path.string();
}

struct PlacementKey {
  std::string_view section;
  std::string_view key;
};

PlacementKey placementKey(PlacedWindow window) {
  switch (window) {
    case PlacedWindow::Main: return {"WinMain", "fMain"};
    case PlacedWindow::FindReplace: return {"WinFind", "fFindReplace"};
    case PlacedWindow::CharMap: return {"WinChar", "fCharMap"};
    case PlacedWindow::WordCheck: return {"WinWord", "fWordCheck"};
  }
  return {"WinMain", "fMain"};
}

}  // namespace

fs::path settingsFilePath(const fs::path& programFile, const platform::Environment& env) {
  return ProgramFiles(programFile, env).settingsFile();
}

ProgramFolderLookup wineRegistryLookup(const platform::Environment& env) {
  return [prefix = env.winePrefixFolder()] {
    return platform::findProgramFolders(platform::WineRegistry::load(prefix));
  };
}

Settings::Settings(platform::Ui& ui, fs::path programFile, platform::Environment env,
                   ProgramFolderLookup lookup)
    : ui_(ui), env_(std::move(env)), lookup_(std::move(lookup)) {
  std::error_code ec;
  programFile_ = fs::absolute(programFile, ec);
  if (ec) programFile_ = std::move(programFile);
  programFolder_ = normalizeFolder(programFile_.parent_path());
  files_ = ProgramFiles(programFile_, env_);
  if (!lookup_) lookup_ = wineRegistryLookup(env_);
}

const platform::ProgramFolders& Settings::registryFolders() {
  // One look per start: the Wine hive can be large, and it does not change meanwhile.
  if (!registryFolders_) registryFolders_ = lookup_();
  return *registryFolders_;
}

fs::path Settings::askFolder(std::string_view caption) {
  // The folders live in the Wine prefix; the picker starts at its drive C when there is one.
  const fs::path driveC = env_.winePrefixFolder() / "drive_c";
  std::error_code ec;
  const std::optional<fs::path> picked =
      ui_.pickFolder(caption, fs::is_directory(driveC, ec) ? driveC : fs::path());
  if (!picked) return {};
  return normalizeFolder(picked->empty() ? programFolder_ : *picked);
}

void Settings::createFirstRunFile(bool saveIt) {
  fs::path mapInfo = registryFolders().mapInfo;
  if (mapInfo.empty())
    mapInfo = askFolder("Locate MapInfo Pro Folder [DOUBLE CLICK TO SELECT]....");
  mapInfo = normalizeFolder(mapInfo);
  fs::path mapBasic = registryFolders().mapBasic;
  if (mapBasic.empty()) mapBasic = askFolder("Locate MapBasic Folder [DOUBLE CLICK TO SELECT]....");
  mapBasic = normalizeFolder(mapBasic);

  const std::string lines[] = {
      "[SYSTEM]",
      "KeyFile=" + files_.defaultFile(".bin").string(),
      "DictFile=" + files_.dictionary().string(),
      "HelpFile=" + files_.defaultFile(".ctx").string(),
      "DefFile=" + files_.defaultFile(".def").string(),
      "AutoSaveCompile=0",
      "MapInfo=" + mapInfo.string(),
      "MapBasic=" + mapBasic.string(),
      "MaxMBver=6.0",
      "ProjPath=",
      "TextFont=",
      "AltFont=",
      "BackColor=clInfoBk",
      "hitext=clBlue",
      "hiback=clYellow",
      "tabstops=2",
      "CursorPastEnd=0",
      "",
      "[Numbers]",
      "Color=clFuchsia",
      "BackGround=$FFFFFFFF",
      "Style=0",
      "Delimiters=" + std::string(kDefaultDelimiters),
      "",
      "[MRUList]",
  };
  ini_ = IniFile();
  for (const std::string& line : lines) ini_.appendLine(line);
  // When the file cannot be created the run goes on from these lines in memory, so the
  // folders just found still count; the close reports the failure again.
  if (saveIt) save();
}

const SettingsValues& Settings::read(bool createMissing) {
  values_ = SettingsValues();
  registryFolders_.reset();
  path_ = files_.settingsFile();
  firstRun_ = !fileExists(path_);
  mayOverwrite_ = true;
  if (firstRun_) {
    createFirstRunFile(createMissing);
  } else if (IniResult loaded = ini_.load(path_); !loaded) {
    ui_.showMessage(loaded.error);
    ini_ = IniFile();
    mayOverwrite_ = false;
  }

  SettingsValues& v = values_;
  const std::string projPath = ini_.readString(kSystemSection, "ProjPath", "");
  v.projectFolder = normalizeFolder(projPath.empty() ? programFolder_ : fs::path(projPath));
  v.mapInfoFolder = normalizeFolder(ini_.readString(kSystemSection, "MapInfo", ""));
  v.mapBasicFolder = normalizeFolder(ini_.readString(kSystemSection, "MapBasic", ""));
  if (v.mapInfoFolder.empty()) v.mapInfoFolder = normalizeFolder(registryFolders().mapInfo);
  if (v.mapBasicFolder.empty()) v.mapBasicFolder = normalizeFolder(registryFolders().mapBasic);

  v.keyFile = wordList("KeyFile", ".bin");
  v.dictFile = wordList("DictFile", ".dic");
  v.helpFile = wordList("HelpFile", ".ctx");
  v.defFile = wordList("DefFile", ".def");
  v.maxMbVersion = ini_.readString(kSystemSection, "MaxMBver", "");
  if (v.maxMbVersion.empty()) v.maxMbVersion = "6.0";

  v.findHistory = ini_.readList(kFindHistorySection, "0", kHistoryLimit);
  v.replaceHistory = ini_.readList(kReplaceHistorySection, "0", kHistoryLimit);
  return values_;
}

std::string Settings::wordList(std::string_view key, std::string_view extension) const {
  std::string value = ini_.readString(kSystemSection, key, "");
  if (value.empty()) value = withExtension(programFile_.filename(), extension);
  return value;
}

bool Settings::write() {
  SettingsValues& v = values_;
  v.projectFolder = normalizeFolder(v.projectFolder);
  v.mapInfoFolder = normalizeProgramFolder(v.mapInfoFolder);
  v.mapBasicFolder = normalizeProgramFolder(v.mapBasicFolder);

  const std::string_view s = kSystemSection;
  ini_.writeString(s, "KeyFile", v.keyFile);
  ini_.writeString(s, "DictFile", v.dictFile);
  ini_.writeString(s, "HelpFile", v.helpFile);
  ini_.writeString(s, "DefFile", v.defFile);
  ini_.writeString(s, "ProjPath", v.projectFolder.string());
  ini_.writeString(s, "MapBasic", v.mapBasicFolder.string());
  ini_.writeString(s, "MapInfo", v.mapInfoFolder.string());
  ini_.writeString(s, "MaxMBver", v.maxMbVersion);
  ini_.writeList(kFindHistorySection, "0", v.findHistory, kHistoryLimit);
  ini_.writeList(kReplaceHistorySection, "0", v.replaceHistory, kHistoryLimit);
  return save();
}

bool Settings::save() {
  // The start-up already said why this file cannot be read; defaults must not replace it.
  if (!mayOverwrite_) return false;
  if (path_.empty()) path_ = files_.settingsFile();
  std::error_code ec;
  if (path_.has_parent_path()) fs::create_directories(path_.parent_path(), ec);
  if (ini_.save(path_)) return true;
  ui_.showMessage("Cannot create file " + path_.string());
  return false;
}

std::optional<platform::WindowPlacement> readWindowPlacement(const IniFile& ini,
                                                             PlacedWindow window,
                                                             const platform::ScreenRect& screen) {
  const PlacementKey at = placementKey(window);
  const std::optional<std::string> text = ini.readValue(at.section, at.key);
  if (!text) return std::nullopt;
  return platform::readPlacement(*text, screen);
}

bool writeWindowPlacement(IniFile& ini, PlacedWindow window,
                          const platform::WindowPlacement& placement) {
  const PlacementKey at = placementKey(window);
  return ini.writeString(at.section, at.key, platform::formatPlacement(placement));
}

std::optional<int> readCodeInfoWidth(const IniFile& ini, int windowWidth) {
  const std::optional<std::string> text = ini.readValue("WinMain", "CodeInfoWidth");
  const std::optional<std::int32_t> width = text ? parseInteger(*text) : std::nullopt;
  // The panel's own minimum, and room left for the editor.
  if (!width || *width < 40 || *width >= windowWidth) return std::nullopt;
  return *width;
}

bool writeCodeInfoWidth(IniFile& ini, int width) {
  return ini.writeString("WinMain", "CodeInfoWidth", std::to_string(width));
}

std::optional<std::string> IniSectionStore::read(std::string_view key) const {
  return ini_.readValue(section_, key);
}

void IniSectionStore::write(std::string_view key, std::string_view value) {
  // A text with a line break cannot be stored; the list simply ends before it.
  ini_.writeString(section_, key, value);
}

void IniSectionStore::eraseSection() { ini_.eraseSection(section_); }

}  // namespace quillon::settings
