#pragma once
#include <optional>
#include <string>

#include "build/error_panel.h"
#include "editor/code_memo_fwd.h"
#include "editor/listener_list.h"
#include "pages/document_commands.h"
#include "platform/command_states.h"
#include "platform/environment.h"
#include "platform/ui.h"

namespace quillon::build {

// The Project menu's New, Select.... and Create From Pages, and Set Page As #1: projects as
// pages, and a project's modules opened with it.
//
// Pages are made, opened and entered only through DocumentCommands; this class adds what a
// project needs on top (the template, the module list, the order of the tabs) and keeps no
// page state of its own.
class ProjectCommands {
public:
  struct Parts {
    platform::Ui& ui;
    platform::CommandStates& states;
    editor::CodeMemo& sourceEditor;
    pages::DocumentCommands& documents;
    pages::BookmarkKeeper& bookmarks;
    ErrorPanel& errorPanel;
  };

  static constexpr const char* kOpenFilter = "Project Files (*.mbp)|*.mbp|All Files (*.*)|*.*";
  // Beyond this many, missing modules are only listed in the error view: a binary file read
  // as a project would otherwise ask for a click per garbage line.
  static constexpr int kMaxMissingBoxes = 10;

  explicit ProjectCommands(Parts parts);

  // The environment that names the Wine prefix, for Windows paths in projects.
  void setEnvironment(platform::Environment environment) { environment_ = std::move(environment); }

  void newProject();
  // Select....; `project` instead of the dialog's choice when a project was dropped.
  void select(std::optional<std::string> project = std::nullopt);
  void createFromPages();
  // Set Page As #1: the page on screen moves to the first tab, the ones before it one place on.
  void setPageAsFirst();

private:
  void setMessage(const std::string& text) { ui_.setStatusText(platform::Ui::kMessagePanel, text); }
  void enableLink();
  // How a path is written into a project: as Windows sees it through the prefix when there
  // is one, so that the compiler under Wine can link it.
  std::string projectPath(const std::string& file, const char* extension) const;

  platform::Ui& ui_;
  platform::CommandStates& states_;
  editor::CodeMemo& editor_;
  pages::DocumentCommands& documents_;
  pages::BookmarkKeeper& bookmarks_;
  ErrorPanel& errorPanel_;
  platform::Environment environment_;
  editor::Subscription dropWatch_;
};

}  // namespace quillon::build
