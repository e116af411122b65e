#include "platform/qt_message_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace quillon::platform {
namespace {

// The buttons' captions from left to right as the box lays them out.
std::vector<std::string> shownOrder(const BuiltBox& built) {
  const QDialogButtonBox* row = built.box->findChild<QDialogButtonBox*>();
  std::vector<std::pair<int, std::string>> placed;
  for (QAbstractButton* b : row->buttons())
    if (b->isVisibleTo(built.box.get()) || !b->isHidden())
      placed.emplace_back(row->layout()->indexOf(b), b->text().toStdString());
  std::sort(placed.begin(), placed.end());
  std::vector<std::string> order;
  for (const auto& [at, text] : placed) order.push_back(text);
  return order;
}

TEST(QtMessageBoxTest, ButtonsStandInTheProgramsOrder) {
  const BuiltBox replace = buildMessageBox(nullptr, QMessageBox::Question, "Confirm", "Replace....",
                                           Ui::Buttons::YesNoCancelWithAll);
  EXPECT_EQ(shownOrder(replace), (std::vector<std::string>{"&Yes", "&No", "Cancel", "&All"}));
  EXPECT_EQ(replace.answers.back().second, Ui::Answer::All);
  EXPECT_EQ(replace.box->escapeButton(), replace.answers[2].first);
  const BuiltBox close = buildMessageBox(nullptr, QMessageBox::Question, "Confirm", "Save?",
                                         Ui::Buttons::YesNoCancelAll);
  EXPECT_EQ(shownOrder(close),
            (std::vector<std::string>{"&Yes", "&No", "Cancel", "N&o to All", "Yes to &All"}));
}

TEST(QtMessageBoxTest, AHugeTextIsShortenedAndKeptWholeInTheDetails) {
  const std::string line(1'000'000, 'm');
  const std::string text = "Can Not Locate Source For:\n\n" + line + "\n\nSkipping....";
  const BuiltBox built =
      buildMessageBox(nullptr, QMessageBox::Information, "Quillon", text, Ui::Buttons::Ok);
  EXPECT_EQ(built.box->detailedText().size(), static_cast<qsizetype>(text.size()));
  EXPECT_LT(built.box->text().size(), 300);
  EXPECT_TRUE(built.box->text().contains(QChar(0x2026)));
  built.box->adjustSize();
  EXPECT_LT(built.box->sizeHint().height(), 800);
  EXPECT_LT(built.box->sizeHint().width(), 2600);  // 200 of the widest letter

  const BuiltBox small = buildMessageBox(nullptr, QMessageBox::Information, "Quillon",
                                         "Searched To End", Ui::Buttons::Ok);
  EXPECT_EQ(std::pair(small.box->text().toStdString(), small.box->detailedText().isEmpty()),
            std::pair(std::string("Searched To End"), true));
}

}  // namespace
}  // namespace quillon::platform
