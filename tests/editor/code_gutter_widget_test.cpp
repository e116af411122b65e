#include "editor/code_gutter_widget.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QPalette>
#include <gtest/gtest.h>

#include "editor/code_memo.h"
#include "editor/code_memo_widget.h"
#include "support/scripted_ui.h"

namespace {

using namespace quillon::editor;

TEST(CodeGutterWidget, PaintsGlyphEdgeAndBackground) {
  CodeMemo memo;
  memo.setText("one\r\ntwo\r\nthree\r\nfour");
  QWidget window;
  auto* layout = new QHBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* gutter = new CodeGutterWidget;
  MemoClipboard clipboard{memo};
  quillon::testing::ScriptedUi ui;
  auto* editor = new CodeMemoWidget(memo, clipboard, ui);
  editor->setFrameShape(QFrame::NoFrame);
  gutter->setFixedWidth(50);
  gutter->setColor(QColor(250, 250, 210));
  gutter->setEditor(editor);
  gutter->gutter().setAlignment(CodeGutter::Alignment::left);
  layout->addWidget(gutter);
  layout->addWidget(editor);
  window.resize(400, 200);
  window.show();
  QApplication::processEvents();

  memo.setSelStart(memo.offsetOfLine(2));
  QKeyEvent ctrlShift3(QEvent::KeyPress, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
  QApplication::sendEvent(editor, &ctrlShift3);
  ASSERT_EQ(gutter->gutter().bookmarkLine(3), 2);

  QImage image(gutter->size(), QImage::Format_ARGB32);
  gutter->render(&image);  // learns the editor's layout
  gutter->render(&image);

  const int lh = editor->textMetrics().lineHeight();
  const int top = 2 * lh;
  const int y = std::max(top + (lh - 10) / 2, top + editor->textMetrics().ascent() - 10);
  // Compared as 8-bit RGB, which is what the image holds.
  EXPECT_EQ(image.pixel(2 + 1, y + 5), qRgb(0x2f, 0x74, 0xc0));  // the glyph's left border
  EXPECT_EQ(image.pixel(45, 1), qRgb(250, 250, 210));
  EXPECT_EQ(image.pixel(48, 100), gutter->palette().color(QPalette::Highlight).rgb());
  EXPECT_EQ(image.pixel(49, 100), gutter->palette().color(QPalette::Shadow).rgb());
}

}  // namespace
