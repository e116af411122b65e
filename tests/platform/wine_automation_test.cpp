#include "platform/wine_automation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "platform/posix_process_launcher.h"
#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;

class WineAutomationTest : public ::testing::Test {
protected:
  WineAutomationTest() {
    fs::create_directories(temp / "bin");
    fs::create_directories(temp / "prefix/dosdevices");
    fs::create_directories(temp / "mapinfo");
    fs::create_directory_symlink("/", temp / "prefix/dosdevices/z:");
    env.path = (temp / "bin").string();
    env.winePrefix = (temp / "prefix").string();
  }
  void installWine() { fs::copy_file(QUILLON_FAKE_WINE, temp / "bin/wine"); }
  std::string wineLog() const { return testing::readFile(temp / "bin/wine-calls.log"); }

  testing::TempFolder temp;
  Environment env;
  fs::path mapInfo = temp / "mapinfo";
};

// Attached only with wine and the GIS program; the application reaches that program as a
// Windows path, as its only argument.
TEST_F(WineAutomationTest, AttachesAndRunsTheApplicationThroughWine) {
  PosixProcessLauncher launcher(env);
  WineAutomation automation(env, launcher, [this] { return mapInfo; });
  EXPECT_FALSE(automation.attach());
  installWine();
  EXPECT_FALSE(automation.attach());
  EXPECT_EQ(automation.doStatement("run application \"x\""), std::string("MapInfo is not attached"));
  temp.write("mapinfo/MAPINFOPRO.EXE", "MZ");  // only the newer program, in another case
  EXPECT_TRUE(automation.attach());
  EXPECT_EQ(WineAutomation::findGisProgram(mapInfo), mapInfo / "MAPINFOPRO.EXE");
  temp.write("mapinfo/Mapinfow.exe", "MZ");
  EXPECT_EQ(WineAutomation::findGisProgram(mapInfo), mapInfo / "Mapinfow.exe");
  EXPECT_EQ(WineAutomation::findGisProgram({}), fs::path());

  const fs::path app = temp.write("out/Say \"Hi\".mbx", "x");
  ASSERT_TRUE(automation.attach());
  const std::string statement = "run application \"" + std::string(temp.path()) + "/out/Say \"\"Hi\"\".mbx\"";
  EXPECT_EQ(automation.doStatement(statement), std::nullopt);
  for (int i = 0; i < 500 && wineLog().find("wineprefix") == std::string::npos; ++i) ::usleep(10000);

  auto windows = [](const fs::path& p) {
    std::string w = "Z:" + fs::canonical(p).string();
    std::replace(w.begin(), w.end(), '/', '\\');
    return w;
  };
  EXPECT_EQ(wineLog(), "call\narg " + windows(mapInfo / "Mapinfow.exe") + "\narg " + windows(app) + "\ncwd " +
                           fs::canonical(mapInfo).string() + "\nwineprefix " + env.winePrefix + "\n");

  const auto refused = automation.doStatement("Close All");
  ASSERT_TRUE(refused);
  EXPECT_NE(refused->find("Close All"), std::string::npos);
}

TEST_F(WineAutomationTest, OnlyAWellFormedRunApplicationIsTaken) {
  EXPECT_EQ(WineAutomation::applicationOf("run application \"C:\\a b.mbx\""), "C:\\a b.mbx");
  EXPECT_EQ(WineAutomation::applicationOf("run application \"a\"\"b\""), "a\"b");
  for (const char* refused : {"run application \"a\"b\"", "run application \"\"", "run application x",
                              "run application \"", "Run Application \"x\""})
    EXPECT_EQ(WineAutomation::applicationOf(refused), std::nullopt) << refused;
}

}  // namespace
}  // namespace quillon::platform
