// The main window's editor row: the gutter beside the source editor.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "editor/code_gutter_widget.h"
#include "editor/code_memo_widget.h"

namespace {

TEST(MainWindow, GutterServesTheSourceEditorAndForgetsBookmarksOfAnOldFile) {
  const std::filesystem::path sample = std::filesystem::path(QUILLON_SOURCE_DIR) / "tests/app/main_window_test.cpp";
  auto window = std::make_unique<quillon::app::MainWindow>();
  auto& gutter = window->gutter();
  EXPECT_EQ(gutter.editor(), &window->sourceEditor());
  ASSERT_TRUE(window->openFile(sample));
  ASSERT_TRUE(gutter.gutter().toggleBookmark(5, 2));
  ASSERT_TRUE(window->openFile(sample));
  EXPECT_EQ(gutter.gutter().bookmarkLine(2), -1);
  window.reset();  // the widgets let go of the memo before it goes
}

}  // namespace
