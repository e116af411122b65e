#include "platform/xdg_help_viewer.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/build_ports.h"
#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;

// That an argument reaches the program verbatim, without a shell, is the launcher's test.
TEST(XdgHelpViewerTest, TheOpenerOnThePathGetsTheAbsolutePathAsItsOnlyArgument) {
  testing::TempFolder folder{"quillon-xdg"};
  const fs::path opener = folder.write("bin/xdg-open", "#!/bin/sh\n");
  ::chmod(opener.c_str(), 0755);
  Environment environment;
  environment.path = (folder / "nothing").string() + ":" + (folder / "bin").string();
  testing::ScriptedLauncher launcher;
  const fs::path file = folder.write("My \"Help\" $(touch pwned); rm -rf x/mapbasic.hlp", "");
  const fs::path relative = fs::relative(file, fs::current_path());
  ASSERT_TRUE(XdgHelpViewer(environment, launcher).open(HelpViewer::Kind::MapBasic, relative));
  ASSERT_EQ(launcher.requests.size(), 1u);
  EXPECT_EQ(std::tuple(launcher.requests[0].program, launcher.requests[0].arguments),
            std::tuple(opener, std::vector<std::string>{fs::absolute(relative).string()}));

  launcher.queueFailure(ENOENT, "No such file or directory");
  EXPECT_FALSE(XdgHelpViewer(environment, launcher).open(HelpViewer::Kind::Quillon, file))
      << "the opener did not start";
  environment.path = (folder / "nothing").string();
  EXPECT_FALSE(XdgHelpViewer(environment, launcher).open(HelpViewer::Kind::Quillon, file))
      << "no opener on PATH";
}

}  // namespace
}  // namespace quillon::platform
