#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "language/symbol_index.h"
#include "platform/environment.h"
#include "platform/include_resolver.h"
#include "platform/wine_registry.h"

namespace quillon::editor {
class CodeMemo;
}
namespace quillon::pages {
class DocumentCommands;
}

namespace quillon::language {

// Keeps the one symbol index matched to the pages: the page on screen through the editor's
// paragraph changes (a keystroke re-scans a block), the other pages from their records, the
// files their Includes name and, for a project page, its modules from disk.
//
// Invariant: while `bound_` is set, the index's source for `boundFile_` holds exactly the
// editor's paragraphs. The paragraph listener is the one place that keeps it so; a new
// whole text in the editor (another page, a reload) unbinds, and refresh() binds again.
class IndexKeeper {
public:
  struct Parts {
    editor::CodeMemo& sourceEditor;
    pages::DocumentCommands& documents;
    // MBINCLUDE, the Wine drives and the MapBasic folder, shared with the error panel.
    platform::IncludeSearch& includes;
  };
  explicit IndexKeeper(Parts parts);
  ~IndexKeeper();
  IndexKeeper(const IndexKeeper&) = delete;
  IndexKeeper& operator=(const IndexKeeper&) = delete;

  // Pages were opened, closed, entered or saved: the next refresh() looks at all of them.
  void pagesChanged() { pagesDirty_ = true; }
  // Brings the index up to date before a question about the page on screen.
  void refresh();

  SymbolIndex& index() { return index_; }
  const SymbolIndex& index() const { return index_; }
  // The name the page on screen is indexed under ("Untitled" for a page without a file).
  std::filesystem::path currentFile() const;

private:
  void rebuildResolver();
  std::vector<std::filesystem::path> projectModules(const std::string& projectFile,
                                                    std::string_view text) const;

  editor::CodeMemo& editor_;
  pages::DocumentCommands& documents_;
  SymbolIndex index_;
  platform::IncludeSearch& includes_;
  std::uint64_t includesSeen_ = 0;  // the generation the index's resolver is of
  int listener_ = 0;
  std::optional<SourceId> bound_;
  std::filesystem::path boundFile_;
  // The page that left the screen: its blocks match its record's text, which it keeps.
  std::optional<SourceId> left_;
  std::filesystem::path leftFile_;
  std::vector<std::filesystem::path> held_;  // files given to the index as page texts
  bool pagesDirty_ = true;
};

}  // namespace quillon::language
