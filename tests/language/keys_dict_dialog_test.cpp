#include "language/keys_dict_dialog.h"

#include <QApplication>
#include <QFontComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "language/color_combo_widget.h"
#include "language/key_file.h"
#include "support/keys_dict_program.h"

namespace quillon::language {
namespace {

class KeysDictDialogTest : public ::testing::Test, protected testing::KeysDictProgram {
protected:
  KeysDictDialogTest() {
    folder.write("quillon.bin", encodeKeyFile(editor::KeywordList(), editor::StartStopKeyList()));
    values.maxMbVersion = "5.5";
    commands.startUp();
  }

  // Opens the dialog and runs `script` on it, then closes it as CLOSE does.
  void run(const std::function<void(KeysDictDialog&)>& script) {
    QTimer::singleShot(0, [&] {
      script(dialog);
      if (dialog.isVisible()) dialog.findChild<QPushButton*>("close")->click();
    });
    dialog.execute();
  }

  QStringList actionsRun;
  KeysDictDialog dialog{
      commands,
      options,
      memo,
      {[this] { actionsRun << "keywords"; }, [this] { actionsRun << "start-stop"; },
       [this] { actionsRun << "number style"; }, [](const std::function<void()>& f) { f(); }}};
};

TEST_F(KeysDictDialogTest, ShowsTheSettingsAndAppliesTheChoicesOnClosing) {
  run([&](KeysDictDialog& d) {
    EXPECT_EQ(d.findChild<QLabel*>("lKeys")->toolTip().toStdString(),
              (folder / "quillon.bin").string());
    EXPECT_FALSE(d.findChild<QPushButton*>("ctxEdit")->isEnabled() ||
                 d.findChild<QPushButton*>("defSaveAs")->isEnabled());
    const QList<QRadioButton*> versions = d.findChildren<QRadioButton*>();
    ASSERT_EQ(versions.size(), 6);
    EXPECT_TRUE(versions[4]->isChecked()) << "5.5";

    d.findChild<QPushButton*>("editNumberStyle")->click();
    d.findChild<QPushButton*>("keysEdit")->click();
    versions[2]->click();
    d.findChild<language::ColorComboWidget*>("eHighText")->setColor(0x00FF00);
    ui.queueOpenFiles({});
    d.findChild<QPushButton*>("dicLoad")->click();
  });
  EXPECT_EQ(actionsRun, (QStringList{"number style", "keywords"}));
  EXPECT_EQ(std::tuple(values.maxMbVersion, memo.highlightColor()),
            std::tuple(std::string("4.5"), 0x00FF00));
  EXPECT_EQ(options.altFont().name, settings::kDefaultAltFont.name)
      << "the font box was not touched";
  EXPECT_TRUE(ui.allAnswersUsed());
}

}  // namespace
}  // namespace quillon::language
