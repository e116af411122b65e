// What one run leaves for the next: each run a fresh Workbench over the same settings file.
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "editor/code_memo.h"
#include "editor/number_highlighter.h"
#include "language/word_lists.h"
#include "pages/document_commands.h"
#include "pages/recent_commands.h"
#include "settings/option_commands.h"
#include "settings/settings.h"
#include "support/fake_association_store.h"
#include "support/temp_folder.h"
#include "support/test_program.h"
#include "support/workbench_ports.h"

namespace quillon::app {
namespace {

namespace fs = std::filesystem;
using Answer = platform::Ui::Answer;
using Opener = pages::DocumentCommands::Opener;

// One start of the program.
struct ProgramRun : testing::WorkbenchPorts {
  Workbench bench{ports()};

  ProgramRun(const testing::TestProgram& program, testing::FakeAssociationStore& store,
             const std::vector<std::string>& arguments = {}) {
    auto surroundings = program.surroundings();
    surroundings.associations = &store;
    bench.start(program.file(), arguments, surroundings);
  }
  pages::DocumentCommands& docs() { return bench.documents(); }
  void open(const std::vector<fs::path>& files) {
    ui.queueOpenFiles(files);
    docs().open(Opener::Dialog);
  }
};

class WorkbenchSettingsTest : public ::testing::Test {
protected:
  std::unique_ptr<ProgramRun> start(const std::vector<std::string>& arguments = {}) {
    return std::make_unique<ProgramRun>(program, store, arguments);
  }

  testing::TestProgram program;
  testing::FakeAssociationStore store;
  testing::TempFolder files{"quillon-files"};
};

TEST_F(WorkbenchSettingsTest, OptionsChangedInOneRunAreThereInTheNext) {
  auto first = start();
  EXPECT_EQ(first->view.centred, 1) << "the first run centres the window";
  first->ui.queuePrompt("4");
  first->bench.options().askTabStops();
  first->view.fontAnswer =
      platform::FontInfo{"Liberation Mono", 12, platform::clNavy, platform::fsBold};
  first->bench.options().chooseFont();
  first->bench.options().backgroundChosen(platform::clYellow);
  first->bench.numbers().setStyle(2);
  first->view.placement = {0, 1, {10, 20, 610, 520}};
  ASSERT_TRUE(first->bench.closeQuery());
  first.reset();

  auto second = start();
  // The font is set once at start-up.
  EXPECT_EQ(
      std::tuple(second->view.centred, second->bench.sourceEditor().tabStops(),
                 second->view.background, second->bench.numbers().style(), second->view.font,
                 second->view.fontSets),
      std::tuple(0, 4, platform::clYellow, 2,
                 platform::FontInfo{"Liberation Mono", 12, platform::clNavy, platform::fsBold}, 1));
  const auto placement = settings::readWindowPlacement(
      second->bench.settings()->file(), settings::PlacedWindow::Main, {0, 0, 1024, 768});
  ASSERT_TRUE(placement);
  EXPECT_EQ(placement->normal, (platform::ScreenRect{10, 20, 610, 520}));
}

// What the session section holds, and forgetting a missing file, are the session store's tests.
TEST_F(WorkbenchSettingsTest, TheLastSessionReopensItsPagesAtTheirTabLineAndCaret) {
  const std::string lines = testing::numberedLines("line", 40);
  const fs::path a = files.write("MyApp.mb", lines);
  const fs::path b = files.write("MyApp.mbp", "[link]\r\n");
  const fs::path lower = files.write("myapp.mb", "another file\r\n");
  const fs::path c = files.write("other.mb", lines);
  {
    auto run = start();
    run->open({a, b, lower, c});
    run->docs().selectTab(0);
    run->bench.sourceEditor().setSelLine(20);
    ASSERT_TRUE(run->bench.closeQuery());
  }
  fs::remove(c);  // gone before the session is picked

  auto run = start();
  ASSERT_EQ(run->view.sessions, std::vector<std::string>{"&1 MyApp.mbp"});
  run->bench.recent().sessionPicked(0);
  EXPECT_EQ(std::tuple(run->view.tabs, run->docs().currentTab(),
                       run->bench.sourceEditor().selLine(), run->ui.fileDialogs().size()),
            std::tuple(std::vector<std::string>{"MyApp.mb", "MyApp.mbp", "myapp.mb"}, 0, 20, 0u));
  EXPECT_EQ(run->bench.recent().files().entries(),
            (std::vector<std::string>{lower.string(), b.string(), a.string()}))
      << "a session adds nothing to the recent files";
}

TEST_F(WorkbenchSettingsTest, NoSessionIsStoredForAnUntitledFirstPage) {
  auto run = start();
  run->bench.sourceEditor().setSelText("notes");
  run->open({files.write("a.mb", "a")});
  ASSERT_EQ(run->view.tabs, (std::vector<std::string>{"Untitled", "a.mb"}));
  run->ui.queueAnswer(Answer::No);
  ASSERT_TRUE(run->bench.closeQuery());
  EXPECT_TRUE(run->bench.recent().sessions().empty());
}

// Both lists clear only on Yes; the sections going with the sessions is the session store's test.
TEST_F(WorkbenchSettingsTest, RecentFilesThatVanishedAreDroppedAndTheListsClearOnYes) {
  const fs::path a = files.write("a.mb", "a");
  const fs::path b = files.write("b.mb", "b");
  const fs::path c = files.write("c.mb", "c");
  {
    auto run = start();
    run->open({a, b, c});
    ASSERT_TRUE(run->bench.closeQuery());
  }
  fs::remove(b);
  auto run = start();
  EXPECT_EQ(std::tuple(run->bench.recent().files().entries(), run->view.recentFiles.size()),
            std::tuple(std::vector<std::string>{c.string(), a.string()}, 2u));

  fs::remove(a);
  run->bench.recent().filePicked(1);
  const std::vector<std::string> onlyC{c.string()};
  EXPECT_EQ(std::tuple(run->ui.statusText(4), run->bench.recent().files().entries()),
            std::tuple("MRU NOT EXIST - DELETED: a.mb", onlyC));
  run->bench.recent().filePicked(0);
  EXPECT_EQ(std::tuple(run->view.tabs, run->bench.recent().files().entries()),
            std::tuple(std::vector<std::string>{"c.mb"}, onlyC));

  const std::tuple<const char*, void (pages::RecentCommands::*)(), std::function<bool()>> lists[] =
      {{"recent files", &pages::RecentCommands::clearFiles,
        [&] { return run->bench.recent().files().empty() && run->view.recentFiles.empty(); }},
       {"sessions", &pages::RecentCommands::clearSessions,
        [&] { return run->bench.recent().sessions().empty() && run->view.sessions.empty(); }}};
  for (const auto& [name, clear, cleared] : lists)
    for (const Answer answer : {Answer::No, Answer::Yes}) {
      run->ui.queueAnswer(answer);
      (run->bench.recent().*clear)();
      EXPECT_EQ(cleared(), answer == Answer::Yes)
          << name << (answer == Answer::Yes ? " after Yes" : " after No");
    }
  EXPECT_EQ(run->ui.questions().front().text, "Really clear recent files list?");
}

// The menus were stale until the next start: each addition must reach them at once.
TEST_F(WorkbenchSettingsTest, EveryAdditionToTheRecentListsReachesTheMenusAtOnce) {
  const fs::path a = files.write("a.mb", "a");
  const fs::path b = files.write("b.mb", "b");
  auto run = start({a.string()});
  EXPECT_EQ(run->view.recentFiles, std::vector<std::string>{"&1 " + a.string()});

  run->open({b});
  EXPECT_EQ(run->view.recentFiles,
            (std::vector<std::string>{"&1 " + b.string(), "&2 " + a.string()}));

  const fs::path saved = files.path() / "c.mb";
  run->ui.queueSaveFile(saved);
  run->docs().saveAs();
  EXPECT_EQ(run->view.recentFiles.front(), "&1 " + saved.string());

  // A picked entry moves to the top.
  run->bench.recent().filePicked(2);
  EXPECT_EQ(run->view.recentFiles.front(), "&1 " + a.string());

  ASSERT_TRUE(run->bench.closeQuery());
  EXPECT_EQ(run->view.sessions.size(), 1u);
}

TEST_F(WorkbenchSettingsTest, TheDefaultEditorMarkFollowsTheSystemAndItsToggle) {
  store.commands[".mb"] = "/usr/bin/mapbasic %f";
  store.commands[".mbp"] = "/opt/Quillon/quillon %f";
  auto run = start();
  EXPECT_TRUE(run->states.checked(platform::Command::DefaultEditor1)) << ".mbp decides";

  run->bench.toggleDefaultEditor();
  EXPECT_EQ(std::tuple(run->states.checked(platform::Command::DefaultEditor1), store.writes,
                       store.commands[".mb"]),
            std::tuple(false, std::vector<std::string>{".mb", ".mbp"},
                       "/opt/mapbasic/mapbasic.exe \"%1\""));

  store.refuse = ".mb";
  run->bench.toggleDefaultEditor();
  EXPECT_EQ(run->ui.messages().back(), "Failed to set data for ''");
}

// Merging and a failed write are the word lists' tests; here: written at exit, never holding the
// window.
TEST_F(WorkbenchSettingsTest, TheDictionaryIsWrittenAtExitAndAFullDiskDoesNotHoldTheWindow) {
  const fs::path dic = program.folder() / "quillon.dic";
  testing::writeFile(dic, "' my words\r\nBeta\r\n");
  {
    auto run = start();
    run->bench.wordLists().add(language::WordList::Dict, "Alpha");
    EXPECT_TRUE(run->bench.closeQuery());
  }
  EXPECT_EQ(testing::readFile(dic), "' my words\r\nAlpha\r\nBeta\r\n");

  auto run = start();
  run->bench.wordLists().add(language::WordList::Dict, std::string(3000, 'w'));
  {
    testing::FileSizeLimit full(1000);
    EXPECT_TRUE(run->bench.closeQuery());
  }
  EXPECT_EQ(run->ui.messages().back(), "Cannot create file " + dic.string());
}

TEST_F(WorkbenchSettingsTest, AMissingKeyFileGivesWayToTheDefaultInTheSettingsToo) {
  testing::writeFile(program.settingsFile(),
                     "[SYSTEM]\r\nKeyFile=" + (files / "gone.bin").string() + "\r\n");
  auto run = start();
  EXPECT_EQ(run->ui.messages().size(), 1u) << "loading the default instead is the key file's test";
  run->bench.closeQuery();
  settings::IniFile ini;
  ASSERT_TRUE(ini.load(program.settingsFile()));
  EXPECT_EQ(ini.readString("SYSTEM", "KeyFile", ""), (program.folder() / "quillon.bin").string());
}

}  // namespace
}  // namespace quillon::app
