#pragma once
#include <string_view>

namespace quillon::platform {

// True when both names lead to one file: by device and inode when both exist, so that another
// spelling of the path, a link, or another letter case on a file system that ignores case all
// count as the same file, and two names that differ only in case on one that does not are two
// files. Names of files that do not exist are the same only when they are equal byte for byte.
bool sameFile(std::string_view a, std::string_view b);

}  // namespace quillon::platform
