// A stand-in for the MapBasic compiler, driven by comments in the source it compiles:
//   'standin-error <line> <text>          an error line "(<source name, lower case>:<line>) <text>"
//   'standin-error-in <file> <line> <text> an error line "(<file>:<line>) <text>"
//   'standin-sleep <ms>                    takes that long (the build benchmark)
//   'standin-hold <name>                   waits until a file <name> appears beside the source
//                                          (at most a minute), so a test decides when it ends
//   'standin-print <text>                  prints the text and a line feed to standard output
//   'standin-print-error <text>            the same to standard error
//   'standin-spew <bytes>                  prints that many bytes of 'x' lines to standard output
//   'standin-binary                        prints bytes 0-255 and invalid UTF-8 to standard output
//   'standin-exit <code>                   ends with that exit code (after writing its files)
//   'standin-no-files                      writes neither output nor error file
//   'standin-crash                         ends by SIGSEGV, writing nothing
//   'standin-hang                          never ends by itself
//   'standin-ignore-term                   ignores SIGTERM from then on
//   'standin-fork-hold <ms>                leaves a child that holds standard output that long
//   'standin-leave <ext>                   writes the source's <ext> file at once (a partial
//   output)
// Without errors a source with a "Sub Main" line (any case) gives .mbx, any other .mbo.
// "-L project" writes the project's Application= file when the .mbo of every Module= exists,
// else the project's .err. Every call appends its arguments and working folder to
// standin-calls.log beside the program.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  return s;
}

std::string trim(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

// Each line is trimmed where it is used, which takes a CR before the LF too.
std::vector<std::string> readLines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void write(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

void logCall(int argc, char** argv) {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  std::ofstream log(self.parent_path() / "standin-calls.log", std::ios::app | std::ios::binary);
  log << "call";
  for (int i = 0; i < argc; ++i) log << " [" << argv[i] << "]";
  log << " in [" << fs::current_path(ec).string() << "]\n";
}

int compile(const fs::path& source) {
  std::string errors;
  bool main = false;
  bool files = true;
  int exitCode = 0;
  const std::string name = lower(source.filename().string());
  for (const std::string& raw : readLines(source)) {
    const std::string line = trim(raw);
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "'standin-error" || word == "'standin-error-in") {
      std::string file = name, number, text;
      if (word == "'standin-error-in") words >> file;
      words >> number;
      std::getline(words, text);
      errors += "(" + file + ":" + number + ") " + trim(text) + "\r\n";
    } else if (long ms = 0; word == "'standin-sleep" && words >> ms) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    } else if (std::string release; word == "'standin-hold" && words >> release) {
      std::error_code ec;
      for (int i = 0; i < 6000 && !fs::exists(source.parent_path() / release, ec); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } else if (word == "'standin-print" || word == "'standin-print-error") {
      std::string text;
      std::getline(words, text);
      text = trim(text) + "\n";
      [[maybe_unused]] auto n = ::write(word == "'standin-print" ? 1 : 2, text.data(), text.size());
    } else if (long bytes = 0; word == "'standin-spew" && words >> bytes) {
      std::string block(65536, 'x');
      for (std::size_t i = 79; i < block.size(); i += 80) block[i] = '\n';
      for (long left = bytes; left > 0;) {
        const ssize_t n =
            ::write(1, block.data(), static_cast<std::size_t>(std::min<long>(left, 65536)));
        if (n <= 0) break;
        left -= n;
      }
    } else if (word == "'standin-binary") {
      std::string bytes;
      for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
      bytes += "\xc3\x28 \xe2\x82 \xff\xfe\n";
      [[maybe_unused]] auto n = ::write(1, bytes.data(), bytes.size());
    } else if (word == "'standin-exit") {
      words >> exitCode;
    } else if (std::string ext; word == "'standin-leave" && words >> ext) {
      write(fs::path(source).replace_extension(ext), "partial\n");
    } else if (word == "'standin-no-files") {
      files = false;
    } else if (word == "'standin-crash") {
      ::signal(SIGSEGV, SIG_DFL);
      ::raise(SIGSEGV);
    } else if (word == "'standin-hang") {
      for (;;) ::pause();
    } else if (word == "'standin-ignore-term") {
      ::signal(SIGTERM, SIG_IGN);
    } else if (long ms = 0; word == "'standin-fork-hold" && words >> ms) {
      if (::fork() == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        ::_exit(0);
      }
    } else if (lower(line).rfind("sub main", 0) == 0) {
      main = true;
    }
  }
  fs::path output = source;
  if (!files) return exitCode;
  if (!errors.empty())
    write(output.replace_extension(".err"), errors);
  else
    write(output.replace_extension(main ? ".mbx" : ".mbo"),
          main ? "stand-in application\n" : "stand-in module\n");
  return exitCode;
}

int link(const fs::path& project) {
  const fs::path folder = project.parent_path();
  std::string application;
  std::string errors;
  int number = 0;
  for (const std::string& raw : readLines(project)) {
    ++number;
    const std::string line = trim(raw);
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = lower(trim(line.substr(0, eq)));
    std::string value = trim(line.substr(eq + 1));
    for (char& c : value)
      if (c == '\\') c = '/';
    if (key == "application") application = value;
    if (key == "module" && !fs::exists(folder / value))
      errors += "(" + lower(project.filename().string()) + ":" + std::to_string(number) +
                ") Module not found: " + value + "\r\n";
  }
  if (application.empty())
    errors += "(" + lower(project.filename().string()) + ":1) No application named\r\n";
  if (!errors.empty())
    write(fs::path(project).replace_extension(".err"), errors);
  else
    write(fs::path(application).is_absolute() ? fs::path(application) : folder / application,
          "stand-in application\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  logCall(argc, argv);
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  if (mode == "-D") return compile(argv[2]);
  if (mode == "-L") return link(argv[2]);
  return 2;
}
