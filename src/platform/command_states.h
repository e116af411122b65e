#pragma once
#include <cstddef>

namespace quillon::platform {

// Every menu item and toolbar button whose enabled, checked or pressed state the program
// switches. A button and its menu item are separate keys: several commands change only the
// button (Save, Print, Preview) and leave the menu item as it is.
enum class Command {
  // Toolbar buttons.
  bSave,
  bCompile,
  bLink,
  bRun,
  bError,  // toggle: down while the error view is shown
  bAgain,
  bCut,
  bCopy,
  bUndo,
  bRedo,
  bPreview,
  bPrint,
  bWrap,  // toggle: down while word wrap is on
  // Menu items.
  Save1,
  Compile1,
  Link1,
  Run1,
  Undo1,
  Redo1,
  Cut1,
  Copy1,
  FindNext1,
  Revert1,
  Preview1,
  Print1,
  // Menu items with a check mark.
  AutoSaveCompile1,
  ShowDoneBox1,
  ShowErrors1,
  CodeInfoShow1,
  CodeInfoSorted1,
  SyntaxHighlighting1,
  Toolbar1,
  StatusBar1,
  LineNumbers1,
  HelpContext1,
  WordWrap1,
  CursorPastEnd1,
  AutoIndent1,
  DefaultEditor1,
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::DefaultEditor1) + 1;

// The core sets these states; the main window mirrors them onto its actions. "Checked" is
// the check mark of a menu item and the pressed state of a toggle button.
class CommandStates {
public:
  virtual ~CommandStates() = default;
  virtual void setEnabled(Command command, bool enabled) = 0;
  virtual bool enabled(Command command) const = 0;
  virtual void setChecked(Command command, bool checked) = 0;
  virtual bool checked(Command command) const = 0;

  // A button and its menu item that always agree.
  void setEnabled(Command a, Command b, bool on) {
    setEnabled(a, on);
    setEnabled(b, on);
  }
  void setChecked(Command a, Command b, bool on) {
    setChecked(a, on);
    setChecked(b, on);
  }
};

}  // namespace quillon::platform
