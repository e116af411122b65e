#pragma once
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <system_error>

namespace quillon::testing {

inline std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// "stem 1\r\n" up to "stem count\r\n".
inline std::string numberedLines(const std::string& stem, int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += stem + " " + std::to_string(i) + "\r\n";
  return text;
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
  explicit TempFolder(const char* stem = "quillon-test") {
    std::string tmpl =
        (std::filesystem::temp_directory_path() / (std::string(stem) + "-XXXXXX")).string();
    if (::mkdtemp(tmpl.data())) path_ = tmpl;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

  std::filesystem::path write(const std::filesystem::path& name, const std::string& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, bytes);
    return file;
  }
  static std::string read(const std::filesystem::path& file) { return readFile(file); }

private:
  std::filesystem::path path_;
};

// While it lives, no file may grow past `bytes`: writes beyond fail as on a full disk. A
// file size limit binds root too, where a read-only folder would not.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous_);
    struct rlimit small = saved_;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::sigaction(SIGXFSZ, &previous_, nullptr);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
  struct rlimit saved_ {};
  struct sigaction previous_ {};
};

}  // namespace quillon::testing
