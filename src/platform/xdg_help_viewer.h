#pragma once
#include "platform/environment.h"
#include "platform/help_viewer.h"
#include "platform/process_launcher.h"

namespace quillon::platform {

// Hands a help file to the desktop's opener, `xdg-open` from PATH, as its one argument: an
// absolute path, so it is never taken for an option, and no shell ever reads it. Nothing
// waits for the opener; the launcher reaps it once it ends.
class XdgHelpViewer final : public HelpViewer {
public:
  XdgHelpViewer(Environment environment, ProcessLauncher& launcher)
      : environment_(std::move(environment)), launcher_(launcher) {}
  bool open(Kind kind, const std::filesystem::path& file) override;

private:
  Environment environment_;
  ProcessLauncher& launcher_;
};

}  // namespace quillon::platform
