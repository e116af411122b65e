#include "build/project_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "build/build_fixture.h"
#include "build/project_file.h"
#include "editor/code_gutter.h"
#include "editor/code_memo.h"
#include "support/special_files.h"
#include "tools/editing_commands.h"

namespace quillon::testing {
namespace {

using Strings = std::vector<std::string>;

class ProjectCommandsTest : public BuildFixture {
protected:
  build::ProjectCommands& project() { return bench.project(); }
  std::string page(int i) {
    return i == docs().currentTab() ? editor().text() : docs().page(i).text;
  }
  std::string missingBox(const fs::path& source) {
    return "Can Not Locate Source For:\n\n" + source.string() + "\n\nSkipping....";
  }
  void selectFromDialog(const fs::path& file) {
    ui.queueOpenFiles({file});
    project().select();
  }
};

TEST_F(ProjectCommandsTest, SelectOpensTheSampleProjectAndBothModules) {
  for (const char* name : {"parcels.mbp", "parcels.mb", "report.mb"})
    fs::copy_file(fs::path(QUILLON_SOURCE_DIR) / "tests/data/project" / name, folder / name);
  docs().setProjectFolder(folder / "");
  selectFromDialog(folder / "parcels.mbp");

  EXPECT_EQ(std::pair(ui.fileDialogs().back().filterIndex, ui.fileDialogs().back().initialDir),
            std::pair(1, folder / ""));
  EXPECT_EQ(view.tabs, (Strings{"parcels.mbp", "parcels.mb", "report.mb"}));
  EXPECT_TRUE(ui.messages().empty() && errors().text().empty());
}

TEST_F(ProjectCommandsTest, WindowsPathsResolveThroughThePrefixAndInAnyCase) {
  // Drive C: of the prefix is `drive_c` in the test folder.
  fs::create_directories(folder / "prefix/dosdevices");
  fs::create_symlink(folder / "drive_c", folder / "prefix/dosdevices/c:");
  for (const char* f :
       {"proj/module1.mb", "proj/sub/two.mb", "proj/sub/three.mb", "lib/shared.mb", "proj/dot.mb"})
    source(std::string("drive_c/Work/") + f, f);
  const fs::path proj = folder / "drive_c/Work/proj";
  selectFromDialog(source("drive_c/Work/proj/copy.mbp",
                          "[LINK]\r\nApplication=C:\\WORK\\PROJ\\APP.MBX\r\n"
                          "Module=C:\\WORK\\PROJ\\Module1.MBO\r\n"
                          "Module = SUB\\TWO.MBO\r\n"
                          "Module=..\\lib\\SHARED.MBO\r\n"
                          "Module=\\sub\\Three.mbo\r\n"
                          "Module=.\\DOT.mbo\r\n"));
  EXPECT_EQ(view.tabs,
            (Strings{"copy.mbp", "module1.mb", "two.mb", "shared.mb", "three.mb", "dot.mb"}));
  EXPECT_TRUE(ui.messages().empty()) << ui.messages().front();

  // Create From Pages writes Windows paths through the prefix, and Select.... reads them back.
  ui.queueSaveFile(proj / "again.mbp");
  project().createFromPages();
  EXPECT_EQ((Strings{std::string(editor().paragraphText(1)), std::string(editor().paragraphText(3)),
                     std::string(editor().paragraphText(5))}),
            (Strings{"Application=C:\\Work\\proj\\again.mbx", "Module=C:\\Work\\proj\\module1.mbo",
                     "Module=C:\\Work\\lib\\shared.mbo"}));
  ASSERT_TRUE(docs().save());
  docs().closeAll();
  selectFromDialog(proj / "again.mbp");
  EXPECT_EQ(view.tabs,
            (Strings{"again.mbp", "module1.mb", "two.mb", "shared.mb", "three.mb", "dot.mb"}));
  EXPECT_EQ(ui.messages(), Strings{missingBox(proj / "copy.mb")});
}

TEST_F(ProjectCommandsTest, MissingSourcesAreSkippedListedAndAskForTenClicksAtMost) {
  source("here.mb", "here");
  fs::create_directory(folder / "folder.mb");
  ::mkfifo((folder / "fifo.mb").c_str(), 0644);
  std::string text =
      "[LINK]\r\nModule=here.mbo\r\nModule=Q:\\x.mbo\r\nModule=\\\\server\\share\\y.mbo\r\n"
      "Module=folder.mbo\r\nModule=fifo.mbo\r\nModule=..\\..\\..\\..\\x.mbo\r\n";
  for (int i = 0; i < 7; ++i) text += "junk" + std::to_string(i) + "\r\n";
  const HangGuard guard;
  selectFromDialog(source("p.mbp", text));

  EXPECT_EQ(view.tabs, (Strings{"p.mbp", "here.mb"}));
  ASSERT_EQ(ui.messages().size(), 10u);
  EXPECT_EQ(ui.messages()[0], "Can Not Locate Source For:\n\nQ:\\x.mb\n\nSkipping....");
  EXPECT_EQ(ui.messages()[2], missingBox(folder / "folder.mb"));
  std::string listed = "Can Not Locate Source for:\r\n\r\nQ:\\x.mb\r\n\\\\server\\share\\y.mb\r\n" +
                       (folder / "folder.mb").string() + "\r\n" + (folder / "fifo.mb").string() +
                       "\r\n" + (folder / "../../../../x.mb").string();
  for (int i = 0; i < 7; ++i)
    listed += "\r\n" + (folder / ("junk" + std::to_string(i) + ".mb")).string();
  EXPECT_EQ(errors().text(), listed);
  EXPECT_TRUE(bench.errorPanel().showing() && view.bottomVisible);
}

// Garbage asks ten times at most and lists every line; a file Open cannot read is reported once.
TEST_F(ProjectCommandsTest, BadProjectFiles) {
  std::string text = "Module=" + std::string(1 << 20, 'x') + "\r";
  text += std::string("Module=a\0b.mbo\r", 16);
  for (int i = 0; i < 10000; ++i) text += "\x01\xff garbage " + std::to_string(i) + "\r";
  selectFromDialog(source("binary.mbp", text));
  EXPECT_EQ(std::tuple(ui.messages().size(), errors().paragraphCount(), view.tabs),
            std::tuple(10u, 2 + 10002, Strings{"binary.mbp"}));
  docs().closeAll();

  // What Open cannot read it has reported; which files those are is its test.
  selectFromDialog(folder / "gone.mbp");
  EXPECT_EQ(
      std::tuple(ui.messages().size(), ui.messages().back(), view.tabs),
      std::tuple(11u, "Cannot open file " + (folder / "gone.mbp").string(), Strings{"Untitled"}));
}

TEST_F(ProjectCommandsTest, TheProjectsOwnTabBecomesCurrentWhenOtherPagesCameFirst) {
  open({source("a.mb", "a"), source("m.txt", "notes")});
  selectFromDialog(source("p.mbp", "Module=m1.mbo\r\n"));
  source("m1.mb", "m1");
  selectFromDialog(folder / "p.mbp");
  EXPECT_EQ(std::tuple(view.tabs, docs().currentTab(), editor().text()),
            std::tuple(Strings{"a.mb", "m.txt", "p.mbp", "m1.mb"}, 2, "Module=m1.mbo\r\n"));
}

TEST_F(ProjectCommandsTest, DroppingOneProjectOpensItsModulesAndAnythingElseOpensPages) {
  source("m.mb", "m");
  const fs::path mbp = source("p.mbp", "Module=m.mbo\r\n");
  docs().filesDropped({mbp.string()});
  EXPECT_EQ(std::tuple(view.tabs, status()),
            std::tuple(Strings{"p.mbp", "m.mb"}, "Files Dropped....."));
  docs().closeAll();
  docs().filesDropped({mbp.string(), (folder / "m.mb").string()});
  EXPECT_EQ(std::tuple(view.tabs, docs().currentTab()), std::tuple(Strings{"p.mbp", "m.mb"}, 1));
}

TEST_F(ProjectCommandsTest, NewProjectReusesTheUntouchedPageAndWritesTheTemplate) {
  project().newProject();
  EXPECT_EQ(view.tabs, Strings{"Untitled"});
  const std::string tmpl =
      "[LINK]\r\nApplication=MyProject.MBX\r\nModule=Module1.MBO\r\n'Module=more modules *.MBO";
  EXPECT_EQ(editor().text(), tmpl);
  EXPECT_EQ(std::tuple(editor().modified(), docs().currentExt(), docs().page(0).ext),
            std::tuple(true, "mbp", ".mbp"));

  project().newProject();
  EXPECT_EQ(std::tuple(view.tabs, docs().currentTab(), page(0)),
            std::tuple(Strings{"Untitled", "Untitled"}, 1, tmpl));

  // Closing asks for both: neither is written yet.
  ui.queueAnswer(platform::Ui::Answer::No);
  ui.queueAnswer(platform::Ui::Answer::No);
  EXPECT_TRUE(docs().confirmClose());
  ASSERT_EQ(ui.questions().size(), 2u);
  for (const auto& q : ui.questions())
    EXPECT_EQ(q.caption + ": " + q.text, "Confirm: Save changes to \"Untitled\"?");
}

TEST_F(ProjectCommandsTest, WithFiftyPagesNothingNewIsMade) {
  for (int i = 0; i < 50; ++i) docs().newPage(), editor().setText("page " + std::to_string(i));
  ASSERT_EQ(docs().tabCount(), 50);
  const std::string shown = editor().text();
  project().newProject();
  EXPECT_EQ(status(), "50 File MAX -- Close Excess First");
  ui.setStatusText(4, "");
  project().createFromPages();
  EXPECT_EQ(std::tuple(status(), docs().tabCount(), editor().text()),
            std::tuple("50 File MAX -- Close Excess First", 50, shown));
}

TEST_F(ProjectCommandsTest, CreateFromPagesPutsAModifiedProjectOfEveryPageFirst) {
  project().createFromPages();
  EXPECT_EQ(ui.messages(), Strings{"Nothing To Create"});

  const fs::path a = source("a.mb", "a"), b = source("b.def", "b");
  open({a, b});
  docs().newPage();
  docs().setProjectFolder(folder / "");
  ui.queueSaveFile(folder / "new.mbp");
  project().createFromPages();

  const auto& d = ui.fileDialogs().back();
  EXPECT_EQ(std::tuple(d.filterIndex, d.defaultExt, d.initialDir, d.overwritePrompt),
            std::tuple(2, "mbp", folder / "", true));

  EXPECT_EQ(std::tuple(view.tabs, docs().currentTab()),
            std::tuple(Strings{"new.mbp", "a.mb", "b.def", "Untitled"}, 0));
  EXPECT_EQ(editor().text(), "[LINK]\r\nApplication=" + (folder / "new.mbx").string() +
                                 "\r\nModule=" + (folder / "a.mbo").string() + "\r\nModule=" +
                                 (folder / "b.mbo").string() + "\r\nModule=Untitled.mbo");
  EXPECT_EQ(std::tuple(docs().currentFile(), docs().currentExt(), editor().modified()),
            std::tuple((folder / "new.mbp").string(), "mbp", true));
  EXPECT_FALSE(fs::exists(folder / "new.mbp"));
  EXPECT_EQ(page(1), "a");
}

TEST_F(ProjectCommandsTest, SetPageAsFirstMovesTheCurrentPageAndShiftsTheOnesBefore) {
  std::vector<fs::path> files;
  for (const char* name : {"p0.mb", "p1.mb", "p2.mb", "p3.mb", "p4.mb"})
    files.push_back(source(name, numberedLines(std::string(name) + " line", 30)));
  open(files);
  // Page 1 carries an edit, a caret and a bookmark that must travel with it; page 2 too.
  docs().selectTab(1);
  editor().setSelLine(4);
  editor().setSelText("edited ");
  bench.editing().setBookmark(3);
  docs().selectTab(2);
  editor().setSelLine(19);
  bench.editing().setBookmark(5);
  const std::string page2 = editor().text();
  const editor::Offset caret2 = editor().selStart();
  const std::string page1 = page(1);

  project().setPageAsFirst();
  EXPECT_EQ(view.tabs, (Strings{"p2.mb", "p0.mb", "p1.mb", "p3.mb", "p4.mb"}));
  EXPECT_EQ(std::tuple(docs().currentTab(), view.currentTab, editor().selStart(),
                       bench.gutter().bookmarkLine(5)),
            std::tuple(0, 0, caret2, 19));
  EXPECT_EQ(editor().text(), page2);
  const pages::Page& spare = docs().page(pages::PageTable::kSpare);
  EXPECT_TRUE(spare.text.empty() && spare.fileName.empty()) << "the spare record is cleared";

  docs().selectTab(2);
  EXPECT_EQ(editor().text(), page1);
  EXPECT_EQ(std::tuple(editor().modified(), bench.gutter().bookmarkLine(3),
                       bench.gutter().bookmarkLine(5)),
            std::tuple(true, 4, -1));
  docs().selectTab(1);
  EXPECT_EQ(std::tuple(docs().currentFile(), editor().modified()),
            std::tuple(files[0].string(), false));
  docs().selectTab(4);
  project().setPageAsFirst();  // from the last tab, and nothing to do from the first
  project().setPageAsFirst();
  EXPECT_EQ(view.tabs, (Strings{"p4.mb", "p2.mb", "p0.mb", "p1.mb", "p3.mb"}));
}

}  // namespace
}  // namespace quillon::testing
