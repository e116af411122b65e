#include "platform/file_identity.h"

#include <sys/stat.h>

#include <string>

namespace quillon::platform {

bool sameFile(std::string_view a, std::string_view b) {
  if (a == b) return true;
  if (a.empty() || b.empty()) return false;
  struct stat first {}, second {};
  return ::stat(std::string(a).c_str(), &first) == 0 && ::stat(std::string(b).c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace quillon::platform
