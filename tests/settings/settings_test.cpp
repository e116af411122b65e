#include "settings/settings.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "support/scripted_ui.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace quillon::settings {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedUi;
using Lines = std::vector<std::string>;

using quillon::testing::readFile;
using quillon::testing::writeFile;

// A program folder and a private home in a fresh temporary folder.
class SettingsTest : public ::testing::Test {
protected:
  SettingsTest() {
    fs::create_directories(programFolder);
    env.home = root / "home";
    env.xdgConfigHome = (root / "config").string();
    env.xdgDataDirs = (root / "data").string();  // never the machine's installed copy
  }
  ~SettingsTest() override {
    std::error_code ec;
    fs::permissions(programFolder, fs::perms::owner_all, ec);
  }

  // Lookups that never touch a real Wine prefix.
  static ProgramFolderLookup registryWith(fs::path mapInfo, fs::path mapBasic) {
    return [=] { return platform::ProgramFolders{mapInfo, mapBasic}; };
  }
  static ProgramFolderLookup emptyRegistry() { return registryWith({}, {}); }

  Settings make(ProgramFolderLookup lookup = emptyRegistry()) {
    return Settings(ui, program, env, lookup);
  }
  fs::path iniPath() const { return programFolder / "quillon.ini"; }

  testing::TempFolder folder{"quillon-settings"};
  fs::path root = folder.path(), programFolder = root / "opt", program = programFolder / "quillon";
  platform::Environment env;
  ScriptedUi ui;
};

TEST_F(SettingsTest, FirstRunWritesTheFileLineByLineAndReadsItBack) {
  Settings settings = make(registryWith("/wine/MapInfo/", "/wine/MapBasic/"));
  const SettingsValues& v = settings.read();

  EXPECT_EQ(std::pair(settings.firstRun(), settings.path()), std::pair(true, iniPath()));
  const std::string p = programFolder.string();
  EXPECT_EQ(readFile(iniPath()),
            "[SYSTEM]\r\n"
            "KeyFile=" +
                p +
                "/quillon.bin\r\n"
                "DictFile=" +
                p +
                "/quillon.dic\r\n"
                "HelpFile=" +
                p +
                "/quillon.ctx\r\n"
                "DefFile=" +
                p +
                "/quillon.def\r\n"
                "AutoSaveCompile=0\r\n"
                "MapInfo=/wine/MapInfo/\r\n"
                "MapBasic=/wine/MapBasic/\r\n"
                "MaxMBver=6.0\r\n"
                "ProjPath=\r\n"
                "TextFont=\r\n"
                "AltFont=\r\n"
                "BackColor=clInfoBk\r\n"
                "hitext=clBlue\r\n"
                "hiback=clYellow\r\n"
                "tabstops=2\r\n"
                "CursorPastEnd=0\r\n"
                "\r\n"
                "[Numbers]\r\n"
                "Color=clFuchsia\r\n"
                "BackGround=$FFFFFFFF\r\n"
                "Style=0\r\n"
                "Delimiters=+-*/\\<=>.,:;()[]{}%$\r\n"
                "\r\n"
                "[MRUList]\r\n");
  EXPECT_TRUE(ui.messages().empty());

  EXPECT_EQ(std::tuple(v.keyFile, v.projectFolder, v.mapBasicFolder),
            std::tuple(p + "/quillon.bin", programFolder / "", "/wine/MapBasic/"));
}

TEST_F(SettingsTest, FirstRunAsksForFoldersTheRegistryDoesNotKnow) {
  ui.queueFolder(fs::path());    // confirmed without a folder: the program folder
  ui.queueFolder(std::nullopt);  // cancelled: stays empty
  Settings settings = make();
  const SettingsValues& v = settings.read();

  EXPECT_EQ(ui.folderCaptions(), (Lines{"Locate MapInfo Pro Folder [DOUBLE CLICK TO SELECT]....",
                                        "Locate MapBasic Folder [DOUBLE CLICK TO SELECT]...."}));
  const IniFile written(readFile(iniPath()));
  EXPECT_EQ(
      std::tuple(written.readString("SYSTEM", "MapInfo", "-"),
                 written.readString("SYSTEM", "MapBasic", "-"), v.mapInfoFolder, v.mapBasicFolder),
      std::tuple((programFolder / "").string(), "", programFolder / "", fs::path()));
}

TEST_F(SettingsTest, EmptyFoldersAreLookedUpAgainWithoutAPicker) {
  writeFile(iniPath(), "[SYSTEM]\r\nMapInfo=\r\n");
  Settings settings = make(registryWith("/wine/MapInfo", "/wine/MapBasic/"));
  const SettingsValues& v = settings.read();
  EXPECT_EQ(std::tuple(v.mapInfoFolder, v.mapBasicFolder),
            std::tuple("/wine/MapInfo/", "/wine/MapBasic/"));
}

// Odd case and blanks; unknown keys and duplicates are the INI file's.
const std::string kHandEdited =
    "[ system ]\r\n"
    "  MAPBASIC =  /opt/mapbasic  \r\n"
    "mapinfo=/\r\n"
    "keyfile=\r\n"
    "MaxMBver=\r\n"
    "\r\n"
    "[NUMBERS]\r\n"
    "color=clRed\r\n";

// Keeping unknown keys and spellings is the INI file's test; here: the folders and the lists.
TEST_F(SettingsTest, ReadsAndWritesBackAHandEditedFile) {
  writeFile(iniPath(), kHandEdited);
  Settings settings = make();
  const SettingsValues& v = settings.read();
  EXPECT_EQ(std::tuple(settings.firstRun(), ui.messages()), std::tuple(false, Lines{}));
  // Empty entries are the defaults.
  EXPECT_EQ(std::tuple(v.mapBasicFolder, v.keyFile, v.dictFile, v.maxMbVersion),
            std::tuple(fs::path("/opt/mapbasic/"), "quillon.bin", "quillon.dic", "6.0"));

  settings.values().findHistory = {"Dim", "Sub"};
  ASSERT_TRUE(settings.write());
  const std::string bytes = readFile(iniPath());
  const IniFile ini(bytes);
  EXPECT_NE(bytes.find("\r\nMAPBASIC=/opt/mapbasic/\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("mapinfo=\r\n"), std::string::npos);  // a lone separator is no folder
  EXPECT_EQ(ini.sectionNames(), (Lines{"system", "NUMBERS", "cFind.Items"}));
  Settings reread = make();
  EXPECT_EQ(reread.read().findHistory, (Lines{"Dim", "Sub"}));
}

TEST_F(SettingsTest, ReadOnlyProgramFolderUsesTheFileItAlreadyHolds) {
  fs::permissions(programFolder, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(programFolder.c_str(), W_OK) == 0)
    GTEST_SKIP() << "permissions are not enforced for this user";
  EXPECT_EQ(settingsFilePath(program, env), root / "config" / "quillon" / "quillon.ini");
  fs::permissions(programFolder, fs::perms::owner_all);
  writeFile(iniPath(), "[SYSTEM]\r\n");
  fs::permissions(programFolder, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(settingsFilePath(program, env), iniPath());
}

TEST_F(SettingsTest, ProgramFolderNotWritableFallsBackToTheConfigHomeOrStartsWithoutAFile) {
  // A program folder that does not exist can never take the file, even for root.
  program = root / "nowhere" / "quillon";
  const fs::path expected = root / "config" / "quillon" / "quillon.ini";
  {
    Settings settings = make(registryWith("/mi/", "/mb/"));
    settings.read();
    EXPECT_EQ(settings.path(), expected);
    EXPECT_NE(
        readFile(expected).find("KeyFile=" + (root / "nowhere" / "quillon.bin").string() + "\r\n"),
        std::string::npos);
  }
  fs::remove_all(root / "config");
  writeFile(root / "config", "a file where the config folder should be");
  Settings settings = make(registryWith("/mi/", "/mb/"));
  const SettingsValues& v = settings.read();
  EXPECT_EQ(std::tuple(ui.messages(), settings.firstRun(), v.mapInfoFolder),
            std::tuple(Lines{"Cannot create file " + expected.string()}, true, fs::path("/mi/")));
  EXPECT_EQ(settings.file().readString("SYSTEM", "tabstops", ""), "2")
      << "the first-run lines stay in memory";

  EXPECT_FALSE(settings.write());
  EXPECT_EQ(ui.messages().size(), 2u);
}

// Exists, but cannot be loaded: a FIFO, which would also block the start-up for ever.
TEST_F(SettingsTest, AnUnreadableFileIsNeverOverwritten) {
  testing::HangGuard guard;
  ::mkfifo(iniPath().c_str(), 0644);
  Settings settings = make(registryWith("/mi/", "/mb/"));
  const SettingsValues& v = settings.read();
  EXPECT_EQ(std::tuple(settings.firstRun(), ui.messages(), v.keyFile),
            std::tuple(false, Lines{"Cannot open file " + iniPath().string()}, "quillon.bin"));
  EXPECT_FALSE(settings.write());
  EXPECT_EQ(std::tuple(ui.messages().size(), fs::is_fifo(iniPath())), std::tuple(1u, true));
}

// Clamping is the placement parser's; here: each window's own section and key.
TEST(SettingsPlacement, EachWindowHasItsOwnSection) {
  IniFile ini;
  ASSERT_TRUE(writeWindowPlacement(ini, PlacedWindow::Main, {0, 1, {15, 10, 21, 50}}));
  ASSERT_TRUE(writeWindowPlacement(ini, PlacedWindow::WordCheck, {0, 3, {1, 2, 3, 4}}));
  EXPECT_EQ(ini.readString("WinMain", "fMain", "-"), "200,0,1,15,10,21,50");
  EXPECT_EQ(ini.readString("WinWord", "fWordCheck", "-"), "200,0,3,1,2,3,4");
  EXPECT_FALSE(readWindowPlacement(ini, PlacedWindow::FindReplace, {0, 0, 1024, 768}));
}

}  // namespace
}  // namespace quillon::settings
