// A child for the launcher's tests. Its first argument is a control text of comma-separated
// items: "exit=<code>", "sleep=<ms>", "signal=<n>" (raises it), "report=<file>". The report
// holds every argument (hex, so that any byte survives), the working folder, the open
// descriptors with their targets, and the nice value.
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

std::string hex(const std::string& s) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) out += {digits[c >> 4], digits[c & 15]};
  return out;
}

void report(const std::string& file, int argc, char** argv) {
  std::ostringstream out;
  for (int i = 0; i < argc; ++i) out << "arg " << hex(argv[i]) << "\n";
  char cwd[PATH_MAX];
  if (::getcwd(cwd, sizeof cwd)) out << "cwd " << cwd << "\n";
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    const int own = ::dirfd(dir);
    while (dirent* e = ::readdir(dir)) {
      if (e->d_name[0] == '.') continue;
      const int fd = std::atoi(e->d_name);
      if (fd == own) continue;
      char target[PATH_MAX] = {};
      const std::string link = std::string("/proc/self/fd/") + e->d_name;
      const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
      out << "fd " << fd << " "
          << (n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string()) << "\n";
    }
    ::closedir(dir);
  }
  errno = 0;
  out << "nice " << ::getpriority(PRIO_PROCESS, 0) << "\n";
  std::ofstream(file, std::ios::binary) << out.str();
}

}  // namespace

int main(int argc, char** argv) {
  int code = 0;
  std::string item;
  std::istringstream control(argc > 1 ? argv[1] : "");
  while (std::getline(control, item, ',')) {
    const std::size_t eq = item.find('=');
    const std::string key = item.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : item.substr(eq + 1);
    if (key == "exit")
      code = std::atoi(value.c_str());
    else if (key == "sleep")
      std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(value.c_str())));
    else if (key == "signal")
      ::raise(std::atoi(value.c_str()));
    else if (key == "report")
      report(value, argc, argv);
  }
  return code;
}
