#pragma once
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillon::testing {

// The id, in decimal, of a process that has ended and been reaped: what a save killed
// half-way leaves in the name of its temporary.
inline std::string goneProcessId() {
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  int status = 0;
  ::waitpid(gone, &status, 0);
  return std::to_string(gone);
}

}  // namespace quillon::testing
