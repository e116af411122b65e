#pragma once
#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "editor/code_memo_fwd.h"
#include "editor/highlight_engine.h"
#include "language/word_lists.h"
#include "platform/color.h"
#include "platform/main_view.h"
#include "platform/ui.h"
#include "settings/option_commands.h"
#include "settings/settings.h"

namespace quillon::language {

// The four word-list files (key file, dictionary, definitions, help contexts): read at
// start-up, and chosen, saved and reset from the keys and dictionary dialog, with the highest
// MapBasic version read and the editor's highlight colours and alternate font.
//
// Invariant: a file setting names the file whose contents the lists hold. It changes only
// after that file was read, or for "Save As" written, without a fault; adopt() is the one
// place that changes it.
class KeysDictCommands {
public:
  struct Parts {
    platform::Ui& ui;
    editor::CodeMemo& editor;
    editor::HighlightEngine& highlighting;
    settings::OptionCommands& options;
    WordLists& lists;
  };
  enum class File { Keys, Dict, Def, Help };
  static constexpr std::array<std::string_view, 6> kVersions{"4.0", "4.1", "4.5",
                                                             "5.0", "5.5", "6.0"};

  explicit KeysDictCommands(Parts parts);
  KeysDictCommands(const KeysDictCommands&) = delete;
  KeysDictCommands& operator=(const KeysDictCommands&) = delete;

  // The settings' values (null: the defaults) and the program whose name the default files
  // take; then start-up reads the four files in their order.
  void setSurroundings(settings::SettingsValues* values, const std::filesystem::path& programFile) {
    setSurroundings(values, settings::ProgramFiles::beside(programFile));
  }
  void setSurroundings(settings::SettingsValues* values, settings::ProgramFiles files);
  void startUp();

  // Where a setting points (a bare name lies beside the program), and its default file.
  std::filesystem::path file(File which) const;
  std::filesystem::path defaultFile(File which) const;

  // The dialog is activated: the chosen version starts as the stored one.
  void activate();
  const std::string& chosenVersion() const { return chosenVersion_; }
  void chooseVersion(std::string_view version) { chosenVersion_ = version; }
  // The radio button that shows the chosen version; the last ("6.0") for any other text.
  int versionIndex() const;

  // "Load": an open dialog for the file; "Default": the default file. Cancel, a missing file
  // or a file that cannot be read change nothing (the last two say so).
  void load(File which);
  void reset(File which);
  void saveKeysAs();
  // The keyword editor closed with OK after a change: the key file is written at once and
  // the editor re-highlighted (also when the write fails: the edits last for the session).
  void keywordsEdited();

  // The dialog closes with these choices: a new version reloads the text files, a new font
  // name or highlight colour reaches the editor.
  void close(const std::string& altFontName, platform::Color highText, platform::Color highBack);

private:
  settings::SettingsValues& values() { return values_ ? *values_ : fallback_; }
  const settings::SettingsValues& values() const { return values_ ? *values_ : fallback_; }
  std::string& setting(File which);
  const std::string& setting(File which) const {
    return const_cast<KeysDictCommands*>(this)->setting(which);
  }
  void read(File which, const std::filesystem::path& file);
  void adopt(File which, const std::filesystem::path& file);
  void keywordsChanged();

  platform::Ui& ui_;
  editor::CodeMemo& editor_;
  editor::HighlightEngine& highlighting_;
  settings::OptionCommands& options_;
  WordLists& lists_;
  settings::SettingsValues* values_ = nullptr;
  settings::SettingsValues fallback_;
  settings::ProgramFiles files_;
  std::string chosenVersion_ = "6.0";
};

}  // namespace quillon::language
