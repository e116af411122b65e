#pragma once
#include <functional>
#include <string>

namespace quillon::platform {
class CommandRegistry;
class CommandStates;
class MainView;
}  // namespace quillon::platform

namespace quillon::editor {

class CodeMemo;
class CodeMemoPrinter;
class MemoClipboard;

struct EditorRowParts {
  CodeMemo& sourceEditor;
  MemoClipboard& clipboard;  // the source editor's
  platform::MainView& view;
  platform::CommandStates& states;
  CodeMemoPrinter& printer;
  std::function<std::string()> header;  // what heads each printed page: the page's file
};

// The Edit menu's history and clipboard rows, printing, and their buttons.
void registerEditorRows(platform::CommandRegistry& registry, EditorRowParts parts);

}  // namespace quillon::editor
