#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/recent_list.h"
#include "platform/environment.h"
#include "platform/ui.h"
#include "platform/window_placement.h"
#include "platform/wine_registry.h"
#include "settings/ini_file.h"
#include "settings/program_files.h"

namespace quillon::settings {

// Section names of the settings file. Names compare without case, so "System" and "NUMBERS"
// address the same sections.
inline constexpr std::string_view kSystemSection = "SYSTEM";
inline constexpr std::string_view kNumbersSection = "Numbers";
inline constexpr std::string_view kMruListSection = "MRUList";
inline constexpr std::string_view kLastSessionSection = "Last Session";
inline constexpr std::string_view kFindHistorySection = "cFind.Items";
inline constexpr std::string_view kReplaceHistorySection = "cReplace.Items";
inline constexpr std::size_t kHistoryLimit = 20;

// The characters that end a number when the file gives none.
inline constexpr std::string_view kDefaultDelimiters = "+-*/\\<=>.,:;()[]{}%$";

// What ReadSettings gives the program besides the stored options (stored_options.h), and
// WriteSettings stores. Folders keep a trailing '/' when not empty.
struct SettingsValues {
  std::filesystem::path projectFolder;
  std::filesystem::path mapInfoFolder;
  std::filesystem::path mapBasicFolder;
  // The word lists; a bare file name (the default) is resolved by the loader.
  std::string keyFile, dictFile, helpFile, defFile;
  std::string maxMbVersion = "6.0";
  // Read here as well as by the find dialog, so that a run that never opens it does not
  // write its stored history away.
  std::vector<std::string> findHistory;
  std::vector<std::string> replaceHistory;
};

// The settings file for a program file (ProgramFiles::settingsFile).
std::filesystem::path settingsFilePath(const std::filesystem::path& programFile,
                                       const platform::Environment& env);

// Where the first run and an empty folder setting look for MapInfo and MapBasic.
using ProgramFolderLookup = std::function<platform::ProgramFolders()>;
// The Wine prefix's registry, read when the lookup is called.
ProgramFolderLookup wineRegistryLookup(const platform::Environment& env);

// The settings file of one run: its location, the first-run creation, ReadSettings and
// WriteSettings. The file stays in memory; other parts (recent lists, sessions, number
// dialog, window placements) write into file() and the file reaches the disk on save().
class Settings {
public:
  Settings(platform::Ui& ui, std::filesystem::path programFile, platform::Environment env,
           ProgramFolderLookup lookup = {});

  // ReadSettings. Creates the file on the first run (asking for missing folders), then reads
  // the project folder, the MapInfo and MapBasic folders, the four word lists and MaxMBver.
  // The stored options follow from file() (applyStoredOptions). Without `createMissing` a
  // first run keeps its new file in memory only (the command-line build writes nothing).
  const SettingsValues& read(bool createMissing = true);
  // The file did not exist when read() ran; the caller centres the main window.
  bool firstRun() const { return firstRun_; }

  // WriteSettings: normalises the folders, writes them, the word lists, MaxMBver and the two
  // histories (storeOptions has put the options into file()), then saves. False (after a
  // message) when the file could not be saved.
  bool write();
  // Saves the file as it stands; reports "Cannot create file ..." on failure.
  bool save();

  SettingsValues& values() { return values_; }
  const SettingsValues& values() const { return values_; }
  IniFile& file() { return ini_; }
  const IniFile& file() const { return ini_; }
  const std::filesystem::path& path() const { return path_; }
  const std::filesystem::path& programFile() const { return programFile_; }
  const std::filesystem::path& programFolder() const { return programFolder_; }
  const ProgramFiles& files() const { return files_; }
  const platform::Environment& environment() const { return env_; }
  // The folders the Wine prefix's registry names, looked up once per run.
  const platform::ProgramFolders& registryFolders();

private:
  void createFirstRunFile(bool save);
  std::filesystem::path askFolder(std::string_view caption);
  std::string wordList(std::string_view key, std::string_view extension) const;

  platform::Ui& ui_;
  std::filesystem::path programFile_;
  std::filesystem::path programFolder_;
  platform::Environment env_;
  ProgramFiles files_;
  ProgramFolderLookup lookup_;
  std::optional<platform::ProgramFolders> registryFolders_;
  std::filesystem::path path_;
  IniFile ini_;
  SettingsValues values_;
  bool firstRun_ = false;
  // Off when an existing file could not be read, so that defaults never overwrite it.
  bool mayOverwrite_ = true;
};

// The four windows that keep a placement, each under its own section and key.
enum class PlacedWindow { Main, FindReplace, CharMap, WordCheck };

// A stored placement moved back onto the screen; nullopt leaves the window where it is.
std::optional<platform::WindowPlacement> readWindowPlacement(const IniFile& ini,
                                                             PlacedWindow window,
                                                             const platform::ScreenRect& screen);
bool writeWindowPlacement(IniFile& ini, PlacedWindow window,
                          const platform::WindowPlacement& placement);
// The CodeInfo panel's width beside the main window's placement (WinMain "CodeInfoWidth"):
// nullopt unless it is a number from 40 up to, but not including, the window's width.
std::optional<int> readCodeInfoWidth(const IniFile& ini, int windowWidth);
bool writeCodeInfoWidth(IniFile& ini, int width);

// One section of the settings file as the recent lists see it ("MRUList", "Last Session").
class IniSectionStore final : public pages::SectionStore {
public:
  IniSectionStore(IniFile& ini, std::string section) : ini_(ini), section_(std::move(section)) {}
  std::optional<std::string> read(std::string_view key) const override;
  void write(std::string_view key, std::string_view value) override;
  void eraseSection() override;

private:
  IniFile& ini_;
  std::string section_;
};

}  // namespace quillon::settings
