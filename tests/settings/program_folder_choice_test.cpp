#include "settings/program_folder_choice.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "settings/settings.h"
#include "support/scripted_ui.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace quillon::settings {
namespace {

namespace fs = std::filesystem;
using Which = ProgramFolderChoice::Which;

class ProgramFolderChoiceTest : public ::testing::Test {
protected:
  ProgramFolderChoiceTest() {
    fs::create_directories(root / "opt");
    env.home = root / "home";
    env.winePrefix = (root / "prefix").string();
    fs::create_directories(root / "prefix" / "drive_c");
    folder.write("prefix/drive_c/MapBasic/MAPBASIC.EXE", "MZ");
    folder.write("prefix/drive_c/MapInfo/Mapinfow.exe", "MZ");
    folder.write("elsewhere/MapBasic.exe", "MZ");
  }
  Settings make() {
    return Settings(ui, root / "opt" / "quillon", env, [this] {
      return platform::ProgramFolders{root / "prefix/drive_c/MapInfo/",
                                      root / "prefix/drive_c/MapBasic/"};
    });
  }

  testing::TempFolder folder{"quillon-folders"};
  fs::path root = folder.path();
  platform::Environment env;
  testing::ScriptedUi ui;
};

TEST_F(ProgramFolderChoiceTest, ShowsWhereEachFolderCameFromAndStoresANewOneForTheNextRun) {
  {
    Settings settings = make();
    settings.read();  // the first run takes both from the registry
    ProgramFolderChoice choice(settings);
    EXPECT_EQ(std::tuple(choice.folder(Which::MapBasic), choice.origin(Which::MapBasic),
                         choice.origin(Which::MapInfo)),
              std::tuple(root / "prefix/drive_c/MapBasic/", "from the Wine prefix's registry",
                         "from the Wine prefix's registry"));
    bool ok = false;
    EXPECT_EQ(ProgramFolderChoice::check(Which::MapBasic, choice.folder(Which::MapBasic), &ok),
              "MAPBASIC.EXE is there.");
    EXPECT_TRUE(ok);
    EXPECT_EQ(ProgramFolderChoice::check(Which::MapInfo, choice.folder(Which::MapInfo)),
              "Mapinfow.exe is there.");

    ASSERT_TRUE(choice.store(root / "prefix/drive_c/MapInfo", root / "elsewhere"));
    EXPECT_EQ(std::tuple(settings.values().mapBasicFolder, choice.origin(Which::MapBasic)),
              std::tuple(root / "elsewhere/", "from the settings file"));
    EXPECT_EQ(choice.pickerStart(Which::MapBasic), root / "elsewhere/");
  }
  Settings next = make();
  next.read();
  EXPECT_EQ(next.values().mapBasicFolder, root / "elsewhere/");
  EXPECT_EQ(next.file().readString(kSystemSection, "MapBasic", ""), (root / "elsewhere/").string());
  EXPECT_EQ(next.file().readString(kSystemSection, "KeyFile", ""),
            (root / "opt" / "quillon.bin").string())
      << "the other keys stay";
  next.values().mapBasicFolder = root / "typed/";
  EXPECT_EQ(ProgramFolderChoice(next).origin(Which::MapBasic), "chosen in this session");
}

TEST_F(ProgramFolderChoiceTest, FoldersThatAreNoFoldersAreNamedInWords) {
  folder.write("a-file", "x");
  ::mkfifo((root / "fifo").c_str(), 0600);
  fs::create_symlink(root / "gone", root / "dangling");
  fs::create_directories(root / "locked");
  ::chmod((root / "locked").c_str(), 0);
  const std::pair<fs::path, std::string> cases[] = {
      {root / "a-file", "This is not a folder."},
      {root / "fifo", "This is not a folder."},
      {root / "dangling", "The folder is a link that leads nowhere."},
      {root / "missing", "The folder does not exist."},
      {root / "opt", "MapBasic.exe is not in this folder."},
      {fs::path(), "No folder is set."},
  };
  for (const auto& [path, text] : cases) {
    bool ok = true;
    EXPECT_EQ(ProgramFolderChoice::check(Which::MapBasic, path, &ok), text) << path;
    EXPECT_FALSE(ok);
  }
  if (::geteuid() != 0) {
    EXPECT_EQ(ProgramFolderChoice::check(Which::MapBasic, root / "locked"),
              "The folder cannot be read.");
  }
  ::chmod((root / "locked").c_str(), 0755);
  EXPECT_EQ(ProgramFolderChoice::check(Which::MapInfo, root / "opt"),
            "Mapinfow.exe is not in this folder.");
}

}  // namespace
}  // namespace quillon::settings
