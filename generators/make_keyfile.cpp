// Turns the readable keyword source (data/keywords.txt) into the binary key file.
//
// Source lines, after trimming blanks:
//   # ...                      comment; blank lines are skipped
//   @style NAME options=N style=N context=N cursor=N back=C fore=C
//                              a named attribute set; C is -1, decimal or $00BBGGRR
//   [NAME]                     the following keyword lines take style NAME
//   @startstop NAME start=T stop=T parend=yes|no
//                              a start-stop key; T runs to the next blank and may be empty
//   anything else              one keyword, in list order
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "editor/keyword_list.h"
#include "editor/start_stop_key_list.h"
#include "generated_file.h"
#include "language/compare_no_case.h"
#include "language/key_file.h"

namespace {

using quillon::editor::KeywordInfo;

struct Failure {
  std::string what;
};

std::string trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

long number(const std::string& text) {
  if (text.empty()) throw Failure{"empty number"};
  std::size_t used = 0;
  long v = 0;
  try {
    if (text[0] == '$')
      v = static_cast<long>(std::stoul(text.substr(1), &used, 16)), ++used;
    else
      v = std::stol(text, &used, 10);
  } catch (const std::exception&) {
    throw Failure{"bad number '" + text + "'"};
  }
  if (used != text.size()) throw Failure{"bad number '" + text + "'"};
  return v;
}

// NAME key=value key=value ...
std::map<std::string, std::string> fields(std::istringstream& in) {
  std::map<std::string, std::string> f;
  std::string token;
  while (in >> token) {
    const auto eq = token.find('=');
    if (eq == std::string::npos) throw Failure{"expected key=value, got '" + token + "'"};
    f[token.substr(0, eq)] = token.substr(eq + 1);
  }
  return f;
}

std::string need(const std::map<std::string, std::string>& f, const std::string& key) {
  const auto it = f.find(key);
  if (it == f.end()) throw Failure{"missing " + key + "="};
  return it->second;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_keyfile keywords.txt out.bin\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot open\n";
    return 1;
  }

  quillon::editor::KeywordList keywords;
  quillon::editor::StartStopKeyList startStops;
  std::map<std::string, KeywordInfo> styles;
  const KeywordInfo* current = nullptr;
  std::string line;
  int lineNo = 0;
  try {
    while (std::getline(in, line)) {
      ++lineNo;
      line = trim(line);
      if (line.empty() || line[0] == '#') continue;
      if (line[0] == '[') {
        if (line.back() != ']') throw Failure{"unclosed ["};
        const auto it = styles.find(line.substr(1, line.size() - 2));
        if (it == styles.end()) throw Failure{"unknown style " + line};
        current = &it->second;
        continue;
      }
      if (line[0] == '@') {
        std::istringstream words(line);
        std::string directive, name;
        words >> directive >> name;
        const auto f = fields(words);
        if (directive == "@style") {
          KeywordInfo i;
          i.options = static_cast<std::uint8_t>(number(need(f, "options")));
          i.style = static_cast<std::uint8_t>(number(need(f, "style")));
          i.contextNum = static_cast<std::int16_t>(number(need(f, "context")));
          i.cursor = static_cast<std::int16_t>(number(need(f, "cursor")));
          i.backgnd = static_cast<std::int32_t>(number(need(f, "back")));
          i.foregnd = static_cast<std::int32_t>(number(need(f, "fore")));
          styles[name] = i;
        } else if (directive == "@startstop") {
          const auto it = styles.find(name);
          if (it == styles.end()) throw Failure{"unknown style " + name};
          const std::string parEnd = need(f, "parend");
          if (parEnd != "yes" && parEnd != "no") throw Failure{"parend must be yes or no"};
          startStops.add(need(f, "start"), need(f, "stop"), parEnd == "yes", it->second);
        } else {
          throw Failure{"unknown directive " + directive};
        }
        continue;
      }
      if (!current) throw Failure{"keyword before any [style] line"};
      // An earlier keyword that equals this one, or stands inside it as whole words ("End" in
      // "End If", "Menu Bar" in "Create Menu Bar"), would win every match.
      for (int i = 0; i < keywords.count(); ++i) {
        const std::string& earlier = keywords.text(i);
        if (quillon::language::compareNoCase(earlier, line) == 0)
          throw Failure{"duplicate keyword " + line};
        for (std::size_t at = 0; earlier.size() < line.size() && at + earlier.size() <= line.size();
             ++at) {
          const std::size_t end = at + earlier.size();
          if ((at == 0 || line[at - 1] == ' ') && (end == line.size() || line[end] == ' ') &&
              quillon::language::compareNoCase(earlier, line.substr(at, earlier.size())) == 0)
            throw Failure{"'" + line + "' must come before '" + earlier + "'"};
        }
      }
      keywords.add(line, *current);
    }
  } catch (const Failure& f) {
    std::cerr << argv[1] << ":" << lineNo << ": " << f.what << "\n";
    return 1;
  }

  return quillon::generators::writeGenerated(argv[2],
                                             quillon::language::encodeKeyFile(keywords, startStops))
             ? 0
             : 1;
}
