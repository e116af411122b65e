#include "settings/ini_file.h"

#include <algorithm>
#include <system_error>

#include "platform/ascii_text.h"
#include "platform/regular_file.h"
#include "platform/replace_file.h"

namespace quillon::settings {
namespace fs = std::filesystem;

namespace {

// The blanks the profile functions strip around names and values; Ctrl-Z is an old
// end-of-file mark that editors leave behind.
bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n' || c == '\x1a';
}

std::string_view trim(std::string_view s) { return platform::trim(s, isBlank); }

std::string_view eolText(std::uint8_t eol) {
  static constexpr std::string_view texts[] = {"", "\n", "\r\n", "\r"};
  return texts[eol];
}

IniResult failure(std::string error, std::string detail) {
  IniResult r;
  r.ok = false;
  r.error = std::move(error);
  r.detail = std::move(detail);
  return r;
}

}  // namespace

std::string IniFile::fold(std::string_view name) { return platform::asciiLowered(name); }

IniFile::Line IniFile::parseLine(std::string_view text, Eol eol) {
  Line line;
  line.text.assign(text);
  line.eol = eol;
  const std::string_view body = trim(text);
  if (body.empty()) return line;  // Blank
  const std::size_t begin = static_cast<std::size_t>(body.data() - text.data());
  const auto setKey = [&](std::string_view k) {
    line.keyBegin = static_cast<std::size_t>(k.data() - text.data());
    line.keyLength = k.size();
  };
  if (body.front() == ';') {
    line.kind = Kind::Comment;
    return line;
  }
  if (body.front() == '[') {
    const std::size_t close = body.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      line.kind = Kind::Header;
      setKey(trim(body.substr(1, close - 1)));
      return line;
    }
    // No "]": an ordinary line.
  }
  const std::size_t eq = body.find('=');
  if (eq == std::string_view::npos) {
    line.kind = Kind::Entry;
    setKey(body);
    return line;
  }
  const std::string_view key = trim(body.substr(0, eq));
  if (key.empty()) {
    line.kind = Kind::Ignored;
    return line;
  }
  line.kind = Kind::Entry;
  setKey(key);
  line.hasValue = true;
  const std::string_view value = trim(body.substr(eq + 1));
  // An empty value still needs a position inside the line.
  line.valueBegin =
      value.empty() ? begin + eq + 1 : static_cast<std::size_t>(value.data() - text.data());
  line.valueLength = value.size();
  return line;
}

IniFile::IniFile(const IniFile& other) : IniFile(other.bytes()) { modified_ = other.modified_; }

IniFile& IniFile::operator=(const IniFile& other) {
  if (this != &other) {
    setBytes(other.bytes());
    modified_ = other.modified_;
  }
  return *this;
}

void IniFile::Section::reindex() {
  keys.clear();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == Kind::Entry) keys.try_emplace(fold(lines[i].key()), i);
}

void IniFile::clear() {
  sections_.clear();
  index_.clear();
  Section preamble;
  preamble.preamble = true;
  sections_.push_back(std::move(preamble));
  modified_ = false;
}

void IniFile::addLine(Line line) {
  if (sections_.empty()) clear();
  if (line.kind == Kind::Header) {
    Section s;
    s.name.assign(line.key());
    s.lines.push_back(std::move(line));
    sections_.push_back(std::move(s));
    const SectionIter it = std::prev(sections_.end());
    index_[fold(it->name)].push_back(it);
    return;
  }
  Section& s = sections_.back();
  if (line.kind == Kind::Entry && !s.preamble) s.keys.try_emplace(fold(line.key()), s.lines.size());
  s.lines.push_back(std::move(line));
}

void IniFile::setBytes(std::string_view bytes) {
  clear();
  std::size_t pos = 0;
  // The next CR and LF, each found with one fast scan and reused until passed.
  std::size_t nextCr = 0, nextLf = 0;
  bool haveCr = false, haveLf = false;
  while (pos < bytes.size()) {
    if (!haveCr || (nextCr != std::string_view::npos && nextCr < pos)) {
      nextCr = bytes.find('\r', pos);
      haveCr = true;
    }
    if (!haveLf || (nextLf != std::string_view::npos && nextLf < pos)) {
      nextLf = bytes.find('\n', pos);
      haveLf = true;
    }
    const std::size_t brk = std::min(nextCr, nextLf);
    if (brk == std::string_view::npos) {
      addLine(parseLine(bytes.substr(pos), Eol::None));
      break;
    }
    Eol eol = Eol::Lf;
    std::size_t next = brk + 1;
    if (bytes[brk] == '\r') {
      if (next < bytes.size() && bytes[next] == '\n') {
        eol = Eol::CrLf;
        ++next;
      } else {
        eol = Eol::Cr;
      }
    }
    addLine(parseLine(bytes.substr(pos, brk - pos), eol));
    pos = next;
  }
  modified_ = false;
}

std::string IniFile::bytes() const {
  std::size_t total = 0;
  for (const Section& s : sections_)
    for (const Line& l : s.lines) total += l.text.size() + 2;
  std::string out;
  out.reserve(total);
  for (const Section& s : sections_)
    for (const Line& l : s.lines) {
      out += l.text;
      out += eolText(static_cast<std::uint8_t>(l.eol));
    }
  return out;
}

IniResult IniFile::load(const fs::path& path) {
  std::error_code error;
  const std::optional<std::string> data = platform::readRegularFile(path, kMaxFileSize, error);
  if (!data) return failure("Cannot open file " + path.string(), error.message());
  setBytes(*data);
  return {};
}

IniResult IniFile::save(const fs::path& path) {
  const platform::FileReplaced saved = platform::replaceFile(path, bytes());
  if (!saved)
    return failure("Cannot create file " + path.string(),
                   std::generic_category().message(saved.error));
  modified_ = false;
  return {};
}

const IniFile::Section* IniFile::findSection(std::string_view section) const {
  const auto it = index_.find(fold(trim(section)));
  return it == index_.end() ? nullptr : &*it->second.front();
}

IniFile::Section* IniFile::findSection(std::string_view section) {
  const auto it = index_.find(fold(trim(section)));
  return it == index_.end() ? nullptr : &*it->second.front();
}

const IniFile::Line* IniFile::findEntry(std::string_view section, std::string_view key) const {
  const Section* s = findSection(section);
  if (!s) return nullptr;
  const auto it = s->keys.find(fold(trim(key)));
  return it == s->keys.end() ? nullptr : &s->lines[it->second];
}

bool IniFile::sectionExists(std::string_view section) const {
  return findSection(section) != nullptr;
}

bool IniFile::valueExists(std::string_view section, std::string_view key) const {
  return findEntry(section, key) != nullptr;
}

std::optional<std::string> IniFile::readValue(std::string_view section,
                                              std::string_view key) const {
  const Line* line = findEntry(section, key);
  if (!line || !line->hasValue) return std::nullopt;
  std::string_view v = line->value();
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  std::optional<std::string> v = readValue(section, key);
  return v ? std::move(*v) : std::string(defaultValue);
}

std::vector<std::string> IniFile::sectionNames() const {
  std::vector<std::string> out;
  for (const Section& s : sections_) {
    if (s.preamble) continue;
    // Listed once, at its first occurrence.
    if (&*index_.at(fold(s.name)).front() == &s) out.push_back(s.name);
  }
  return out;
}

std::vector<std::string> IniFile::readSection(std::string_view section) const {
  std::vector<std::string> out;
  const Section* s = findSection(section);
  if (!s) return out;
  for (std::size_t i = 0; i < s->lines.size(); ++i) {
    const Line& l = s->lines[i];
    if (l.kind != Kind::Entry) continue;
    if (s->keys.at(fold(l.key())) == i) out.emplace_back(l.key());
  }
  return out;
}

std::vector<std::string> IniFile::readSectionValues(std::string_view section) const {
  std::vector<std::string> out;
  const Section* s = findSection(section);
  if (!s) return out;
  for (const Line& l : s->lines) {
    if (l.kind != Kind::Entry) continue;
    std::string text(l.key());
    if (l.hasValue) {
      text += '=';
      text += l.value();
    }
    out.push_back(std::move(text));
  }
  return out;
}

std::vector<std::string> IniFile::readList(std::string_view section, std::string_view prefix,
                                           std::size_t limit) const {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < limit; ++i) {
    std::string value = readString(section, std::string(prefix) + std::to_string(i), "");
    if (value.empty()) break;
    out.push_back(std::move(value));
  }
  return out;
}

bool IniFile::validSectionName(std::string_view section) {
  return !platform::hasLineBreak(section);
}

bool IniFile::validKey(std::string_view key) {
  key = trim(key);
  return !key.empty() && !platform::hasLineBreak(key) && key.find('=') == std::string_view::npos &&
         key.front() != ';' && key.front() != '[';
}

bool IniFile::validValue(std::string_view value) { return !platform::hasLineBreak(value); }

void IniFile::terminateLastLine() {
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
    if (it->lines.empty()) continue;
    if (it->lines.back().eol == Eol::None) it->lines.back().eol = Eol::CrLf;
    return;
  }
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  section = trim(section);
  key = trim(key);
  if (!validSectionName(section) || !validKey(key) || !validValue(value)) return false;
  if (sections_.empty()) clear();

  Section* s = findSection(section);
  if (!s) {
    // A new section goes at the end of the file.
    terminateLastLine();
    addLine(parseLine("[" + std::string(section) + "]", Eol::CrLf));
    addLine(parseLine(std::string(key) + "=" + std::string(value), Eol::CrLf));
    modified_ = true;
    return true;
  }

  const auto found = s->keys.find(fold(key));
  if (found != s->keys.end()) {
    Line& line = s->lines[found->second];
    if (line.hasValue && line.value() == value) return true;  // leave the line as it is
    // Keep the key as the file spells it.
    line = parseLine(std::string(line.key()) + "=" + std::string(value), Eol::CrLf);
    modified_ = true;
    return true;
  }

  // Append after the section's last header, key or other content line, so that blank lines
  // and comments that lead into the next section stay in front of it.
  std::size_t at = s->lines.size();
  while (at > 0 && (s->lines[at - 1].kind == Kind::Blank || s->lines[at - 1].kind == Kind::Comment))
    --at;
  // Only the file's last line can lack a line end; it gets one when a line follows it.
  if (at == s->lines.size() && s->lines.back().eol == Eol::None) s->lines.back().eol = Eol::CrLf;
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at),
                  parseLine(std::string(key) + "=" + std::string(value), Eol::CrLf));
  // Only blank and comment lines moved down, so no indexed position changed.
  s->keys.try_emplace(fold(key), at);
  modified_ = true;
  return true;
}

bool IniFile::deleteKey(std::string_view section, std::string_view key) {
  Section* s = findSection(section);
  if (!s) return false;
  key = trim(key);
  const auto before = s->lines.size();
  std::erase_if(s->lines, [&](const Line& l) {
    return l.kind == Kind::Entry && platform::equalsNoCase(l.key(), key);
  });
  if (s->lines.size() == before) return false;
  s->reindex();
  modified_ = true;
  return true;
}

bool IniFile::eraseSection(std::string_view section) {
  const auto it = index_.find(fold(trim(section)));
  if (it == index_.end()) return false;
  for (const SectionIter& s : it->second) sections_.erase(s);
  index_.erase(it);
  modified_ = true;
  return true;
}

bool IniFile::writeList(std::string_view section, std::string_view prefix,
                        const std::vector<std::string>& items, std::size_t limit) {
  eraseSection(section);
  bool all = true;
  std::size_t n = 0;
  for (const std::string& item : items) {
    if (n >= limit) break;
    if (writeString(section, std::string(prefix) + std::to_string(n), item))
      ++n;
    else
      all = false;
  }
  return all;
}

bool IniFile::appendLine(std::string_view line) {
  if (platform::hasLineBreak(line)) return false;
  terminateLastLine();
  addLine(parseLine(line, Eol::CrLf));
  modified_ = true;
  return true;
}

}  // namespace quillon::settings
