#include "settings/session_shelf.h"

#include <filesystem>
#include <system_error>

#include "settings/session_store.h"
#include "settings/settings.h"

namespace quillon::settings {

std::optional<pages::SessionShelf::Session> SessionShelf::take(std::string_view name) {
  if (!settings_) return std::nullopt;
  SessionContents stored = readSession(settings_->file(), name, [](const std::string& file) {
    std::error_code ec;
    return std::filesystem::exists(file, ec);
  });
  return Session{std::move(stored.files), stored.tab, stored.line, stored.cursor, stored.remove};
}

void SessionShelf::eraseAll(pages::RecentList& sessions) {
  if (settings_) clearSessions(settings_->file(), sessions);
}

void SessionShelf::save() {
  if (settings_) settings_->save();
}

}  // namespace quillon::settings
