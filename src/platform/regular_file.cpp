#include "platform/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/memory_pages.h"

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

std::optional<RegularFile> RegularFile::open(const std::filesystem::path& path,
                                             std::error_code& error) {
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
    if (S_ISREG(st.st_mode))
      error.assign(errno, std::generic_category());
    else
      error = FileError::notRegular;
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

std::optional<FileBytes> readRegularFileBytes(const std::filesystem::path& path,
                                              std::uint64_t limit, std::error_code& error) {
  std::optional<RegularFile> file = RegularFile::open(path, error);
  if (!file) return std::nullopt;
  if (file->size() > limit) {
    error.assign(EFBIG, std::generic_category());
    return std::nullopt;
  }
  // Files the system reports as empty (those under /proc) are read until they end.
  std::size_t capacity = static_cast<std::size_t>(
      std::min<std::uint64_t>(file->size() > 0 ? file->size() : 4096, limit));
  // Not zeroed: every page is touched once, by the read, and large pages are asked for first.
  FileBytes bytes{std::make_unique_for_overwrite<char[]>(capacity + 1), 0};
  preferLargePages(bytes.data.get(), capacity + 1);
  for (;;) {
    bytes.size += file->read(bytes.data.get() + bytes.size, capacity - bytes.size, error);
    if (error) return std::nullopt;
    if (bytes.size < capacity) break;
    // Full: the end of the file, or it grew since it was opened, or its size was not known.
    char next;
    const std::size_t more = file->read(&next, 1, error);
    if (error) return std::nullopt;
    if (more == 0) break;
    if (bytes.size >= limit) {
      error.assign(EFBIG, std::generic_category());
      return std::nullopt;
    }
    capacity =
        static_cast<std::size_t>(std::min<std::uint64_t>(limit, std::uint64_t{capacity} * 2));
    auto grown = std::make_unique_for_overwrite<char[]>(capacity + 1);
    preferLargePages(grown.get(), capacity + 1);
    std::memcpy(grown.get(), bytes.data.get(), bytes.size);
    grown[bytes.size++] = next;
    bytes.data = std::move(grown);
  }
  return bytes;
}

std::optional<FileBytes> readRegularFileHead(const std::filesystem::path& path, std::uint64_t limit,
                                             bool& cut, std::error_code& error) {
  cut = false;
  std::optional<RegularFile> file = RegularFile::open(path, error);
  if (!file) return std::nullopt;
  // The size at opening bounds the buffer; what the file grew by since counts as left out.
  const auto capacity = static_cast<std::size_t>(
      std::min<std::uint64_t>(limit, std::max<std::uint64_t>(file->size(), 4096)));
  FileBytes bytes{std::make_unique_for_overwrite<char[]>(capacity + 1), 0};
  bytes.size = file->read(bytes.data.get(), capacity, error);
  if (error) return std::nullopt;
  char next;
  cut = bytes.size == capacity && file->read(&next, 1, error) == 1;
  if (error) return std::nullopt;
  return bytes;
}

std::optional<std::string> readRegularFile(const std::filesystem::path& path, std::uint64_t limit,
                                           std::error_code& error) {
  std::optional<FileBytes> bytes = readRegularFileBytes(path, limit, error);
  if (!bytes) return std::nullopt;
  return std::string(bytes->data.get(), bytes->size);
}

}  // namespace quillon::platform
