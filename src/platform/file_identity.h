#pragma once
#include <string>
#include <string_view>

namespace quillon::platform {

// A short text that is equal for two names of one existing file (device, inode and the inode's
// change time), or empty when the name leads to no file. Two names are one file when they are
// equal or have equal keys: another spelling of the path, a link, or another letter case on a
// file system that ignores case all count as the same file, and two names that differ only in
// case on one that does not are two files. One stat, so that a list compares many names at
// one stat each. The change time keeps a key taken earlier from matching another file
// that got the inode of a deleted one; the price is that two spellings of one file whose keys
// were taken on either side of a change are not recognised as one.
std::string fileKey(std::string_view name);

}  // namespace quillon::platform
