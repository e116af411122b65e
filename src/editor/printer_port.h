#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/font_info.h"

namespace quillon::editor {

class CodeMemoPrinter;
class PrintLayout;
class TextMetrics;

// What a printer reports about itself, in device units: the GetDeviceCaps values HORZRES,
// VERTRES, PHYSICALWIDTH, PHYSICALHEIGHT, PHYSICALOFFSETX, PHYSICALOFFSETY, LOGPIXELSX and
// LOGPIXELSY.
struct PrinterMetrics {
  int horzRes = 0;          // printable width
  int vertRes = 0;          // printable height
  int physicalWidth = 0;    // paper width
  int physicalHeight = 0;   // paper height
  int physicalOffsetX = 0;  // the printable area's offset from the paper's left edge
  int physicalOffsetY = 0;  // ... and from its top edge
  int logPixelsX = 0;       // device units per inch
  int logPixelsY = 0;

  friend bool operator==(const PrinterMetrics&, const PrinterMetrics&) = default;
};

// A point and a rectangle in device units, relative to the printable area.
struct PrintPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PrintPoint&, const PrintPoint&) = default;
};
struct PrintRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const PrintRect&, const PrintRect&) = default;
};

enum class PrintAlign { Left, Right, Center };

// The preview window as the printer sees it.
class PrintPreview {
public:
  virtual ~PrintPreview() = default;
  virtual void showModal() = 0;
};

// The printer, its paper and the windows that go with printing, as CodeMemoPrinter reaches
// them. The Qt side implements it on QPrinter; tests record what reaches the paper.
class PrinterPort {
public:
  virtual ~PrinterPort() = default;

  // False when there is nowhere to print to (no printer installed and no file chosen).
  virtual bool printerInstalled() = 0;
  // Prints into this PDF file from now on; an empty name goes back to the printer.
  virtual void setOutputFile(const std::string& file) = 0;
  virtual PrinterMetrics metrics() = 0;
  // The source editor's font measured on the printer; valid until the next call.
  virtual const TextMetrics& textMetrics() = 0;

  // One document: false when the printer refuses.
  virtual bool startDocument() = 0;
  virtual bool newPage() = 0;
  // Text word-wrapped into a band and clipped to it.
  virtual void drawText(const PrintRect& band, std::string_view text,
                        const platform::FontInfo& font, PrintAlign align) = 0;
  // Display lines [first, last] of the layout, the first with its top at `origin`, each
  // `lineHeight` below the one before.
  virtual void paintLines(PrintLayout& layout, std::int64_t first, std::int64_t last,
                          PrintPoint origin, double lineHeight) = 0;
  virtual bool endDocument() = 0;

  // The preview window over `printer`.
  virtual std::unique_ptr<PrintPreview> createPreview(CodeMemoPrinter& printer) = 0;
  // The program's progress window, "Printing page n of m" counted from 1; page -1 closes it.
  // False once the user has pressed its Cancel button.
  virtual bool showProgress(std::int64_t page, std::int64_t pageCount) = 0;
};

}  // namespace quillon::editor
