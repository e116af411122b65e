#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/environment.h"
#include "platform/file_association.h"

namespace quillon::platform {

// The association kept the freedesktop way, all in the user's own folders:
//  - MIME types for ".mb" and ".mbp" in $XDG_DATA_HOME/mime/packages/quillon-mapbasic.xml,
//  - a desktop entry per opener in $XDG_DATA_HOME/applications (quillon.desktop for this
//    program, quillon-mapbasic.desktop for MapBasic), each keeping the Windows command text
//    under X-Quillon-Command,
//  - the default opener per MIME type in $XDG_CONFIG_HOME/mimeapps.list.
// An extension that has no MIME type yet gets ours the first time an opener is set, the
// counterpart of a Windows extension getting the type "mb_auto_file".
class XdgAssociationStore final : public AssociationStore {
public:
  // Runs an outside tool (argv[0] is its full path) and waits for it; failures are ignored.
  using ToolRunner = std::function<void(const std::vector<std::string>& argv)>;

  explicit XdgAssociationStore(Environment env, ToolRunner runTool = spawnAndWait);

  std::string openCommand(std::string_view extension) const override;
  std::optional<std::string> setOpener(std::string_view extension, const Opener& opener) override;

  static std::string_view mimeTypeFor(std::string_view extension);
  static std::string_view desktopIdFor(Opener::Kind kind);
  static void spawnAndWait(const std::vector<std::string>& argv);

private:
  std::optional<std::string> installMimeTypes();
  std::optional<std::string> installDesktopEntry(const Opener& opener);
  std::optional<std::string> setDefault(std::string_view mimeType, std::string_view desktopId);
  std::optional<std::string> defaultOpener(std::string_view mimeType) const;

  Environment env_;
  ToolRunner runTool_;
};

}  // namespace quillon::platform
