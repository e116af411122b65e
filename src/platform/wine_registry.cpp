#include "platform/wine_registry.h"

#include <system_error>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/regular_file.h"

namespace quillon::platform {
namespace {

// Windows-1252 bytes 0x80-0x9F as Unicode; the five unassigned bytes map to themselves so
// that they survive a round trip.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t fromAnsi(unsigned char c) {
  return (c >= 0x80 && c < 0xA0) ? kCp1252High[c - 0x80] : static_cast<char16_t>(c);
}

char toAnsi(char16_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == u) return static_cast<char>(0x80 + i);
  return '?';
}

std::string toAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t u : text) out += toAnsi(u);
  return out;
}

std::string ansiToUtf8(std::string_view text) {
  std::string out;
  for (char c : text) {
    char32_t u = fromAnsi(static_cast<unsigned char>(c));
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

// Key paths are compared folded, without outer backslashes and with runs of backslashes as one.
std::string normaliseKey(std::string_view key) {
  std::string out;
  for (char c : key) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += asciiLower(c);
  }
  if (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

// Reads the escaped text that starts at `pos` up to the unescaped `close`, with Wine's
// escapes: \a \b \e \f \n \r \t \v, \x with up to four hex digits, up to three octal digits,
// and a backslash before any other character standing for that character. On success `pos`
// is just past the closing character.
std::optional<std::u16string> readEscaped(std::string_view line, std::size_t& pos, char close) {
  std::u16string out;
  while (pos < line.size()) {
    char c = line[pos++];
    if (c == close) return out;
    if (c != '\\') {
      out += fromAnsi(static_cast<unsigned char>(c));
      continue;
    }
    if (pos >= line.size()) return std::nullopt;
    char e = line[pos++];
    switch (e) {
      case 'a': out += u'\a'; break;
      case 'b': out += u'\b'; break;
      case 'e': out += char16_t{27}; break;
      case 'f': out += u'\f'; break;
      case 'n': out += u'\n'; break;
      case 'r': out += u'\r'; break;
      case 't': out += u'\t'; break;
      case 'v': out += u'\v'; break;
      case 'x': {
        unsigned value = 0;
        int digits = 0;
        while (digits < 4 && pos < line.size() && hexDigitValue(line[pos]) >= 0)
          value = value * 16 + static_cast<unsigned>(hexDigitValue(line[pos++])), ++digits;
        out += digits ? static_cast<char16_t>(value) : u'x';
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          unsigned value = static_cast<unsigned>(e - '0');
          for (int digits = 1;
               digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7'; ++digits)
            value = value * 8 + static_cast<unsigned>(line[pos++] - '0');
          out += static_cast<char16_t>(value);
        } else {
          out += fromAnsi(static_cast<unsigned char>(e));
        }
    }
  }
  return std::nullopt;  // no closing character: a truncated line
}

std::string cutAtNul(std::u16string text) {
  auto nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
  return toAnsi(text);
}

WineRegistry::Value::Type typeFromNumber(unsigned number) {
  using Type = WineRegistry::Value::Type;
  switch (number) {
    case 1: return Type::String;
    case 2: return Type::ExpandString;
    case 7: return Type::MultiString;
    case 4: return Type::Dword;
    case 3: return Type::Binary;
    default: return Type::Other;
  }
}

// Parses "(N):" after "hex" or "str"; a missing "(N)" means `plain`.
std::optional<unsigned> readTypeNumber(std::string_view data, std::size_t& pos, unsigned plain) {
  unsigned number = plain;
  if (pos < data.size() && data[pos] == '(') {
    ++pos;
    number = 0;
    int digits = 0;
    while (pos < data.size() && hexDigitValue(data[pos]) >= 0 && digits < 8)
      number = number * 16 + static_cast<unsigned>(hexDigitValue(data[pos++])), ++digits;
    if (!digits || pos >= data.size() || data[pos] != ')') return std::nullopt;
    ++pos;
  }
  if (pos >= data.size() || data[pos] != ':') return std::nullopt;
  ++pos;
  return number;
}

std::optional<WineRegistry::Value> parseData(std::string_view data) {
  using Type = WineRegistry::Value::Type;
  WineRegistry::Value value;
  std::size_t pos = 0;
  if (data.starts_with('"')) {
    pos = 1;
    auto text = readEscaped(data, pos, '"');
    if (!text) return std::nullopt;
    value.type = Type::String;
    value.text = cutAtNul(std::move(*text));
    return value;
  }
  if (data.starts_with("str")) {
    pos = 3;
    auto number = readTypeNumber(data, pos, 1);
    if (!number || pos >= data.size() || data[pos] != '"') return std::nullopt;
    ++pos;
    auto text = readEscaped(data, pos, '"');
    if (!text) return std::nullopt;
    value.type = typeFromNumber(*number);
    value.text = value.type == Type::MultiString ? toAnsi(*text) : cutAtNul(std::move(*text));
    return value;
  }
  if (data.starts_with("hex")) {
    pos = 3;
    auto number = readTypeNumber(data, pos, 3);
    if (!number) return std::nullopt;
    std::vector<unsigned char> bytes;
    while (pos < data.size()) {
      char c = data[pos];
      if (c == ',' || c == ' ' || c == '\t' || c == '\\') {
        ++pos;
        continue;
      }
      if (pos + 1 >= data.size() || hexDigitValue(c) < 0 || hexDigitValue(data[pos + 1]) < 0)
        return std::nullopt;
      bytes.push_back(
          static_cast<unsigned char>(hexDigitValue(c) * 16 + hexDigitValue(data[pos + 1])));
      pos += 2;
    }
    value.type = typeFromNumber(*number);
    if (value.type == Type::String || value.type == Type::ExpandString ||
        value.type == Type::MultiString) {
      std::u16string text;
      for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
      value.text = value.type == Type::MultiString ? toAnsi(text) : cutAtNul(std::move(text));
    }
    return value;
  }
  if (data.starts_with("dword:")) {
    value.type = Type::Dword;
    value.text = std::string(trim(data.substr(6)));
    return value;
  }
  return std::nullopt;
}

void parseHive(std::string_view text, WineRegistry::Hive& hive) {
  std::map<std::string, WineRegistry::Value>* section = nullptr;
  std::size_t start = 0;
  std::string joined;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view physical = trim(text.substr(start, end - start));
    start = end + 1;
    // Long binary values continue on the next line after a trailing backslash.
    if (!physical.empty() && physical.back() == '\\' && start < text.size()) {
      joined.append(physical.substr(0, physical.size() - 1));
      continue;
    }
    std::string_view line = physical;
    if (!joined.empty()) {
      joined.append(physical);
      line = joined;
    }
    if (line.starts_with('[')) {
      std::size_t pos = 1;
      auto key = readEscaped(line, pos, ']');
      section = key ? &hive[normaliseKey(toAnsi(*key))] : nullptr;
    } else if (section && (line.starts_with('"') || line.starts_with('@'))) {
      std::string name;
      std::size_t pos = 1;
      bool ok = true;
      if (line.front() == '"') {
        auto quoted = readEscaped(line, pos, '"');
        ok = quoted.has_value();
        if (ok) name = asciiLowered(toAnsi(*quoted));
      }
      if (ok) {
        std::string_view rest = trim(line.substr(pos));
        if (rest.starts_with('=')) {
          if (auto value = parseData(trim(rest.substr(1)))) (*section)[name] = std::move(*value);
        }
      }
    }
    joined.clear();
  }
}

// A hive that cannot be read counts as empty: the folders are then asked for.
std::string readFile(const std::filesystem::path& file) {
  std::error_code error;
  return platform::readRegularFile(file, WineRegistry::kMaxHiveSize, error).value_or(std::string());
}

}  // namespace

WineRegistry WineRegistry::load(const std::filesystem::path& prefix) {
  return fromText(readFile(prefix / "system.reg"), readFile(prefix / "user.reg"), prefix);
}

WineRegistry WineRegistry::fromText(std::string_view systemReg, std::string_view userReg,
                                    const std::filesystem::path& prefix) {
  WineRegistry registry;
  registry.prefix_ = prefix;
  parseHive(systemReg, registry.machine_);
  parseHive(userReg, registry.user_);
  return registry;
}

const WineRegistry::Value* WineRegistry::find(const Hive& hive, std::string_view key,
                                              std::string_view name) const {
  const std::string folded = normaliseKey(key);
  auto section = hive.find(folded);
  // A 32-bit program on a 64-bit prefix installs under Wow6432Node.
  if (section == hive.end() && folded.starts_with("software\\"))
    section = hive.find("software\\wow6432node\\" + folded.substr(9));
  if (section == hive.end()) return nullptr;
  auto value = section->second.find(asciiLowered(name));
  return value == section->second.end() ? nullptr : &value->second;
}

std::optional<std::string> WineRegistry::readString(RegistryRoot root, std::string_view key,
                                                    std::string_view name) const {
  const Value* value = find(root == RegistryRoot::LocalMachine ? machine_ : user_, key, name);
  if (!value || (value->type != Value::Type::String && value->type != Value::Type::ExpandString))
    return std::nullopt;
  return value->text;
}

std::optional<std::filesystem::path> WineRegistry::toLocalPath(std::string_view windowsPath) const {
  std::string_view path = trim(windowsPath);
  if (prefix_.empty() || path.size() < 2 || path[1] != ':') return std::nullopt;
  char letter = asciiLower(path[0]);
  if (letter < 'a' || letter > 'z') return std::nullopt;
  if (path.size() > 2 && path[2] != '\\' && path[2] != '/')
    return std::nullopt;  // "C:dir" is relative

  std::error_code ec;
  const std::filesystem::path drive =
      std::filesystem::canonical(prefix_ / "dosdevices" / std::string{letter, ':'}, ec);
  if (ec) return std::nullopt;

  std::filesystem::path current = drive;
  bool onDisk = true;  // once a folder is missing, the rest is taken as spelled
  std::size_t pos = 2;
  while (pos < path.size()) {
    std::size_t end = path.find_first_of("\\/", pos);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (current != drive) current = current.parent_path();
      continue;
    }
    std::string name = ansiToUtf8(part);
    if (onDisk && !std::filesystem::exists(current / name, ec)) {
      const std::string folded = asciiLowered(name);
      std::string match;
      for (std::filesystem::directory_iterator it(current, ec), last; !ec && it != last;
           it.increment(ec)) {
        if (asciiLowered(it->path().filename().string()) == folded) {
          match = it->path().filename().string();
          break;
        }
      }
      if (match.empty())
        onDisk = false;
      else
        name = match;
    }
    current /= name;
  }
  return current;
}

std::string WineRegistry::toWindowsPath(const std::filesystem::path& localPath) const {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path path = fs::weakly_canonical(fs::absolute(localPath, ec), ec);
  if (ec) path = localPath;
  const std::string text = path.string();

  char letter = 'Z';
  std::size_t matched = 0;  // bytes of `text` the best drive's target covers
  bool found = false;
  if (!prefix_.empty()) {
    for (fs::directory_iterator it(prefix_ / "dosdevices", ec), last; !ec && it != last;
         it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.size() != 2 || name[1] != ':' || asciiLower(name[0]) < 'a' ||
          asciiLower(name[0]) > 'z')
        continue;
      std::error_code targetError;
      const std::string target = fs::canonical(it->path(), targetError).string();
      if (targetError || target.empty()) continue;
      const bool covers =
          target == "/" || text == target ||
          (text.size() > target.size() && text.starts_with(target) && text[target.size()] == '/');
      const std::size_t length = target == "/" ? 0 : target.size();
      if (covers && (!found || length > matched)) {
        found = true;
        matched = length;
        letter = asciiUpper(name[0]);
      }
    }
  }
  if (!found) matched = 0;
  std::string rest = text.substr(matched);
  for (char& c : rest)
    if (c == '/') c = '\\';
  if (rest.empty()) rest = "\\";
  return std::string{letter, ':'} + rest;
}

std::filesystem::path withTrailingSeparator(const std::filesystem::path& folder) {
  if (folder.empty() || !folder.has_filename()) return folder;
  return folder / "";
}

ProgramFolders findProgramFolders(const Registry& registry) {
  auto folderAt = [&](std::string_view key) -> std::filesystem::path {
    auto value = registry.readString(RegistryRoot::LocalMachine, key, "ProgramDirectory");
    if (!value || trim(*value).empty()) return {};
    auto local = registry.toLocalPath(*value);
    return local ? withTrailingSeparator(*local) : std::filesystem::path();
  };
  ProgramFolders folders;
  folders.mapInfo = folderAt("\\Software\\MapInfo\\MapInfo\\Professional");
  folders.mapBasic = folderAt("\\Software\\MapInfo\\MapBasic");
  if (folders.mapBasic.empty())
    folders.mapBasic = folderAt("\\software\\MapInfo\\MapInfo\\MapBasic");
  return folders;
}

}  // namespace quillon::platform
