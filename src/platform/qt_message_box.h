#pragma once
#include <QMessageBox>
#include <QPoint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ui.h"

namespace quillon::platform {

// Every message box and question of the Ui is built here. Its text is shortened to what a
// screen holds (box_text.h), the whole of it kept in the box's details; its buttons stand in
// the order the program gives them, whatever order the desktop's style would sort them in.
struct BuiltBox {
  std::unique_ptr<QMessageBox> box;
  std::vector<std::pair<QAbstractButton*, Ui::Answer>> answers;  // in the order shown
};
BuiltBox buildMessageBox(QWidget* owner, QMessageBox::Icon icon, std::string_view caption,
                         std::string_view text, Ui::Buttons buttons);

// Shows the box (its top-left corner at `at` when given) and waits for the answer; closing it
// without a button gives the safest answer its buttons offer.
Ui::Answer runMessageBox(QWidget* owner, QMessageBox::Icon icon, std::string_view caption,
                         std::string_view text, Ui::Buttons buttons,
                         std::optional<QPoint> at = std::nullopt);

}  // namespace quillon::platform
