#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which call the caret stands in, read from the caret's line up to the caret:
//
// - Strings (double quotes, to the next quote or the line end) hide their parentheses and
//   commas; a comment before the caret means no call.
// - Each "(" opens a level and each ")" closes the innermost open one; a comma counts for
//   the innermost open level.
// - The call is the innermost open level whose "(" follows a name (blanks between allowed,
//   "Call" before it or not) that the caller knows as a Sub or Function; levels of plain
//   grouping or of unknown names are passed over outwards. Its parameter is the count of
//   commas of that level before the caret.
// - Only the last kMaxScan characters before the caret are read, so a huge line costs no
//   more than a short one.

namespace quillon::language {

struct CallAtCaret {
  std::string name;
  std::size_t openParen = 0;  // column of its "("
  std::size_t parameter = 0;  // counted from 0
};

inline constexpr std::size_t kMaxScan = 4096;

std::optional<CallAtCaret> callAtCaret(std::string_view line, std::size_t caret,
                                       const std::function<bool(std::string_view)>& known);

// The hint line: "Name(a As Integer, b As String)" with the current parameter's columns.
// A parameter past the last one bolds nothing.
struct SignatureHint {
  std::string text;
  std::size_t boldStart = 0;
  std::size_t boldLength = 0;
};

// The parameters of a list, split at its top-level commas (parentheses and strings inside a
// parameter keep theirs), each trimmed. An empty list has no parameter.
std::vector<std::string_view> splitParameters(std::string_view list);

SignatureHint signatureHint(std::string_view name, std::string_view parameters,
                            std::size_t current);

}  // namespace quillon::language
