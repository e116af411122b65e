#pragma once
#include <filesystem>
#include <functional>

#include "platform/help_viewer.h"
#include "platform/ui.h"

namespace quillon::language {

// "MapBasic Help" (F1) and "Quillon Help" (F2): each opens its help file at its start page.
// A file that is missing, or a viewer that cannot be started, is reported with the file's
// path; the help files are the platform's business, never a reason to fail a command.
class HelpCommands {
public:
  struct Parts {
    platform::Ui& ui;
    std::function<platform::HelpViewer*()> viewer;          // none before start-up
    std::function<std::filesystem::path()> mapBasicFolder;  // empty when not set
    std::function<std::filesystem::path()> programFile;
    // An installed program's shared files (ProgramFiles::findShared); empty: none.
    std::function<std::filesystem::path(const std::filesystem::path&)> findShared = {};
  };

  static constexpr const char* kMapBasicHelpFile = "mapbasic.hlp";
  static constexpr const char* kHtmlHelpFile = "quillon.html";

  explicit HelpCommands(Parts parts) : parts_(std::move(parts)) {}

  // Nothing happens while the MapBasic folder is not set; a relative one is taken from the
  // program folder, and the file is found in any letter case.
  void mapBasicHelp();
  // The program's path with ".chm" when that exists, else quillon.html beside the program,
  // else the installed one.
  void quillonHelp();

private:
  void open(platform::HelpViewer::Kind kind, const std::filesystem::path& file, bool exists);

  Parts parts_;
};

}  // namespace quillon::language
