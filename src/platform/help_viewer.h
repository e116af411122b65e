#pragma once
#include <filesystem>
#include <string>

namespace quillon::platform {

// Opens a help file in the desktop's viewer and returns at once; the viewer outlives the
// caller. False when no viewer could be started.
class HelpViewer {
public:
  enum class Kind { MapBasic, Quillon };
  virtual ~HelpViewer() = default;
  virtual bool open(Kind kind, const std::filesystem::path& file) = 0;
};

// The command line a Windows build hands to WinExec: "winhlp32 " for MapBasic's help, "hh.exe "
// for ours, the path always quoted so that a folder with blanks still names the file.
std::string windowsHelpCommandLine(HelpViewer::Kind kind, const std::filesystem::path& file);

}  // namespace quillon::platform
