#include "language/word_lists.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "language/compare_no_case.h"
#include "language/word_list_files.h"
#include "platform/ascii_text.h"
#include "platform/regular_file.h"
#include "platform/replace_file.h"

namespace quillon::language {

namespace fs = std::filesystem;

namespace {

using Found = FileLoad;

// The bytes of a word-list file. A missing file is no failure; anything else that keeps it
// from being read is.
Found readWordListFile(const fs::path& file, std::string& bytes) {
  std::error_code ec;
  if (!fs::exists(file, ec)) return Found::missing;
  std::optional<std::string> data = platform::readRegularFile(file, kMaxWordListSize, ec);
  if (!data) return Found::failed;
  bytes = std::move(*data);
  return Found::read;
}

}  // namespace

std::string_view classTag(WordList list) {
  switch (list) {
    case WordList::Help: return "HLP";
    case WordList::Key: return "KEY";
    case WordList::Dict: return "DIC";
    case WordList::Def: return "DEF";
    case WordList::User: return "USR";
  }
  return "";
}

void WordLists::replace(WordList which, std::vector<std::string> words) {
  lists_[index(which)] = std::move(words);
  ++generations_[index(which)];
}

void WordLists::assign(WordList which, std::vector<std::string> words) {
  switch (which) {
    case WordList::Help:
    case WordList::Key:
      std::stable_sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        return compareNoCase(a, b) > 0;
      });
      break;
    case WordList::Dict:
    case WordList::Def: sortWords(words); break;
    case WordList::User: break;
  }
  replace(which, std::move(words));
}

bool WordLists::add(WordList which, std::string_view word) {
  word = platform::trim(word);
  if (word.empty() || (which == WordList::Dict && !storableWord(word))) return false;
  if (which != WordList::Dict && which != WordList::User) return false;
  std::vector<std::string>& list = lists_[index(which)];
  if (which == WordList::User) {
    if (std::any_of(list.begin(), list.end(),
                    [&](const std::string& w) { return sameWord(w, word); }))
      return false;
    list.emplace_back(word);
  } else {
    // Equal words sort together, so a word held in any case stands among its equals.
    auto pos =
        std::lower_bound(list.begin(), list.end(), word,
                         [](const std::string& a, std::string_view b) { return wordLess(a, b); });
    if (pos != list.end() && sameWord(*pos, word)) return false;
    list.emplace(pos, word);
    unsaved_.emplace_back(word);
  }
  ++generations_[index(which)];
  return true;
}

DictionaryLoad WordLists::loadDictionaryAndDefines(const fs::path& dictFile,
                                                   const fs::path& defFile, platform::Ui& ui) {
  const bool saved = saveDictionary(ui);
  DictionaryLoad result;
  std::string bytes;
  result.dictionary = readWordListFile(dictFile, bytes);
  if (result.dictionary != Found::failed) dictFile_ = dictFile;
  switch (result.dictionary) {
    case Found::read: {
      std::vector<std::string> words = readDictionary(bytes, maxMbVersion_);
      // Words that could not be saved stay for the session, and for the next save.
      if (!saved)
        for (const std::string& w : unsaved_) {
          auto pos = std::lower_bound(
              words.begin(), words.end(), w,
              [](const std::string& a, const std::string& b) { return wordLess(a, b); });
          if (pos == words.end() || !sameWord(*pos, w)) words.insert(pos, w);
        }
      replace(WordList::Dict, std::move(words));
      break;
    }
    case Found::failed: ui.showMessage("Cannot open file " + dictFile.string()); break;
    case Found::missing: break;
  }
  result.definitions = readWordListFile(defFile, bytes);
  switch (result.definitions) {
    case Found::read: replace(WordList::Def, readDefinitions(bytes, maxMbVersion_)); break;
    case Found::failed: ui.showMessage("Cannot open file " + defFile.string()); break;
    case Found::missing: break;
  }
  return result;
}

FileLoad WordLists::loadHelpContexts(const fs::path& helpFile, platform::Ui& ui) {
  std::string bytes;
  const FileLoad result = readWordListFile(helpFile, bytes);
  switch (result) {
    case Found::read: replace(WordList::Help, readHelpContexts(bytes)); break;
    case Found::failed: ui.showMessage("Cannot open file " + helpFile.string()); break;
    case Found::missing: replace(WordList::Help, {}); break;
  }
  return result;
}

bool WordLists::saveDictionary(platform::Ui& ui) {
  if (unsaved_.empty()) return true;
  std::string now;
  // The file as it is now, so that lines the load skipped and edits made since stay.
  if (readWordListFile(dictFile_, now) == Found::failed ||
      !platform::replaceFile(dictFile_, mergeDictionary(now, unsaved_, maxMbVersion_))) {
    ui.showMessage("Cannot create file " + dictFile_.string());
    return false;
  }
  unsaved_.clear();
  return true;
}

}  // namespace quillon::language
