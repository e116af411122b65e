#include "build/project_file.h"

#include "platform/ascii_text.h"
#include "platform/text_lines.h"

namespace quillon::build {

namespace {

// Tabs as spaces and each run of spaces as one, trimmed.
std::string_view squeezed(std::string_view line, std::string& buffer) {
  line = platform::trim(line);
  buffer.clear();
  buffer.reserve(line.size());
  for (char c : line) {
    if (c == '\t') c = ' ';
    if (c == ' ' && !buffer.empty() && buffer.back() == ' ') continue;
    buffer += c;
  }
  return platform::trim(buffer);
}

void replaceFirst(std::string& text, std::string_view what) {
  if (const std::size_t at = text.find(what); at != std::string::npos) {
    text[at] = '=';
    text.erase(at + 1, what.size() - 1);
  }
}

}  // namespace

std::optional<std::string> ProjectFile::moduleValue(std::string_view line) {
  std::string buffer;
  std::string_view text = squeezed(line, buffer);
  if (text.empty() || text.front() == '[' || text.front() == '\'') return std::nullopt;
  if (const std::size_t quote = text.find('\''); quote != std::string_view::npos)
    text = platform::trim(text.substr(0, quote));
  if (text.empty()) return std::nullopt;
  if (text.size() >= 11 && platform::equalsNoCase(text.substr(0, 11), "application"))
    return std::nullopt;

  std::string module(text);
  replaceFirst(module, " = ");
  replaceFirst(module, " =");
  replaceFirst(module, "= ");
  const std::size_t eq = module.find('=');
  return std::string(platform::trim(eq == std::string::npos
                                        ? std::string_view(module)
                                        : std::string_view(module).substr(eq + 1)));
}

std::vector<std::string> ProjectFile::moduleValues(std::string_view text) {
  std::vector<std::string> values;
  platform::forEachLine(text, [&](const platform::TextLine& line) {
    if (auto value = moduleValue(line.text)) values.push_back(std::move(*value));
  });
  return values;
}

std::string ProjectFile::sourceName(std::string_view value) {
  const std::size_t partStart =
      value.find_last_of("\\/:") == std::string_view::npos ? 0 : value.find_last_of("\\/:") + 1;
  const std::size_t dot = value.rfind('.');
  const bool hasExtension = dot != std::string_view::npos && dot > partStart;
  return std::string(hasExtension ? value.substr(0, dot) : value) + ".mb";
}

std::string ProjectFile::linkText(std::string_view application,
                                  const std::vector<std::string>& modules) {
  std::string text = "[LINK]\r\nApplication=";
  text += application;
  for (const std::string& module : modules) text += "\r\nModule=" + module;
  return text;
}

}  // namespace quillon::build
