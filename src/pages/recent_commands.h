#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/listener_list.h"
#include "pages/recent_list.h"

namespace quillon::platform {
class MainView;
class Ui;
}  // namespace quillon::platform

namespace quillon::editor {
class CodeMemo;
}

namespace quillon::pages {

class DocumentCommands;

// Where the sessions of "Last Sessions" are kept; the settings file implements it.
class SessionShelf {
public:
  struct Session {
    std::vector<std::string> files;  // in stored order, only files that exist
    int tab = 0;
    std::int64_t line = 1;
    std::int64_t cursor = 0;
    bool remove = false;  // the list drops the entry; otherwise it moves to the top
  };
  virtual ~SessionShelf() = default;
  // Nothing while no settings file was read.
  virtual std::optional<Session> take(std::string_view name) = 0;
  // Erases the stored session of every entry of `sessions`, and empties the list.
  virtual void eraseAll(RecentList& sessions) = 0;
  virtual void save() = 0;
};

// The File menu's "ReOpen" and "Last Sessions": the two lists, their picks and their "Clear
// List...". The lists are the truth; refreshMenus is the one place that shows them.
class RecentCommands {
public:
  static constexpr std::size_t kMaxFiles = 30;
  static constexpr std::size_t kMaxSessions = 20;

  struct Parts {
    platform::Ui& ui;
    platform::MainView& view;
    DocumentCommands& documents;
    editor::CodeMemo& editor;
    SessionShelf& shelf;
  };
  explicit RecentCommands(Parts parts);
  RecentCommands(const RecentCommands&) = delete;
  RecentCommands& operator=(const RecentCommands&) = delete;

  RecentList& files() { return files_; }
  RecentList& sessions() { return sessions_; }

  // Start-up: files that went away since the last run leave the list.
  void dropVanishedFiles();
  // The menu entry picked, counted from 0.
  void filePicked(std::size_t entry);
  void sessionPicked(std::size_t entry);
  void clearFiles();
  void clearSessions();
  void refreshMenus();

private:
  bool confirmClear();

  platform::Ui& ui_;
  platform::MainView& view_;
  DocumentCommands& documents_;
  editor::CodeMemo& editor_;
  SessionShelf& shelf_;
  RecentList files_;
  RecentList sessions_{kMaxSessions};
  editor::Subscription fileUsed_;
};

}  // namespace quillon::pages
