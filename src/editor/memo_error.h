#pragma once
#include <stdexcept>
#include <string>

namespace quillon::editor {

// The editor component reports misuse with a fixed message; callers show it or let it fail.
class MemoError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kTextTooLong = "Text too long";
inline constexpr const char* kListIndexOutOfBounds = "List index out of bounds";
inline constexpr const char* kUndoSetTooHigh = "Undo set too high";
inline constexpr const char* kInternalCodeMemoError = "Internal CodeMemo error";

}  // namespace quillon::editor
