// A stand-in for the MapBasic compiler, driven by comments in the source it compiles:
//   'standin-error <line> <text>          an error line "(<source name, lower case>:<line>) <text>"
//   'standin-error-in <file> <line> <text> an error line "(<file>:<line>) <text>"
//   'standin-sleep <ms>                    takes that long (the build benchmark)
//   'standin-hold <name>                   waits until a file <name> appears beside the source
//                                          (at most a minute), so a test decides when it ends
// Without errors a source with a "Sub Main" line (any case) gives .mbx, any other .mbo.
// "-L project" writes the project's Application= file when the .mbo of every Module= exists,
// else the project's .err. Every call appends its arguments and working folder to
// standin-calls.log beside the program.
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
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

void write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

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
    } else if (lower(line).rfind("sub main", 0) == 0) {
      main = true;
    }
  }
  fs::path output = source;
  if (!errors.empty()) write(output.replace_extension(".err"), errors);
  else write(output.replace_extension(main ? ".mbx" : ".mbo"), main ? "stand-in application\n" : "stand-in module\n");
  return 0;
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
      errors += "(" + lower(project.filename().string()) + ":" + std::to_string(number) + ") Module not found: " + value + "\r\n";
  }
  if (application.empty()) errors += "(" + lower(project.filename().string()) + ":1) No application named\r\n";
  if (!errors.empty()) write(fs::path(project).replace_extension(".err"), errors);
  else write(fs::path(application).is_absolute() ? fs::path(application) : folder / application, "stand-in application\n");
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
