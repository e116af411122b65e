#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "editor/keyword_list.h"
#include "editor/start_stop_key_list.h"
#include "language/word_lists.h"
#include "lsp/server_settings.h"
#include "platform/ui.h"

namespace quillon::lsp {

// The word lists the server answers from: the key file's keywords and start-stop keys, and the
// help contexts, dictionary and definitions. A path the settings leave empty is the installed
// default: quillon.bin, .ctx, .dic and .def beside the program, else in ../share/quillon/.
class LanguageData {
public:
  // Reads every file again; what cannot be read is reported through `ui` and left empty.
  void load(const ServerSettings& settings, const std::filesystem::path& programDir,
            platform::Ui& ui);

  const editor::KeywordList& keywords() const { return keywords_; }
  const editor::StartStopKeyList& startStops() const { return startStops_; }
  const language::WordLists& lists() const { return lists_; }

  // The help line of the context file that describes `word` (its syntax form opens with the
  // word, in any case, followed by no further name character); empty when none does.
  std::string helpLine(std::string_view word) const;
  // Per keyword: whether its group (the keywords sharing one style record of the key file)
  // is mostly functions, whose help lines read "Name( ... )".
  bool functionGroup(int keyword) const {
    return keyword >= 0 && keyword < static_cast<int>(functionGroups_.size()) &&
           functionGroups_[static_cast<std::size_t>(keyword)];
  }

  static std::filesystem::path defaultFile(const std::filesystem::path& programDir,
                                           std::string_view extension);

private:
  editor::KeywordList keywords_;
  editor::StartStopKeyList startStops_;
  language::WordLists lists_;
  std::vector<bool> functionGroups_;
  // Every stretch a help line opens with that ends before a character of no name (its first
  // word, its first two, ...), upper-cased, to the first line in list order that opens so.
  std::unordered_map<std::string, std::size_t> helpIndex_;
};

}  // namespace quillon::lsp
