#include "language/help_commands.h"

#include <system_error>

#include "platform/any_case_file.h"

namespace quillon::language {

namespace fs = std::filesystem;

void HelpCommands::open(platform::HelpViewer::Kind kind, const fs::path& file, bool exists) {
  platform::HelpViewer* viewer = parts_.viewer ? parts_.viewer() : nullptr;
  if (!exists || !viewer || !viewer->open(kind, file))
    parts_.ui.showMessage("Cannot open file " + file.string());
}

void HelpCommands::mapBasicHelp() {
  fs::path folder = parts_.mapBasicFolder ? parts_.mapBasicFolder() : fs::path();
  if (folder.empty()) return;
  if (folder.is_relative()) folder = parts_.programFile().parent_path() / folder;
  const fs::path file = folder / kMapBasicHelpFile;
  const auto found = platform::findAnyCase(file);
  open(platform::HelpViewer::Kind::MapBasic, found.value_or(file), found.has_value());
}

void HelpCommands::quillonHelp() {
  const fs::path program = parts_.programFile();
  fs::path chm = program;
  chm.replace_extension(".chm");
  std::error_code ec;
  if (fs::is_regular_file(chm, ec)) return open(platform::HelpViewer::Kind::Quillon, chm, true);
  fs::path html = program.parent_path() / kHtmlHelpFile;
  if (!fs::is_regular_file(html, ec) && parts_.findShared)
    if (fs::path shared = parts_.findShared(kHtmlHelpFile); !shared.empty()) html = shared;
  open(platform::HelpViewer::Kind::Quillon, html, fs::is_regular_file(html, ec));
}

}  // namespace quillon::language
