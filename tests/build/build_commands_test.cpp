#include "build/build_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "build/build_fixture.h"
#include "editor/code_memo.h"
#include "pages/recent_commands.h"
#include "tools/editing_commands.h"

namespace quillon::build {
namespace {

namespace fs = std::filesystem;
using Answer = platform::Ui::Answer;
using platform::Command;
using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

const char* kParcels =
    "Include \"parcels.def\"\r\n"
    "Declare Sub Main\r\n"
    "Sub Main\r\n"
    "  Note \"hi\"\r\n"
    "End Sub\r\n";

class BuildCommandsTest : public testing::BuildFixture {
protected:
  void f9(bool ctrl = false) {
    EXPECT_TRUE(bench.editing().keyReleased(tools::EditorKey::functionKey(9), {.ctrl = ctrl}));
  }
  BuildCommands& build() { return bench.build(); }
};

TEST_F(BuildCommandsTest, F9ShowsTheFirstErrorThenF8WalksIntoTheDefinitions) {
  const fs::path def = source("parcels.def", "Define A 1\r\nDefine B 2\r\nDefine C 3\r\n");
  open({source("parcels.mb",
               std::string(kParcels) +
                   "'standin-error 4 Unrecognized command: Nott.\r\n"
                   "'standin-error-in parcels.def 3 Expecting end of statement.\r\n")});
  states.setChecked(Command::HelpContext1, true);
  f9();
  EXPECT_EQ(status(), "COMPILE FAILED....");
  EXPECT_EQ(std::tuple(view.bottomVisible, view.bottomFront, states.checked(Command::bError),
                       states.checked(Command::HelpContext1)),
            std::tuple(true, platform::MainView::BottomPage::ErrorView, true, false));
  EXPECT_EQ(std::tuple(errors().text(), errors().selText(), caretLine()),
            std::tuple("(parcels.mb:4) Unrecognized command: Nott.\r\n(parcels.def:3) Expecting "
                       "end of statement.\r\n",
                       "(parcels.mb:4) Unrecognized command: Nott.", 4));
  EXPECT_EQ(automation.attaches, 0) << "Run only follows a build that left no errors";

  // The definitions file is no page yet: found beside the error file, opened, jumped to.
  bench.errorPanel().nextError(true);
  EXPECT_EQ(std::tuple(docs().tabCount(), docs().currentFile(), caretLine()),
            std::tuple(2, def.string(), 3));
  EXPECT_EQ(bench.recent().files().size(), 0u) << "a page opened by a jump is no recent file";
  EXPECT_EQ(status(), "COMPILE FAILED....") << "the jump keeps the build's result";

  // Mended and compiled again: the application is run.
  bench.documents().showPage(0);
  editor().setText(kParcels);
  automation.attachAnswers = {true};
  f9();
  EXPECT_EQ(status(), "COMPILED APP: parcels.mbx");
  EXPECT_EQ(std::tuple(editor().modified(), fs::exists(folder / "parcels.err"),
                       errors().charCount(), ui.messages().size()),
            std::tuple(false, false, 0, 0u));
  EXPECT_EQ(automation.statements,
            Strings{"run application \"" + (folder / "parcels.mbx").string() + "\""});
  EXPECT_GE(view.minimized, 1);
}

TEST_F(BuildCommandsTest, RunTriesThreeTimesThenGivesUp) {
  fs::create_directories(folder / "MapInfo");
  bench.settings()->values().mapInfoFolder = folder / "MapInfo" / "";
  open({source("app.mb", kParcels)});
  build().compile();
  ASSERT_EQ(status(), "COMPILED APP: app.mbx");
  clock.sleeps.clear();
  build().run();
  EXPECT_EQ(
      std::tuple(automation.attaches, automation.releases, automation.statements.size(), ui.busy()),
      std::tuple(3, 1, 0u, false));
  EXPECT_EQ(clock.sleeps, (std::vector<std::chrono::milliseconds>{3000ms, 3000ms}));
  EXPECT_EQ(ui.messages(), Strings{"Can Not Connect OLE To Running MapInfo...."});

  // Attached at the second try: the statement doubles a quote in the path.
  open({source("say \"hi\".mb", kParcels)});
  build().compile();
  automation.attachAnswers = {false, true};
  clock.sleeps.clear();
  build().run();
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_EQ(automation.statements,
            Strings{"run application \"" + folder.path().string() + "/say \"\"hi\"\".mbx\""});
}

// The compiler is started as spelled, and gets each path as one argument.
TEST_F(BuildCommandsTest, AwkwardPathsReachTheCompilerWhole) {
  const fs::path dir = folder / "My \"Odd\" Caf\xc3\xa9";
  fs::create_directories(dir);
  std::string expected;
  for (const char* name : {"Mod x.mb", "two\nlines.mb"}) {
    const fs::path mb = dir / name;
    testing::writeFile(mb, "Dim a As Integer\r\n");
    open({mb});
    build().compile();
    EXPECT_EQ(status(), "COMPILED MODULE: " + fs::path(name).replace_extension(".mbo").string());
    expected += "call [" + (mapBasic / "MapBasic.exe").string() + "] [-D] [" + mb.string() +
                "] in [" + dir.string() + "]\n";
  }
  EXPECT_EQ(standinLog(), expected);
}

// Found through the prefix's drives, in any letter case.
TEST_F(BuildCommandsTest, AWindowsMapBasicFolderIsTranslated) {
  fs::create_directories(folder / "prefix/dosdevices");
  fs::create_directories(folder / "prefix/drive_c/Tools");
  fs::create_directory_symlink("../drive_c", folder / "prefix/dosdevices/c:");
  fs::rename(mapBasic, folder / "prefix/drive_c/Tools/MapBasic");
  fs::rename(folder / "prefix/drive_c/Tools/MapBasic/MapBasic.exe",
             folder / "prefix/drive_c/Tools/MapBasic/MAPBASIC.EXE");
  bench.settings()->values().mapBasicFolder = "C:\\tools\\mapbasic\\";
  open({source("w.mb", "Dim a As Integer\r\n")});
  build().compile();
  EXPECT_EQ(status(), "COMPILED MODULE: w.mbo");
}

TEST_F(BuildCommandsTest, TheSaveQuestion) {
  const fs::path mb = source("q.mb", "Dim a As Integer\r\n");
  open({mb});
  editor().setSelText("' changed\r\n");
  ASSERT_TRUE(editor().modified());

  ui.queueAnswer(Answer::Cancel);
  build().run();
  EXPECT_EQ(
      std::tuple(ui.questions().back().text, status(), fs::exists(mapBasic / "standin-calls.log")),
      std::tuple("Save \"q.mb\" First?", "User Canceled Required Save.....", false));

  ui.queueAnswer(Answer::Yes);
  build().compile();
  EXPECT_EQ(std::tuple(testing::readFile(mb), editor().modified(), states.enabled(Command::bSave),
                       status()),
            std::tuple("' changed\r\nDim a As Integer\r\n", false, false, "COMPILED MODULE: q.mbo"))
      << "saved is saved: closing must not ask again";
  EXPECT_TRUE(bench.closeQuery());

  // A write that fails compiles nothing.
  fs::remove_all(folder / "q.mbo");
  const fs::path lost = source("gone/lost.mb", "Dim b As Integer\r\n");
  open({lost});
  editor().setSelText("x");
  fs::remove_all(folder / "gone");
  ui.queueAnswer(Answer::Yes);
  build().compile();
  EXPECT_EQ(std::pair(ui.messages().back(), standinLog().find("lost.mb")),
            std::pair("Cannot create file " + lost.string(), std::string::npos));
}

// Ctrl+F9 reaches Compile on any page; an untitled one is saved first or not compiled.
TEST_F(BuildCommandsTest, AnUntitledPageIsSavedFirstOrNotCompiled) {
  editor().setText("Sub Main\r\nEnd Sub\r\n");
  ui.queueSaveFile(std::nullopt);  // the Save of the key
  ui.queueSaveFile(std::nullopt);  // Compile's own
  f9(true);
  EXPECT_EQ(status(), "File Must Be Saved Before Compiling....");
  EXPECT_FALSE(fs::exists(fs::current_path() / "Untitled"));
  EXPECT_FALSE(fs::exists(mapBasic / "standin-calls.log"));

  ui.queueSaveFile(folder / "named.mb");
  f9(true);
  EXPECT_EQ(status(), "COMPILED APP: named.mbx");
}

TEST_F(BuildCommandsTest, FailuresBeforeTheCompilerRuns) {
  open({source("f.mb", "Dim a As Integer\r\n")});

  // A stale output that cannot go ends the command.
  fs::create_directories(folder / "f.mbo" / "inside");
  build().compile();
  EXPECT_EQ(ui.messages().back(), "Cannot delete file " + (folder / "f.mbo").string());
  fs::remove_all(folder / "f.mbo");

  // A compiler that cannot start says so instead of leaving "COMPILING: ".
  ::chmod((mapBasic / "MapBasic.exe").c_str(), 0644);
  build().compile();
  EXPECT_EQ(status(),
            "Can Not Start " + (mapBasic / "MapBasic.exe").string() + ": Permission denied");
  ::chmod((mapBasic / "MapBasic.exe").c_str(), 0755);

  // No MapBasic folder: the picker opens in the prefix's drive C; the choice is kept.
  fs::create_directories(folder / "prefix" / "drive_c");
  bench.settings()->values().mapBasicFolder.clear();
  ui.queueFolder(mapBasic);
  build().compile();
  EXPECT_EQ(
      std::tuple(status(), bench.settings()->values().mapBasicFolder, ui.folderStarts().back()),
      std::tuple("COMPILED MODULE: f.mbo", mapBasic / "", folder / "prefix" / "drive_c"));

  // A folder without the compiler, and a second choice without it either.
  bench.settings()->values().mapBasicFolder = folder.path() / "f.mb" / "";  // a file, not a folder
  ui.queueFolder(folder.path());
  build().compile();
  EXPECT_EQ(ui.messages().back(), "[2]: Can Not Locate MapBasic.exe");
  bench.settings()->values().mapBasicFolder.clear();
  ui.queueFolder(fs::path());
  build().compile();
  EXPECT_EQ(ui.messages().back(), "[1]: No Path to MapBasic");
  // Cancelled: no box, but panel 4 says why nothing was compiled.
  ui.queueFolder(std::nullopt);
  const std::size_t messages = ui.messages().size();
  build().compile();
  EXPECT_EQ(
      std::tuple(ui.messages().size(), status()),
      std::tuple(messages, "No MapBasic folder is set: choose it in Options > Program Folders..."));
  bench.settings()->values().mapBasicFolder = folder.path() / "";
  ui.queueFolder(std::nullopt);
  build().compile();
  EXPECT_EQ(status(), "MapBasic.exe is not in the MapBasic folder " +
                          (folder.path() / "").string() +
                          ": choose it in Options > Program Folders...");
  EXPECT_TRUE(ui.allAnswersUsed());
}

TEST_F(BuildCommandsTest, Link) {
  source("a.mbo", "x");
  const std::string absolute = (folder / "out" / "abs.mbx").string();
  const fs::path project =
      source("p.mbp",
             "'Application=old.mbx\r\n[LINK]\r\n  Application = out\\app.mbx \r\nModule=a.mbo\r\n");
  source("p.err", "stale\r\n");
  source("out/app.err", "stale\r\n");
  open({project});
  build().link();
  EXPECT_EQ(status(), "LINKED: out\\app.mbx\nIn File: p.mbp");
  EXPECT_FALSE(fs::exists(folder / "p.err") || fs::exists(folder / "out" / "app.err"))
      << "a stale project error file would read as a failed link";
  EXPECT_EQ(standinLog(), "call [" + (mapBasic / "MapBasic.exe").string() + "] [-L] [" +
                              project.string() + "] in [" + mapBasic.string() + "]\n");

  // An absolute application name is kept as it is; a missing module fails the link.
  editor().setText("Application=" + absolute + "\r\nModule=a.mbo\r\n");
  ui.queueAnswer(Answer::Yes);
  build().link();
  EXPECT_EQ(status(), "LINKED: " + absolute + "\nIn File: p.mbp");
  editor().setText("Application=out/app.mbx\r\nModule=missing.mbo\r\n");
  ui.queueAnswer(Answer::Yes);
  build().link();
  EXPECT_EQ(errors().paragraphText(0), "(p.mbp:2) Module not found: missing.mbo");
  EXPECT_EQ(status(), "LINK FAILED....");

  editor().setText("'Application=x.mbx\r\n");
  editor().setModified(false);
  build().link();
  EXPECT_EQ(ui.messages().back(), "Error Locating \"Application=\" In Code");
  build().run();
  EXPECT_EQ(ui.messages().back(), "Can Not Find Application To Run In MBP");
  EXPECT_EQ(docs().currentExt(), "mbp");
}

TEST_F(BuildCommandsTest, RunOnPagesThatCannotRun) {
  open({source("notes.def", "Define X 1\r\n")});
  build().run();
  EXPECT_EQ(ui.messages().back(), "Not A Runnable File \"notes.def\"");
  open({source("m.mb", "Dim a As Integer\r\n")});
  build().run();
  EXPECT_EQ(ui.messages().back(), "Please Compile \"m.mb\" First");

  // A previous failure is shown, and Run still goes on.
  source("m.ERR", "(m.mb:1) old failure\r\n");
  build().run();
  EXPECT_EQ(std::tuple(status(), std::string(errors().paragraphText(0)), ui.messages().back()),
            std::tuple("PREVIOUS COMPILE FAILED....", "(m.mb:1) old failure",
                       "Please Compile \"m.mb\" First"));
  editor().setText("   \r\n\t\r\n");
  const std::size_t messages = ui.messages().size();
  build().run();
  build().compile();
  EXPECT_EQ(ui.messages().size(), messages) << "a blank page builds nothing";
}

// The window stays live but starts no second build, and closing it ends the wait. The stand-in
// holds until the test lets it go, so nothing depends on the machine's speed.
TEST_F(BuildCommandsTest, WhileTheCompilerRuns) {
  open({source("slow.mb", "'standin-hold go\r\nDim a As Integer\r\n")});
  bool probed = false;
  clock.onSleep = [&](std::chrono::milliseconds) {
    std::this_thread::sleep_for(1ms);
    // The log's file exists before its line is written: only a whole line says the compiler runs.
    const std::string log = standinLog();
    if (probed || log.empty() || log.back() != '\n') return;
    probed = true;
    EXPECT_TRUE(build().waiting());
    for (Command c :
         {Command::bCompile, Command::Compile1, Command::bRun, Command::Run1, Command::bLink})
      EXPECT_FALSE(states.enabled(c)) << static_cast<int>(c);
    EXPECT_TRUE(editor().displayOnly());
    build().compile();
    build().run();
    f9();
    // Exit asks first; No keeps the window and the build.
    ui.queueAnswer(Answer::No);
    EXPECT_FALSE(bench.closeQuery());
    EXPECT_TRUE(build().waiting());
    ui.queueAnswer(Answer::Yes);
    EXPECT_TRUE(bench.closeQuery());
    EXPECT_EQ(ui.questions().back().text, "A build is running. Stop the build and exit?");
    EXPECT_EQ(ui.questions().back().buttons, platform::Ui::Buttons::YesNo);
  };
  build().compile();
  ASSERT_TRUE(probed);
  const std::string log = standinLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
  EXPECT_EQ(std::tuple(build().waiting(), editor().displayOnly(), states.enabled(Command::bCompile),
                       states.enabled(Command::Run1)),
            std::tuple(false, false, true, true));
  ASSERT_TRUE(bench.runner().lastChild());
  EXPECT_FALSE(bench.runner().lastChild()->active()) << "Exit left no compiler behind";
  EXPECT_EQ(bench.runner().lastChild()->exitCode(), 128 + SIGTERM);

  // Nothing finishes later either.
  folder.write("go", "");
  std::this_thread::sleep_for(100ms);
  EXPECT_FALSE(fs::exists(folder / "slow.mbo"));
}

TEST_F(BuildCommandsTest, StopBuildEndsACompilerThatIgnoresTheRequest) {
  open({source("hang.mb",
               "'standin-print started\r\n'standin-leave "
               ".mbo\r\n'standin-ignore-term\r\n'standin-hang\r\n")});
  clock.onSleep = [&](std::chrono::milliseconds) {
    std::this_thread::sleep_for(1ms);
    const std::string log = standinLog();
    if (log.empty() || log.back() != '\n' || !fs::exists(folder / "hang.mbo")) return;
    build().stopBuild();
  };
  build().compile();
  EXPECT_EQ(status(), "BUILD STOPPED: hang.mb");
  const BuildReport& r = build().lastReport();
  EXPECT_EQ(std::tuple(r.result, r.exitCode, r.output),
            std::tuple(BuildReport::Result::Stopped, 128 + SIGKILL, "started\n"));
  EXPECT_GE(clock.slept(), BuildCommands::kStopGrace) << "killed only after the grace";
  EXPECT_FALSE(fs::exists(folder / "hang.mbo")) << "the partial output is deleted";
  EXPECT_EQ(std::tuple(build().waiting(), states.enabled(Command::Compile1),
                       states.enabled(Command::Run1)),
            std::tuple(false, true, true));
  EXPECT_FALSE(view.bottomVisible) << "a stop is no failure to explain";

  // A later build runs as ever.
  editor().setText("Sub Main\r\n");
  ui.queueAnswer(Answer::Yes);
  build().compile();
  EXPECT_EQ(status(), "COMPILED APP: hang.mbx");
}

TEST_F(BuildCommandsTest, TheReportCarriesWhatTheCompilerPrintedAndACrashShowsIt) {
  open({source(
      "crash.mb",
      "'standin-print-error Segmentation in pass 2\r\n'standin-binary\r\n'standin-crash\r\n")});
  std::vector<BuildReport> reports;
  build().reportReady = [&](const BuildReport& r) { reports.push_back(r); };
  build().compile();
  EXPECT_EQ(status(), "NO OUTPUT FROM COMPILER: crash.mb");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].exitCode, 128 + SIGSEGV);
  EXPECT_TRUE(reports[0].output.starts_with("Segmentation in pass 2\n")) << reports[0].output;
  EXPECT_EQ(reports[0].commandLine,
            (mapBasic / "MapBasic.exe").string() + " -D " + (folder / "crash.mb").string());
  EXPECT_EQ(reports[0].folder, folder.path());
  EXPECT_EQ(std::tuple(view.bottomVisible, view.bottomFront, states.checked(Command::bError)),
            std::tuple(true, platform::MainView::BottomPage::BuildOutput, false));

  // An error file is the answer: the error view stays in front.
  editor().setText("'standin-print checking\r\n'standin-error 1 Bad.\r\n");
  ui.queueAnswer(Answer::Yes);
  build().compile();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(std::tuple(reports[1].result, reports[1].output, reports[1].exitCode),
            std::tuple(BuildReport::Result::Failed, "checking\n", 0));
  EXPECT_EQ(view.bottomFront, platform::MainView::BottomPage::ErrorView);

  // A compiler that prints more than is kept, and leaves a child holding its output.
  editor().setText("Sub Main\r\n'standin-spew 6000000\r\n'standin-fork-hold 20000\r\n");
  const auto started = std::chrono::steady_clock::now();
  ui.queueAnswer(Answer::Yes);
  build().compile();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s) << "the build ends with the compiler";
  EXPECT_EQ(status(), "COMPILED APP: crash.mbx");
  EXPECT_EQ(reports.back().output.size() + reports.back().droppedBytes, 6000000u);
  EXPECT_EQ(reports.back().output.size(), platform::ChildProcess::kOutputLimit);
}

TEST_F(BuildCommandsTest, ErrorMarksFollowTheirLinesAcrossPagesAndGoWithTheNextCompile) {
  const fs::path def = source("parcels.def", "Define A 1\r\nDefine B 2\r\nDefine C 3\r\n");
  const fs::path mb =
      source("parcels.mb", std::string(kParcels) +
                               "'standin-error 4 Unrecognized command: Nott.\r\n"
                               "'standin-error 2 Second.\r\n'standin-error 0 Zero.\r\n"
                               "'standin-error 999 Past the end.\r\n"
                               "'standin-error-in parcels.def 3 Expecting end.\r\n");
  open({def, mb});
  editor::CodeGutter& gutter = bench.gutter();
  build().compile();
  using Marks = std::vector<editor::ErrorMark>;
  const std::string origin = mb.string();
  EXPECT_EQ(gutter.errorMarks(),
            (Marks{{1, "Second.", origin}, {3, "Unrecognized command: Nott.", origin}}));
  EXPECT_EQ(docs().page(0).errorMarks, (Marks{{2, "Expecting end.", origin}}));
  EXPECT_EQ(caretLine(), 4) << "the jump goes where it went";
  EXPECT_TRUE(view.focus);

  // Lines inserted above move a mark; an edited line loses its own.
  editor().setSelStart(0);
  editor().setSelText("' new first line\r\n");
  EXPECT_EQ(gutter.errorMarks().size(), 2u);
  EXPECT_EQ(*gutter.errorMarkOn(4), "Unrecognized command: Nott.");
  editor().setSelStart(editor().table().startOf(2));
  editor().setSelText("x");
  EXPECT_EQ(gutter.errorMarks(), (Marks{{4, "Unrecognized command: Nott.", origin}}));

  // Through two tab changes the marks stay with their pages.
  docs().selectTab(0);
  EXPECT_EQ(gutter.errorMarks(), (Marks{{2, "Expecting end.", origin}}));
  docs().selectTab(1);
  EXPECT_EQ(gutter.errorMarks(), (Marks{{4, "Unrecognized command: Nott.", origin}}));

  // The next compile of the source clears every mark it set, on every page.
  editor().setText(kParcels);
  ui.queueAnswer(Answer::Yes);
  build().compile();
  EXPECT_EQ(status(), "COMPILED APP: parcels.mbx");
  EXPECT_EQ(std::tuple(gutter.errorMarkCount(), docs().page(0).errorMarks.size()),
            std::tuple(0u, 0u));
}

TEST_F(BuildCommandsTest, CompileAndLinkFollowThePageOpenedFromAnother) {
  open({source("a.mb", "Dim a\r\n")});
  ASSERT_TRUE(states.enabled(Command::Compile1));
  open({source("a.def", "Define A 1\r\n")});
  EXPECT_EQ(std::tuple(states.enabled(Command::Compile1), states.enabled(Command::bCompile),
                       states.enabled(Command::Link1)),
            std::tuple(false, false, false));
  open({source("p.mbp", "Application=p.mbx\r\n")});
  EXPECT_EQ(std::tuple(states.enabled(Command::Compile1), states.enabled(Command::Link1)),
            std::tuple(false, true));
}

// The pause after the start ends with the compiler; each round sleeps a little.
struct BuildTimingTest : ::testing::Test, testing::WorkbenchPorts {
  testing::TestProgram installed;
  testing::TempFolder folder;
  app::Workbench bench{ports()};
};

TEST_F(BuildTimingTest, ThePauseEndsWithTheCompiler) {
  installed.start(bench);
  folder.write("mb/MapBasic.exe", "");
  bench.settings()->values().mapBasicFolder = folder / "mb" / "";
  bench.documents().openList() = {folder.write("a.mb", "Dim a\r\n").string()};
  bench.documents().open(pages::DocumentCommands::Opener::Session);

  clock.onSleep = [&](std::chrono::milliseconds) {
    if (clock.slept() >= 300ms) launcher.children.back()->end(0);
  };
  bench.build().compile();
  ASSERT_EQ(clock.slept(), 300ms);
  EXPECT_LE(*std::max_element(clock.sleeps.begin(), clock.sleeps.end()), 20ms)
      << "the window is served every 20 ms";
  EXPECT_EQ(std::tuple(ui.statusText(4), launcher.requests.at(0).showWindow),
            std::tuple("NO OUTPUT FROM COMPILER: a.mb", 7));

  // Past the pause the polling sleeps 20 ms a round.
  clock.sleeps.clear();
  clock.onSleep = [&](std::chrono::milliseconds) {
    if (clock.slept() >= 6000ms) launcher.children.back()->end(0);
  };
  bench.build().compile();
  EXPECT_EQ(clock.sleeps.back(), 20ms);
  EXPECT_GT(ui.pendingMessageCalls(), 100);

  // A failure thrown from inside the run still gives the window back.
  launcher.onLaunch = [](testing::ScriptedChild&) { throw std::runtime_error("launcher broke"); };
  EXPECT_THROW(bench.build().compile(), std::runtime_error);
  EXPECT_EQ(std::tuple(bench.sourceEditor().displayOnly(), ui.busy(), bench.build().waiting(),
                       states.enabled(Command::Compile1)),
            std::tuple(false, false, false, true));
}

}  // namespace
}  // namespace quillon::build
