#include "platform/wine_registry.h"

#include <gtest/gtest.h>

#include "platform/environment.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;

constexpr RegistryRoot HKLM = RegistryRoot::LocalMachine;

// A prefix as Wine lays it out: drive_c, and dosdevices links c: -> ../drive_c, z: -> /.
class FakePrefix : public ::testing::Test {
protected:
  FakePrefix() {
    fs::create_directories(root / "dosdevices");
    fs::create_directories(root / "drive_c" / "Program Files" / "MapInfo" / "Professional");
    fs::create_directories(root / "drive_c" / "MB" / "MapBasic 9");
    fs::create_directory_symlink("../drive_c", root / "dosdevices" / "c:");
  }
  void writeSystemReg(const std::string& text) { temp.write("system.reg", text); }
  fs::path driveC() const { return fs::canonical(root / "drive_c"); }
  testing::TempFolder temp{"quillon-wine"};
  const fs::path root = temp.path();
};

TEST(WineRegistryParse, StringsEscapesAndValueTypes) {
  auto reg = WineRegistry::fromText(
      "[Software\\\\A] 1\n"
      "@=\"default\"\n"
      "\"Quote\"=\"say \\\"hi\\\"\\tend\"\n"
      "\"Euro\"=\"\\x20ac \\xe9 \\x4e2d\"\n"  // euro and e-acute exist in 1252, the CJK sign does
                                              // not
      "\"Octal\"=\"a\\101b\"\n"
      "\"Expand\"=str(2):\"%ProgramFiles%\\\\X\"\n"
      "\"Multi\"=str(7):\"a\\0b\\0\"\n"
      "\"Num\"=dword:00000001\n"
      "\"Bin\"=hex:01,02\n"
      "\"Narrow\"=hex(1):41,00,42,00,00,00,43,00\n");
  const std::pair<const char*, std::optional<std::string>> values[] = {
      {"", "default"},
      {"Euro", "\x80 \xe9 ?"},
      {"Octal", "aAb"},
      {"Expand", "%ProgramFiles%\\X"},
      {"Narrow", "AB"},
      // Values that are not single strings are not strings to a string reader.
      {"Multi", std::nullopt},
      {"Num", std::nullopt},
      {"Bin", std::nullopt},
      {"Missing", std::nullopt}};
  for (const auto& [name, value] : values)
    EXPECT_EQ(reg.readString(HKLM, "Software\\A", name), value) << name;
  EXPECT_EQ(reg.readString(HKLM, "\\software\\a\\", "QUOTE"), "say \"hi\"\tend");
  EXPECT_EQ(reg.readString(RegistryRoot::CurrentUser, "Software\\A", ""), std::nullopt);
}

TEST(WineRegistryParse, DamagedLinesAreSkippedNotFatal) {
  auto reg = WineRegistry::fromText(
      "\"Orphan\"=\"before any key\"\n"
      "[Software\\\\B\n"  // unterminated header: its values belong nowhere
      "\"Lost\"=\"x\"\n"
      "[Software\\\\C] 1\n"
      "\"Cut\"=\"no closing quote\n"
      "\"BadHex\"=hex(2):4g,00\n"
      "\"Good\"=\"kept\"\r\n"
      "\"Trail\"=\"ends in backslash\\");
  EXPECT_EQ(reg.readString(HKLM, "Software\\B", "Lost"), std::nullopt);
  for (const char* name : {"Cut", "BadHex", "Trail"})
    EXPECT_EQ(reg.readString(HKLM, "Software\\C", name), std::nullopt) << name;
  EXPECT_EQ(reg.readString(HKLM, "Software\\C", "Good"), "kept");
}

TEST_F(FakePrefix, FindsBothFoldersThroughDriveLinksIgnoringCase) {
  writeSystemReg(
      "WINE REGISTRY Version 2\n"
      ";; All keys relative to \\\\Machine\n"
      "#arch=win32\n"
      "\n"
      "[Software\\\\MapInfo\\\\MapInfo\\\\Professional] 1700000000\n"
      "#time=1d9f3c2b6a7e8f0\n"
      "\"ProgramDirectory\"=\"C:\\\\program files\\\\MAPINFO\\\\Professional\\\\\"\n"
      "\"Version\"=dword:00000384\n"
      "\n"
      "[Software\\\\Wow6432Node\\\\MapInfo\\\\MapInfo\\\\MapBasic] 1700000000\n"
      "\"ProgramDirectory\"=hex(2):43,00,3a,00,5c,00,4d,00,42,00,5c,00,4d,00,61,00,70,00,42,00,\\\n"
      "  61,00,73,00,69,00,63,00,20,00,39,00,00,00\n");
  auto folders = findProgramFolders(WineRegistry::load(root));
  EXPECT_EQ(folders.mapInfo, driveC() / "Program Files" / "MapInfo" / "Professional" / "");
  // Second MapBasic key, stored as REG_EXPAND_SZ in hex under Wow6432Node, no trailing backslash.
  EXPECT_EQ(folders.mapBasic, driveC() / "MB" / "MapBasic 9" / "");
}

TEST_F(FakePrefix, FirstMapBasicKeyWinsAndMissingPiecesGiveEmptyFolders) {
  writeSystemReg(
      "[Software\\\\MapInfo\\\\MapBasic] 1\n\"ProgramDirectory\"=\"C:\\\\MB\\\\MapBasic 9\"\n"
      "[Software\\\\MapInfo\\\\MapInfo\\\\MapBasic] 1\n\"ProgramDirectory\"=\"C:\\\\Other\"\n"
      "[Software\\\\MapInfo\\\\MapInfo\\\\Professional] "
      "1\n\"ProgramDirectory\"=\"D:\\\\MapInfo\"\n");
  auto folders = findProgramFolders(WineRegistry::load(root));
  EXPECT_EQ(folders.mapBasic, driveC() / "MB" / "MapBasic 9" / "");
  EXPECT_TRUE(folders.mapInfo.empty());  // no d: drive in this prefix

  // Missing, a FIFO that would block the start-up, and far too large: all empty hives.
  testing::HangGuard guard;
  for (int kind = 0; kind < 3; ++kind) {
    fs::remove(root / "system.reg");
    if (kind == 1) ::mkfifo((root / "system.reg").c_str(), 0644);
    if (kind == 2) testing::makeSparseFile(root / "system.reg", WineRegistry::kMaxHiveSize + 1);
    folders = findProgramFolders(WineRegistry::load(root));
    EXPECT_TRUE(folders.mapInfo.empty() && folders.mapBasic.empty()) << kind;
  }
}

TEST_F(FakePrefix, PathTranslationEdges) {
  auto reg = WineRegistry::load(root);
  EXPECT_EQ(reg.toLocalPath("c:/MB/../Program Files/./mapinfo"),
            driveC() / "Program Files" / "MapInfo");
  // Folders not on disk keep their spelling from the first missing one on.
  EXPECT_EQ(reg.toLocalPath("C:\\mb\\New Dir\\Sub"), driveC() / "MB" / "New Dir" / "Sub");
  EXPECT_EQ(reg.toLocalPath("C:\\..\\..\\MB"), driveC() / "MB");  // never above the drive
  // Windows-1252 names become UTF-8 file names.
  EXPECT_EQ(reg.toLocalPath("C:\\Caf\xe9"), driveC() / "Caf\xc3\xa9");
  for (const char* outside : {"\\\\server\\share", "C:relative", "1:\\x"})
    EXPECT_EQ(reg.toLocalPath(outside), std::nullopt) << outside;
  EXPECT_EQ(WineRegistry::fromText("").toLocalPath("C:\\"), std::nullopt);  // no prefix
}

// The drive with the longest target that holds the path, else Z: for the root.
TEST_F(FakePrefix, WindowsPathsOfLocalFiles) {
  fs::create_directory_symlink("/", root / "dosdevices" / "z:");
  fs::create_directory_symlink("../drive_c/MB", root / "dosdevices" / "m:");
  const auto reg = WineRegistry::fromText("", "", root);
  EXPECT_EQ(reg.toWindowsPath(driveC() / "Program Files" / "a b.mbx"),
            "C:\\Program Files\\a b.mbx");
  EXPECT_EQ(reg.toWindowsPath(driveC() / "MB" / "MapBasic 9" / "x.mb"), "M:\\MapBasic 9\\x.mb");
  EXPECT_EQ(reg.toWindowsPath(driveC()), "C:\\");
  // A folder whose name only starts like the drive's target is not on that drive.
  fs::create_directories(root / "drive_cx");
  const fs::path beside = fs::canonical(root / "drive_cx") / "f.mb";
  EXPECT_EQ(reg.toWindowsPath(beside).substr(0, 3), "Z:\\");
  // Through a link into the drive the file still lies on it.
  fs::create_directory_symlink(driveC() / "MB", root / "link");
  EXPECT_EQ(reg.toWindowsPath(root / "link" / "y.mb"), "M:\\y.mb");
  // Without a z: drive the root is still Z:.
  fs::remove(root / "dosdevices" / "z:");
  EXPECT_EQ(reg.toWindowsPath("/etc/hosts"), "Z:\\etc\\hosts");
  EXPECT_EQ(WineRegistry::fromText("").toWindowsPath("/a/b"), "Z:\\a\\b");
}

TEST(Environment, XdgFoldersAndWinePrefixFallBackToHome) {
  Environment env;
  env.home = "/home/u";
  env.xdgDataHome = "relative/ignored";
  auto folders = [&] {
    return std::tuple(env.dataHome(), env.configHome(), env.winePrefixFolder());
  };
  EXPECT_EQ(folders(), std::tuple(fs::path("/home/u/.local/share"), fs::path("/home/u/.config"),
                                  fs::path("/home/u/.wine")));
  EXPECT_EQ(env.dataDirs(), (std::vector<fs::path>{"/usr/local/share", "/usr/share"}));
  env.xdgDataHome = "/d";
  env.xdgConfigHome = "/c";
  env.winePrefix = "/w";
  env.xdgDataDirs = "::/a:rel:/b";
  EXPECT_EQ(folders(), std::tuple(fs::path("/d"), fs::path("/c"), fs::path("/w")));
  EXPECT_EQ(env.dataDirs(), (std::vector<fs::path>{"/a", "/b"}));
}

}  // namespace
}  // namespace quillon::platform
