#include "pages/pdf_target.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace quillon::pages {
namespace {

namespace fs = std::filesystem;

TEST(PdfTargetTest, TheDialogOffersThePagesNameBesideItsSource) {
  testing::ScriptedUi ui;
  testing::TempFolder folder{"quillon-pdf"};
  const fs::path source = folder.write("src/parcels.mb", "x");
  ui.queueSaveFile(folder.path() / "out.pdf");
  EXPECT_EQ(askPdfFile(ui, source.string(), "/elsewhere"), (folder.path() / "out.pdf").string());
  ui.queueSaveFile(std::nullopt);
  EXPECT_EQ(askPdfFile(ui, "Untitled", folder.path()), std::nullopt);
  ASSERT_EQ(ui.fileDialogs().size(), 2u);
  const auto& first = ui.fileDialogs()[0];
  EXPECT_EQ(std::tuple(first.initialDir, first.fileName, first.defaultExt, first.overwritePrompt),
            std::tuple(source.parent_path(), "parcels.pdf", "pdf", true));
  EXPECT_EQ(std::tuple(ui.fileDialogs()[1].initialDir, ui.fileDialogs()[1].fileName),
            std::tuple(folder.path(), "Untitled.pdf"));
  EXPECT_TRUE(ui.messages().empty());
}

TEST(PdfTargetTest, TargetsThatCannotBeWrittenAreRefusedBeforePrinting) {
  testing::TempFolder folder{"quillon-pdf"};
  fs::create_directories(folder.path() / "locked");
  ::chmod((folder.path() / "locked").c_str(), 0555);
  const bool root = ::geteuid() == 0;
  const std::pair<fs::path, const char*> bad[] = {
      {folder.path(), "it is a folder"},
      {folder.path() / "missing" / "a.pdf", "its folder does not exist"},
      {folder.path() / "locked" / "a.pdf", "Permission denied"},
  };
  for (const auto& [target, why] : bad) {
    if (root && std::string(why) == "Permission denied") continue;
    testing::ScriptedUi ui;
    ui.queueSaveFile(target);
    EXPECT_EQ(askPdfFile(ui, "Untitled", folder.path()), std::nullopt) << target;
    ASSERT_EQ(ui.messages().size(), 1u) << target;
    EXPECT_EQ(ui.messages()[0], "Cannot print to " + target.string() + ": " + why);
  }
  ::chmod((folder.path() / "locked").c_str(), 0755);
}

TEST(PdfTargetTest, APrintedFileIsReportedInPanelFourAndAnEmptyOneAsAFailure) {
  testing::TempFolder folder{"quillon-pdf"};
  testing::ScriptedUi ui;
  const fs::path pdf = folder.write("a.pdf", "%PDF-1.4\n");
  reportPdfPrinted(ui, pdf.string());
  EXPECT_EQ(std::tuple(ui.statusText(4), ui.messages().size()),
            std::tuple("PRINTED: " + pdf.string(), 0u));

  // A full disk leaves the file empty.
  const fs::path empty = folder.write("b.pdf", "");
  reportPdfPrinted(ui, empty.string());
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0],
            "Printing to " + empty.string() + " failed: nothing was written (is the disk full?)");
  EXPECT_EQ(ui.statusText(4), "PRINTED: " + pdf.string());
}

}  // namespace
}  // namespace quillon::pages
