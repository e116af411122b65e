#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace quillon::platform {

// Why an outside file was refused, beside the system's own reasons (errno values).
enum class FileError { notRegular = 1 };
const std::error_category& fileErrorCategory();
inline std::error_code make_error_code(FileError e) {
  return {static_cast<int>(e), fileErrorCategory()};
}

// An outside file opened for reading, and only when it is a regular file: opening a FIFO
// without a writer blocks for ever, a device such as /dev/zero never ends, and a folder or a
// socket holds no text. The path is checked with stat, opened without blocking and checked
// again on the open descriptor, so a file swapped in between is refused too. Every reader of
// a file the user or another program can name goes through here.
class RegularFile {
public:
  // Empty with `error` set when the file is missing, unreadable or not a regular file.
  static std::optional<RegularFile> open(const std::filesystem::path& path, std::error_code& error);

  RegularFile(RegularFile&& other) noexcept : fd_(other.fd_), size_(other.size_) { other.fd_ = -1; }
  RegularFile& operator=(RegularFile&&) = delete;
  RegularFile(const RegularFile&) = delete;
  ~RegularFile();

  // The size when it was opened; the file may still grow or shrink.
  std::uint64_t size() const { return size_; }
  // Fills up to `count` bytes and returns how many; fewer only at the end of the file.
  std::size_t read(char* buffer, std::size_t count, std::error_code& error);

private:
  RegularFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  int fd_;
  std::uint64_t size_;
};

// The whole of a regular file of at most `limit` bytes; a larger one fails with EFBIG before
// it is read. Empty with `error` set on any failure.
std::optional<std::string> readRegularFile(const std::filesystem::path& path, std::uint64_t limit,
                                           std::error_code& error);

// The same in one buffer the caller takes over, so a large file is read into the memory that
// keeps it (the editor adopts the buffer as its text) and never copied.
struct FileBytes {
  std::unique_ptr<char[]> data;  // never null, even for an empty file
  std::size_t size = 0;
};
std::optional<FileBytes> readRegularFileBytes(const std::filesystem::path& path,
                                              std::uint64_t limit, std::error_code& error);

// The first `limit` bytes of a regular file, however long it is; `cut` tells whether more
// followed. For files only their start is worth holding of (a compiler's messages).
std::optional<FileBytes> readRegularFileHead(const std::filesystem::path& path, std::uint64_t limit,
                                             bool& cut, std::error_code& error);

}  // namespace quillon::platform

template <>
struct std::is_error_code_enum<quillon::platform::FileError> : std::true_type {};
