#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::language {

// Where the caret stands when names are asked for: the page's file (empty for an Untitled
// page) and its paragraph, counted from 0.
struct NamePlace {
  std::string file;
  std::int64_t line = 0;
};

// What the completion pop-up and the signature hint ask of the code's own names. The symbol
// index answers it; tests hand in a fake.
class NameSource {
public:
  virtual ~NameSource() = default;
  // Names that start with `prefix` without case: those in scope at `place` first, then the
  // rest, each once without case (the first spelling met), at most `limit` of them.
  virtual std::vector<std::string> namesStartingWith(std::string_view prefix,
                                                     const NamePlace& place,
                                                     std::size_t limit) const = 0;
  // The parameter list of the Sub or Function `name`, the text between its parentheses, from
  // its Declare, else from its own Sub or Function line; nothing when no such routine is known.
  virtual std::optional<std::string> parametersOf(std::string_view name,
                                                  const NamePlace& place) const = 0;
};

}  // namespace quillon::language
