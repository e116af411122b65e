#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <string>

#include "editor/code_memo_widget.h"
#include "editor/memo_error.h"
#include "editor/qt_clipboard.h"
#include "support/scripted_ui.h"
#include "support/table_corruption.h"
#include "support/temp_folder.h"

namespace {

using namespace quillon::editor;

class CodeMemoWidgetTest : public ::testing::Test {
protected:
  void SetUp() override {
    memo.setWordWrap(false);
    widget = std::make_unique<CodeMemoWidget>(memo, clipboard, ui);
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(13);
    widget->setEditorFont(font);
    widget->resize(400, 300);
    widget->show();
    widget->setFocus();
  }
  QPoint at(int column, int line) const {
    const auto& m = widget->textMetrics();
    return {memo.leftMargin() + column * m.averageCharWidth() + 1,
            line * m.lineHeight() + m.lineHeight() / 2};
  }
  CodeMemo memo;
  QtClipboard systemClipboard;
  MemoClipboard clipboard{memo, &systemClipboard};
  quillon::testing::ScriptedUi ui;
  std::unique_ptr<CodeMemoWidget> widget;
};

TEST_F(CodeMemoWidgetTest, KeysReachTheKeyboardModel) {
  memo.setOptions(memo.options() | moAutoIndent);
  QTest::keyClicks(widget.get(), "  ab");
  QTest::keyClick(widget.get(), Qt::Key_Return);
  QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("é€"));
  QApplication::sendEvent(widget.get(), &accented);  // Windows-1252 0xE9 and 0x80
  EXPECT_EQ(memo.text(), "  ab\r\n  \xE9\x80");
  QTest::keyClick(widget.get(), Qt::Key_Backspace, Qt::ControlModifier);
  QTest::keyClick(widget.get(), Qt::Key_Home);
  QTest::keyClick(widget.get(), Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(memo.selText(), "  ab\r\n");
  QTest::keyClick(widget.get(), Qt::Key_Delete);
  EXPECT_EQ(memo.text(), "  ");
}

// Alt with a key is a command: a menu's letter, or nothing. AltGr, which X11 reports as a
// modifier of its own and Windows as Ctrl+Alt, makes characters that must still type.
TEST_F(CodeMemoWidgetTest, AltCombinationsNeverTypeButAltGrCharactersDo) {
  QTest::keyClick(widget.get(), Qt::Key_Q, Qt::AltModifier);
  QTest::keyClick(widget.get(), Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier);
  QTest::keyClick(widget.get(), Qt::Key_1, Qt::AltModifier);
  QKeyEvent altQ(QEvent::KeyPress, Qt::Key_Q, Qt::AltModifier, "q");
  QApplication::sendEvent(widget.get(), &altQ);
  EXPECT_EQ(memo.text(), "");

  QKeyEvent altGr(QEvent::KeyPress, Qt::Key_At, Qt::GroupSwitchModifier, "@");
  QApplication::sendEvent(widget.get(), &altGr);
  QKeyEvent windowsAltGr(QEvent::KeyPress, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier,
                         QString::fromUtf8("€"));
  QApplication::sendEvent(widget.get(), &windowsAltGr);
  EXPECT_EQ(memo.text(), "@\x80");
}

TEST_F(CodeMemoWidgetTest, ScrollBarsShowOnlyWhileTheTextExceedsTheWindow) {
  ASSERT_TRUE(memo.hasOption(moAutoScrollBars));
  auto shown = [this](const std::string& text) {
    memo.setText(text);
    QApplication::processEvents();  // the area shows and hides its bars a moment later
    return std::pair(widget->horizontalScrollBar()->isVisible(),
                     widget->verticalScrollBar()->isVisible());
  };
  EXPECT_EQ(shown("one\r\ntwo"), std::pair(false, false));
  EXPECT_EQ(shown(quillon::testing::numberedLines("line", 100)), std::pair(false, true));
  EXPECT_EQ(shown(std::string(200, 'w')), std::pair(true, false));
  EXPECT_EQ(shown("one\r\ntwo"), std::pair(false, false));

  memo.setOptions(memo.options() & ~moAutoScrollBars);
  EXPECT_EQ(shown("one\r\ntwo"), std::pair(true, true));
}

// Ctrl+E also stands for the other Ctrl+letter keys: one path to the editor's control keys.
TEST_F(CodeMemoWidgetTest, EditorErrorsAreShownNotThrown) {
  memo.setText("ab\r\ncd");
  quillon::testing::corruptLineCount(memo, 1, 4);
  QTest::keyClick(widget.get(), Qt::Key_E, Qt::ControlModifier);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_TRUE(ui.messages()[0].starts_with("Error 3 in ")) << ui.messages()[0];
  quillon::testing::corruptLineCount(memo, 1, 1);

  memo.setMaxParagraphLength(4);
  memo.setSelStart(2);
  QTest::keyClicks(widget.get(), "xyz");
  EXPECT_EQ(ui.messages().back(), kTextTooLong);
}

TEST_F(CodeMemoWidgetTest, ColumnBlocksTravelThroughTheSystemClipboard) {
  memo.setText("abcd\r\nefgh");
  memo.setSelStart(1);
  QTest::keyClick(widget.get(), Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  QTest::keyClick(widget.get(), Qt::Key_Down, Qt::ShiftModifier | Qt::AltModifier);
  QTest::keyClick(widget.get(), Qt::Key_Insert, Qt::ControlModifier);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(data);
  EXPECT_TRUE(data->hasFormat(QtClipboard::kBlockMimeType));
  EXPECT_EQ(data->text(), "b\r\nf\r\n");

  memo.setSelStart(memo.charCount());
  QTest::keyClick(widget.get(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(memo.text(), "abcd\r\nefghb\r\n    f");

  // Text from other programs ends lines with LF alone and may be in any script.
  QGuiApplication::clipboard()->setText(QString::fromUtf8("1\n2\u4E2D"));
  memo.setText("");
  QTest::keyClick(widget.get(), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(memo.text(), "1\r\n2?");
}

TEST_F(CodeMemoWidgetTest, MouseAndWheel) {
  memo.setText(quillon::testing::numberedLines("line", 100));
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, at(2, 1));
  EXPECT_EQ(memo.selStart(), 10);
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(4, 2));
  EXPECT_EQ(memo.selText(), "ne 2\r\nline");
  QTest::mouseDClick(widget->viewport(), Qt::LeftButton, {}, at(1, 3));
  EXPECT_EQ(memo.selText(), "line");

  memo.setMouseWheelFactor(5);
  QWheelEvent wheel(QPointF(50, 50), widget->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget->viewport(), &wheel);
  EXPECT_EQ(memo.topLine(), 5);
}

// Painting starts at the first visible character, at that character's own x, and the
// end-of-text mark stands where the painter ended.
TEST_F(CodeMemoWidgetTest, AScrolledLongLineShowsWhatItsTailShows) {
  const QColor paper(255, 255, 225);
  widget->setBackground(paper);
  std::string line;
  for (int i = 0; line.size() < 20000; ++i)
    line += "Dim v" + std::to_string(i) + " = " + std::to_string(i * 7) + " ";
  auto shown = [&](const std::string& text, std::uint32_t from) {
    memo.setText(text);
    memo.setSelStart(memo.charCount());
    memo.setScroll(memo.xInLine(memo.lineSpan(0), from), 0);
    const QImage image = widget->viewport()->grab().toImage();
    return image.copy(memo.leftMargin(), 0, image.width() - memo.leftMargin(), image.height());
  };
  const auto end = static_cast<std::uint32_t>(line.size() - 20);
  EXPECT_EQ(shown(line, end), shown(line.substr(end), 0));
  const QImage image = widget->viewport()->grab().toImage();
  int red = -1;
  for (int x = 0; x < image.width() && red < 0; ++x)
    if (image.pixelColor(x, widget->textMetrics().ascent() - 1) == QColor(Qt::red)) red = x;
  EXPECT_EQ(red, memo.leftMargin() + memo.xInLine(memo.lineSpan(0), 20) + 1);
  // Ink on the chosen paper.
  int inked = 0;
  for (int x = 0; x < 80; ++x)
    for (int y = 0; y < widget->textMetrics().lineHeight(); ++y)
      inked += image.pixelColor(x, y) != paper;
  EXPECT_GT(inked, 10);
  EXPECT_EQ(image.pixelColor(250, 80), paper);
}

}  // namespace
