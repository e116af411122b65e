#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lsp/language_data.h"
#include "lsp/position_codec.h"
#include "lsp/text_document.h"

namespace quillon::lsp {

// The token types and modifiers the server's legend announces, in legend order.
std::vector<std::string> semanticTokenTypes();
std::vector<std::string> semanticTokenModifiers();

// A document's tokens as the protocol packs them (five numbers each, relative to the one
// before), coloured by the editor's own highlighting engine with the key file's keywords and
// start-stop keys and the number highlighter: a keyword is "keyword", or "function" when its
// group is one of functions; a start-stop region opened by a quote is "string", any other
// "comment"; numbers "number". Outside those, the words naming one of `routines` are
// "function" and those naming one of `defines` "macro" (both compared without case).
std::vector<std::uint32_t> encodeSemanticTokens(const TextDocument& document,
                                                const LanguageData& data,
                                                const std::vector<std::string>& routines,
                                                const std::vector<std::string>& defines,
                                                PositionEncoding encoding);

}  // namespace quillon::lsp
