#pragma once
#include <filesystem>

#include "app/workbench.h"
#include "support/temp_folder.h"

namespace quillon::testing {

// A program installed in a temporary folder: the default key file beside it, its own
// settings file, a home folder of its own and a registry that knows MapInfo and MapBasic, so
// that a run never reads or writes the real user's files.
class TestProgram {
public:
  TestProgram() {
    std::filesystem::create_directories(folder_ / "home");
    std::error_code ec;
    std::filesystem::create_symlink(std::filesystem::path(QUILLON_BINARY_DIR) / "quillon.bin",
                                    folder_ / "quillon.bin", ec);
  }
  std::filesystem::path file() const { return folder_ / "quillon"; }
  std::filesystem::path settingsFile() const { return folder_ / "quillon.ini"; }
  const TempFolder& folder() const { return folder_; }

  app::Workbench::Surroundings surroundings() const {
    app::Workbench::Surroundings s;
    s.environment.home = folder_ / "home";
    s.environment.xdgConfigHome = (folder_ / "home/.config").string();
    s.environment.xdgDataHome = (folder_ / "home/.local/share").string();
    s.folderLookup = [] { return platform::ProgramFolders{"/opt/mapinfo/", "/opt/mapbasic/"}; };
    return s;
  }
  void start(app::Workbench& bench, const std::vector<std::string>& arguments = {}) const {
    bench.start(file(), arguments, surroundings());
  }

private:
  TempFolder folder_{"quillon-program"};
};

}  // namespace quillon::testing
