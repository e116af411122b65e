#include "platform/file_identity.h"

#include <sys/stat.h>

namespace quillon::platform {

std::string fileKey(std::string_view name) {
  struct stat st {};
  if (name.empty() || ::stat(std::string(name).c_str(), &st) != 0) return {};
  return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ':' +
         std::to_string(st.st_ctim.tv_sec) + '.' + std::to_string(st.st_ctim.tv_nsec);
}

}  // namespace quillon::platform
