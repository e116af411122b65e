#pragma once
// A started program over a scratch folder: long sleeps pass at once, and the stand-in compiler
// is MapBasic.exe in a MapBasic folder of its own.
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "editor/code_memo.h"
#include "pages/document_commands.h"
#include "platform/posix_process_launcher.h"
#include "settings/settings.h"
#include "support/fixed_metrics.h"
#include "support/temp_folder.h"
#include "support/test_program.h"
#include "support/workbench_ports.h"

namespace quillon::testing {

namespace fs = std::filesystem;

class BuildFixture : public ::testing::Test, protected WorkbenchPorts {
protected:
  BuildFixture() {
    // Short sleeps (the polling) pass for real, so the stand-in gets its time; the long
    // fixed waits are only recorded.
    clock.onSleep = [](std::chrono::milliseconds d) {
      if (d <= std::chrono::milliseconds(50))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    fs::create_directories(mapBasic);
    fs::copy_file(QUILLON_STANDIN_MAPBASIC, mapBasic / "MapBasic.exe");
  }

  // No wine, and a Wine prefix of the test's own.
  static platform::Environment environmentOf(const TestProgram& installed,
                                             const TempFolder& folder) {
    platform::Environment e;
    e.home = installed.folder() / "home";
    e.winePrefix = (folder / "prefix").string();
    e.path = "/nonexistent";
    return e;
  }

  void SetUp() override {
    editor().setMetrics(&metrics);
    editor().setViewport(400, 160);
    app::Workbench::Surroundings s = installed.surroundings();
    s.environment.winePrefix = env.winePrefix;
    bench.start(installed.file(), {}, s);
    bench.settings()->values().mapBasicFolder = mapBasic / "";
  }

  editor::CodeMemo& editor() { return bench.sourceEditor(); }
  editor::CodeMemo& errors() { return bench.errorView(); }
  pages::DocumentCommands& docs() { return bench.documents(); }

  // Opens files as pages, the last one in front.
  void open(const std::vector<fs::path>& files) {
    docs().openList().assign(files.begin(), files.end());
    docs().open(pages::DocumentCommands::Opener::Session);
  }
  fs::path source(const std::string& name, const std::string& text) {
    return folder.write(name, text);
  }
  std::string standinLog() const { return readFile(mapBasic / "standin-calls.log"); }
  std::string status() const { return ui.statusText(4); }
  // 1-based line of the source editor's caret, as a paragraph.
  std::int64_t caretLine() { return editor().selPar() + 1; }

  TestProgram installed;
  TempFolder folder{"quillon-build"};
  fs::path mapBasic = folder / "MapBasic";
  platform::Environment env = environmentOf(installed, folder);
  testing::FixedMetrics metrics;
  platform::PosixProcessLauncher programs{env};
  app::Workbench bench{ports(programs)};
};

}  // namespace quillon::testing
