#include "editor/number_syntax_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>

namespace quillon::editor {
namespace {

const QColor kEditorBack(0xF0, 0xF0, 0xE0);

class NumberSyntaxDialogTest : public ::testing::Test {
protected:
  // Colour choices come from a queue; running dry fails the test like an unexpected dialog.
  NumberSyntaxDialog::ColorPicker picker() {
    return [this](QWidget*, const QColor& initial) {
      offered.push_back(initial);
      if (colors.empty()) {
        ADD_FAILURE() << "unexpected colour dialog";
        return QColor();
      }
      const QColor c = colors.front();
      colors.pop_front();
      return c;
    };
  }

  template <class Widget>
  static Widget* child(QWidget* dialog, const QString& caption) {
    for (Widget* w : dialog->findChildren<Widget*>())
      if (w->text() == caption) return w;
    return nullptr;
  }
  static QCheckBox* box(QWidget* dialog, const QString& caption) {
    return child<QCheckBox>(dialog, caption);
  }
  static QPushButton* button(QWidget* dialog, const QString& caption) {
    return child<QPushButton>(dialog, caption);
  }
  // Bold, Italic, Underline, Strikeout and the background box.
  static std::vector<bool> boxes(QWidget* d) {
    std::vector<bool> out;
    for (const char* caption : {"Bold", "Italic", "Underline", "Strikeout", ""})
      out.push_back(box(d, caption)->isChecked());
    return out;
  }
  static QLabel* preview(QWidget* dialog) { return dialog->findChild<QLabel*>("preview"); }
  static QColor previewFore(QWidget* d) {
    return preview(d)->palette().color(QPalette::WindowText);
  }
  static QColor previewBack(QWidget* d) { return preview(d)->palette().color(QPalette::Window); }

  // Runs `script` on the modal dialog once editNumberSyntax has opened it.
  bool edit(const std::function<void(NumberSyntaxDialog*)>& script) {
    QTimer::singleShot(0, [&] {
      NumberSyntaxDialog* dialog = nullptr;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<NumberSyntaxDialog*>(w); d && d->isVisible()) dialog = d;
      ASSERT_NE(dialog, nullptr);
      script(dialog);
      if (dialog->isVisible()) dialog->reject();  // a failed script must not hang the run
    });
    return editNumberSyntax(
        nullptr, numbers, kEditorBack, [this] { ++appliedCalls; }, picker());
  }

  NumberHighlighter numbers;
  std::deque<QColor> colors;
  std::vector<QColor> offered;
  int appliedCalls = 0;
};

TEST_F(NumberSyntaxDialogTest, OpensOnTheHighlighterState) {
  numbers.setForeground(0x0000FF);  // red
  numbers.setStyle(1 | 8);
  numbers.setSeparators("\x1F +-");
  NumberSyntaxDialog dialog(kEditorBack, fromHighlighter(numbers), picker());
  EXPECT_EQ(dialog.findChild<QLineEdit*>()->text(), "+-");
  EXPECT_EQ(boxes(&dialog), (std::vector<bool>{true, false, false, true, false}));
  EXPECT_FALSE(button(&dialog, "Background")->isEnabled());
  EXPECT_EQ(std::tuple(previewFore(&dialog), previewBack(&dialog), preview(&dialog)->font().bold(),
                       preview(&dialog)->font().strikeOut()),
            std::tuple(QColor(Qt::red), kEditorBack, true, true));

  numbers.setBackground(0x00FFFF);  // yellow
  NumberSyntaxDialog withBack(kEditorBack, fromHighlighter(numbers), picker());
  EXPECT_EQ(boxes(&withBack), (std::vector<bool>{true, false, false, true, true}));
  EXPECT_TRUE(button(&withBack, "Background")->isEnabled());
  EXPECT_EQ(previewBack(&withBack), QColor(Qt::yellow));
}

TEST_F(NumberSyntaxDialogTest, PreviewFollowsTheBoxesAndPickedColours) {
  NumberSyntaxDialog dialog(kEditorBack, fromHighlighter(numbers), picker());
  box(&dialog, "Bold")->click();
  EXPECT_TRUE(preview(&dialog)->font().bold());

  colors = {QColor(Qt::green), QColor()};  // the second choice is cancelled
  button(&dialog, "Foreground")->click();
  button(&dialog, "Foreground")->click();
  EXPECT_EQ(previewFore(&dialog), QColor(Qt::green));
  EXPECT_EQ(offered.back(), QColor(Qt::green));

  // With no background yet, the picker starts from the editor's colour.
  box(&dialog, "")->click();
  colors = {QColor(Qt::blue)};
  button(&dialog, "Background")->click();
  EXPECT_EQ(offered.back(), kEditorBack);
  EXPECT_EQ(previewBack(&dialog), QColor(Qt::blue));
  box(&dialog, "")->click();
  EXPECT_FALSE(button(&dialog, "Background")->isEnabled());
  EXPECT_EQ(previewBack(&dialog), kEditorBack);
}

TEST_F(NumberSyntaxDialogTest, CancelChangesNothingAndApplyStoresTheChoicesOnce) {
  auto choose = [](const char* finish) {
    return [finish](NumberSyntaxDialog* d) {
      button(d, "Foreground")->click();
      box(d, "")->click();
      button(d, "Background")->click();
      box(d, "Underline")->click();
      d->findChild<QLineEdit*>()->setText("( )\t;");
      button(d, finish)->click();
    };
  };
  // Colours, style and separators.
  auto stored = [&] {
    return std::tuple(numbers.foreground(), numbers.background(), int{numbers.style()},
                      numbers.separators());
  };
  const auto before = stored();
  colors = {QColor(Qt::red), QColor(Qt::green)};
  EXPECT_FALSE(edit(choose("Cancel")));
  EXPECT_EQ(appliedCalls, 0);
  EXPECT_EQ(stored(), before);

  colors = {QColor(Qt::red), QColor(Qt::green)};
  EXPECT_TRUE(edit(choose("Apply")));
  EXPECT_EQ(appliedCalls, 1);
  EXPECT_EQ(stored(), std::tuple(0x0000FF, 0x00FF00, 4, std::string(" ();")));
  EXPECT_TRUE(colors.empty());
}

}  // namespace
}  // namespace quillon::editor
