#include "platform/xdg_help_viewer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "platform/posix_process_launcher.h"
#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(XdgHelpViewerTest, TheOpenerGetsTheAbsolutePathAsOneVerbatimArgument) {
  testing::TempFolder folder{"quillon-xdg"};
  // A stand-in opener, first on PATH, that writes down its arguments one a line.
  const fs::path opener = folder.write("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"$0.args.tmp\"\n"
                                                        "mv \"$0.args.tmp\" \"$0.args\"\n");
  ::chmod(opener.c_str(), 0755);
  Environment environment;
  environment.path = (folder / "bin").string() + ":/usr/bin:/bin";
  PosixProcessLauncher launcher(environment);
  XdgHelpViewer viewer(environment, launcher);

  const fs::path file = folder.write("My \"Help\" $(touch pwned); rm -rf x/mapbasic.hlp", "");
  ASSERT_TRUE(viewer.open(HelpViewer::Kind::MapBasic, file));
  const fs::path report = folder / "bin/xdg-open.args";
  for (int i = 0; i < 500 && !fs::exists(report); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(testing::TempFolder::read(report), "1\n" + file.string() + "\n");
  EXPECT_FALSE(fs::exists(folder / "bin/pwned"));
  EXPECT_FALSE(fs::exists("pwned"));

  Environment bare;
  bare.path = (folder / "nothing").string();
  XdgHelpViewer none(bare, launcher);
  EXPECT_FALSE(none.open(HelpViewer::Kind::Quillon, file)) << "no opener on PATH";
}

}  // namespace
}  // namespace quillon::platform
