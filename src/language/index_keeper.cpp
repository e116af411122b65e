#include "language/index_keeper.h"

#include <algorithm>

#include "build/project_file.h"
#include "build/project_paths.h"
#include "editor/code_memo.h"
#include "pages/document_commands.h"
#include "platform/ascii_text.h"

namespace quillon::language {

namespace fs = std::filesystem;

IndexKeeper::IndexKeeper(Parts parts)
    : editor_(parts.sourceEditor), documents_(parts.documents), includes_(parts.includes) {
  listener_ = editor_.addParagraphListener(
      [this](std::int64_t first, std::int64_t removed, std::int64_t inserted) {
        if (!bound_) return;
        if (removed < 0) {
          // Another text came into the editor; the one indexed is now the record's.
          left_ = bound_;
          leftFile_ = boundFile_;
          index_.setLineSource(*bound_, nullptr);
          bound_.reset();
          return;
        }
        index_.replaceLines(*bound_, first, removed, inserted, editor_.paragraphCount(),
                            [this](std::int64_t i) { return editor_.paragraphText(i); });
      });
}

IndexKeeper::~IndexKeeper() { editor_.removeParagraphListener(listener_); }

void IndexKeeper::rebuildResolver() {
  includes_.refresh();
  if (includes_.generation() == includesSeen_) return;
  includesSeen_ = includes_.generation();
  index_.setResolver(includes_.resolver());
}

fs::path IndexKeeper::currentFile() const {
  const std::string& name = documents_.currentFile();
  return name.empty() ? fs::path(pages::DocumentCommands::kUntitled) : fs::path(name);
}

std::vector<fs::path> IndexKeeper::projectModules(const std::string& projectFile,
                                                  std::string_view text) const {
  std::vector<fs::path> modules;
  const build::ProjectPaths paths(projectFile, includes_.drives());
  for (const std::string& value : build::ProjectFile::moduleValues(text))
    if (auto found = paths.findFile(build::ProjectFile::sourceName(value)))
      modules.push_back(*found);
  return modules;
}

void IndexKeeper::refresh() {
  const fs::path current = currentFile();
  auto lineAt = [this](std::int64_t i) { return editor_.paragraphText(i); };
  if (!bound_ || boundFile_ != current) {
    if (bound_) index_.setLineSource(*bound_, nullptr);
    bound_ = index_.setLines(current, editor_.paragraphCount(), lineAt);
    index_.setLineSource(*bound_, lineAt);
    boundFile_ = current;
    pagesDirty_ = true;
  }
  if (!pagesDirty_) return;
  pagesDirty_ = false;
  rebuildResolver();

  std::vector<fs::path> roots{current};
  std::vector<fs::path> held{current};
  auto isProject = [](const fs::path& file) {
    return platform::asciiLowered(file.extension().string()) == ".mbp";
  };
  auto projectOf = [&](const std::string& file, std::string_view text) {
    for (const fs::path& module : projectModules(file, text)) roots.push_back(module);
  };
  for (int i = 0; i < documents_.tabCount(); ++i) {
    if (i == documents_.currentTab()) continue;
    const pages::Page& page = documents_.page(i);
    if (page.fileName.empty() || page.fileName == pages::DocumentCommands::kUntitled) continue;
    const fs::path file(page.fileName);
    if (left_ && leftFile_ == file)
      index_.keepText(*left_, page.text);
    else
      index_.setText(file, page.text);
    roots.push_back(file);
    held.push_back(file);
    if (isProject(file)) projectOf(page.fileName, page.text);
  }
  left_.reset();
  if (isProject(current)) projectOf(current.string(), editor_.text());
  // Pages closed since: their files are read from disk again if still wanted.
  for (const fs::path& file : held_)
    if (std::find(held.begin(), held.end(), file) == held.end()) index_.release(file);
  held_ = std::move(held);
  index_.setRoots(roots);
}

}  // namespace quillon::language
