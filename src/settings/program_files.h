#pragma once
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/environment.h"

namespace quillon::settings {

// Where the program finds its default files (key file, word lists, help page) and where it
// keeps the user's own (settings, dictionary), for a run from the build folder and for an
// installed program alike.
//
// A default file is looked for beside the program, then in "../share/<name>/" from the
// program's folder, then in "<name>/" under each $XDG_DATA_DIRS folder. The program counts as
// installed when no key file and no settings file lie beside it and one of those shared
// folders exists; an installed program never writes beside itself (root may well be able to),
// so its settings go to $XDG_CONFIG_HOME and its dictionary to $XDG_DATA_HOME.
//
// Invariant: the answers depend only on the program path, the environment and the files
// present; the constructor is the one place that decides `installed()`.
class ProgramFiles {
public:
  ProgramFiles() = default;
  ProgramFiles(std::filesystem::path programFile, platform::Environment env);
  // A program that keeps everything beside itself, wherever else files may lie.
  static ProgramFiles beside(std::filesystem::path programFile);

  const std::filesystem::path& programFile() const { return programFile_; }
  bool installed() const { return installed_; }

  // The default file with this extension (".bin", ".ctx", ".def", ...), named after the
  // program: the first that exists; when none does, where it should be (beside the program,
  // or in the shared folder for an installed program), so that a message can name it.
  std::filesystem::path defaultFile(std::string_view extension) const;
  // A file of any name looked up the same way; empty when it is nowhere.
  std::filesystem::path findShared(const std::filesystem::path& name) const;

  // The dictionary the user's words are saved to: beside the program, or for an installed
  // program "<data home>/<name>/<name>.dic".
  std::filesystem::path dictionary() const;
  // For an installed program, copies the shared dictionary to dictionary() when that is
  // missing, so that words added later are saved where the user may write. False when the
  // copy failed; the shared one is then read and the save at exit reports the failure.
  bool ensureUserDictionary() const;

  // The settings file: "<name>.ini" beside the program when it is there, or for a program
  // not installed whose folder is writable; else "<config home>/quillon/<name>.ini".
  std::filesystem::path settingsFile() const;

private:
  std::vector<std::filesystem::path> sharedFolders() const;

  std::filesystem::path programFile_;
  platform::Environment env_;
  bool installed_ = false;
  bool searchShared_ = true;
};

}  // namespace quillon::settings
