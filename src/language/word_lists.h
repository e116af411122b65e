#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"

namespace quillon::language {

// How reading one word-list file went.
enum class FileLoad { missing, read, failed };
struct DictionaryLoad {
  FileLoad dictionary = FileLoad::missing;
  FileLoad definitions = FileLoad::missing;
};

// The five word lists the context list and the word checker read, in their class-tag order.
enum class WordList { Help, Key, Dict, Def, User };
inline constexpr std::array<WordList, 5> kWordLists{WordList::Help, WordList::Key, WordList::Dict,
                                                    WordList::Def, WordList::User};
// "HLP", "KEY", "DIC", "DEF", "USR".
std::string_view classTag(WordList list);

// The word lists of one run, and the dictionary words the user added since the dictionary
// file was last read or written.
//
// Invariant: each list keeps its order (help lines and keywords descending by compareNoCase,
// dictionary and definitions ascending without case, ignored words as they came) and every
// change of a list moves its generation on; the dictionary and the ignored words grow only
// through add(), which never adds a word they hold in any case.
class WordLists {
public:
  const std::vector<std::string>& list(WordList which) const { return lists_[index(which)]; }
  // Changes whenever the list does, so a reader may keep what it derived from it.
  std::uint64_t generation(WordList which) const { return generations_[index(which)]; }

  // Replaces a whole list; the words are put into its order.
  void assign(WordList which, std::vector<std::string> words);

  // Adds the trimmed word to the dictionary (in its place) or the ignored words (at the end);
  // false when it is empty or already there, or for the dictionary not storableWord.
  // Dictionary words reach the file at saveDictionary.
  bool add(WordList which, std::string_view word);

  const std::string& maxMbVersion() const { return maxMbVersion_; }
  void setMaxMbVersion(std::string version) { maxMbVersion_ = std::move(version); }

  // Reads the dictionary and the definitions. A missing file leaves its list as it was; one
  // that cannot be read (no regular file, no permission, larger than kMaxWordListSize) shows
  // "Cannot open file ..." and leaves its list too. Words added and not yet saved are saved
  // first, and stay in the dictionary if that fails. The dictionary saved later is the one
  // last read or missing, never one that failed.
  DictionaryLoad loadDictionaryAndDefines(const std::filesystem::path& dictFile,
                                          const std::filesystem::path& defFile, platform::Ui& ui);
  // A missing file empties the help lines; an unreadable one is reported and keeps them.
  FileLoad loadHelpContexts(const std::filesystem::path& helpFile, platform::Ui& ui);
  // Writes the added words into the dictionary file last read, as it is now on disk; nothing
  // happens while no word was added. A failure shows "Cannot create file ..." and leaves the
  // old file; the words stay unsaved. False on failure.
  bool saveDictionary(platform::Ui& ui);
  bool hasUnsavedWords() const { return !unsaved_.empty(); }

private:
  static std::size_t index(WordList which) { return static_cast<std::size_t>(which); }
  void replace(WordList which, std::vector<std::string> words);

  std::array<std::vector<std::string>, 5> lists_;
  std::array<std::uint64_t, 5> generations_{};
  std::string maxMbVersion_ = "6.0";
  std::filesystem::path dictFile_;
  std::vector<std::string> unsaved_;
};

}  // namespace quillon::language
