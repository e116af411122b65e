#include "pages/pdf_target.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <unistd.h>

#include "pages/document_commands.h"

namespace quillon::pages {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> whyNotWritable(const fs::path& file) {
  std::error_code ec;
  if (fs::is_directory(file, ec)) return "it is a folder";
  const bool exists = fs::exists(fs::symlink_status(file, ec));
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  if (!exists && !fs::is_directory(folder, ec)) return "its folder does not exist";
  if (::access(exists ? file.c_str() : folder.c_str(), W_OK) != 0)
    return std::string(std::strerror(errno));
  return std::nullopt;
}

}  // namespace

std::optional<std::string> askPdfFile(platform::Ui& ui, const std::string& pageFile,
                                      const fs::path& untitledFolder) {
  platform::Ui::FileDialog dialog;
  dialog.title = "Print to PDF File";
  dialog.filter = "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*";
  dialog.defaultExt = "pdf";
  dialog.overwritePrompt = true;
  const bool untitled = pageFile.empty() || pageFile == DocumentCommands::kUntitled;
  const fs::path source = untitled ? fs::path(DocumentCommands::kUntitled) : fs::path(pageFile);
  dialog.initialDir = untitled ? untitledFolder : source.parent_path();
  dialog.fileName = source.stem().string() + ".pdf";
  const std::optional<fs::path> chosen = ui.saveFile(dialog);
  if (!chosen || chosen->empty()) return std::nullopt;
  if (const auto why = whyNotWritable(*chosen)) {
    ui.showMessage("Cannot print to " + chosen->string() + ": " + *why);
    return std::nullopt;
  }
  return chosen->string();
}

void reportPdfPrinted(platform::Ui& ui, const std::string& file) {
  std::error_code ec;
  const bool written = fs::is_regular_file(file, ec) && fs::file_size(file, ec) > 0 && !ec;
  if (!written) {
    ui.showMessage("Printing to " + file + " failed: nothing was written (is the disk full?)");
    return;
  }
  ui.setStatusText(platform::Ui::kMessagePanel, "PRINTED: " + file);
}

}  // namespace quillon::pages
