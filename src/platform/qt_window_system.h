#pragma once
#include <QApplication>
#include <memory>

namespace quillon::platform {

// Makes the application object, which connects to the window system, without the abort()
// Qt ends the process with when that first connection fails.
//
// An X server whose last client has just left resets itself and refuses connections for a
// moment (a virtual server between two programs, a session that is starting). So on X a
// connection of our own is opened first, tried again for a few seconds, and held while Qt
// connects: a server with a client does not reset. When no display answers, the reason is
// written to stderr in words and nullptr returned; when Qt cannot start for another reason,
// its reason is written and the process ends at once. Either way the exit code is 1.
std::unique_ptr<QApplication> startApplication(int& argc, char** argv);

}  // namespace quillon::platform
