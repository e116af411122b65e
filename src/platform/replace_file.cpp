#include "platform/replace_file.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quillon::platform {

namespace fs = std::filesystem;

namespace {

// An output buffer straight onto a file descriptor that remembers the first write error.
class FdBuffer : public std::streambuf {
public:
  explicit FdBuffer(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }
  int error() const { return error_; }

protected:
  int_type overflow(int_type ch) override {
    if (sync() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }
  int sync() override {
    const char* p = pbase();
    while (p < pptr() && error_ == 0) {
      const ssize_t n = ::write(fd_, p, static_cast<std::size_t>(pptr() - p));
      if (n < 0) {
        if (errno != EINTR) error_ = errno;
      } else {
        p += n;
      }
    }
    setp(buffer_, buffer_ + sizeof buffer_);
    return error_ == 0 ? 0 : -1;
  }

private:
  int fd_;
  int error_ = 0;
  char buffer_[1 << 16];
};

fs::path folderOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// ".big.mb.quillon-save-" for "big.mb": what every save temporary of that file starts with.
// Short enough that the sibling's name fits wherever the file's own name does.
std::string temporaryPrefix(const fs::path& target) {
  return "." + target.filename().string().substr(0, 200) + ".quillon-save-";
}

// The process that wrote the temporary `name` of `target`: the name is the prefix, the
// process id in decimal, "-" and the six characters mkstemp put there, and nothing else.
std::optional<pid_t> temporaryOwner(const std::string& name, const std::string& prefix) {
  if (!name.starts_with(prefix)) return std::nullopt;
  const std::string_view rest = std::string_view(name).substr(prefix.size());
  const std::size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9 || rest.size() != dash + 7)
    return std::nullopt;
  pid_t pid = 0;
  for (char c : rest.substr(0, dash)) {
    if (c < '0' || c > '9') return std::nullopt;
    pid = pid * 10 + (c - '0');
  }
  for (char c : rest.substr(dash + 1))
    if (!std::isalnum(static_cast<unsigned char>(c))) return std::nullopt;
  if (pid <= 0) return std::nullopt;
  return pid;
}

// The sibling being written: removed again unless it was renamed into place.
class Sibling {
public:
  explicit Sibling(const fs::path& target) {
    name_ = (folderOf(target) / (temporaryPrefix(target) + std::to_string(::getpid()) + "-XXXXXX"))
                .string();
    fd_ = ::mkostemp(name_.data(), O_CLOEXEC);
    if (fd_ < 0) error_ = errno;
  }
  ~Sibling() {
    if (fd_ >= 0) ::close(fd_);
    if (!placed_ && error_ == 0) ::unlink(name_.c_str());
  }
  Sibling(const Sibling&) = delete;
  Sibling& operator=(const Sibling&) = delete;

  int fd() const { return fd_; }
  int openError() const { return error_; }
  const std::string& name() const { return name_; }
  // Closes the descriptor; the close is where some file systems report a failed write.
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }
  void placed() { placed_ = true; }

private:
  std::string name_;
  int fd_ = -1;
  int error_ = 0;
  bool placed_ = false;
};

mode_t newFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Makes the rename itself durable; a failure here loses nothing already written.
void flushFolder(const fs::path& target) {
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

// A symbolic link is saved through: the file it points at is the one replaced.
fs::path saveTarget(const fs::path& path) {
  std::error_code ec;
  if (fs::is_symlink(path, ec)) {
    const fs::path resolved = fs::weakly_canonical(path, ec);
    if (!ec) return resolved;
  }
  return path;
}

void removeStaleIn(const fs::path& folder, const std::vector<std::string>& prefixes) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::optional<pid_t> owner;
    for (const std::string& prefix : prefixes)
      if ((owner = temporaryOwner(name, prefix))) break;
    if (!owner) continue;
    // Only a process that is gone leaves its temporary for good; one still saving keeps it.
    if (::kill(*owner, 0) == 0 || errno != ESRCH) continue;
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
      continue;
    ::unlink(it->path().c_str());
  }
}

}  // namespace

void removeStaleSaveTemporaries(const fs::path& path) {
  removeStaleSaveTemporaries(std::vector<fs::path>{path});
}

void removeStaleSaveTemporaries(const std::vector<fs::path>& paths) {
  std::map<fs::path, std::vector<std::string>> prefixes;  // by folder
  for (const fs::path& path : paths) {
    const fs::path target = saveTarget(path);
    prefixes[folderOf(target)].push_back(temporaryPrefix(target));
  }
  for (const auto& [folder, wanted] : prefixes) removeStaleIn(folder, wanted);
}

FileReplaced replaceFile(const fs::path& path, const std::function<void(std::ostream&)>& write) {
  FileReplaced result;
  auto fail = [&](int err) {
    result.error = err != 0 ? err : EIO;
    return result;
  };

  const fs::path target = saveTarget(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return fail(errno);
  if (exists) {
    if (S_ISDIR(old.st_mode)) return fail(EISDIR);
    if (!S_ISREG(old.st_mode)) return fail(EINVAL);
    if ((old.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
      return fail(EACCES);
  }

  removeStaleSaveTemporaries(target);
  Sibling sibling(target);
  if (sibling.fd() < 0) return fail(sibling.openError());
  {
    FdBuffer buffer(sibling.fd());
    std::ostream out(&buffer);
    write(out);
    out.flush();
    if (buffer.error() != 0 || !out) return fail(buffer.error());
  }
  if (exists) {
    struct stat mine {};
    if (::fstat(sibling.fd(), &mine) != 0) return fail(errno);
    if (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) {
      if (::fchown(sibling.fd(), old.st_uid, old.st_gid) != 0) {
        result.ownerKept = false;
        // The group alone may still be ours to give.
        (void)::fchown(sibling.fd(), static_cast<uid_t>(-1), old.st_gid);
      }
    }
  }
  // After the owner: a change of owner clears the set-id bits.
  if (::fchmod(sibling.fd(), exists ? old.st_mode & 07777 : newFileMode()) != 0) return fail(errno);
  if (::fsync(sibling.fd()) != 0) return fail(errno);
  if (const int err = sibling.close(); err != 0) return fail(err);
  if (::rename(sibling.name().c_str(), target.c_str()) != 0) return fail(errno);
  sibling.placed();
  flushFolder(target);
  return result;
}

FileReplaced replaceFile(const fs::path& path, std::string_view bytes) {
  return replaceFile(path, [bytes](std::ostream& out) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  });
}

}  // namespace quillon::platform
