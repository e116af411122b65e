#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::platform {

// Everything the core asks of the person at the screen: message boxes, questions, prompts,
// file and folder dialogs, status panel texts, the busy cursor and "process pending
// messages". Core code never opens a window itself. Texts are Windows-1252 bytes.
class Ui {
public:
  enum class Answer { Ok, Cancel, Yes, No, YesToAll, NoToAll, All };
  // YesNoAll: "&Yes", "&No", "N&o to All", "Yes to &All"; YesNoCancelAll adds "Cancel".
  // YesNoCancelWithAll: "&Yes", "&No", "Cancel" and "&All" (answer All).
  enum class Buttons {
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,
    YesNoAll,
    YesNoCancelAll,
    YesNoCancelWithAll
  };

  // The status bar's panels: caret position, insert or overwrite, Caps Lock, Num Lock, and the
  // message line where every command writes its progress and result.
  enum Panel : int {
    kCaretPanel = 0,
    kModePanel = 1,
    kCapsPanel = 2,
    kNumPanel = 3,
    kMessagePanel = 4
  };

  struct FileDialog {
    std::string title;
    std::string filter;  // "Text (*.mb)|*.mb|All (*.*)|*.*" style, as the program gives it
    int filterIndex =
        1;  // 1-based, as the program gives it; the open dialog puts the one confirmed here
    std::filesystem::path initialDir;
    std::string fileName;
    std::string defaultExt;
    bool multiSelect = false;
    bool overwritePrompt = false;
  };

  virtual ~Ui() = default;

  virtual void showMessage(std::string_view text) = 0;
  virtual Answer ask(std::string_view caption, std::string_view text, Buttons buttons) = 0;
  // The same question with the box's top-left corner at a screen position.
  virtual Answer askAt(std::string_view caption, std::string_view text, Buttons buttons,
                       int /*left*/, int /*top*/) {
    return ask(caption, text, buttons);
  }
  // An input prompt; nullopt when cancelled.
  virtual std::optional<std::string> prompt(std::string_view caption, std::string_view question,
                                            std::string_view preset) = 0;
  // Chosen files; empty when cancelled. On confirmation `dialog.filterIndex` is the filter
  // then selected.
  virtual std::vector<std::filesystem::path> openFiles(FileDialog& dialog) = 0;
  virtual std::optional<std::filesystem::path> saveFile(const FileDialog& dialog) = 0;
  // nullopt when cancelled; `start` is where the dialog opens (empty: where it likes).
  virtual std::optional<std::filesystem::path> pickFolder(std::string_view caption,
                                                          const std::filesystem::path& start) = 0;

  virtual void setStatusText(int panel, std::string_view text) = 0;
  virtual std::string statusText(int panel) const = 0;
  virtual void setBusy(bool busy) = 0;
  virtual void processPendingMessages() = 0;
};

}  // namespace quillon::platform
