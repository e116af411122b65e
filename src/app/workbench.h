#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/start_surroundings.h"

// Only declarations: the members live in workbench.cpp, so that a change to any feature's
// header rebuilds the root and not every test that starts a program.
namespace quillon::platform {
class Automation;
class Clipboard;
class Clock;
class CommandRegistry;
class CommandStates;
class KeyboardState;
class MainThread;
class MainView;
class ProcessLauncher;
class Ui;
}  // namespace quillon::platform
namespace quillon::editor {
class CodeGutter;
class CodeMemo;
class CodeMemoPrinter;
class HighlightEngine;
class MemoClipboard;
class NumberHighlighter;
class PrinterPort;
struct KeyModifiers;
}  // namespace quillon::editor
namespace quillon::pages {
class DocumentCommands;
class RecentCommands;
class RecentList;
}  // namespace quillon::pages
namespace quillon::settings {
class OptionCommands;
class Settings;
class WindowPlacements;
}  // namespace quillon::settings
namespace quillon::language {
class CodeIntelligence;
class ContextList;
class HelpCommands;
class KeysDictCommands;
class OutlineCommands;
class WordCheckCommands;
class WordLists;
}  // namespace quillon::language
namespace quillon::build {
class BuildCommands;
class BuildOutputView;
class ErrorPanel;
class InsertFile;
class ProcRunner;
class ProjectCommands;
}  // namespace quillon::build
namespace quillon::tools {
class CharMap;
class EditingCommands;
class FindReplace;
struct EditorKey;
}  // namespace quillon::tools

namespace quillon::app {
class StatusPresenter;

// The composition root behind the main window: owns the source editor and the error view,
// runs the start-up steps in order and carries the window-level commands. It reaches the
// screen only through Ui, MainView and CommandStates, so the whole of it runs in tests.
class Workbench {
public:
  struct Ports {
    platform::Ui& ui;
    platform::MainView& view;
    platform::CommandStates& states;
    const platform::KeyboardState& keyboard;
    platform::Clipboard& clipboard;
    platform::Clock& clock;
    platform::ProcessLauncher& launcher;
    platform::Automation& automation;
    platform::MainThread& mainThread;
    editor::PrinterPort& printer;
  };

  explicit Workbench(Ports ports);
  ~Workbench();
  Workbench(const Workbench&) = delete;
  Workbench& operator=(const Workbench&) = delete;

  using Surroundings = StartSurroundings;

  // `programFile` is the program's own path; `arguments` are the command-line arguments
  // after it. Start-up always completes, whatever the command-line file is.
  void start(const std::filesystem::path& programFile, const std::vector<std::string>& arguments,
             Surroundings surroundings);

  editor::CodeMemo& sourceEditor();
  editor::CodeMemo& errorView();
  // Every clipboard action of an editor, from its keys, the menus or the toolbar, goes
  // through its one MemoClipboard; the window hands these to the editor widgets.
  editor::MemoClipboard& sourceClipboard();
  editor::MemoClipboard& errorViewClipboard();
  editor::HighlightEngine& highlighting();
  language::WordLists& wordLists();
  language::ContextList& contextList();
  language::KeysDictCommands& keysDict();
  pages::RecentList& windowList();
  pages::RecentCommands& recent();
  editor::CodeGutter& gutter();
  pages::DocumentCommands& documents();
  tools::EditingCommands& editing();
  language::OutlineCommands& outline();
  tools::FindReplace& findReplace();
  tools::CharMap& charMap();
  settings::OptionCommands& options();
  build::BuildCommands& build();
  build::BuildOutputView& buildOutput();
  build::ErrorPanel& errorPanel();
  build::ProjectCommands& project();
  build::InsertFile& insertFile();
  build::ProcRunner& runner();
  StatusPresenter& status();
  language::WordCheckCommands& wordCheck();
  editor::MemoClipboard& wordCheckClipboard();
  // The CodeInfo panel's width, stored beside the main window's placement.
  std::function<int()> codeInfoWidth;
  language::HelpCommands& help();
  language::CodeIntelligence& code();

  const std::filesystem::path& programFolder() const;
  const std::string& currentFile() const;
  const std::string& currentExt() const;
  const std::string& commandLineFile() const;

  // Events from the window.
  void editorMousePressed();
  void editorMouseReleased();
  void statusBarClicked(int x);
  void lockKeyPressed();
  // Keys in the source editor, before the editor sees them; true when consumed.
  bool editorKeyPressed(tools::EditorKey key, editor::KeyModifiers mods);
  bool editorKeyReleased(tools::EditorKey key, editor::KeyModifiers mods);
  // Another copy of the program was started.
  void anotherCopyStarted();

  editor::CodeMemoPrinter& memoPrinter();

  // The window is asked to close: the questions about unsaved pages, then the session and
  // the settings. False keeps the window open.
  bool closeQuery();

  void toggleDefaultEditor();
  // Every command of the menus and the toolbar, as the features registered them.
  platform::CommandRegistry& commands();
  // After the Number Syntax dialog applied: re-highlight and store the Numbers keys now.
  void numberSyntaxApplied();
  editor::NumberHighlighter& numbers();
  settings::Settings* settings();
  settings::WindowPlacements& placements();

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillon::app
