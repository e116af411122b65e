#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace quillon::platform {

namespace {

class FileErrorCategory final : public std::error_category {
public:
  const char* name() const noexcept override { return "file"; }
  std::string message(int) const override { return "not a regular file"; }
};

}  // namespace

const std::error_category& fileErrorCategory() {
  static const FileErrorCategory category;
  return category;
}

std::optional<RegularFile> RegularFile::open(const std::filesystem::path& path, std::error_code& error) {
  error.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    error.assign(errno, std::generic_category());
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode)) {
    error = FileError::notRegular;
    return std::nullopt;
  }
  // Without O_NONBLOCK a FIFO put in the file's place since the stat would block here.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error.assign(errno, std::generic_category());
    return std::nullopt;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (S_ISREG(st.st_mode)) error.assign(errno, std::generic_category());
    else error = FileError::notRegular;
    ::close(fd);
    return std::nullopt;
  }
  // A regular file never blocks; the flag goes so that reads behave as ordinary reads.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return RegularFile(fd, static_cast<std::uint64_t>(st.st_size));
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t RegularFile::read(char* buffer, std::size_t count, std::error_code& error) {
  error.clear();
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd_, buffer + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error.assign(errno, std::generic_category());
      break;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::optional<std::string> readRegularFile(const std::filesystem::path& path, std::uint64_t limit,
                                           std::error_code& error) {
  std::optional<RegularFile> file = RegularFile::open(path, error);
  if (!file) return std::nullopt;
  if (file->size() > limit) {
    error.assign(EFBIG, std::generic_category());
    return std::nullopt;
  }
  // Files the system reports as empty (those under /proc) are read until they end.
  const std::uint64_t expected = file->size() > 0 ? file->size() : 4096;
  std::string data(static_cast<std::size_t>(std::min(expected, limit)), '\0');
  std::size_t size = 0;
  for (;;) {
    size += file->read(data.data() + size, data.size() - size, error);
    if (error) return std::nullopt;
    if (size < data.size()) break;
    // Full: the file grew since it was opened, or its size was not known.
    if (data.size() >= limit) {
      char probe;
      if (file->read(&probe, 1, error) == 0 && !error) break;
      if (!error) error.assign(EFBIG, std::generic_category());
      return std::nullopt;
    }
    data.resize(static_cast<std::size_t>(std::min<std::uint64_t>(limit, data.size() * 2)));
  }
  data.resize(size);
  return data;
}

}  // namespace quillon::platform
