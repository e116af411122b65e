#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/code_memo_printer.h"
#include "editor/printer_port.h"
#include "support/fixed_metrics.h"

namespace quillon::testing {

// A printer that writes what reaches its paper into `calls`, one line each, and can be told
// to be missing or to fail. By default: 8.5 x 11 inches at 100 units per inch, all of it
// printable, text 8 x 10 units.
class FakePrinterPort : public editor::PrinterPort {
public:
  class Preview : public editor::PrintPreview {
  public:
    explicit Preview(FakePrinterPort& port) : port_(port) {}
    void showModal() override {
      port_.calls.push_back("preview shown");
      if (port_.whileShown) port_.whileShown();
    }

  private:
    FakePrinterPort& port_;
  };

  bool installed = true;
  std::string outputFile;
  editor::PrinterMetrics paper{850, 1100, 850, 1100, 0, 0, 100, 100};
  testing::FixedMetrics text{8, 10};
  bool startFails = false;
  int failingPage = -1;  // newPage() for this page (from 0) fails
  bool endFails = false;
  std::function<void()> whileShown;
  std::vector<std::string> calls;
  std::vector<std::int64_t> progress;  // pages shown in the progress window, -1 when closed
  std::int64_t cancelPage = -1;        // showProgress answers Cancel from this page on

  bool printerInstalled() override { return installed || !outputFile.empty(); }
  void setOutputFile(const std::string& file) override {
    outputFile = file;
    calls.push_back("output " + file);
  }
  editor::PrinterMetrics metrics() override { return paper; }
  const editor::TextMetrics& textMetrics() override { return text; }
  bool startDocument() override {
    calls.push_back("start");
    pages_ = 0;
    return !startFails;
  }
  bool newPage() override {
    calls.push_back("new page");
    return ++pages_ != failingPage;
  }
  void drawText(const editor::PrintRect& band, std::string_view text,
                const platform::FontInfo& font, editor::PrintAlign) override {
    calls.push_back("text " + std::string(text) + " in " + rect(band) + " " + font.name);
  }
  void paintLines(editor::PrintLayout&, std::int64_t first, std::int64_t last,
                  editor::PrintPoint origin, double lineHeight) override {
    calls.push_back("lines " + std::to_string(first) + "-" + std::to_string(last) + " at " +
                    std::to_string(origin.x) + "," + std::to_string(origin.y) + " every " +
                    number(lineHeight));
  }
  bool endDocument() override {
    calls.push_back("end");
    return !endFails;
  }
  std::unique_ptr<editor::PrintPreview> createPreview(editor::CodeMemoPrinter&) override {
    calls.push_back("preview created");
    return std::make_unique<Preview>(*this);
  }
  bool showProgress(std::int64_t page, std::int64_t) override {
    progress.push_back(page);
    return cancelPage < 0 || page < cancelPage;
  }

  static std::string rect(const editor::PrintRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
  }
  static std::string number(double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
  }

private:
  int pages_ = 0;
};

}  // namespace quillon::testing
