#include "build/headless_build.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

#include "platform/posix_process_launcher.h"
#include "support/build_ports.h"
#include "support/temp_folder.h"

namespace quillon::build {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

int openDescriptors() {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

// The program in a folder of its own with its settings file naming a MapBasic folder that
// holds the stand-in compiler; no wine on PATH.
class HeadlessBuildTest : public ::testing::Test {
protected:
  HeadlessBuildTest() {
    fs::create_directories(mapBasic);
    fs::create_directories(folder / "home");
    fs::copy_file(QUILLON_STANDIN_MAPBASIC, mapBasic / "MapBasic.exe");
    writeFile(folder / "quillon.ini", "[SYSTEM]\r\nMapBasic=" + (mapBasic / "").string() + "\r\n");
    env.home = folder / "home";
    env.winePrefix = (folder / "prefix").string();
    env.path = "/nonexistent";
  }

  HeadlessBuild::Surroundings surroundings() const {
    return {folder / "quillon", env, [] { return platform::ProgramFolders{}; }, "9.9"};
  }
  // The command line as the program runs it; its exit status, and what it printed.
  int run(const std::vector<std::string>& arguments) {
    std::ostringstream o, e;
    const int status =
        runCommandLine(arguments, o, e, {programs, clock, &automation}, surroundings());
    out = o.str();
    err = e.str();
    return status;
  }
  fs::path source(const std::string& name, const std::string& text) {
    writeFile(folder / name, text);
    return folder / name;
  }

  testing::TempFolder folder{"quillon-headless"};
  fs::path mapBasic = folder / "MapBasic";
  platform::Environment env;
  platform::PosixProcessLauncher programs{env};
  platform::SystemClock clock;
  testing::ScriptedAutomation automation;
  std::string out, err;
};

TEST_F(HeadlessBuildTest, ErrorsArePrintedAsPathLineMessageAndTheStatusSaysFailed) {
  source("parcels.def", "Define A 1\r\nDefine B 2\r\n");
  const fs::path mb = source(
      "parcels.mb",
      "Include \"parcels.def\"\r\nSub Main\r\n'standin-error 2 Unrecognized command: Nott.\r\n"
      "'standin-error-in PARCELS.DEF 2 Expecting end of statement.\r\n"
      "'standin-error-in gone.def 7 Missing file.\r\n'standin-print compiling parcels\r\n");
  EXPECT_EQ(run({"--compile", mb.string()}), 1);
  EXPECT_EQ(err, mb.string() + ":2: error: Unrecognized command: Nott.\n" +
                     (folder / "parcels.def").string() +
                     ":2: error: Expecting end of statement.\n" + (folder / "gone.def").string() +
                     ":7: error: Missing file.\n");
  EXPECT_EQ(out, "compiling parcels\nCOMPILE FAILED....\n");
  EXPECT_TRUE(fs::exists(folder / "parcels.err")) << "the error file stays for the editor";

  // Mended: built, status 0, and the settings file untouched.
  const std::string settings = readFile(folder / "quillon.ini");
  source("parcels.mb", "Sub Main\r\n");
  EXPECT_EQ(run({"--compile", mb.string()}), 0);
  EXPECT_EQ(
      std::tuple(out, err, fs::exists(folder / "parcels.err"), fs::exists(folder / "parcels.mbx")),
      std::tuple("COMPILED APP: parcels.mbx\n", "", false, true));
  EXPECT_EQ(readFile(folder / "quillon.ini"), settings);
}

TEST_F(HeadlessBuildTest, SeveralFilesBuildInTurnAndTheWorstStatusWins) {
  const fs::path good = source("a b \"c\".mb", "Sub Main\r\n");
  const fs::path bad = source("-lead.mb", "'standin-error 1 Bad.\r\n");
  EXPECT_EQ(run({"--compile", good.string(), "--", "-lead.mb"}), 2)
      << "a relative -lead.mb is read where we stand";
  EXPECT_EQ(run({"--compile", good.string(), "--", bad.string()}), 1);
  EXPECT_EQ(out, "COMPILED APP: a b \"c\".mbx\nCOMPILE FAILED....\n");
  EXPECT_EQ(err, bad.string() + ":1: error: Bad.\n");
}

TEST_F(HeadlessBuildTest, LinkBuildsTheProjectsApplication) {
  source("m.mb", "'module\r\n");
  const fs::path project = source("app.mbp", "Application=app.mbx\r\nModule=m.mbo\r\n");
  EXPECT_EQ(run({"--link", project.string()}), 1);
  EXPECT_EQ(err, project.string() + ":2: error: Module not found: m.mbo\n");
  ASSERT_EQ(run({"--compile", (folder / "m.mb").string()}), 0);
  EXPECT_EQ(run({"--link", project.string()}), 0) << err;
  EXPECT_EQ(out, "LINKED: app.mbx\nIn File: app.mbp\n");
}

TEST_F(HeadlessBuildTest, BadInputIsRefusedInWordsWithStatusTwo) {
  const fs::path folderArg = folder / "dir.mb";
  fs::create_directories(folderArg);
  const fs::path fifo = folder / "pipe.mb";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path empty = source("empty.mb", "  \r\n");
  const fs::path project = source("p.mbp", "Application=p.mbx\r\n");
  const struct {
    std::vector<std::string> args;
    std::string says;
  } cases[] = {
      {{"--compile"}, "--compile needs a file"},
      {{"--compile", (folder / "missing.mb").string()}, "missing.mb: no such file"},
      {{"--compile", folderArg.string()}, "is a folder"},
      {{"--compile", fifo.string()}, "is not a regular file"},
      {{"--compile", project.string()}, "(use --link)"},
      {{"--compile", "-x.mb"}, "goes after '--'"},
      {{"--link", project.string(), project.string()}, "takes one file"},
      {{"--compile", empty.string()}, "nothing to build"},
      {{"--frobnicate"}, "unknown option"},
  };
  const int fds = openDescriptors();
  for (const auto& c : cases) {
    EXPECT_EQ(run(c.args), 2) << c.says;
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
  }
  EXPECT_EQ(openDescriptors(), fds);
}

TEST_F(HeadlessBuildTest, AMissingCompilerIsAnErrorInWordsNeverAPicker) {
  const fs::path mb = source("x.mb", "Sub Main\r\n");
  fs::remove(mapBasic / "MapBasic.exe");
  EXPECT_EQ(run({"--compile", mb.string()}), 2);
  EXPECT_EQ(err, "quillon: MapBasic.exe not found in " + (mapBasic / "").string() + "\n");

  // A first run: no settings file, and none written; the empty registry gives no folder.
  fs::remove(folder / "quillon.ini");
  EXPECT_EQ(run({"--compile", mb.string()}), 2);
  EXPECT_NE(err.find("no MapBasic folder: set MapBasic= in " + (folder / "quillon.ini").string()),
            std::string::npos)
      << err;
  EXPECT_FALSE(fs::exists(folder / "quillon.ini"));
}

TEST_F(HeadlessBuildTest, CompilerExitCodesAndOutputCount) {
  const fs::path crash =
      source("crash.mb", "'standin-print-error about to fail\r\n'standin-crash\r\n");
  EXPECT_EQ(run({"--compile", crash.string()}), 1);
  EXPECT_EQ(out, "about to fail\nNO OUTPUT FROM COMPILER: crash.mb\n");
  EXPECT_EQ(err, "quillon: the compiler ended with exit code 139\n");

  // An application with a failing exit code is no success.
  const fs::path odd = source("odd.mb", "Sub Main\r\n'standin-exit 3\r\n");
  EXPECT_EQ(run({"--compile", odd.string()}), 1);
  EXPECT_EQ(out, "COMPILED APP: odd.mbx\n");
}

TEST_F(HeadlessBuildTest, HelpAndVersion) {
  EXPECT_EQ(run({"--help"}), 0);
  EXPECT_NE(out.find("PATH:LINE: error: MESSAGE"), std::string::npos);
  EXPECT_EQ(run({"--version"}), 0);
  EXPECT_EQ(out, "quillon 9.9\n");
  EXPECT_TRUE(isCommandLineBuild({"--compile", "x.mb"}));
  EXPECT_FALSE(isCommandLineBuild({"x.mb", "--compile"})) << "a file to open is no build";
}

// Lines the compiler may write: odd numbers and names never make a bad diagnostic.
TEST(ReadDiagnostics, SkipsLinesThatLeadNowhere) {
  testing::TempFolder folder;
  writeFile(folder / "a.mb", "x\r\n");
  fs::create_directories(folder / "sub.def");
  writeFile(
      folder / "a.err",
      "(a.mb:0) zero\r\n(a.mb:-1) negative\r\n(a.mb:99999999999) huge\r\n(A.MB:5) past the end\r\n"
      "(sub.def:3) a folder\r\n(../a.mb:2) outside\r\nno parenthesis\r\n(a.mb:2)\r\n");
  const std::vector<Diagnostic> d = readDiagnostics(folder / "a.err", {});
  ASSERT_EQ(d.size(), 4u);
  EXPECT_EQ(formatDiagnostic(d[0]), (folder / "a.mb").string() + ":5: error: past the end");
  EXPECT_EQ(d[1].file, folder / "sub.def") << "a folder is not taken for the file, the name stays";
  EXPECT_EQ(d[2].file, folder / "../a.mb");
  EXPECT_EQ(formatDiagnostic(d[3]), (folder / "a.mb").string() + ":2: error: ");
  EXPECT_TRUE(readDiagnostics(folder / "missing.err", {}).empty());
}

}  // namespace
}  // namespace quillon::build
