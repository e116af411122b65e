#include "lsp/text_document.h"

#include <gtest/gtest.h>
#include <random>

namespace quillon::lsp {
namespace {

// The document as a plain string model: LF-joined lines, byte columns (ASCII only here).
std::size_t offsetOf(const std::string& text, Position p) {
  std::size_t offset = 0;
  for (std::int64_t line = 0; line < p.line; ++line) {
    const std::size_t lf = text.find('\n', offset);
    if (lf == std::string::npos) return text.size();
    offset = lf + 1;
  }
  const std::size_t lf = text.find('\n', offset);
  const std::size_t end = lf == std::string::npos ? text.size() : lf;
  return std::min(end, offset + static_cast<std::size_t>(p.character));
}

TEST(TextDocumentTest, RandomEditsMatchAStringModel) {
  std::mt19937 rng(7);
  std::string model = "Sub Main\n  Dim a\nEnd Sub";
  TextDocument doc("file:///x.mb", 1, model);
  const std::vector<std::string> inserts = {"",     "x",      "\n",        "ab\ncd",
                                            "\n\n", "q\r\nr", "End If\n  "};
  for (int step = 0; step < 3000; ++step) {
    const auto lines = static_cast<int>(std::count(model.begin(), model.end(), '\n')) + 1;
    Position a{static_cast<std::int64_t>(rng() % (lines + 1)),
               static_cast<std::int64_t>(rng() % 12)};
    Position b{static_cast<std::int64_t>(rng() % (lines + 1)),
               static_cast<std::int64_t>(rng() % 12)};
    std::string text = inserts[rng() % inserts.size()];
    std::size_t from = offsetOf(model, a), to = offsetOf(model, b);
    if (from > to) std::swap(from, to);
    doc.apply({a, b}, text, PositionEncoding::utf16);
    std::string stored = text;
    for (std::size_t i; (i = stored.find("\r\n")) != std::string::npos;) stored.replace(i, 2, "\n");
    model.replace(from, to - from, stored);
    ASSERT_EQ(doc.text(), model) << "step " << step;
    std::size_t bytes = 0;
    for (char c : model) bytes += c != '\n';
    ASSERT_EQ(doc.byteSize(), bytes);
  }
}

TEST(TextDocumentTest, EditsReportTheLinesTheyTouch) {
  TextDocument doc("file:///x.mb", 1, "a\r\nb\rc\nd");
  EXPECT_EQ(doc.lineCount(), 4);
  const TextDocument::Edit same = doc.apply({{1, 0}, {1, 1}}, "B", PositionEncoding::utf16);
  EXPECT_EQ(same.firstLine, 1);
  EXPECT_EQ(same.removedLines, 1);
  EXPECT_EQ(same.insertedLines, 1);
  const TextDocument::Edit joined = doc.apply({{0, 1}, {2, 0}}, "", PositionEncoding::utf16);
  EXPECT_EQ(joined.removedLines, 3);
  EXPECT_EQ(joined.insertedLines, 1);
  EXPECT_EQ(doc.text(), "ac\nd");
  // Ends given in reverse order and past the end.
  doc.apply({{9, 9}, {1, 0}}, "z\ny", PositionEncoding::utf16);
  EXPECT_EQ(doc.text(), "ac\nz\ny");
}

TEST(TextDocumentTest, NonAsciiPositionsLandOnTheirCharacter) {
  TextDocument doc("file:///x.mb", 1, "' Horsb\xC3\xB8ll M\xC3\xB8ller\nx");
  // UTF-16 column 13 is after "Møller"'s ø.
  doc.apply({{0, 13}, {0, 13}}, "!", PositionEncoding::utf16);
  EXPECT_EQ(doc.line(0), "' Horsb\xC3\xB8ll M\xC3\xB8!ller");
  EXPECT_EQ(doc.position(0, 16, PositionEncoding::utf16).character, 14);
}

}  // namespace
}  // namespace quillon::lsp
