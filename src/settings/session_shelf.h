#pragma once
#include <memory>

#include "pages/recent_commands.h"

namespace quillon::settings {

class Settings;

// The sessions in the settings file, once start-up has read it; before that, none.
class SessionShelf final : public pages::SessionShelf {
public:
  explicit SessionShelf(const std::unique_ptr<Settings>& settings) : settings_(settings) {}

  std::optional<Session> take(std::string_view name) override;
  void eraseAll(pages::RecentList& sessions) override;
  void save() override;

private:
  const std::unique_ptr<Settings>& settings_;
};

}  // namespace quillon::settings
