#pragma once
#include <filesystem>
#include <string>

namespace quillon::settings {

class Settings;

// The MapInfo and MapBasic folders as the program uses them, shown and changed in one place
// (Options > "Program Folders..."): each folder, where it came from, a check in words of
// whether its program is there, and storing a new pair in the keys MapInfo= and MapBasic=.
//
// Invariant: what the dialog shows and stores is settings.values(), which the next compile
// reads; store() is the one place that changes it here.
class ProgramFolderChoice {
public:
  enum class Which { MapInfo, MapBasic };
  static constexpr const char* kMapInfoCaption =
      "Locate MapInfo Pro Folder [DOUBLE CLICK TO SELECT]....";
  static constexpr const char* kMapBasicCaption =
      "Locate MapBasic Folder [DOUBLE CLICK TO SELECT]....";

  explicit ProgramFolderChoice(Settings& settings) : settings_(settings) {}

  std::filesystem::path folder(Which which) const;
  // "from the settings file", "from the Wine prefix's registry", "chosen in this session" or
  // "not set", for the folder in use.
  std::string origin(Which which);
  // Whether the program (MapBasic.exe; Mapinfow.exe or MapInfoPro.exe) is in `folder`, any
  // letter case, in words; `ok` tells which way.
  static std::string check(Which which, const std::filesystem::path& folder, bool* ok = nullptr);
  // Where the folder picker starts for `which`: the folder in use, else the prefix's drive C.
  std::filesystem::path pickerStart(Which which) const;

  // Both folders with their trailing separator, into the settings and the file, which is
  // saved; false (after the file's message) when it could not be saved.
  bool store(const std::filesystem::path& mapInfo, const std::filesystem::path& mapBasic);

private:
  Settings& settings_;
};

}  // namespace quillon::settings
