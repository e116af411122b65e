#include "platform/wine_automation.h"

#include <gtest/gtest.h>

#include "support/build_ports.h"
#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;

// How a Windows program then runs through wine is the launcher's test.
TEST(WineAutomationTest, AttachesAndRunsTheApplication) {
  testing::TempFolder temp;
  const fs::path mapInfo = temp / "mapinfo";
  fs::create_directories(mapInfo);
  Environment env;
  env.path = (temp / "bin").string();
  testing::ScriptedLauncher launcher;
  WineAutomation automation(env, launcher, [&] { return mapInfo; });
  EXPECT_FALSE(automation.attach());
  fs::create_directories(temp / "bin");
  fs::copy_file(QUILLON_FAKE_WINE, temp / "bin/wine");
  EXPECT_FALSE(automation.attach());
  EXPECT_EQ(automation.doStatement("run application \"x\""),
            std::string("MapInfo is not attached"));
  temp.write("mapinfo/MAPINFOPRO.EXE", "MZ");  // only the newer program, in another case
  EXPECT_TRUE(automation.attach());
  EXPECT_EQ(WineAutomation::findGisProgram(mapInfo), mapInfo / "MAPINFOPRO.EXE");
  temp.write("mapinfo/Mapinfow.exe", "MZ");
  EXPECT_EQ(WineAutomation::findGisProgram(mapInfo), mapInfo / "Mapinfow.exe");
  EXPECT_EQ(WineAutomation::findGisProgram({}), fs::path());

  ASSERT_TRUE(automation.attach());
  EXPECT_EQ(automation.doStatement("run application \"/out/Say \"\"Hi\"\".mbx\""), std::nullopt);
  ASSERT_EQ(launcher.requests.size(), 1u);
  const LaunchRequest& r = launcher.requests[0];
  EXPECT_EQ(std::tuple(r.program, r.arguments, r.workingFolder),
            std::tuple(mapInfo / "Mapinfow.exe", std::vector<std::string>{"/out/Say \"Hi\".mbx"},
                       mapInfo));

  const auto refused = automation.doStatement("Close All");
  ASSERT_TRUE(refused);
  EXPECT_NE(refused->find("Close All"), std::string::npos);
}

TEST(WineAutomationTest, OnlyAWellFormedRunApplicationIsTaken) {
  EXPECT_EQ(WineAutomation::applicationOf("run application \"C:\\a b.mbx\""), "C:\\a b.mbx");
  EXPECT_EQ(WineAutomation::applicationOf("run application \"a\"\"b\""), "a\"b");
  for (const char* refused : {"run application \"a\"b\"", "run application \"\"",
                              "run application x", "run application \"", "Run Application \"x\""})
    EXPECT_EQ(WineAutomation::applicationOf(refused), std::nullopt) << refused;
}

}  // namespace
}  // namespace quillon::platform
