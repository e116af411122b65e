#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "platform/automation.h"
#include "platform/environment.h"
#include "platform/process_launcher.h"

namespace quillon::platform {

// Linux has no automation channel into a running GIS program. This stand-in "attaches"
// exactly when `wine` is on PATH and the GIS program (Mapinfow.exe, else MapInfoPro.exe, in
// any letter case) is in the MapInfo folder, and takes one statement, `run application
// "<path>"`: it starts the GIS program through the launcher with that application as its
// only argument, which the GIS program runs. A GIS program already running is not reused.
class WineAutomation final : public Automation {
public:
  WineAutomation(Environment environment, ProcessLauncher& launcher,
                 std::function<std::filesystem::path()> mapInfoFolder);

  bool attach() override;
  void release() override { program_.clear(); }
  std::optional<std::string> doStatement(std::string_view statement) override;

  // The GIS program in `folder`: Mapinfow.exe, else MapInfoPro.exe, any case; empty when
  // neither is there.
  static std::filesystem::path findGisProgram(const std::filesystem::path& folder);
  // The path of `run application "<path>"` with its doubled quotes undone; nullopt for any
  // other statement.
  static std::optional<std::string> applicationOf(std::string_view statement);

private:
  Environment environment_;
  ProcessLauncher& launcher_;
  std::function<std::filesystem::path()> mapInfoFolder_;
  std::filesystem::path program_;  // set while attached
  // Started programs, kept so that each is reaped once it ends.
  std::vector<std::shared_ptr<ChildProcess>> started_;
};

}  // namespace quillon::platform
