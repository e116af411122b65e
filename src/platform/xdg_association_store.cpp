#include "platform/xdg_association_store.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

#include "platform/ascii_text.h"
#include "platform/regular_file.h"
#include "platform/replace_file.h"

extern char** environ;

namespace quillon::platform {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kMimeSource = "text/x-mapbasic";
constexpr std::string_view kMimeProject = "application/x-mapbasic-project";
constexpr std::string_view kDefaultGroup = "[Default Applications]";

std::string failedToSet(std::string_view name) {
  return "Failed to set data for '" + std::string(name) + "'";
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Desktop entries and mimeapps.list are small; anything larger is not one of them.
constexpr std::uint64_t kMaxFileSize = std::uint64_t{4} << 20;

std::optional<std::string> readFile(const fs::path& file) {
  std::error_code error;
  return platform::readRegularFile(file, kMaxFileSize, error);
}

bool writeFileSafely(const fs::path& file, const std::string& content) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  return static_cast<bool>(replaceFile(file, content));
}

// Writes only when the content differs; reports whether the file is now as wanted and whether
// it changed.
bool ensureFile(const fs::path& file, const std::string& content, bool& changed) {
  changed = false;
  if (readFile(file) == content) return true;
  changed = true;
  return writeFileSafely(file, content);
}

// Desktop entry values escape backslash and control characters.
std::string escapeValue(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string unescapeValue(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char e = text[++i];
    out += e == 's' ? ' ' : e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
  }
  return out;
}

// One Exec argument: quoted when it holds a reserved character, with the four characters that
// stay special inside quotes escaped; a literal percent sign is doubled.
std::string execArgument(std::string_view arg) {
  const bool quote =
      arg.empty() || arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string_view::npos;
  std::string out = quote ? "\"" : "";
  for (char c : arg) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  if (quote) out += '"';
  return out;
}

// The file in `folder` named `name` in any letter case; Windows installs do not keep one spelling.
fs::path findIgnoringCase(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  if (fs::exists(folder / name, ec)) return folder / name;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (equalsNoCase(it->path().filename().string(), name)) return it->path();
  return folder / name;
}

std::optional<std::string> desktopExec(const fs::path& file) {
  auto text = readFile(file);
  if (!text) return std::nullopt;
  bool inEntry = false;
  for (const auto& raw : splitLines(*text)) {
    std::string_view line = trim(raw);
    if (line.starts_with('[')) {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    auto eq = line.find('=');
    if (inEntry && eq != std::string_view::npos && trim(line.substr(0, eq)) == "Exec")
      return unescapeValue(trim(line.substr(eq + 1)));
  }
  return std::nullopt;
}

}  // namespace

XdgAssociationStore::XdgAssociationStore(Environment env, ToolRunner runTool)
    : env_(std::move(env)), runTool_(std::move(runTool)) {}

std::string_view XdgAssociationStore::mimeTypeFor(std::string_view extension) {
  if (extension == ".mb") return kMimeSource;
  if (extension == ".mbp") return kMimeProject;
  return {};
}

std::string_view XdgAssociationStore::desktopIdFor(Opener::Kind kind) {
  return kind == Opener::Kind::Quillon ? "quillon.desktop" : "quillon-mapbasic.desktop";
}

void XdgAssociationStore::spawnAndWait(const std::vector<std::string>& argv) {
  if (argv.empty()) return;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
  }
  posix_spawn_file_actions_destroy(&actions);
}

std::optional<std::string> XdgAssociationStore::defaultOpener(std::string_view mimeType) const {
  auto text = readFile(env_.configHome() / "mimeapps.list");
  if (!text) return std::nullopt;
  bool inDefaults = false;
  for (const auto& raw : splitLines(*text)) {
    std::string_view line = trim(raw);
    if (line.starts_with('[')) {
      inDefaults = line == kDefaultGroup;
      continue;
    }
    auto eq = line.find('=');
    if (inDefaults && eq != std::string_view::npos && trim(line.substr(0, eq)) == mimeType)
      return std::string(trim(line.substr(eq + 1)));
  }
  return std::nullopt;
}

std::string XdgAssociationStore::openCommand(std::string_view extension) const {
  std::string_view mimeType = mimeTypeFor(extension);
  if (mimeType.empty()) return {};
  auto ids = defaultOpener(mimeType);
  if (!ids) return {};
  std::vector<fs::path> folders{env_.dataHome()};
  for (const auto& dir : env_.dataDirs()) folders.push_back(dir);
  // The first listed entry that is installed is the one the desktop uses.
  std::string_view rest = *ids;
  while (!rest.empty()) {
    auto semicolon = rest.find(';');
    std::string id(trim(rest.substr(0, semicolon)));
    rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
    if (id.empty() || id.find('/') != std::string::npos) continue;
    for (const auto& folder : folders)
      if (auto exec = desktopExec(folder / "applications" / id)) return *exec;
  }
  return {};
}

std::optional<std::string> XdgAssociationStore::installMimeTypes() {
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
      "  <mime-type type=\"text/x-mapbasic\">\n"
      "    <sub-class-of type=\"text/plain\"/>\n"
      "    <comment>MapBasic source</comment>\n"
      "    <glob pattern=\"*.mb\"/>\n"
      "  </mime-type>\n"
      "  <mime-type type=\"application/x-mapbasic-project\">\n"
      "    <sub-class-of type=\"text/plain\"/>\n"
      "    <comment>MapBasic project</comment>\n"
      "    <glob pattern=\"*.mbp\"/>\n"
      "  </mime-type>\n"
      "</mime-info>\n";
  const fs::path mimeFolder = env_.dataHome() / "mime";
  bool changed = false;
  if (!ensureFile(mimeFolder / "packages" / "quillon-mapbasic.xml", xml, changed))
    return failedToSet(kMimeSource);
  if (changed) {
    if (auto tool = env_.findProgram("update-mime-database"))
      runTool_({tool->string(), mimeFolder.string()});
  }
  return std::nullopt;
}

std::optional<std::string> XdgAssociationStore::installDesktopEntry(const Opener& opener) {
  const bool self = opener.kind == Opener::Kind::Quillon;
  std::string exec;
  if (self) {
    exec = execArgument(opener.program.string());
  } else {
    fs::path program =
        findIgnoringCase(opener.program.parent_path(), opener.program.filename().string());
    const std::string extension = asciiLowered(program.extension().string());
    // MapBasic is a Windows program; Wine runs it and maps the file argument itself.
    exec = (extension == ".exe" ? "wine " : "") + execArgument(program.string());
  }
  exec += " %f";

  std::string entry = "[Desktop Entry]\nType=Application\n";
  entry +=
      self ? "Name=Quillon\nGenericName=MapBasic Editor\nComment=Edit and build MapBasic programs\n"
           : "Name=MapBasic\nComment=MapBasic development environment\nNoDisplay=true\n";
  entry += "Exec=" + escapeValue(exec) + "\n";
  entry += "Terminal=false\n";
  if (self) entry += "Categories=Development;TextEditor;\n";
  entry += "MimeType=" + std::string(kMimeSource) + ";" + std::string(kMimeProject) + ";\n";
  entry += "X-Quillon-Command=" + escapeValue(opener.command) + "\n";

  bool changed = false;
  if (!ensureFile(env_.dataHome() / "applications" / std::string(desktopIdFor(opener.kind)), entry,
                  changed))
    return failedToSet("Exec");
  return std::nullopt;
}

std::optional<std::string> XdgAssociationStore::setDefault(std::string_view mimeType,
                                                           std::string_view desktopId) {
  const fs::path file = env_.configHome() / "mimeapps.list";
  std::vector<std::string> lines;
  if (auto text = readFile(file)) lines = splitLines(*text);
  const std::string wanted = std::string(mimeType) + "=" + std::string(desktopId) + ";";

  std::optional<std::size_t> group;
  for (std::size_t i = 0; i < lines.size() && !group; ++i)
    if (trim(lines[i]) == kDefaultGroup) group = i;
  if (!group) {
    if (!lines.empty() && !trim(lines.back()).empty()) lines.emplace_back();
    lines.emplace_back(kDefaultGroup);
    lines.push_back(wanted);
  } else {
    std::size_t insertAt = *group + 1;
    bool replaced = false;
    for (std::size_t i = *group + 1; i < lines.size(); ++i) {
      std::string_view line = trim(lines[i]);
      if (line.starts_with('[')) break;
      if (line.empty()) continue;
      insertAt = i + 1;
      auto eq = line.find('=');
      if (eq != std::string_view::npos && trim(line.substr(0, eq)) == mimeType) {
        lines[i] = wanted;
        replaced = true;
        break;
      }
    }
    if (!replaced) lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), wanted);
  }
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  bool changed = false;
  if (!ensureFile(file, text, changed)) return failedToSet(mimeType);
  return std::nullopt;
}

std::optional<std::string> XdgAssociationStore::setOpener(std::string_view extension,
                                                          const Opener& opener) {
  std::string_view mimeType = mimeTypeFor(extension);
  if (mimeType.empty()) return failedToSet("");
  if (auto error = installMimeTypes()) return error;
  if (auto error = installDesktopEntry(opener)) return error;
  return setDefault(mimeType, desktopIdFor(opener.kind));
}

}  // namespace quillon::platform
