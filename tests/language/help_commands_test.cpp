#include "language/help_commands.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace quillon::language {
namespace {

namespace fs = std::filesystem;
using Kind = platform::HelpViewer::Kind;
using Opened = std::vector<std::pair<Kind, fs::path>>;

struct FakeViewer : platform::HelpViewer {
  bool open(Kind kind, const fs::path& file) override {
    opened.emplace_back(kind, file);
    return starts;
  }
  Opened opened;
  bool starts = true;
};

class HelpCommandsTest : public ::testing::Test {
protected:
  testing::TempFolder folder{"quillon-help"};
  testing::ScriptedUi ui;
  FakeViewer viewer;
  fs::path mapBasic;
  HelpCommands help{{ui, [this] { return &viewer; }, [this] { return mapBasic; },
                     [this] { return folder / "quillon"; }}};
};

TEST_F(HelpCommandsTest, MapBasicHelpIsFoundInAnyCaseOrReported) {
  help.mapBasicHelp();
  EXPECT_TRUE(viewer.opened.empty() && ui.messages().empty())
      << "no MapBasic folder: nothing happens";

  fs::create_directories(folder / "Program Files" / "MB");
  mapBasic = folder / "Program Files" / "MB" / "";
  help.mapBasicHelp();
  EXPECT_EQ(ui.messages(),
            std::vector<std::string>{"Cannot open file " + (mapBasic / "mapbasic.hlp").string()});

  const fs::path file = folder.write("Program Files/MB/MAPBASIC.HLP", "");
  help.mapBasicHelp();
  mapBasic = "Program Files/MB";  // taken from the program folder
  help.mapBasicHelp();
  EXPECT_EQ(viewer.opened, (Opened{{Kind::MapBasic, file}, {Kind::MapBasic, file}}));

  viewer.starts = false;
  help.mapBasicHelp();
  EXPECT_EQ(ui.messages().back(), "Cannot open file " + file.string());
}

TEST_F(HelpCommandsTest, QuillonHelpTakesTheChmOrElseOurPage) {
  help.quillonHelp();
  EXPECT_EQ(ui.messages(),
            std::vector<std::string>{"Cannot open file " + (folder / "quillon.html").string()});
  const fs::path html = folder.write("quillon.html", "<html/>");
  help.quillonHelp();
  const fs::path chm = folder.write("quillon.chm", "");
  help.quillonHelp();
  EXPECT_EQ(viewer.opened, (Opened{{Kind::Quillon, html}, {Kind::Quillon, chm}}));
  EXPECT_EQ(platform::windowsHelpCommandLine(Kind::Quillon, "D:\\Tools\\Quillon.chm"),
            "hh.exe \"D:\\Tools\\Quillon.chm\"");
  EXPECT_EQ(platform::windowsHelpCommandLine(Kind::MapBasic, "C:\\MB\\mapbasic.hlp"),
            "winhlp32 \"C:\\MB\\mapbasic.hlp\"");
}

}  // namespace
}  // namespace quillon::language
