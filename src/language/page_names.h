#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "language/mapbasic_scanner.h"
#include "language/name_source.h"

namespace quillon::editor {
class CodeMemo;
}

// The names one page defines, statement by statement (see mapbasic_scanner.h):
//
//   Sub N(...) / Function N(...)   a routine until End Sub / End Function; N and its list
//   Declare Sub|Function N(...)    N and its list, which wins over the routine's own
//   Define N, Type N, Global a, b  names of the whole page; a Type's members are not
//   Dim a, b(3) As T, c As U       names of the routine they stand in, else of the page
//   <label>:                       a name of the routine it stands in, else of the page
//
// A routine without its End runs to the page's end.

namespace quillon::language {

struct PageName {
  std::string name;
  std::int64_t scopeFirst = 0;  // the lines [scopeFirst, scopeLast] where it is in scope
  std::int64_t scopeLast = INT64_MAX;
  bool routine = false;
  std::string parameters;  // a routine's list, between its parentheses
  bool declared = false;   // the list came from a Declare
};

std::vector<PageName> scanPageNames(std::int64_t count, const StatementReader::LineAt& lineAt);

// The code's own names of the page in the editor, for the pop-up and the hint while no index
// of every page and include stands behind them. A small page is rescanned when its text
// changed since the last question; a larger one only when its paragraph count changed too
// (a line added or removed, another page), so typing inside a line never rescans it; a page
// past kMaxLines is never scanned.
class EditorNames final : public NameSource {
public:
  static constexpr std::int64_t kMaxLines = 100000;
  static constexpr std::int64_t kSmallPage = 2000;
  explicit EditorNames(editor::CodeMemo& editor);
  ~EditorNames() override;
  EditorNames(const EditorNames&) = delete;
  EditorNames& operator=(const EditorNames&) = delete;

  std::vector<std::string> namesStartingWith(std::string_view prefix, const NamePlace& place,
                                             std::size_t limit) const override;
  std::optional<std::string> parametersOf(std::string_view name, const NamePlace& place) const override;

private:
  const std::vector<PageName>& names() const;

  editor::CodeMemo& editor_;
  int listener_ = 0;
  mutable bool dirty_ = true;
  mutable std::int64_t scannedParagraphs_ = -1;
  mutable std::vector<PageName> names_;
};

}  // namespace quillon::language
