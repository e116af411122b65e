#pragma once
#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "editor/code_memo_fwd.h"
#include "pages/document_commands.h"
#include "platform/ui.h"

namespace quillon::build {

// Insert File...: another file, or every section of a dialog-builder project, goes into the
// page above the caret's line between two comment lines that name it.
//
// Every file is read before the page changes, and the whole block goes in as one edit, so
// the page gets all of it or nothing and one Undo takes it out again.
class InsertFile {
public:
  struct Parts {
    platform::Ui& ui;
    editor::CodeMemo& sourceEditor;
    pages::DocumentCommands& documents;
  };

  static constexpr const char* kFilter =
      "All Files (*.*)|*.*|MapBasic (*.mb)|*.mb|Formwright Project (*.prj)|*.prj";
  static constexpr int kProjectFilter = 3;
  // A dialog-builder project's section files, in the order they go in.
  static constexpr std::array<const char*, 6> kSections = {".dcl", ".def", ".dim",
                                                           ".dlg", ".sub", ".usr"};

  explicit InsertFile(Parts parts);

  void run();
  // The block for `file` with its contents (one, or one per section), lines joined by CR LF
  // and ending with a break.
  static std::string block(const std::filesystem::path& file,
                           const std::vector<std::string>& contents, bool project);

private:
  platform::Ui& ui_;
  editor::CodeMemo& editor_;
  pages::DocumentCommands& documents_;
};

}  // namespace quillon::build
