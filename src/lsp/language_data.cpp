#include "lsp/language_data.h"

#include <algorithm>
#include <system_error>

#include "language/key_file.h"
#include "language/mapbasic_scanner.h"
#include "language/word_list_files.h"

namespace quillon::lsp {

namespace fs = std::filesystem;

namespace {

std::string upperKey(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

fs::path LanguageData::defaultFile(const fs::path& programDir, std::string_view extension) {
  const std::string name = "quillon." + std::string(extension);
  std::error_code ec;
  if (fs::exists(programDir / name, ec)) return programDir / name;
  const fs::path shared = programDir.parent_path() / "share" / "quillon" / name;
  if (fs::exists(shared, ec)) return shared;
  return programDir / name;
}

void LanguageData::load(const ServerSettings& settings, const fs::path& programDir,
                        platform::Ui& ui) {
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
  lists_.loadDictionaryAndDefines(chosen(settings.dictFile, "dic"), chosen(settings.defFile, "def"),
                                  ui);
  lists_.loadHelpContexts(chosen(settings.helpFile, "ctx"), ui);

  // Keywords are short: stretches up to this length are enough to look them up.
  constexpr std::size_t kLongestKey = 64;
  helpIndex_.clear();
  const std::vector<std::string>& help = lists_.list(language::WordList::Help);
  for (std::size_t i = 0; i < help.size(); ++i) {
    const std::string& line = help[i];
    std::size_t start = 0;
    while (start < line.size() && static_cast<unsigned char>(line[start]) <= 32) ++start;
    for (std::size_t p = start + 1; p <= line.size() && p - start <= kLongestKey; ++p)
      if (p == line.size() || !language::isNameChar(line[p]))
        helpIndex_.emplace(upperKey(line.substr(start, p - start)), i);
  }

  // Groups by style record, then a vote of their members' help lines.
  std::vector<std::pair<editor::KeywordInfo, std::pair<int, int>>> votes;  // (functions, others)
  std::vector<std::size_t> groupOf(static_cast<std::size_t>(keywords_.count()));
  for (int k = 0; k < keywords_.count(); ++k) {
    const editor::KeywordInfo& info = keywords_.info(k);
    auto it =
        std::find_if(votes.begin(), votes.end(), [&](const auto& v) { return v.first == info; });
    if (it == votes.end()) it = votes.insert(votes.end(), {info, {0, 0}});
    groupOf[static_cast<std::size_t>(k)] = static_cast<std::size_t>(it - votes.begin());
    const std::string help = helpLine(keywords_.text(k));
    if (help.empty()) continue;
    std::size_t after =
        help.find_first_not_of(" \t", help.find_first_not_of(" \t") + keywords_.text(k).size());
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
  const auto it = helpIndex_.find(upperKey(word));
  return it == helpIndex_.end() ? std::string() : lists_.list(language::WordList::Help)[it->second];
}

}  // namespace quillon::lsp
