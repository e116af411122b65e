#pragma once
#include <filesystem>
#include <string>

#include "pages/document_commands.h"

namespace quillon::build {

// Puts the lines a build's error file names as error marks on the open pages they name, and
// takes a build's marks away again when the same thing is built next. A page is named by its
// tab caption, in any letter case, as the error view's jump finds it; of two pages with the
// name, the one beside the error file. Marks of other builds on the same page stay.
class ErrorMarker {
public:
  explicit ErrorMarker(pages::DocumentCommands& documents) : documents_(documents) {}

  // `origin` is what was built (its full path).
  void mark(const std::filesystem::path& errorFile, const std::string& origin);
  void clear(const std::string& origin);

private:
  pages::DocumentCommands& documents_;
};

}  // namespace quillon::build
