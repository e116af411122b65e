#include "editor/editor_rows.h"

#include "editor/code_memo.h"
#include "editor/code_memo_printer.h"
#include "editor/memo_clipboard.h"
#include "platform/command_registry.h"
#include "platform/main_view.h"

namespace quillon::editor {

namespace {

// The printer's layout reads the editor's text; it is dropped as soon as the command ends.
class PrintingMemo {
public:
  PrintingMemo(CodeMemoPrinter& printer, CodeMemo& memo) : printer_(printer) {
    printer_.setMemoToPrint(&memo);
  }
  ~PrintingMemo() { printer_.setMemoToPrint(nullptr); }
  PrintingMemo(const PrintingMemo&) = delete;
  PrintingMemo& operator=(const PrintingMemo&) = delete;

private:
  CodeMemoPrinter& printer_;
};

}  // namespace

void registerEditorRows(platform::CommandRegistry& registry, EditorRowParts parts) {
  using platform::Command;
  CodeMemo& memo = parts.sourceEditor;
  MemoClipboard& clipboard = parts.clipboard;
  auto undo = [&memo] { memo.undo(); };
  auto redo = [&memo] { memo.redo(); };
  auto cut = [&clipboard] { clipboard.cut(); };
  auto copy = [&clipboard] { clipboard.copy(); };
  // Paste from the menu or the toolbar lands in the source editor only while it has the focus.
  auto paste = [&clipboard, &view = parts.view] {
    if (view.editorHasFocus()) clipboard.paste();
  };
  auto printing = [&memo, &printer = parts.printer,
                   header = parts.header](void (CodeMemoPrinter::*run)()) {
    return [&memo, &printer, header, run] {
      printer.setHeader(header ? header() : std::string());
      const PrintingMemo held(printer, memo);
      (printer.*run)();
    };
  };
  registry.add({.id = "edit.undo",
                .caption = "&Undo",
                .key = "Ctrl+Z",
                .run = undo,
                .state = Command::Undo1});
  registry.add({.id = "edit.redo", .caption = "&Redo", .run = redo, .state = Command::Redo1});
  registry.add(
      {.id = "edit.cut", .caption = "Cu&t", .key = "Ctrl+X", .run = cut, .state = Command::Cut1});
  registry.add({.id = "edit.copy",
                .caption = "&Copy",
                .key = "Ctrl+C",
                .run = copy,
                .state = Command::Copy1});
  registry.add({.id = "edit.paste", .caption = "&Paste", .key = "Ctrl+V", .run = paste});
  registry.add({.id = "edit.selectAll",
                .caption = "Select &All",
                .key = "Ctrl+A",
                .run = [&memo, &states = parts.states] {
                  memo.selectAll();
                  states.setEnabled(Command::bCut, Command::Cut1, true);
                  states.setEnabled(Command::bCopy, Command::Copy1, true);
                }});
  registry.add({.id = "file.preview",
                .caption = "Preview...",
                .run = printing(&CodeMemoPrinter::preview),
                .state = Command::Preview1});
  registry.add({.id = "file.print",
                .caption = "&Print",
                .key = "Ctrl+P",
                .run = printing(&CodeMemoPrinter::print),
                .state = Command::Print1});

  registry.add({.id = "bCut", .hint = "Cut", .icon = "cut", .run = cut, .state = Command::bCut});
  registry.add(
      {.id = "bCopy", .hint = "Copy", .icon = "copy", .run = copy, .state = Command::bCopy});
  registry.add({.id = "bPaste", .hint = "Paste", .icon = "paste", .run = paste});
  registry.add(
      {.id = "bUndo", .hint = "Undo", .icon = "undo", .run = undo, .state = Command::bUndo});
  registry.add(
      {.id = "bRedo", .hint = "Redo", .icon = "redo", .run = redo, .state = Command::bRedo});
  registry.add({.id = "bPreview",
                .hint = "Print Preview",
                .icon = "preview",
                .run = printing(&CodeMemoPrinter::preview),
                .state = Command::bPreview});
  registry.add({.id = "bPrint",
                .hint = "Print",
                .icon = "print",
                .run = printing(&CodeMemoPrinter::print),
                .state = Command::bPrint});
}

}  // namespace quillon::editor
