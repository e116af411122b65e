#include "language/keys_dict_commands.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "editor/code_memo.h"
#include "language/key_file.h"

namespace quillon::language {

namespace fs = std::filesystem;

namespace {

struct Kind {
  const char* extension;
  const char* filter;
};

Kind kind(KeysDictCommands::File which) {
  using File = KeysDictCommands::File;
  switch (which) {
    case File::Keys: return {"bin", "Key File (*.bin)|*.bin"};
    case File::Dict: return {"dic", "Dictionary File (*.dic)|*.dic"};
    case File::Def: return {"def", "Define Files (*.def)|*.def"};
    case File::Help: return {"ctx", "Help File (*.ctx)|*.ctx"};
  }
  return {"", ""};
}

}  // namespace

KeysDictCommands::KeysDictCommands(Parts parts)
    : ui_(parts.ui),
      editor_(parts.editor),
      highlighting_(parts.highlighting),
      options_(parts.options),
      lists_(parts.lists) {}

void KeysDictCommands::setSurroundings(settings::SettingsValues* values,
                                       settings::ProgramFiles files) {
  values_ = values;
  files_ = std::move(files);
}

void KeysDictCommands::startUp() {
  // An installed program reads and saves the user's own copy of the dictionary.
  if (file(File::Dict) == files_.dictionary()) files_.ensureUserDictionary();
  const fs::path stored = file(File::Keys);
  fs::path keyFile = stored;
  loadKeyFile(keyFile, defaultFile(File::Keys), highlighting_.keywords(),
              highlighting_.startStopKeys(), ui_);
  // The default stands in for a missing key file from now on, in the settings too.
  if (keyFile != stored) adopt(File::Keys, keyFile);
  keywordsChanged();

  lists_.setMaxMbVersion(values().maxMbVersion);
  lists_.loadDictionaryAndDefines(file(File::Dict), file(File::Def), ui_);
  lists_.loadHelpContexts(file(File::Help), ui_);
}

std::string& KeysDictCommands::setting(File which) {
  settings::SettingsValues& v = values();
  switch (which) {
    case File::Keys: return v.keyFile;
    case File::Dict: return v.dictFile;
    case File::Def: return v.defFile;
    case File::Help: return v.helpFile;
  }
  return v.keyFile;
}

fs::path KeysDictCommands::defaultFile(File which) const {
  if (which == File::Dict) return files_.dictionary();
  return files_.defaultFile(std::string(".") + kind(which).extension);
}

fs::path KeysDictCommands::file(File which) const {
  const std::string& stored = setting(which);
  if (stored.empty()) return defaultFile(which);
  const fs::path file = stored;
  if (!file.is_relative() || file.has_parent_path()) return file;
  // The bare default name stands for the default wherever it lives.
  const fs::path fallback = defaultFile(which);
  return file == fallback.filename() ? fallback : files_.programFile().parent_path() / file;
}

void KeysDictCommands::adopt(File which, const fs::path& file) { setting(which) = file.string(); }

void KeysDictCommands::activate() { chosenVersion_ = values().maxMbVersion; }

int KeysDictCommands::versionIndex() const {
  const auto it = std::find(kVersions.begin(), kVersions.end(), chosenVersion_);
  return it == kVersions.end() ? static_cast<int>(kVersions.size()) - 1
                               : static_cast<int>(it - kVersions.begin());
}

void KeysDictCommands::load(File which) {
  const fs::path now = file(which);
  platform::Ui::FileDialog dialog;
  dialog.filter = kind(which).filter;
  dialog.defaultExt = kind(which).extension;
  dialog.initialDir = now.parent_path();
  if (which != File::Keys) dialog.fileName = now.string();
  const std::vector<fs::path> chosen = ui_.openFiles(dialog);
  if (!chosen.empty()) read(which, chosen.front());
}

void KeysDictCommands::reset(File which) {
  if (which == File::Dict) files_.ensureUserDictionary();
  read(which, defaultFile(which));
}

void KeysDictCommands::read(File which, const fs::path& file) {
  std::error_code ec;
  // A missing key file is reported by the load, which falls back on the default.
  if (which != File::Keys && !fs::exists(file, ec)) {
    ui_.showMessage("Cannot open file " + file.string());
    return;
  }
  switch (which) {
    case File::Keys: {
      fs::path loaded = file;
      if (!loadKeyFile(loaded, defaultFile(File::Keys), highlighting_.keywords(),
                       highlighting_.startStopKeys(), ui_))
        return;
      adopt(File::Keys, loaded);
      keywordsChanged();
      return;
    }
    case File::Dict:
      if (lists_.loadDictionaryAndDefines(file, this->file(File::Def), ui_).dictionary ==
          FileLoad::read)
        adopt(File::Dict, file);
      return;
    case File::Def:
      if (lists_.loadDictionaryAndDefines(this->file(File::Dict), file, ui_).definitions ==
          FileLoad::read)
        adopt(File::Def, file);
      return;
    case File::Help:
      if (lists_.loadHelpContexts(file, ui_) == FileLoad::read) adopt(File::Help, file);
      return;
  }
}

void KeysDictCommands::saveKeysAs() {
  const fs::path now = file(File::Keys);
  platform::Ui::FileDialog dialog;
  dialog.filter = kind(File::Keys).filter;
  dialog.defaultExt = kind(File::Keys).extension;
  dialog.initialDir = now.parent_path();
  dialog.fileName = now.string();
  dialog.overwritePrompt = true;
  const std::optional<fs::path> chosen = ui_.saveFile(dialog);
  if (!chosen) return;
  if (saveKeyFile(*chosen, highlighting_.keywords(), highlighting_.startStopKeys(), ui_))
    adopt(File::Keys, *chosen);
}

void KeysDictCommands::keywordsEdited() {
  saveKeyFile(file(File::Keys), highlighting_.keywords(), highlighting_.startStopKeys(), ui_);
  keywordsChanged();
}

// The context list knows the keywords the editor highlights, not only those read at start-up.
void KeysDictCommands::keywordsChanged() {
  lists_.assign(WordList::Key, buildKeyList(highlighting_.keywords()));
  highlighting_.reApplyKeywords();
}

void KeysDictCommands::close(const std::string& altFontName, platform::Color highText,
                             platform::Color highBack) {
  if (chosenVersion_ != values().maxMbVersion) {
    values().maxMbVersion = chosenVersion_;
    lists_.setMaxMbVersion(chosenVersion_);
    lists_.loadHelpContexts(file(File::Help), ui_);
    lists_.loadDictionaryAndDefines(file(File::Dict), file(File::Def), ui_);
  }
  bool changed = false;
  if (!altFontName.empty() && altFontName != options_.altFont().name) {
    platform::FontInfo font = options_.altFont();
    font.name = altFontName;
    options_.setAltFont(font);
    options_.setFont(options_.font());
    changed = true;
  }
  if (highText != editor_.highlightColor()) {
    editor_.setHighlightColor(highText);
    changed = true;
  }
  if (highBack != editor_.highlightBackgnd()) {
    editor_.setHighlightBackgnd(highBack);
    changed = true;
  }
  if (changed) highlighting_.reApplyKeywords();
}

}  // namespace quillon::language
