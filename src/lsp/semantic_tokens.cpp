#include "lsp/semantic_tokens.h"

#include <unordered_map>

#include "editor/code_memo.h"
#include "editor/highlight_engine.h"
#include "editor/number_highlighter.h"
#include "language/mapbasic_scanner.h"
#include "settings/editor_profiles.h"

namespace quillon::lsp {

namespace {

enum TokenType : std::int8_t {
  kNone = -1,
  kKeyword,
  kString,
  kComment,
  kNumber,
  kFunction,
  kMacro
};

std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

std::vector<std::string> semanticTokenTypes() {
  return {"keyword", "string", "comment", "number", "function", "macro"};
}
std::vector<std::string> semanticTokenModifiers() { return {}; }

std::vector<std::uint32_t> encodeSemanticTokens(const TextDocument& document,
                                                const LanguageData& data,
                                                const std::vector<std::string>& routines,
                                                const std::vector<std::string>& defines,
                                                PositionEncoding encoding) {
  // The editor's model and engine, set up as the source editor is, scan a copy of the text.
  editor::CodeMemo memo;
  settings::applySourceEditorProfile(memo);
  memo.setText(document.text());
  editor::HighlightEngine engine(memo);
  engine.keywords().assign(data.keywords());
  for (int i = 0; i < data.startStops().count(); ++i) {
    const editor::StartStopInfo& s = data.startStops().item(i);
    engine.startStopKeys().add(s.startKey, s.stopKey, s.parEnd, s.info);
  }
  editor::NumberHighlighter numbers;
  engine.setSyntaxHighlighting(true, &numbers);
  engine.scanAll();

  std::vector<TokenType> startStopTypes;
  for (int i = 0; i < data.startStops().count(); ++i) {
    const std::string& start = data.startStops().item(i).startKey;
    startStopTypes.push_back(!start.empty() && (start[0] == '"' || start[0] == '`') ? kString
                                                                                    : kComment);
  }
  std::unordered_map<std::string, TokenType> names;
  for (const std::string& n : defines) names.emplace(upperAscii(n), kMacro);
  for (const std::string& n : routines) names[upperAscii(n)] = kFunction;

  const auto typeOf = [&](editor::AttrStateRef state) -> TokenType {
    if (!state || state->level < 0) return kNone;
    const std::uint16_t key = state->keyStack[static_cast<std::size_t>(state->level)];
    if (key == editor::HighlightEngine::kNoKey) return kNumber;
    if (key & editor::HighlightEngine::kStartStopBit) {
      const std::size_t k = key & 0x7FFF;
      return k < startStopTypes.size() ? startStopTypes[k] : kComment;
    }
    return data.functionGroup(key) ? kFunction : kKeyword;
  };

  std::vector<std::uint32_t> out;
  std::vector<TokenType> types;
  std::int64_t lastLine = 0;
  std::uint32_t lastStart = 0;
  memo.table().forEach([&](std::int64_t index, const editor::Paragraph& p) {
    const std::string_view text = p.text();
    types.assign(text.size(), kNone);
    const std::vector<editor::AttrRun>& runs = engine.runsOf(p);
    for (std::size_t r = 0; r < runs.size(); ++r) {
      const std::size_t from = std::min<std::size_t>(runs[r].offset, text.size());
      const std::size_t to = r + 1 < runs.size()
                                 ? std::min<std::size_t>(runs[r + 1].offset, text.size())
                                 : text.size();
      const TokenType t = typeOf(runs[r].state);
      for (std::size_t i = from; i < to; ++i) types[i] = t;
    }
    if (!names.empty()) {
      for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const bool starts = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!starts || (i > 0 && language::isNameChar(text[i - 1]))) {
          ++i;
          continue;
        }
        std::size_t end = i + 1;
        while (end < text.size() && language::isNameChar(text[end])) ++end;
        bool plain = true;
        for (std::size_t k = i; k < end && plain; ++k) plain = types[k] == kNone;
        if (plain) {
          const auto it = names.find(upperAscii(text.substr(i, end - i)));
          if (it != names.end())
            for (std::size_t k = i; k < end; ++k) types[k] = it->second;
        }
        i = end;
      }
    }
    for (std::size_t i = 0; i < types.size();) {
      const TokenType t = types[i];
      std::size_t end = i + 1;
      while (end < types.size() && types[end] == t) ++end;
      if (t != kNone) {
        const std::uint32_t start = unitColumn(text, static_cast<std::uint32_t>(i), encoding);
        const std::uint32_t stop = unitColumn(text, static_cast<std::uint32_t>(end), encoding);
        if (stop > start) {
          const auto deltaLine = static_cast<std::uint32_t>(index - lastLine);
          out.insert(out.end(), {deltaLine, deltaLine == 0 ? start - lastStart : start,
                                 stop - start, static_cast<std::uint32_t>(t), 0u});
          lastLine = index;
          lastStart = start;
        }
      }
      i = end;
    }
    return true;
  });
  return out;
}

}  // namespace quillon::lsp
