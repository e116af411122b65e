#pragma once
#include <QDialog>
#include <array>
#include <functional>

#include "tools/find_replace.h"

class QAbstractButton;
class QCheckBox;
class QKeyEvent;
class QComboBox;
class QLabel;
class QPushButton;

namespace quillon::platform {
class Clipboard;
}

namespace quillon::settings {
class WindowPlacements;
}

namespace quillon::tools {

// "Find / Replace.....": modeless, always on top, made once and kept until exit. It only
// shows what FindReplace sets and passes the user's clicks and typing back to it.
class FindReplaceDialog : public QDialog, public FindReplaceView {
  Q_OBJECT

public:
  // Every action of the dialog runs through `run`, which reports what fails.
  using Runner = std::function<void(const std::function<void()>&)>;

  FindReplaceDialog(FindReplace& core, settings::WindowPlacements& placements,
                    platform::Clipboard& clipboard, Runner run, QWidget* parent = nullptr);
  ~FindReplaceDialog() override;

  QPushButton* button(Button b) const;
  QCheckBox* optionBox(Option o) const { return options_[static_cast<std::size_t>(o)]; }
  QComboBox* findList() const { return findList_; }
  QComboBox* replaceList() const { return replaceList_; }
  QString statusLine() const;

  // FindReplaceView
  void setStatus(std::string_view text) override;
  bool optionChecked(Option option) const override;
  void setOptionChecked(Option option, bool checked) override;
  bool optionEnabled(Option option) const override;
  void setOptionEnabled(Option option, bool enabled) override;
  void setButtonEnabled(Button b, bool enabled) override;
  void setFindInFront(bool findInFront) override;
  void setNextCaption(std::string_view caption) override;
  void setDefaultButton(Button b) override;
  std::string findText() const override;
  void setFindText(std::string_view text) override;
  std::string replaceText() const override;
  void setReplaceText(std::string_view text) override;
  void setFindItems(const std::vector<std::string>& items) override;
  void setReplaceItems(const std::vector<std::string>& items) override;
  bool showing() const override { return isVisible(); }
  void show() override;
  void hide() override;
  int left() const override;
  int top() const override;

protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  // The shown, enabled button or box whose "&" letter is the key, or null.
  QAbstractButton* mnemonicTarget(const QKeyEvent& key) const;
  void act(const std::function<void()>& what) { run_(what); }
  static void setItems(QComboBox* list, const std::vector<std::string>& items);

  FindReplace& core_;
  settings::WindowPlacements& placements_;
  platform::Clipboard& clipboard_;
  Runner run_;
  bool placed_ = false;
  QComboBox* findList_ = nullptr;
  QComboBox* replaceList_ = nullptr;
  std::array<QCheckBox*, kOptions> options_{};
  QPushButton* findButton_ = nullptr;
  QPushButton* nextButton_ = nullptr;
  QPushButton* allButton_ = nullptr;
  QPushButton* skipButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace quillon::tools
