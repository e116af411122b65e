#pragma once
#include <array>
#include <map>
#include <string>
#include <vector>

#include "tools/find_replace.h"

namespace quillon::testing {

// The find dialog as plain state: what the search set, and what a test types or ticks.
class FakeFindView final : public tools::FindReplaceView {
public:
  std::string status;
  std::array<bool, kOptions> checked{};
  std::array<bool, kOptions> enabled{true, true, true, true, true, true};
  std::map<Button, bool> buttons{
      {Button::Find, true}, {Button::Next, true}, {Button::All, false}, {Button::Skip, false}};
  bool findInFront = true;
  std::string nextCaption = "Next";
  Button defaultButton = Button::Find;
  std::string find, replace;
  std::vector<std::string> findItems;
  bool shown = false;

  void setStatus(std::string_view text) override { status = text; }
  bool optionChecked(Option o) const override { return checked[o]; }
  void setOptionChecked(Option o, bool on) override { checked[o] = on; }
  bool optionEnabled(Option o) const override { return enabled[o]; }
  void setOptionEnabled(Option o, bool on) override { enabled[o] = on; }
  void setButtonEnabled(Button b, bool on) override { buttons[b] = on; }
  void setFindInFront(bool on) override { findInFront = on; }
  void setNextCaption(std::string_view c) override { nextCaption = c; }
  void setDefaultButton(Button b) override { defaultButton = b; }
  std::string findText() const override { return find; }
  void setFindText(std::string_view t) override { find = t; }
  std::string replaceText() const override { return replace; }
  void setReplaceText(std::string_view t) override { replace = t; }
  void setFindItems(const std::vector<std::string>& items) override { findItems = items; }
  void setReplaceItems(const std::vector<std::string>&) override {}
  bool showing() const override { return shown; }
  void show() override { shown = true; }
  void hide() override { shown = false; }
  int left() const override { return 40; }
  int top() const override { return 30; }

  // The user ticks a box or types into a list.
  void tick(tools::FindReplace& core, Option o, bool on) {
    checked[o] = on;
    core.optionChanged(o);
  }
  void typeFind(tools::FindReplace& core, std::string text) {
    find = std::move(text);
    core.findTextEdited();
  }
  void typeReplace(tools::FindReplace& core, std::string text) {
    replace = std::move(text);
    core.replaceTextEdited();
  }
};

}  // namespace quillon::testing
