#pragma once
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace quillon::testing {

// What a user can name where a file is expected but that holds no text to read, for the
// tests of every reader of outside files.
struct SpecialFile {
  std::string what;
  std::filesystem::path path;
};

// In `folder`: a FIFO without a writer (opening it blocks), a socket, a folder and a link to
// the FIFO; and /dev/zero, which never ends.
inline std::vector<SpecialFile> makeSpecialFiles(const std::filesystem::path& folder) {
  const std::filesystem::path fifo = folder / "fifo.mb";
  ::mkfifo(fifo.c_str(), 0644);
  const std::filesystem::path socket = folder / "socket.mb";
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
  ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  ::close(fd);
  std::filesystem::create_directory(folder / "folder.mb");
  std::filesystem::create_symlink(fifo, folder / "link-to-fifo.mb");
  return {{"FIFO", fifo},
          {"socket", socket},
          {"folder", folder / "folder.mb"},
          {"link to a FIFO", folder / "link-to-fifo.mb"},
          {"device", "/dev/zero"}};
}

// A file of `size` bytes that takes no room on disk.
inline std::filesystem::path makeSparseFile(const std::filesystem::path& file, std::uint64_t size) {
  const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
  (void)::ftruncate(fd, static_cast<off_t>(size));
  ::close(fd);
  return file;
}

// Ends the test program when the test blocks for longer than `seconds`, so that a hang fails
// the test instead of stalling the whole run.
class HangGuard {
public:
  explicit HangGuard(unsigned seconds = 20) { ::alarm(seconds); }
  ~HangGuard() { ::alarm(0); }
  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;
};

}  // namespace quillon::testing
