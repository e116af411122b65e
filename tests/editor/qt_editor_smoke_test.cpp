// The editor widget over a real model, offscreen: keys reach the model and painting keeps up.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "editor/code_memo.h"
#include "editor/code_memo_widget.h"

namespace {

TEST(EditorWidget, TypedKeysEditTheModelAndUndoRestoresIt) {
  quillon::editor::CodeMemo memo;
  memo.setWordWrap(false);
  memo.setText("Dim x\r\nDim y");
  quillon::editor::MemoClipboard clipboard{memo};
  quillon::editor::CodeMemoWidget widget(memo, clipboard);
  widget.resize(400, 200);
  widget.show();
  QTest::keyClick(&widget, Qt::Key_End);
  QTest::keyClicks(&widget, "Z");
  QTest::keyClick(&widget, Qt::Key_Return);
  QTest::keyClicks(&widget, "q");
  // Letters beyond ASCII arrive as Unicode text and are stored as one Windows-1252 byte.
  QKeyEvent accented(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x00E9)));
  QApplication::sendEvent(&widget, &accented);
  EXPECT_EQ(memo.text(), "Dim xZ\r\nq\xe9\r\nDim y");
  QTest::keyClick(&widget, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(memo.text(), "Dim x\r\nDim y");
}

TEST(EditorWidget, ClickPlacesTheCaretOnTheLineUnderThePointer) {
  quillon::editor::CodeMemo memo;
  memo.setWordWrap(false);
  memo.setText("first\r\nsecond\r\nthird");
  quillon::editor::MemoClipboard clipboard{memo};
  quillon::editor::CodeMemoWidget widget(memo, clipboard);
  widget.resize(400, 200);
  widget.show();
  const int lh = widget.textMetrics().lineHeight();
  QTest::mouseClick(widget.viewport(), Qt::LeftButton, {}, QPoint(memo.leftMargin() + 1, lh * 2 + lh / 2));
  EXPECT_EQ(memo.selLine(), 2);
  EXPECT_EQ(memo.selCol(), 0);
}

TEST(EditorWidget, PaintsTextOnTheBackground) {
  quillon::editor::CodeMemo memo;
  memo.setText("MMMM");
  quillon::editor::MemoClipboard clipboard{memo};
  quillon::editor::CodeMemoWidget widget(memo, clipboard);
  widget.resize(300, 100);
  widget.setBackground(QColor(255, 255, 225));
  QImage image(widget.viewport()->size(), QImage::Format_RGB32);
  widget.viewport()->render(&image);
  int inked = 0;
  for (int x = 0; x < 80; ++x)
    for (int y = 0; y < widget.textMetrics().lineHeight(); ++y)
      if (image.pixelColor(x, y) != QColor(255, 255, 225)) ++inked;
  EXPECT_GT(inked, 10);
  EXPECT_EQ(image.pixelColor(250, 80), QColor(255, 255, 225));
}

}  // namespace
