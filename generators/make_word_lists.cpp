// Writes the default dictionary, help-context and definitions files (quillon.dic, .ctx, .def)
// from their readable sources under data/, reads them back through the program's own readers
// and fails when one misses its minimum:
//   context      every [statement] and [function] keyword of keywords.txt begins a line (whole
//                word, any case); each line is the syntax, two blanks, "--", a blank and a
//                description
//   dictionary   at least 50 words, none of them a keyword or a defined name
//   definitions  at least 50 names, TRUE and FALSE among them, under a comment saying the file
//                is a word list and not an include file
// and none holds a version marker. Source lines beginning with '#' are notes for the reader
// of the source and are left out; every other line is written as it stands, ended by CR LF.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "generated_file.h"
#include "language/compare_no_case.h"
#include "language/word_list_files.h"
#include "platform/ascii_text.h"

namespace {

namespace fs = std::filesystem;
using quillon::language::compareNoCase;
using quillon::language::sameWord;

struct Failure {
  std::string what;
};

std::string readSource(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw Failure{file.string() + ": cannot open"};
  std::string out, line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '#') continue;
    out += line + "\r\n";
  }
  return out;
}

struct Keywords {
  std::vector<std::string> all;
  std::vector<std::string> documented;  // statements and functions
};

Keywords readKeywords(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw Failure{file.string() + ": cannot open"};
  Keywords k;
  std::string line, group;
  while (std::getline(in, line)) {
    const std::string t(quillon::platform::trim(line));
    if (t.empty() || t[0] == '#' || t[0] == '@') continue;
    if (t[0] == '[') {
      group = t;
      continue;
    }
    k.all.push_back(t);
    if (group == "[statement]" || group == "[function]") k.documented.push_back(t);
  }
  return k;
}

bool beginsWithWord(std::string_view line, std::string_view word) {
  if (line.size() < word.size() || compareNoCase(line.substr(0, word.size()), word) != 0)
    return false;
  if (line.size() == word.size()) return true;
  const unsigned char next = static_cast<unsigned char>(line[word.size()]);
  return !(std::isalnum(next) || next == '_' || next == '$');
}

void noVersionMarkers(const std::string& name, const std::string& bytes) {
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view t = quillon::platform::trim(line);
    for (const char* v : {"4.0", "4.1", "4.5", "5.0", "5.5", "6.0"})
      if (t.substr(0, 4) == std::string("'") + v)
        throw Failure{name + ": version marker " + std::string(t)};
  }
}

void checkContext(const std::string& bytes, const Keywords& keywords) {
  const std::vector<std::string> lines = quillon::language::readHelpContexts(bytes);
  for (const std::string& line : lines) {
    const std::size_t dash = line.find("  -- ");
    if (dash == std::string::npos || dash == 0 || line.front() == ' ' || dash + 5 >= line.size())
      throw Failure{"context: not 'syntax  -- description': " + line};
  }
  for (const std::string& k : keywords.documented)
    if (std::none_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return beginsWithWord(l, k); }))
      throw Failure{"context: no line begins with the keyword " + k};
}

std::vector<std::string> checkDefinitions(const std::string& bytes) {
  const std::vector<std::string> names = quillon::language::readDefinitions(bytes, "6.0");
  if (names.size() < 50)
    throw Failure{"definitions: only " + std::to_string(names.size()) + " names"};
  for (const char* required : {"TRUE", "FALSE"})
    if (std::find(names.begin(), names.end(), required) == names.end())
      throw Failure{std::string("definitions: no ") + required};
  if (quillon::platform::asciiLowered(bytes).find("not an include file") == std::string::npos)
    throw Failure{"definitions: no comment saying this is not an include file"};
  return names;
}

void checkDictionary(const std::string& bytes, const Keywords& keywords,
                     const std::vector<std::string>& defined) {
  const std::vector<std::string> words = quillon::language::readDictionary(bytes, "6.0");
  if (words.size() < 50)
    throw Failure{"dictionary: only " + std::to_string(words.size()) + " words"};
  for (const std::string& w : words) {
    auto same = [&](const std::string& other) { return sameWord(w, other); };
    if (std::any_of(keywords.all.begin(), keywords.all.end(), same))
      throw Failure{"dictionary: keyword " + w};
    if (std::any_of(defined.begin(), defined.end(), same))
      throw Failure{"dictionary: defined name " + w};
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::cerr << "usage: make_word_lists keywords.txt context.txt dictionary.txt definitions.txt "
                 "out_folder\n";
    return 2;
  }
  try {
    const Keywords keywords = readKeywords(argv[1]);
    const std::string context = readSource(argv[2]);
    const std::string dictionary = readSource(argv[3]);
    const std::string definitions = readSource(argv[4]);
    noVersionMarkers("context", context);
    noVersionMarkers("dictionary", dictionary);
    noVersionMarkers("definitions", definitions);
    checkContext(context, keywords);
    checkDictionary(dictionary, keywords, checkDefinitions(definitions));

    const fs::path out = argv[5];
    const bool written = quillon::generators::writeGenerated(out / "quillon.ctx", context) &&
                         quillon::generators::writeGenerated(out / "quillon.dic", dictionary) &&
                         quillon::generators::writeGenerated(out / "quillon.def", definitions);
    return written ? 0 : 1;
  } catch (const Failure& f) {
    std::cerr << "make_word_lists: " << f.what << "\n";
    return 1;
  }
}
