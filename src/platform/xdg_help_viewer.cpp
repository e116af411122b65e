#include "platform/xdg_help_viewer.h"

#include <system_error>
#include <variant>

namespace quillon::platform {

std::string windowsHelpCommandLine(HelpViewer::Kind kind, const std::filesystem::path& file) {
  return (kind == HelpViewer::Kind::MapBasic ? "winhlp32 \"" : "hh.exe \"") + file.string() + "\"";
}

bool XdgHelpViewer::open(Kind, const std::filesystem::path& file) {
  const auto opener = environment_.findProgram("xdg-open");
  if (!opener) return false;
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
  if (ec) return false;
  LaunchRequest request;
  request.program = *opener;
  request.arguments = {absolute.string()};
  return std::holds_alternative<std::shared_ptr<ChildProcess>>(launcher_.launch(request));
}

}  // namespace quillon::platform
