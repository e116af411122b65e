// The file association over a map of commands, and over the desktop's MIME defaults.
#include "platform/xdg_association_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fake_association_store.h"
#include "support/special_files.h"
#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::readFile;

// Turning off, the MapBasic command and the refusal's message are the Workbench tests'.
TEST(FileAssociation, ToggleWritesOurCommandAndARefusedWriteStopsThere) {
  testing::FakeAssociationStore store;
  FileAssociation association(store);
  EXPECT_EQ(association.toggleDefaultEditor("C:\\Q\\quillon.exe", "C:\\MapBasic\\"), std::nullopt);
  EXPECT_TRUE(association.checked());
  EXPECT_EQ(store.commands,
            (std::map<std::string, std::string>{{".mb", "C:\\Q\\quillon.exe \"%1\""},
                                                {".mbp", "C:\\Q\\quillon.exe \"%1\""}}));
  // A folder without its separator still yields a usable command.
  EXPECT_EQ(FileAssociation::mapBasicOpener("/opt/mb").command, "/opt/mb/mapbasic.exe \"%1\"");

  store.refuse = ".mb";
  store.writes.clear();
  EXPECT_TRUE(association.toggleDefaultEditor("C:\\Q\\quillon.exe", "/mb/"));
  EXPECT_EQ(store.writes, std::vector<std::string>{".mb"});  // ".mbp" not attempted
  EXPECT_TRUE(association.checked());                        // nothing changed, so still ours
}

// A throw-away home; its name must not contain the program's name, which the check looks for.
class FakeXdgHome : public ::testing::Test {
protected:
  FakeXdgHome() {
    env.home = root / "home";
    env.xdgDataHome = (root / "data").string();
    env.xdgConfigHome = (root / "config").string();
    env.xdgDataDirs = (root / "system").string();
    fs::create_directories(env.home);
  }
  void spit(const fs::path& file, const std::string& text) { temp.write(file, text); }

  XdgAssociationStore store() {
    return XdgAssociationStore(
        env, [this](const std::vector<std::string>& argv) { toolRuns.push_back(argv); });
  }
  fs::path mimeapps() const { return root / "config" / "mimeapps.list"; }

  testing::TempFolder temp{"qln-xdg"};
  const fs::path root = temp.path();
  Environment env;
  std::vector<std::vector<std::string>> toolRuns;
};

TEST_F(FakeXdgHome, StartStateReadsDefaultsAndDesktopEntries) {
  spit(root / "system" / "applications" / "wine-mb.desktop",
       "[Desktop Action X]\nExec=quillon-fake\n[Desktop Entry]\nExec=wine MapBasic.exe %f\n");
  spit(root / "data" / "applications" / "ql.desktop",
       "[Desktop Entry]\nName=Q\nExec = /opt/QUILLON/run\\s%f\n");
  auto s = store();
  FileAssociation association(s);
  EXPECT_FALSE(association.checkAssociation());  // no mimeapps.list at all

  spit(mimeapps(), "[Default Applications]\ntext/x-mapbasic=missing.desktop;ql.desktop;\n");
  EXPECT_TRUE(association.checkAssociation());
  EXPECT_EQ(s.openCommand(".mb"), "/opt/QUILLON/run %f");

  spit(mimeapps(),
       "[Added Associations]\napplication/x-mapbasic-project=ql.desktop;\n"
       "[Default "
       "Applications]\ntext/x-mapbasic=ql.desktop;\napplication/"
       "x-mapbasic-project=wine-mb.desktop\n");
  EXPECT_FALSE(association.checkAssociation());  // project files decide

  // A FIFO in its place is no list of defaults, and does not block.
  testing::HangGuard guard;
  fs::remove(mimeapps());
  ::mkfifo(mimeapps().c_str(), 0644);
  EXPECT_EQ(s.openCommand(".mb"), "");
}

TEST_F(FakeXdgHome, ToggleInstallsEntriesAndKeepsOtherDefaults) {
  spit(mimeapps(),
       "# mine\n[Default Applications]\ntext/html=firefox.desktop;\n\n[Added "
       "Associations]\nx/y=z;\n");
  spit(root / "mb" / "MAPBASIC" / "MapBasic.exe", "MZ");
  spit(root / "bin" / "update-mime-database", "#!/bin/sh\n");
  fs::permissions(root / "bin" / "update-mime-database", fs::perms::owner_all);
  env.path = (root / "bin").string();

  auto s = store();
  FileAssociation association(s);
  association.checkAssociation();
  const fs::path program = "/opt/Quillon $Test/quillon";
  ASSERT_EQ(association.toggleDefaultEditor(program, root / "mb" / "MAPBASIC" / ""), std::nullopt);
  EXPECT_TRUE(association.checked() && association.checkAssociation())
      << "what was written reads back as ours";

  const std::string entry = readFile(root / "data" / "applications" / "quillon.desktop");
  EXPECT_THAT(entry, HasSubstr("\nExec=\"/opt/Quillon \\\\$Test/quillon\" %f\n"));
  EXPECT_THAT(entry, HasSubstr("\nX-Quillon-Command=/opt/Quillon $Test/quillon \"%1\"\n"));
  EXPECT_THAT(entry, HasSubstr("MimeType=text/x-mapbasic;application/x-mapbasic-project;"));
  EXPECT_THAT(readFile(root / "data" / "mime" / "packages" / "quillon-mapbasic.xml"),
              HasSubstr("*.mbp"));
  EXPECT_EQ(readFile(mimeapps()),
            "# mine\n[Default Applications]\ntext/html=firefox.desktop;\n"
            "text/x-mapbasic=quillon.desktop;\napplication/x-mapbasic-project=quillon.desktop;\n"
            "\n[Added Associations]\nx/y=z;\n");
  // The MIME database is rebuilt once, for the user's folder only.
  EXPECT_EQ(
      toolRuns,
      (std::vector<std::vector<std::string>>{
          {(root / "bin" / "update-mime-database").string(), (root / "data" / "mime").string()}}));

  ASSERT_EQ(association.toggleDefaultEditor(program, root / "mb" / "MAPBASIC" / ""), std::nullopt);
  EXPECT_FALSE(association.checkAssociation());
  // Found in its real letter case and run through Wine.
  EXPECT_EQ(s.openCommand(".mbp"),
            "wine " + (root / "mb" / "MAPBASIC" / "MapBasic.exe").string() + " %f");
  EXPECT_THAT(readFile(mimeapps()), HasSubstr("text/x-mapbasic=quillon-mapbasic.desktop;\n"));
  EXPECT_EQ(toolRuns.size(), 1u);  // MIME types unchanged, no second rebuild
}

TEST_F(FakeXdgHome, WorksWithoutMimeToolAndReportsRefusedWrites) {
  env.path = (root / "nowhere").string();
  auto s = store();
  FileAssociation association(s);
  ASSERT_EQ(association.toggleDefaultEditor("/usr/bin/quillon", "/mb/"), std::nullopt);
  EXPECT_TRUE(toolRuns.empty() && association.checkAssociation());

  // A mimeapps.list that cannot be replaced (here a folder, which even root cannot rename over).
  fs::remove(mimeapps());
  fs::create_directories(mimeapps());
  EXPECT_EQ(association.toggleDefaultEditor("/usr/bin/quillon", "/mb/"),
            "Failed to set data for 'text/x-mapbasic'");
  EXPECT_FALSE(association.checked());  // re-read: nothing is registered any more
  EXPECT_TRUE(fs::is_directory(mimeapps()) &&
              !fs::exists(root / "config" / "mimeapps.list.quillon-new"));
}

TEST_F(FakeXdgHome, DefaultToolRunnerRunsTheProgramWithoutAShell) {
  const fs::path marker = root / "ran";
  spit(root / "bin" / "tool", "#!/bin/sh\necho \"$1\" > '" + marker.string() + "'\n");
  fs::permissions(root / "bin" / "tool", fs::perms::owner_all);
  XdgAssociationStore::spawnAndWait({(root / "bin" / "tool").string(), "a b;c"});
  EXPECT_EQ(readFile(marker), "a b;c\n");
  XdgAssociationStore::spawnAndWait({(root / "bin" / "absent").string()});  // no crash, no wait
}

}  // namespace
}  // namespace quillon::platform
