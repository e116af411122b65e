#include "lsp/headless_compiler.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace quillon::lsp {
namespace {

namespace fs = std::filesystem;
using Outcome = SourceCompiler::Outcome;

// Runs one compile and waits on the queue for its outcome, as the loop would.
Outcome compileOnce(const fs::path& source, const fs::path& mapBasic) {
  EventQueue queue;
  HeadlessCompiler compiler(queue, QUILLON_BINARY_DIR);
  ServerSettings settings;
  settings.mapBasicFolder = mapBasic;
  std::optional<Outcome> outcome;
  compiler.compile(source, settings, [&](Outcome o) { outcome = std::move(o); });
  while (!outcome) queue.take()();
  return *outcome;
}

class HeadlessCompilerTest : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(dir() / "mb");
    fs::copy_file(QUILLON_STANDIN_MAPBASIC, dir() / "mb" / "MapBasic.exe");
  }
  fs::path dir() const { return folder_.path(); }
  testing::TempFolder folder_;
};

TEST_F(HeadlessCompilerTest, ErrorsPointAtTheFilesTheyName) {
  testing::writeFile(dir() / "Shared.DEF", "Define X 1\r\n");
  testing::writeFile(dir() / "a.mb",
                     "Include \"shared.def\"\r\n'standin-error 2 Unrecognized command: Nott.\r\n"
                     "'standin-error-in shared.def 1 Expecting end of statement.\r\n");
  testing::writeFile(dir() / "a.mbx", "stale");
  const Outcome o = compileOnce(dir() / "a.mb", dir() / "mb");
  EXPECT_EQ(o.kind, Outcome::Kind::failed) << o.message;
  ASSERT_EQ(o.errors.size(), 2u);
  EXPECT_EQ(o.errors[0].file, dir() / "a.mb");
  EXPECT_EQ(o.errors[0].line, 2);
  EXPECT_EQ(o.errors[0].message, "(a.mb:2) Unrecognized command: Nott.");
  // Found in another letter case, as Wine writes names.
  EXPECT_EQ(o.errors[1].file, dir() / "Shared.DEF");
  EXPECT_FALSE(fs::exists(dir() / "a.mbx")) << "a stale output must not pass for a new one";
}

TEST_F(HeadlessCompilerTest, CleanCompileAndMissingCompiler) {
  testing::writeFile(dir() / "m.mb", "Sub Main\r\nEnd Sub\r\n");
  testing::writeFile(dir() / "m.err", "(m.mb:1) old\r\n");
  const Outcome clean = compileOnce(dir() / "m.mb", dir() / "mb");
  EXPECT_EQ(clean.kind, Outcome::Kind::compiled);
  EXPECT_EQ(clean.message, "COMPILED APP: m.mbx");
  const Outcome none = compileOnce(dir() / "m.mb", dir() / "nowhere");
  EXPECT_EQ(none.kind, Outcome::Kind::noCompiler);
  EXPECT_NE(none.message.find("MapBasic.exe"), std::string::npos);
}

TEST_F(HeadlessCompilerTest, ASecondCompileOfTheSameFileStopsWaitingForTheFirst) {
  testing::writeFile(dir() / "h.mb", "'standin-hold go\r\n");
  EventQueue queue;
  HeadlessCompiler compiler(queue, QUILLON_BINARY_DIR);
  ServerSettings settings;
  settings.mapBasicFolder = dir() / "mb";
  std::vector<Outcome::Kind> kinds;
  compiler.compile(dir() / "h.mb", settings, [&](Outcome o) { kinds.push_back(o.kind); });
  compiler.compile(dir() / "h.mb", settings, [&](Outcome o) { kinds.push_back(o.kind); });
  queue.take()();
  ASSERT_EQ(kinds, std::vector<Outcome::Kind>{Outcome::Kind::stopped});
  testing::writeFile(dir() / "go", "");
  queue.take()();
  EXPECT_EQ(kinds.back(), Outcome::Kind::compiled);
}

}  // namespace
}  // namespace quillon::lsp
