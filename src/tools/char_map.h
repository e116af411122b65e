#pragma once
#include <array>
#include <string>
#include <string_view>

#include "editor/code_memo_fwd.h"
#include "editor/listener_list.h"
#include "platform/clipboard.h"

namespace quillon::tools {

// The character map's behaviour: the current cell of the 16 x 16 grid, its code line and
// name, the enlarged box, and the characters collected for the clipboard. The window only
// draws what this says. Control codes (below 32, and 127) are never copied or inserted.
class CharMap {
public:
  static constexpr int kColumns = 16;
  static constexpr int kBoxHeight = 32;
  // Three letters a code, NUL to SPC for 0 to 32, then DEL (127) from character 100.
  static constexpr std::string_view kControlNames =
      "NULSOHSTXETXEOTENQACKBELBSPTABLF VT FF CR SO SI DLEDC1DC2DC3DC4NAKSYNETBCANEOMSUBESCFS GS "
      "RS US SPCDEL";
  static constexpr std::string_view kStartCodeLine = " ALT+0000 [&&H00] [NUL]";
  // The Unicode name of each byte's character; control aliases for the control codes.
  static const std::array<std::string_view, 256> kCharacterNames;

  CharMap(editor::CodeMemo& sourceEditor, platform::Clipboard& clipboard);

  // The three-letter name of code 0-32 or 127, else empty.
  static std::string_view controlName(int code);
  static bool printable(int code) { return code >= 32 && code != 127; }
  // " Alt+0065 [&&H41] [A]": every "&" doubled, as a caption shows one for two.
  static std::string codeLineFor(int code);

  void select(int column, int row);
  int code() const { return code_; }
  const std::string& codeLine() const { return codeLine_; }
  std::string_view name() const { return kCharacterNames[static_cast<std::size_t>(code_)]; }

  // The box over the current cell of a grid with the given cell and grid sizes.
  struct Box {
    int width = 0;
    std::string caption;
    int left = 0;
    int top = 0;
  };
  Box box(int columnWidth, int rowHeight, int gridWidth, int gridHeight) const;

  // Edit's "Character Map....": the window comes up through `showRequested`.
  void open() { showRequested.listeners_.notify(); }
  editor::Event<CharMap> showRequested;

  void copy();
  void insert();
  void clearCopy();
  void close();
  const std::string& collected() const { return collected_; }

private:
  editor::CodeMemo& editor_;
  platform::Clipboard& clipboard_;
  int code_ = 0;
  int column_ = 0;
  int row_ = 0;
  std::string codeLine_{kStartCodeLine};
  std::string collected_;
};

}  // namespace quillon::tools
