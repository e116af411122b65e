#pragma once
#include <filesystem>

#include "app/workbench.h"
#include "support/temp_folder.h"

namespace quillon::testing {

// A program installed in a temporary folder: the default word lists beside it, its own
// settings file, a home folder of its own and a registry that knows MapInfo and MapBasic, so
// that a run never reads or writes the real user's files.
class TestProgram {
public:
  TestProgram() {
    std::filesystem::create_directories(folder_ / "home");
    const std::filesystem::path build(QUILLON_BINARY_DIR);
    std::error_code ec;
    std::filesystem::create_symlink(build / "quillon.bin", folder_ / "quillon.bin", ec);
    // Copies: the dictionary is written at exit, and through a link it would land in the build.
    for (const char* name : {"quillon.dic", "quillon.ctx", "quillon.def"})
      std::filesystem::copy_file(build / name, folder_ / name, ec);
  }
  std::filesystem::path file() const { return folder_ / "quillon"; }
  std::filesystem::path settingsFile() const { return folder_ / "quillon.ini"; }
  const TempFolder& folder() const { return folder_; }

  app::Workbench::Surroundings surroundings() const {
    app::Workbench::Surroundings s;
    s.environment.home = folder_ / "home";
    s.environment.xdgConfigHome = (folder_ / "home/.config").string();
    s.environment.xdgDataHome = (folder_ / "home/.local/share").string();
    s.environment.xdgDataDirs = (folder_ / "data").string();
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
