#include "lsp/language_data.h"

#include <algorithm>
#include <system_error>

#include "language/key_file.h"
#include "language/mapbasic_scanner.h"
#include "language/word_list_files.h"

namespace quillon::lsp {

namespace fs = std::filesystem;

fs::path LanguageData::defaultFile(const fs::path& programDir, std::string_view extension) {
  const std::string name = "quillon." + std::string(extension);
  std::error_code ec;
  if (fs::exists(programDir / name, ec)) return programDir / name;
  const fs::path shared = programDir.parent_path() / "share" / "quillon" / name;
  if (fs::exists(shared, ec)) return shared;
  return programDir / name;
}

void LanguageData::load(const ServerSettings& settings, const fs::path& programDir, platform::Ui& ui) {
  const auto chosen = [&](const fs::path& set, std::string_view ext) {
    return set.empty() ? defaultFile(programDir, ext) : set;
  };
  keywords_.clear();
  startStops_.clear();
  fs::path keyFile = chosen(settings.keyFile, "bin");
  language::loadKeyFile(keyFile, defaultFile(programDir, "bin"), keywords_, startStops_, ui);
  lists_.assign(language::WordList::Key, language::buildKeyList(keywords_));
  lists_.assign(language::WordList::Dict, {});
  lists_.assign(language::WordList::Def, {});
  lists_.loadDictionaryAndDefines(chosen(settings.dictFile, "dic"), chosen(settings.defFile, "def"), ui);
  lists_.loadHelpContexts(chosen(settings.helpFile, "ctx"), ui);

  // Groups by style record, then a vote of their members' help lines.
  std::vector<std::pair<editor::KeywordInfo, std::pair<int, int>>> votes;  // (functions, others)
  std::vector<std::size_t> groupOf(static_cast<std::size_t>(keywords_.count()));
  for (int k = 0; k < keywords_.count(); ++k) {
    const editor::KeywordInfo& info = keywords_.info(k);
    auto it = std::find_if(votes.begin(), votes.end(), [&](const auto& v) { return v.first == info; });
    if (it == votes.end()) it = votes.insert(votes.end(), {info, {0, 0}});
    groupOf[static_cast<std::size_t>(k)] = static_cast<std::size_t>(it - votes.begin());
    const std::string help = helpLine(keywords_.text(k));
    if (help.empty()) continue;
    std::size_t after = help.find_first_not_of(" \t", help.find_first_not_of(" \t") + keywords_.text(k).size());
    (after != std::string::npos && help[after] == '(' ? it->second.first : it->second.second)++;
  }
  functionGroups_.assign(groupOf.size(), false);
  for (std::size_t k = 0; k < groupOf.size(); ++k) {
    const auto& [functions, others] = votes[groupOf[k]].second;
    functionGroups_[k] = functions > others;
  }
}

std::string LanguageData::helpLine(std::string_view word) const {
  if (word.empty()) return {};
  for (const std::string& line : lists_.list(language::WordList::Help)) {
    std::size_t start = 0;
    while (start < line.size() && static_cast<unsigned char>(line[start]) <= 32) ++start;
    if (line.size() - start < word.size()) continue;
    if (!language::sameWord(std::string_view(line).substr(start, word.size()), word)) continue;
    const std::size_t after = start + word.size();
    if (after < line.size() && language::isNameChar(line[after])) continue;
    return line;
  }
  return {};
}

}  // namespace quillon::lsp
