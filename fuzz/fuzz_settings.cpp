// The settings file as the program reads it at start-up and when a session is picked: any
// bytes must read without a crash, keep the program's own sections, and write back into a
// file that reads the same values again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <string>
#include <unistd.h>

#include "settings/session_store.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;
using namespace quillon;

#define CHECK(cond)                                                                  \
  do {                                                                               \
    if (!(cond)) {                                                                   \
      std::fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

class NullUi final : public platform::Ui {
public:
  void showMessage(std::string_view) override {}
  Answer ask(std::string_view, std::string_view, Buttons) override { return Answer::No; }
  std::optional<std::string> prompt(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::vector<fs::path> openFiles(FileDialog&) override { return {}; }
  std::optional<fs::path> saveFile(const FileDialog&) override { return std::nullopt; }
  std::optional<fs::path> pickFolder(std::string_view, const fs::path&) override {
    return std::nullopt;
  }
  void setStatusText(int, std::string_view) override {}
  std::string statusText(int) const override { return {}; }
  void setBusy(bool) override {}
  void processPendingMessages() override {}
};

const fs::path& programFolder() {
  static const fs::path folder = [] {
    std::string tmpl = (fs::temp_directory_path() / "quillon-fuzz-XXXXXX").string();
    return fs::path(::mkdtemp(tmpl.data()));
  }();
  return folder;
}

platform::Environment environment() {
  platform::Environment env;
  env.home = programFolder() / "home";
  env.xdgConfigHome = (programFolder() / "home/.config").string();
  return env;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path program = programFolder() / "quillon";
  const fs::path ini = programFolder() / "quillon.ini";
  std::ofstream(ini, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  NullUi ui;
  settings::Settings settings(ui, program, environment(), [] {
    return platform::ProgramFolders{"/opt/mapinfo/", "/opt/mapbasic/"};
  });
  settings.read();

  // Every section read as a session, as a pick would; half the files "exist".
  pages::RecentList sessions(settings::kSessionsMaximum);
  for (const std::string& name : settings.file().sectionNames()) {
    const bool reserved = settings::isReservedSectionName(name);
    const bool existed = settings.file().sectionExists(name);
    const settings::SessionContents s = settings::readSession(
        settings.file(), name, [](const std::string& f) { return f.size() % 2 == 0; });
    if (reserved) CHECK(settings.file().sectionExists(name) == existed);
    CHECK(settings::clampSessionTab(s.tab, static_cast<int>(s.files.size())) >= 0);
  }
  pages::RecentList files(settings::kRecentFilesMaximum);
  files.load(settings::IniSectionStore(settings.file(), std::string(settings::kMruListSection)));
  sessions.load(
      settings::IniSectionStore(settings.file(), std::string(settings::kLastSessionSection)));
  settings::writeSession(settings.file(), sessions, {"/w/a.mb", "/w/b.mbp"}, 1, 2, 3);

  // What is written back reads the same values.
  if (settings.write()) {
    settings::Settings again(ui, program, environment(), [] {
      return platform::ProgramFolders{"/opt/mapinfo/", "/opt/mapbasic/"};
    });
    const settings::SettingsValues second = again.read();
    CHECK(second.keyFile == settings.values().keyFile);
    CHECK(second.dictFile == settings.values().dictFile);
    CHECK(second.maxMbVersion == settings.values().maxMbVersion);
  }
  return 0;
}
