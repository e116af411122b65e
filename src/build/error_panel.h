#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "editor/code_memo_fwd.h"
#include "editor/listener_list.h"
#include "pages/document_commands.h"
#include "platform/command_states.h"
#include "platform/include_resolver.h"
#include "platform/main_view.h"
#include "platform/ui.h"

namespace quillon::build {

// The error view at the bottom of the window: its toggle, the jump from an error line to the
// source line it names, and the walk from one such line to the next (F8, Shift+F8).
//
// The toggle's check mark (ShowErrors1) and the button (bError) always agree; toggle() is the
// one place that changes them. errorFile() is the file the error view was last filled from;
// every fill reports it, the page switch's refill included.
class ErrorPanel {
public:
  struct Parts {
    platform::Ui& ui;
    platform::MainView& view;
    platform::CommandStates& states;
    editor::CodeMemo& sourceEditor;
    editor::CodeMemo& errorView;
    pages::DocumentCommands& documents;
  };
  static constexpr const char* kCannotLocate = "Can Not Locate Error Line";
  static constexpr const char* kFileNotOpen = "FILE NOT OPEN: ";

  explicit ErrorPanel(Parts parts);

  // A file named by an error line that is no open page is looked for beside the error file,
  // then in the MapBasic folder; last, as the compiler looks up an Include from the compiled
  // source's folder ("..\lib\x.def" included), MBINCLUDE and the Wine drives from
  // `environment`.
  void setSurroundings(const platform::Environment& environment,
                       std::function<std::filesystem::path()> mapBasicFolder);
  // The program's one include search: the index and Go To Definition look up names through it.
  platform::IncludeSearch& includes() { return includes_; }

  // Show Errors: the menu item, the button and Ctrl+E.
  void toggle();
  // The toggle is on: the panel shows the error view.
  bool showing() const;
  // Shows the error view through the toggle unless it is showing already.
  void show();
  // Any mouse button released over the error view: jumps for the caret's line.
  void mouseReleased() { jump(); }
  // Another button released over the error view at viewport row y: the caret first goes to
  // the line under the pointer (the last line below the text), as the left button puts it,
  // then the jump.
  void mouseReleasedAt(int y);
  // Takes the source editor to the place the error view's caret line names.
  void jump();
  // As a click on the first line: what a failed build shows first.
  void jumpToFirstLine();
  bool viewIsEmpty() const;
  // F8 and Shift+F8: the next or previous line that leads somewhere, wrapping; shows the
  // panel when hidden and jumps as a click would.
  void nextError(bool forward);

  // Clears the error view and fills it from `file`; false (view left empty) when the file
  // cannot be read as a regular file.
  bool load(const std::filesystem::path& file);
  void clear();
  // The view shows `text`, which comes from no file.
  void showText(std::string_view text);
  const std::filesystem::path& errorFile() const { return errorFile_; }
  void setErrorFile(const std::filesystem::path& file);

private:
  void setMessage(const std::string& text) { ui_.setStatusText(platform::Ui::kMessagePanel, text); }
  // The tab for an error line's file name, opening the file when it is found nearby; -1
  // when there is none.
  int pageFor(const std::string& name);

  platform::Ui& ui_;
  platform::MainView& view_;
  platform::CommandStates& states_;
  editor::CodeMemo& sourceEditor_;
  editor::CodeMemo& errorView_;
  pages::DocumentCommands& documents_;
  std::filesystem::path errorFile_;
  bool jumped_ = false;  // a line was clicked or walked to since the view was filled
  std::function<std::filesystem::path()> mapBasicFolder_;
  platform::IncludeSearch includes_;
  editor::Subscription errorFileWatch_;
};

}  // namespace quillon::build
