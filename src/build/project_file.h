#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::build {

// A MapBasic project file (.mbp) as it is read for its modules, and the texts written as one.
//
// How a line reads:
// - Lines break at CR, LF or CR LF. Blanks are a space and any control character; a tab
//   counts as a space and a run of spaces as one. A line is trimmed of blanks.
// - An empty line, a line beginning with "[" (a section header) and one beginning with "'"
//   (a comment) name nothing. In any other line everything from its first "'" on is a
//   comment and goes, and the rest is trimmed again; an empty rest names nothing.
// - A line whose first eleven characters are "application" in any case is the application
//   line; it names no module.
// - Every other line is a module line. The first " = ", then the first " =", then the first
//   "= " become "="; its value is everything after the first "=", trimmed, or the whole line
//   when it has none. The word before the "=" plays no part.
// - A module's source is its value with the extension of its last name part ("\", "/" and
//   ":" separate parts; a leading dot starts no extension) replaced by ".mb", or ".mb" added.
class ProjectFile {
public:
  // The value of a module line; nullopt for every other line.
  static std::optional<std::string> moduleValue(std::string_view line);
  // The values of every module line of a text, in order.
  static std::vector<std::string> moduleValues(std::string_view text);
  static std::string sourceName(std::string_view value);

  // A new project's text, line by line.
  static constexpr std::array<const char*, 4> kTemplate = {
      "[LINK]", "Application=MyProject.MBX", "Module=Module1.MBO", "'Module=more modules *.MBO"};
  // The text of a project linking `modules` into `application`, lines joined by CR LF.
  static std::string linkText(std::string_view application,
                              const std::vector<std::string>& modules);
};

}  // namespace quillon::build
