#pragma once
#include "app/workbench.h"
#include "support/build_ports.h"
#include "support/fake_clipboard.h"
#include "support/fake_keyboard.h"
#include "support/fake_main_view.h"
#include "support/fake_printer_port.h"
#include "support/recording_command_states.h"
#include "support/scripted_ui.h"

namespace quillon::testing {

// A fake behind every port of a Workbench, none of which starts a real program. Fixtures
// derive from it, so the fakes are built before the Workbench they hand `ports()` to.
struct WorkbenchPorts {
  app::Workbench::Ports ports() { return ports(launcher); }
  app::Workbench::Ports ports(platform::ProcessLauncher& programs) {
    return {ui,    view,     states,     keyboard,   clipboard,
            clock, programs, automation, mainThread, printer};
  }

  ScriptedUi ui;
  FakeMainView view;
  RecordingCommandStates states;
  FakeKeyboard keyboard;
  testing::FakeClipboard clipboard;
  RecordingClock clock;
  ScriptedLauncher launcher;
  ScriptedAutomation automation;
  QueuedMainThread mainThread;
  FakePrinterPort printer;
};

}  // namespace quillon::testing
