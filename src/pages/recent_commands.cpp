#include "pages/recent_commands.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "editor/code_memo.h"
#include "pages/document_commands.h"
#include "platform/file_identity.h"
#include "platform/main_view.h"
#include "platform/ui.h"

namespace quillon::pages {

namespace {

bool exists(const std::string& file) {
  std::error_code ec;
  return std::filesystem::exists(file, ec);
}

}  // namespace

RecentCommands::RecentCommands(Parts parts)
    : ui_(parts.ui),
      view_(parts.view),
      documents_(parts.documents),
      editor_(parts.editor),
      shelf_(parts.shelf),
      files_(kMaxFiles, platform::fileKey),
      fileUsed_(documents_.fileUsed.listen([this](const std::string& path) {
        files_.add(path);
        refreshMenus();
      })) {}

void RecentCommands::refreshMenus() {
  view_.setRecentMenus(files_.captions(), sessions_.captions());
}

void RecentCommands::dropVanishedFiles() {
  for (std::size_t i = files_.size(); i-- > 0;) {
    const std::string path = files_.entries()[i];
    if (!exists(path)) files_.remove(path);
  }
  refreshMenus();
}

void RecentCommands::filePicked(std::size_t entry) {
  if (entry >= files_.size()) return;
  const std::string path = files_.entries()[entry];
  if (exists(path)) {
    documents_.openList() = {path};
    documents_.open(DocumentCommands::Opener::RecentFiles);
    files_.add(path);
  } else {
    files_.remove(path);
    ui_.setStatusText(
        platform::Ui::kMessagePanel,
        "MRU NOT EXIST - DELETED: " + std::filesystem::path(path).filename().string());
  }
  refreshMenus();
}

void RecentCommands::sessionPicked(std::size_t entry) {
  if (entry >= sessions_.size()) return;
  const std::string name = sessions_.entries()[entry];
  const std::optional<SessionShelf::Session> session = shelf_.take(name);
  if (!session) return;
  if (session->remove) {
    sessions_.remove(name);
  } else {
    documents_.openList() = session->files;
    documents_.open(DocumentCommands::Opener::Session);
    // A stored tab past the pages reopened (files gone or already open) selects the last.
    const int tab = std::clamp(session->tab, 0, std::max(0, documents_.tabCount() - 1));
    if (tab != documents_.currentTab()) documents_.selectTab(tab);
    editor_.setSelLine(session->line);
    editor_.setSelStart(std::clamp<editor::Offset>(session->cursor, 0, editor_.charCount()));
    editor_.scrollInView();
    sessions_.add(name);
  }
  documents_.refreshWindowList();
  shelf_.save();
  refreshMenus();
}

bool RecentCommands::confirmClear() {
  return ui_.ask("Confirm", "Really clear recent files list?", platform::Ui::Buttons::YesNo) ==
         platform::Ui::Answer::Yes;
}

void RecentCommands::clearFiles() {
  if (!confirmClear()) return;
  files_.clear();
  refreshMenus();
}

void RecentCommands::clearSessions() {
  if (!confirmClear()) return;
  shelf_.eraseAll(sessions_);
  shelf_.save();
  sessions_.clear();
  refreshMenus();
}

}  // namespace quillon::pages
