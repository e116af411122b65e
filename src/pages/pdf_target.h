#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "platform/ui.h"

namespace quillon::pages {

// Printing on a desktop without a printer: the page goes into a PDF file the user names.
//
// The save dialog offers the page's name with ".pdf" beside its source (an untitled page:
// in `untitledFolder`) and asks before overwriting. A target that cannot be written (a
// folder, a read-only folder or file) is refused with a message before anything is printed;
// nullopt then, and when the user cancels.
std::optional<std::string> askPdfFile(platform::Ui& ui, const std::string& pageFile,
                                      const std::filesystem::path& untitledFolder);
// After the run: "PRINTED: " and the file in panel 4, or a message when nothing reached the
// file (a full disk).
void reportPdfPrinted(platform::Ui& ui, const std::string& file);

}  // namespace quillon::pages
