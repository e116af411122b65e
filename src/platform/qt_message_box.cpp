#include "platform/qt_message_box.h"

#include <QDialogButtonBox>
#include <QLayout>
#include <QPushButton>
#include <algorithm>

#include "platform/box_text.h"
#include "platform/qt_conversions.h"

namespace quillon::platform {

namespace {

using Answer = Ui::Answer;
using Buttons = Ui::Buttons;

std::vector<std::pair<const char*, Answer>> labelsOf(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok: return {{"OK", Answer::Ok}};
    case Buttons::OkCancel: return {{"OK", Answer::Ok}, {"Cancel", Answer::Cancel}};
    case Buttons::YesNo: return {{"&Yes", Answer::Yes}, {"&No", Answer::No}};
    case Buttons::YesNoCancel:
      return {{"&Yes", Answer::Yes}, {"&No", Answer::No}, {"Cancel", Answer::Cancel}};
    case Buttons::YesNoAll:
      return {{"&Yes", Answer::Yes},
              {"&No", Answer::No},
              {"N&o to All", Answer::NoToAll},
              {"Yes to &All", Answer::YesToAll}};
    case Buttons::YesNoCancelAll:
      return {{"&Yes", Answer::Yes},
              {"&No", Answer::No},
              {"Cancel", Answer::Cancel},
              {"N&o to All", Answer::NoToAll},
              {"Yes to &All", Answer::YesToAll}};
    case Buttons::YesNoCancelWithAll:
      return {{"&Yes", Answer::Yes},
              {"&No", Answer::No},
              {"Cancel", Answer::Cancel},
              {"&All", Answer::All}};
  }
  return {};
}

// Closing the box without a button: the safe answer its buttons offer.
Answer closedAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoAll: return Answer::No;
    default: return Answer::Cancel;
  }
}

}  // namespace

BuiltBox buildMessageBox(QWidget* owner, QMessageBox::Icon icon, std::string_view caption,
                         std::string_view text, Buttons buttons) {
  const QString whole = toDisplayString(text);
  const QByteArray utf8 = whole.toUtf8();
  const BoxText shown = shortenForBox(
      std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), true);
  BuiltBox built;
  built.box = std::make_unique<QMessageBox>(
      icon, toQString(caption),
      QString::fromUtf8(shown.shown.data(), static_cast<qsizetype>(shown.shown.size())),
      QMessageBox::NoButton, owner);
  // A label would lay the whole text out, however long, before the box could show.
  built.box->setTextFormat(Qt::PlainText);
  if (shown.shortened) built.box->setDetailedText(whole);

  // One role for all: a button box sorts by role, and keeps the order within one, though some
  // styles run a role backwards; the order is checked below. Not the action role, which the
  // details button takes.
  auto addAll = [&](bool reversed) {
    built.answers.clear();
    auto labels = labelsOf(buttons);
    if (reversed) std::reverse(labels.begin(), labels.end());
    for (const auto& [label, answer] : labels)
      built.answers.emplace_back(built.box->addButton(label, QMessageBox::YesRole), answer);
    if (reversed) std::reverse(built.answers.begin(), built.answers.end());
  };
  addAll(false);
  if (built.answers.size() > 1) {
    QDialogButtonBox* row = built.box->findChild<QDialogButtonBox*>();
    QLayout* layout = row ? row->layout() : nullptr;
    if (layout && layout->indexOf(built.answers.front().first) >
                      layout->indexOf(built.answers.back().first)) {
      for (auto& [button, answer] : built.answers) {
        built.box->removeButton(button);
        delete button;
      }
      addAll(true);
    }
  }
  built.box->setDefaultButton(static_cast<QPushButton*>(built.answers.front().first));
  // Esc answers as closing the box would.
  for (const auto& [button, answer] : built.answers)
    if (answer == closedAnswer(buttons)) built.box->setEscapeButton(button);
  return built;
}

Answer runMessageBox(QWidget* owner, QMessageBox::Icon icon, std::string_view caption,
                     std::string_view text, Buttons buttons, std::optional<QPoint> at) {
  BuiltBox built = buildMessageBox(owner, icon, caption, text, buttons);
  if (at) built.box->move(*at);
  built.box->exec();
  for (const auto& [button, answer] : built.answers)
    if (built.box->clickedButton() == button) return answer;
  return closedAnswer(buttons);
}

}  // namespace quillon::platform
