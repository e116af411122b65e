// Where a program finds its defaults and keeps the user's files, run from its build folder
// and installed under a prefix; the installed runs go through a whole Workbench start.
#include "settings/program_files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

#include "app/workbench.h"
#include "editor/highlight_engine.h"
#include "language/word_lists.h"
#include "pages/document_commands.h"
#include "support/temp_folder.h"
#include "support/workbench_ports.h"

namespace quillon::settings {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// A prefix as `make install` lays it out, under a temporary folder: <root>/usr/bin/quillon and
// the defaults the build made in <root>/usr/share/quillon, a home of its own.
class InstalledProgram : public ::testing::Test {
protected:
  InstalledProgram() {
    fs::create_directories(bin);
    fs::create_directories(share);
    const fs::path build(QUILLON_BINARY_DIR);
    for (const char* ext : {".bin", ".ctx", ".dic", ".def"})
      fs::copy_file(build / ("quillon" + std::string(ext)), share / ("quillon" + std::string(ext)));
    env.home = root / "home";
    env.xdgConfigHome = (root / "home/.config").string();
    env.xdgDataHome = (root / "home/.local/share").string();
    env.xdgDataDirs = (root / "elsewhere").string();
  }
  fs::path program() const { return bin / "quillon"; }
  fs::path configFile() const { return root / "home/.config/quillon/quillon.ini"; }
  fs::path userDictionary() const { return root / "home/.local/share/quillon/quillon.dic"; }

  TempFolder folder{"quillon-installed"};
  fs::path root = folder.path(), bin = root / "usr/bin", share = root / "usr/share/quillon";
  platform::Environment env;
};

TEST_F(InstalledProgram, DefaultsComeFromBesideThenShareThenTheDataDirsAndTheUserFilesFromHome) {
  ProgramFiles files(program(), env);
  EXPECT_TRUE(files.installed()) << "the folder is writable here, and by root anywhere";
  EXPECT_EQ(std::tuple(files.defaultFile(".bin"), files.settingsFile(), files.dictionary()),
            std::tuple(share / "quillon.bin", configFile(), userDictionary()));

  // A file missing from share is looked for under XDG_DATA_DIRS, and else named in share.
  fs::remove(share / "quillon.ctx");
  fs::remove(share / "quillon.def");
  folder.write(root / "elsewhere/quillon/quillon.ctx", "x");
  EXPECT_EQ(std::tuple(files.defaultFile(".ctx"), files.defaultFile(".def")),
            std::tuple(root / "elsewhere/quillon/quillon.ctx", share / "quillon.def"));

  // A copy beside the program comes first, and turns it into a build-folder program.
  folder.write(bin / "quillon.bin", "\x01\x00\x01\x00");
  ProgramFiles beside(program(), env);
  EXPECT_EQ(std::tuple(beside.installed(), beside.defaultFile(".bin"), beside.settingsFile(),
                       beside.dictionary()),
            std::tuple(false, bin / "quillon.bin", bin / "quillon.ini", bin / "quillon.dic"));
}

TEST_F(InstalledProgram, OnlyTheDataDirsMakeAProgramInstalledToo) {
  const fs::path opt = root / "opt/q/quillon";
  fs::create_directories(opt.parent_path());
  EXPECT_FALSE(ProgramFiles(opt, env).installed());
  env.xdgDataDirs = (root / "usr/share").string();
  ProgramFiles files(opt, env);
  EXPECT_EQ(std::tuple(files.installed(), files.defaultFile(".def")),
            std::tuple(true, share / "quillon.def"));
}

TEST_F(InstalledProgram, TheDictionaryIsCopiedOnceAndTheCopyIsTheUsers) {
  fs::permissions(share / "quillon.dic",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  ProgramFiles files(program(), env);
  ASSERT_TRUE(files.ensureUserDictionary());
  EXPECT_EQ(TempFolder::read(userDictionary()), TempFolder::read(share / "quillon.dic"));
  EXPECT_NE(fs::status(userDictionary()).permissions() & fs::perms::owner_write, fs::perms::none);
  folder.write(userDictionary(), "Mine\r\n");
  ASSERT_TRUE(files.ensureUserDictionary());
  EXPECT_EQ(TempFolder::read(userDictionary()), "Mine\r\n") << "never copied over the user's words";

  // A data home that is a file: the copy fails, and says so to the caller.
  env.xdgDataHome = folder.write(root / "not-a-folder", "").string();
  EXPECT_FALSE(ProgramFiles(program(), env).ensureUserDictionary());
}

// The whole start of an installed program: the first run names the installed files, the
// user's words go to the user's copy, the shared folder is never written.
struct InstalledRun : testing::WorkbenchPorts {
  app::Workbench bench{ports()};
  InstalledRun(const fs::path& program, const platform::Environment& env) {
    app::Workbench::Surroundings s;
    s.environment = env;
    s.folderLookup = [] { return platform::ProgramFolders{"/opt/mapinfo/", "/opt/mapbasic/"}; };
    bench.start(program, {}, s);
  }
};

TEST_F(InstalledProgram, FirstRunNamesTheInstalledFilesAndSavesWordsInTheUsersDictionary) {
  const std::string sharedWords = TempFolder::read(share / "quillon.dic");
  {
    InstalledRun run(program(), env);
    EXPECT_TRUE(run.ui.messages().empty()) << ::testing::PrintToString(run.ui.messages());
    EXPECT_GT(run.bench.highlighting().keywords().count(), 0) << "the key file was read from share";
    const std::string ini = TempFolder::read(configFile());
    for (const std::string& line :
         {"KeyFile=" + (share / "quillon.bin").string(), "DictFile=" + userDictionary().string(),
          "HelpFile=" + (share / "quillon.ctx").string(),
          "DefFile=" + (share / "quillon.def").string()})
      EXPECT_NE(ini.find(line + "\r\n"), std::string::npos) << line;
    run.bench.wordLists().add(language::WordList::Dict, "Zyzzyva");
    ASSERT_TRUE(run.bench.closeQuery());
  }
  EXPECT_FALSE(fs::exists(bin / "quillon.ini"));
  EXPECT_EQ(TempFolder::read(share / "quillon.dic"), sharedWords);
  EXPECT_NE(TempFolder::read(userDictionary()).find("Zyzzyva\r\n"), std::string::npos);
}

TEST_F(InstalledProgram, AMissingKeyFileIsNamedWhereItShouldBeAndStartUpGoesOn) {
  fs::remove(share / "quillon.bin");
  InstalledRun run(program(), env);
  EXPECT_EQ(run.ui.messages(), std::vector<std::string>{"Can Not Locate KeyFile:\n" +
                                                        (share / "quillon.bin").string() +
                                                        "\n\nLOADING DEFAULT....."});
  EXPECT_EQ(run.bench.documents().tabCaptions(), std::vector<std::string>{"Untitled"});
}

TEST_F(InstalledProgram, AConfigHomeThatIsAFileLeavesTheSettingsReadOnlyAndTheCloseSaysSo) {
  env.xdgConfigHome = folder.write(root / "config-file", "").string();
  InstalledRun run(program(), env);
  const std::size_t atStart = run.ui.messages().size();
  ASSERT_TRUE(run.bench.closeQuery());
  const std::vector<std::string> atClose(
      run.ui.messages().begin() + static_cast<std::ptrdiff_t>(atStart), run.ui.messages().end());
  EXPECT_EQ(atClose, std::vector<std::string>{"Cannot create file " +
                                              (root / "config-file/quillon/quillon.ini").string()});
  EXPECT_EQ(TempFolder::read(root / "config-file"), "");
}

}  // namespace
}  // namespace quillon::settings
