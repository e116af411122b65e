#pragma once
#include <QDialog>
#include <array>
#include <functional>

#include "editor/code_memo_fwd.h"
#include "language/keys_dict_commands.h"
#include "settings/option_commands.h"

class QFontComboBox;
class QLabel;
class QRadioButton;

namespace quillon::language {
class ColorComboWidget;
}

namespace quillon::language {

// "fKeyDict": the four word-list files with their Load, Edit, Save As and Default buttons, the
// highlight colours, the alternate font, the highest MapBasic version and the editors of the
// start-stop keys and the number style. Created once, shown modally; the commands do the work.
class KeysDictDialog : public QDialog {
  Q_OBJECT

public:
  struct Actions {
    std::function<void()> editKeywords;
    std::function<void()> editStartStopKeys;
    std::function<void()> editNumberStyle;
    // Runs a button's command, reporting what fails.
    std::function<void(const std::function<void()>&)> run;
  };

  KeysDictDialog(KeysDictCommands& commands, const settings::OptionCommands& options,
                 const editor::CodeMemo& editor, Actions actions, QWidget* parent = nullptr);

  // Refreshes the file labels, the font and the colours, then shows the dialog modally.
  void execute();

protected:
  void showEvent(QShowEvent* event) override;
  // Every way of closing applies the dialog's choices.
  void done(int result) override;

private:
  QWidget* fileGroup(KeysDictCommands::File which, const char* caption, const char* name,
                     const char* hint);
  void refreshFiles();
  void showHighlightColors();

  KeysDictCommands& commands_;
  const settings::OptionCommands& options_;
  const editor::CodeMemo& editor_;
  Actions actions_;
  std::array<QLabel*, 4> paths_{};
  QLabel* highTextLabel_ = nullptr;
  QLabel* highBackLabel_ = nullptr;
  language::ColorComboWidget* highText_ = nullptr;
  language::ColorComboWidget* highBack_ = nullptr;
  QFontComboBox* altFont_ = nullptr;
  std::array<QRadioButton*, 6> versions_{};
  // The font box shows what the system has for the stored name; unless the user picks
  // another, the stored name stays.
  QString shownFamily_;
};

}  // namespace quillon::language
