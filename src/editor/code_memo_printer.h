#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "editor/code_memo_fwd.h"
#include "editor/print_layout.h"
#include "editor/printer_port.h"
#include "platform/font_info.h"

namespace quillon::editor {

// The page settings a printer keeps, in inches (line spacing: zero or more is a height in
// inches, negative is that many times the printer's text height).
struct PageSettings {
  float marginLeft = 0.75f;
  float marginRight = 0.5f;
  float marginTop = 0.75f;
  float marginBottom = 0.75f;
  float lineSpacing = -1.5f;
  float headerYPos = 0.4f;
  float footerYPos = 0.4f;
};

// Where everything goes on a page, for one printer and one set of page settings. Nothing in
// it divides by zero: a line height that rounds to 0 counts as 1, a page holds at least one
// line and a text at least one page.
class PageFormat {
public:
  PageFormat(const PrinterMetrics& metrics, const PageSettings& settings, int printerLineHeight);

  // The line height in device units, rounded: what lines per page are counted with.
  int lineHeight() const { return lineHeight_; }
  // The same unrounded, as lines are placed while printing.
  double exactLineHeight() const { return exactLineHeight_; }
  int linesPerPage() const { return linesPerPage_; }
  std::int64_t pageCount(std::int64_t displayLines) const;
  // First and last display line of page p (last < first when the page has none).
  std::pair<std::int64_t, std::int64_t> pageLines(std::int64_t page,
                                                  std::int64_t displayLines) const;

  // The paper width less the left and right margins: the width the text is laid out to.
  int textWidth() const { return textWidth_; }
  int textHeight() const { return textHeight_; }
  // Whether a line of text fits between the margins: at least one average character wide
  // and one line high.
  bool hasRoom(int averageCharWidth) const {
    return textWidth_ >= std::max(1, averageCharWidth) && textHeight_ >= lineHeight_;
  }

  // In device units relative to the printable area.
  PrintPoint textOrigin() const { return origin_; }
  PrintRect headerBand() const { return header_; }
  PrintRect footerBand() const { return footer_; }

private:
  int lineHeight_ = 1;
  double exactLineHeight_ = 1;
  int linesPerPage_ = 1;
  int textWidth_ = 0;
  int textHeight_ = 0;
  PrintPoint origin_;
  PrintRect header_;
  PrintRect footer_;
};

// A header or footer as printed on page p (from 0): the first "{p}" becomes p + 1.
std::string pageText(std::string_view text, std::int64_t page);

// Prints the text of one editor page by page, with its fonts and highlighting, a header and a
// footer, margins and line spacing, and backs the preview window.
//
// Invariant: layout_, when there is one, reads the paragraphs of memo_; when its lines are laid
// out, they were laid out for metrics_ and the current left and right margins. Every setter
// that changes one of those discards the layout or its lines; layOut() is the one place that
// lays them out again.
class CodeMemoPrinter {
public:
  static constexpr const char* kNoRoom = "The margins leave no room for text on this paper.";
  static constexpr const char* kNoPrinter =
      "No printer is installed. Choose Printer Setup... in Preview and print to a PDF file.";
  static constexpr const char* kPrintingFailed = "Printing failed.";

  explicit CodeMemoPrinter(PrinterPort& port) : port_(port) {}
  CodeMemoPrinter(const CodeMemoPrinter&) = delete;
  CodeMemoPrinter& operator=(const CodeMemoPrinter&) = delete;

  // ----- Properties -----
  CodeMemo* memoToPrint() const { return memo_; }
  // Always starts a new layout, even for the same editor: its text may have changed.
  void setMemoToPrint(CodeMemo* memo);
  float marginLeft() const { return settings_.marginLeft; }
  void setMarginLeft(float inches);
  float marginRight() const { return settings_.marginRight; }
  void setMarginRight(float inches);
  float marginTop() const { return settings_.marginTop; }
  void setMarginTop(float inches) { settings_.marginTop = inches; }
  float marginBottom() const { return settings_.marginBottom; }
  void setMarginBottom(float inches) { settings_.marginBottom = inches; }
  float lineSpacing() const { return settings_.lineSpacing; }
  void setLineSpacing(float spacing) { settings_.lineSpacing = spacing; }
  const std::string& header() const { return header_; }
  void setHeader(std::string text) { header_ = std::move(text); }
  const std::string& footer() const { return footer_; }
  void setFooter(std::string text) { footer_ = std::move(text); }
  float headerYPos() const { return settings_.headerYPos; }
  void setHeaderYPos(float inches) { settings_.headerYPos = inches; }
  float footerYPos() const { return settings_.footerYPos; }
  void setFooterYPos(float inches) { settings_.footerYPos = inches; }
  PrintAlign headerAlign() const { return headerAlign_; }
  void setHeaderAlign(PrintAlign align) { headerAlign_ = align; }
  PrintAlign footerAlign() const { return footerAlign_; }
  void setFooterAlign(PrintAlign align) { footerAlign_ = align; }
  const platform::FontInfo& headerFont() const { return headerFont_; }
  void setHeaderFont(platform::FontInfo font) { headerFont_ = std::move(font); }
  const platform::FontInfo& footerFont() const { return footerFont_; }
  void setFooterFont(platform::FontInfo font) { footerFont_ = std::move(font); }
  bool plainText() const { return plainText_; }
  void setPlainText(bool on);
  const PageSettings& pageSettings() const { return settings_; }

  // Raised once the layout exists, before it is laid out.
  std::function<void(CodeMemoPrinter&, PrintLayout&)> onFormatPrint;
  // Raised before each page is printed and once more after the last with currentPage() -1.
  std::function<void(CodeMemoPrinter&)> onProgress;
  // Where print() prints when no printer is installed: a file name, or nullopt to print
  // nothing. Unset, print() fails with kNoPrinter there.
  std::function<std::optional<std::string>()> choosePrintFile;
  // Raised after a run that printed into the file choosePrintFile gave, unless cancelled.
  std::function<void(const std::string& file)> onPrintedToFile;
  // Raised when the preview window exists, before it is shown.
  std::function<void(CodeMemoPrinter&, PrintPreview&)> onPreview;

  // Stops a print run before its next page; cleared when a run starts.
  void abort() { aborted_ = true; }
  bool aborted() const { return aborted_; }
  std::int64_t currentPage() const { return currentPage_; }

  // ----- Layout -----
  // Lays the text out for the printer unless it already is. False when there is no text to
  // print or the margins leave no room for it on this paper.
  bool layOut();
  bool laidOut() const { return laidOut_; }
  // Whether the margins leave room for a line on this paper (after layOut()).
  bool hasRoom() const;
  // The printer's paper or resolution changed: everything is laid out again.
  void printerChanged();
  // Valid after layOut().
  const PrinterMetrics& metrics() const { return metrics_; }
  PageFormat format() const { return PageFormat(metrics_, settings_, printerLineHeight_); }
  PrintLayout* layout() const { return layout_.get(); }
  // Display lines to print: none without room.
  std::int64_t lineCount() const {
    return hasRoom() && layout_->laidOut() ? layout_->lineCount() : 0;
  }
  std::int64_t pageCount() const { return format().pageCount(lineCount()); }

  // ----- Commands -----
  // Prints every page on the port's printer. Throws MemoError with kNoPrinter or kNoRoom
  // before anything is sent, and with kPrintingFailed when a page fails, after ending the
  // document.
  void print();
  // Shows the preview window modally.
  void preview();

private:
  PrinterPort& port_;
  CodeMemo* memo_ = nullptr;
  PageSettings settings_;
  std::string header_;
  std::string footer_;
  PrintAlign headerAlign_ = PrintAlign::Left;
  PrintAlign footerAlign_ = PrintAlign::Left;
  platform::FontInfo headerFont_{"MS Sans Serif", 8, platform::clWindowText, 0};
  platform::FontInfo footerFont_{"MS Sans Serif", 8, platform::clWindowText, 0};
  bool plainText_ = false;

  std::unique_ptr<PrintLayout> layout_;
  bool laidOut_ = false;  // metrics_ and the text metrics were read for the current printer
  PrinterMetrics metrics_;
  const TextMetrics* textMetrics_ = nullptr;
  int printerLineHeight_ = 1;
  int averageCharWidth_ = 1;
  std::int64_t currentPage_ = -1;
  bool aborted_ = false;
};

}  // namespace quillon::editor
