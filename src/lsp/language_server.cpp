#include "lsp/language_server.h"

#include <algorithm>
#include <unordered_set>

#include "build/project_file.h"
#include "language/code_outline.h"
#include "language/mapbasic_scanner.h"
#include "language/symbol_index.h"
#include "language/word_list_files.h"
#include "lsp/file_uri.h"
#include "lsp/semantic_tokens.h"
#include "pages/text_encoding.h"
#include "platform/any_case_file.h"
#include "platform/regular_file.h"

namespace quillon::lsp {

using json = nlohmann::json;
namespace fs = std::filesystem;

namespace {

// A file larger than this is read for no answer.
constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;

// Thrown by handlers and turned into the error response of their request.
struct RequestError {
  int code;
  std::string message;
};

const json& member(const json& object, const char* key) {
  static const json kNull;
  if (!object.is_object()) return kNull;
  const auto it = object.find(key);
  return it == object.end() ? kNull : *it;
}

const std::string& stringMember(const json& object, const char* key) {
  const json& value = member(object, key);
  if (!value.is_string())
    throw RequestError{ErrorCode::kInvalidParams, std::string("missing string: ") + key};
  return value.get_ref<const std::string&>();
}

std::int64_t intMember(const json& object, const char* key) {
  const json& value = member(object, key);
  if (!value.is_number_integer())
    throw RequestError{ErrorCode::kInvalidParams, std::string("missing number: ") + key};
  return value.get<std::int64_t>();
}

Position positionOf(const json& value) {
  return {intMember(value, "line"), intMember(value, "character")};
}

// The name under or right before a byte column: start and length, none in a string or
// comment or between words.
struct Word {
  std::size_t start = 0;
  std::size_t length = 0;
};
std::optional<Word> wordAround(std::string_view line, std::size_t column) {
  const std::optional<language::WordSpan> span = language::wordAt(line, column);
  if (!span) return std::nullopt;
  return Word{span->start, span->length};
}

// The protocol's SymbolKind for an outline group.
int symbolKind(language::OutlineGroup group) {
  using G = language::OutlineGroup;
  switch (group) {
    case G::Include: return 1;     // File
    case G::Define: return 14;     // Constant
    case G::Type: return 23;       // Struct
    case G::Declare: return 12;    // Function
    case G::Global: return 13;     // Variable
    case G::Dim: return 13;        // Variable
    case G::Labels: return 20;     // Key
    case G::Subs: return 12;       // Function
    case G::Functions: return 12;  // Function
  }
  return 13;
}

int completionKind(language::SymbolKind kind) {
  using K = language::SymbolKind;
  switch (kind) {
    case K::Sub:
    case K::Function:
    case K::DeclareSub:
    case K::DeclareFunction: return 3;  // Function
    case K::Define: return 21;          // Constant
    case K::Type: return 22;            // Struct
    case K::TypeMember: return 5;       // Field
    case K::Global:
    case K::Dim:
    case K::Parameter: return 6;  // Variable
    case K::Label: return 18;     // Reference
  }
  return 1;
}

int workspaceKind(language::SymbolKind kind) {
  using K = language::SymbolKind;
  switch (kind) {
    case K::Sub:
    case K::Function:
    case K::DeclareSub:
    case K::DeclareFunction: return 12;
    case K::Define: return 14;
    case K::Type: return 23;
    case K::TypeMember: return 8;
    case K::Global:
    case K::Dim:
    case K::Parameter: return 13;
    case K::Label: return 20;
  }
  return 13;
}

bool isMbFile(const fs::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".mb";
}

bool isProjectFile(const fs::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".mbp";
}

std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

LanguageServer::LanguageServer(Ports ports)
    : out_(ports.out),
      compiler_(ports.compiler),
      programDir_(std::move(ports.programDir)),
      requests_{
          {"initialize", &LanguageServer::initialize},
          {"shutdown", &LanguageServer::shutdown},
          {"textDocument/documentSymbol", &LanguageServer::documentSymbol},
          {"textDocument/definition", &LanguageServer::definition},
          {"textDocument/references", &LanguageServer::references},
          {"textDocument/completion", &LanguageServer::completion},
          {"textDocument/signatureHelp", &LanguageServer::signatureHelp},
          {"textDocument/hover", &LanguageServer::hover},
          {"textDocument/semanticTokens/full", &LanguageServer::semanticTokens},
          {"workspace/symbol", &LanguageServer::workspaceSymbol},
          {"workspace/executeCommand", &LanguageServer::executeCommand},
      },
      notifications_{
          {"initialized", &LanguageServer::initialized},
          {"textDocument/didOpen", &LanguageServer::didOpen},
          {"textDocument/didChange", &LanguageServer::didChange},
          {"textDocument/didSave", &LanguageServer::didSave},
          {"textDocument/didClose", &LanguageServer::didClose},
          {"workspace/didChangeConfiguration", &LanguageServer::didChangeConfiguration},
          {"$/cancelRequest", &LanguageServer::ignore},
          {"$/setTrace", &LanguageServer::ignore},
      },
      index_(std::make_unique<language::SymbolIndex>()) {}

LanguageServer::~LanguageServer() = default;

const TextDocument* LanguageServer::document(std::string_view uri) const {
  const auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : it->second.get();
}

// ---------------------------------------------------------------- messages

void LanguageServer::receive(std::string_view body) {
  if (exited()) return;
  json message = json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    respondError(nullptr, ErrorCode::kParseError, "the message is not JSON");
    return;
  }
  if (message.is_array()) {
    // Batches are no part of the protocol; each request still gets its answer.
    if (message.empty()) respondError(nullptr, ErrorCode::kInvalidRequest, "empty batch");
    for (const json& one : message) dispatch(one);
    return;
  }
  dispatch(message);
}

void LanguageServer::receiveMalformed(std::string_view why) {
  if (exited()) return;
  respondError(nullptr, ErrorCode::kParseError,
               std::string("malformed header: ") + std::string(why));
}

void LanguageServer::inputClosed() {
  if (!exitCode_) exitCode_ = shutdown_ ? 0 : 1;
}

void LanguageServer::dispatch(const json& message) {
  if (!message.is_object()) {
    respondError(nullptr, ErrorCode::kInvalidRequest, "a message must be an object");
    return;
  }
  const json& method = member(message, "method");
  const auto idIt = message.find("id");
  const bool isRequest = idIt != message.end();
  json id = isRequest ? *idIt : json();
  if (isRequest && !id.is_string() && !id.is_number_integer()) {
    respondError(nullptr, ErrorCode::kInvalidRequest, "the id must be a number or a string");
    return;
  }
  if (!method.is_string()) {
    // A response to a request of ours (we send none that need an answer) or garbage.
    if (isRequest && !message.contains("result") && !message.contains("error"))
      respondError(id, ErrorCode::kInvalidRequest, "no method");
    return;
  }
  const std::string& name = method.get_ref<const std::string&>();
  const json& params = member(message, "params");

  if (name == "exit") {
    exitCode_ = shutdown_ ? 0 : 1;
    return;
  }
  if (!isRequest) {
    // Notifications before initialize are dropped, as the protocol says.
    const auto it = notifications_.find(name);
    if (it == notifications_.end() || !initialized_ || shutdown_) return;
    try {
      (this->*(it->second))(params);
    } catch (const RequestError& e) {
      showMessage(1, name + ": " + e.message);
    } catch (const std::exception& e) {
      showMessage(1, name + ": " + e.what());
    }
    flushUiMessages();
    return;
  }
  const auto it = requests_.find(name);
  if (it == requests_.end()) {
    respondError(id, ErrorCode::kMethodNotFound, "unknown method: " + name);
    return;
  }
  if (!initialized_ && name != "initialize") {
    respondError(id, ErrorCode::kServerNotInitialized, "the server is not initialized");
    return;
  }
  if (initialized_ && name == "initialize") {
    respondError(id, ErrorCode::kInvalidRequest, "the server is already initialized");
    return;
  }
  if (shutdown_) {
    respondError(id, ErrorCode::kInvalidRequest, "the server is shut down");
    return;
  }
  try {
    json result = (this->*(it->second))(params);
    fileLines_.clear();
    respond(id, std::move(result));
  } catch (const RequestError& e) {
    fileLines_.clear();
    respondError(id, e.code, e.message);
  } catch (const json::exception& e) {
    fileLines_.clear();
    respondError(id, ErrorCode::kInvalidParams, e.what());
  } catch (const std::exception& e) {
    fileLines_.clear();
    respondError(id, ErrorCode::kInternalError, e.what());
  }
  flushUiMessages();
}

void LanguageServer::respond(const json& id, json result) {
  out_.send(json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

void LanguageServer::respondError(const json& id, int code, std::string_view message) {
  out_.send(json{
      {"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", toUtf8(message)}}}});
}

void LanguageServer::notify(std::string_view method, json params) {
  out_.send(json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

void LanguageServer::showMessage(int type, std::string_view text) {
  notify("window/showMessage", {{"type", type}, {"message", toUtf8(text)}});
}

void LanguageServer::flushUiMessages() {
  for (const std::string& text : ui_.takeMessages()) showMessage(2, text);
}

// ---------------------------------------------------------------- lifecycle

json LanguageServer::initialize(const json& params) {
  const json& general = member(member(params, "capabilities"), "general");
  const json& encodings = member(general, "positionEncodings");
  if (encodings.is_array())
    for (const json& e : encodings)
      if (e == "utf-8") encoding_ = PositionEncoding::utf8;

  const json& folders = member(params, "workspaceFolders");
  if (folders.is_array()) {
    for (const json& f : folders)
      if (const json& uri = member(f, "uri"); uri.is_string())
        if (auto path = uriToPath(uri.get<std::string>())) workspaceFolders_.push_back(*path);
  } else if (const json& root = member(params, "rootUri"); root.is_string()) {
    if (auto path = uriToPath(root.get<std::string>())) workspaceFolders_.push_back(*path);
  }
  settings_.merge(member(params, "initializationOptions"));
  loadLanguageData();
  updateRoots();
  initialized_ = true;

  json tokenLegend = {{"tokenTypes", semanticTokenTypes()},
                      {"tokenModifiers", semanticTokenModifiers()}};
  return {
      {"capabilities",
       {
           {"positionEncoding", encoding_ == PositionEncoding::utf8 ? "utf-8" : "utf-16"},
           {"textDocumentSync",
            {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
           {"documentSymbolProvider", true},
           {"definitionProvider", true},
           {"referencesProvider", true},
           {"completionProvider",
            {{"triggerCharacters", json::array()}, {"resolveProvider", false}}},
           {"signatureHelpProvider",
            {{"triggerCharacters", {"(", ","}}, {"retriggerCharacters", {","}}}},
           {"hoverProvider", true},
           {"semanticTokensProvider", {{"legend", tokenLegend}, {"full", true}, {"range", false}}},
           {"workspaceSymbolProvider", true},
           {"executeCommandProvider", {{"commands", {"quillon.compile"}}}},
       }},
      {"serverInfo", {{"name", "quillon-lsp"}, {"version", "0.1.0"}}},
  };
}

json LanguageServer::shutdown(const json&) {
  shutdown_ = true;
  return nullptr;
}

json LanguageServer::initialized(const json&) { return nullptr; }
json LanguageServer::ignore(const json&) { return nullptr; }

json LanguageServer::didChangeConfiguration(const json& params) {
  const json& settings = member(params, "settings");
  if (settings_.merge(settings)) loadLanguageData();
  return nullptr;
}

void LanguageServer::loadLanguageData() { data_.load(settings_, programDir_, ui_); }

// ---------------------------------------------------------------- documents

TextDocument& LanguageServer::openDocument(const json& params) {
  const std::string& uri = stringMember(member(params, "textDocument"), "uri");
  const auto it = documents_.find(uri);
  if (it == documents_.end())
    throw RequestError{ErrorCode::kInvalidParams, "document not open: " + uri};
  return *it->second;
}

LanguageServer::At LanguageServer::at(const json& params) {
  TextDocument& doc = openDocument(params);
  return {&doc, doc.place(positionOf(member(params, "position")), encoding_)};
}

json LanguageServer::didOpen(const json& params) {
  const json& item = member(params, "textDocument");
  const std::string& uri = stringMember(item, "uri");
  const std::string& text = stringMember(item, "text");
  const json& version = member(item, "version");
  auto doc = std::make_unique<TextDocument>(
      uri, version.is_number_integer() ? version.get<std::int64_t>() : 0, text);
  if (const auto path = uriToPath(uri)) {
    const TextDocument& d = *doc;
    const auto lineAt = [&d](std::int64_t i) { return d.line(i); };
    // References read the lines where the client's text lives, never a copy of it.
    index_->setLineSource(index_->setLines(*path, d.lineCount(), lineAt), lineAt);
  }
  if (const auto old = documents_.find(uri); old != documents_.end()) forget(uri);
  documents_[uri] = std::move(doc);
  updateRoots();
  return nullptr;
}

json LanguageServer::didChange(const json& params) {
  TextDocument& doc = openDocument(params);
  const json& version = member(member(params, "textDocument"), "version");
  const json& changes = member(params, "contentChanges");
  if (!changes.is_array()) throw RequestError{ErrorCode::kInvalidParams, "missing contentChanges"};
  const auto path = uriToPath(doc.uri());
  const auto lineAt = [&doc](std::int64_t i) { return doc.line(i); };
  for (const json& change : changes) {
    const std::string& text = stringMember(change, "text");
    const json& range = member(change, "range");
    if (range.is_null()) {
      doc.setText(text);
      if (path) index_->setLineSource(index_->setLines(*path, doc.lineCount(), lineAt), lineAt);
      continue;
    }
    const TextDocument::Edit edit =
        doc.apply(Range{positionOf(member(range, "start")), positionOf(member(range, "end"))}, text,
                  encoding_);
    if (path) {
      const std::optional<language::SourceId> id = index_->find(*path);
      if (id)
        index_->replaceLines(*id, edit.firstLine, edit.removedLines, edit.insertedLines,
                             doc.lineCount(), lineAt);
      else
        index_->setLineSource(index_->setLines(*path, doc.lineCount(), lineAt), lineAt);
    }
  }
  if (version.is_number_integer()) doc.setVersion(version.get<std::int64_t>());
  return nullptr;
}

json LanguageServer::didClose(const json& params) {
  const std::string& uri = stringMember(member(params, "textDocument"), "uri");
  const auto it = documents_.find(uri);
  if (it == documents_.end()) return nullptr;
  forget(uri);
  updateRoots();
  return nullptr;
}

json LanguageServer::didSave(const json& params) {
  const std::string& uri = stringMember(member(params, "textDocument"), "uri");
  const auto path = uriToPath(uri);
  if (path && isMbFile(*path)) startCompile(*path);
  return nullptr;
}

void LanguageServer::forget(const std::string& uri) {
  if (const auto path = uriToPath(uri)) {
    if (const auto id = index_->find(*path)) index_->setLineSource(*id, {});
    index_->release(*path);
  }
  documents_.erase(uri);
}

void LanguageServer::updateRoots() {
  std::vector<fs::path> roots;
  for (const auto& [uri, doc] : documents_)
    if (const auto path = uriToPath(uri)) roots.push_back(*path);
  // A workspace that holds projects brings their modules in.
  for (const fs::path& folder : workspaceFolders_) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      if (!isProjectFile(it->path())) continue;
      std::error_code readError;
      const std::optional<platform::FileBytes> bytes =
          platform::readRegularFileBytes(it->path(), kMaxFileBytes, readError);
      if (!bytes) continue;
      for (const std::string& value :
           build::ProjectFile::moduleValues(std::string_view(bytes->data.get(), bytes->size))) {
        std::string name = build::ProjectFile::sourceName(value);
        std::replace(name.begin(), name.end(), '\\', '/');
        if (const auto found = platform::findAnyCasePath(folder / name)) roots.push_back(*found);
      }
    }
  }
  index_->setRoots(roots);
}

// ---------------------------------------------------------------- answers from the text

json LanguageServer::toPosition(const fs::path& file, std::int64_t line, std::int64_t byteColumn) {
  const std::string text = fileLine(file, line);
  return {{"line", line},
          {"character", unitColumn(text, static_cast<std::uint32_t>(byteColumn), encoding_)}};
}

json LanguageServer::location(const fs::path& file, std::int64_t line, std::int64_t byteColumn,
                              std::size_t byteLength) {
  const std::string text = fileLine(file, line);
  const auto start = static_cast<std::uint32_t>(byteColumn);
  const auto stop = static_cast<std::uint32_t>(byteColumn + static_cast<std::int64_t>(byteLength));
  return {{"uri", uriFor(file)},
          {"range",
           {{"start", {{"line", line}, {"character", unitColumn(text, start, encoding_)}}},
            {"end", {{"line", line}, {"character", unitColumn(text, stop, encoding_)}}}}}};
}

std::string LanguageServer::uriFor(const fs::path& file) const {
  for (const auto& [uri, doc] : documents_)
    if (const auto p = uriToPath(uri); p && *p == file) return uri;
  return pathToUri(file);
}

std::string LanguageServer::fileLine(const fs::path& file, std::int64_t line) {
  for (const auto& [uri, doc] : documents_)
    if (const auto p = uriToPath(uri); p && *p == file) return std::string(doc->line(line));
  auto it = fileLines_.find(file);
  if (it == fileLines_.end()) {
    std::vector<std::string> lines;
    std::error_code ec;
    if (std::optional<platform::FileBytes> bytes =
            platform::readRegularFileBytes(file, kMaxFileBytes, ec)) {
      // Decoded as Open decodes it, as the index read it, so its columns fit these lines.
      const pages::DecodedText decoded = pages::decodeText(bytes->data, bytes->size);
      for (std::string_view l : splitLines(std::string_view(bytes->data.get(), decoded.size)))
        lines.emplace_back(l);
    }
    it = fileLines_.emplace(file, std::move(lines)).first;
  }
  return line >= 0 && line < static_cast<std::int64_t>(it->second.size())
             ? it->second[static_cast<std::size_t>(line)]
             : std::string();
}

json LanguageServer::documentSymbol(const json& params) {
  TextDocument& doc = openDocument(params);
  const auto lineAt = [&doc](std::int64_t i) { return doc.line(i); };
  language::Outline outline = language::scanOutline(doc.lineCount(), lineAt);

  // Where each routine ends: its End Sub or End Function, else the line before the next
  // routine, else the last line.
  struct Routine {
    std::int64_t first;
    std::int64_t last;
  };
  std::vector<Routine> routines;
  {
    language::StatementReader reader(doc.lineCount(), lineAt);
    language::Statement s;
    // The first line of the routine being read; -1 outside one. (An optional here trips
    // GCC's maybe-uninitialized warning.)
    std::int64_t open = -1;
    while (reader.next(s)) {
      const std::string first = upperAscii(language::firstWord(s.text));
      if (first == "SUB" || first == "FUNCTION") {
        if (open >= 0) routines.push_back({open, s.firstLine - 1});
        open = s.firstLine;
      } else if (first == "END" && open >= 0) {
        const std::string second =
            upperAscii(language::firstWord(std::string_view(s.text).substr(3)));
        if (second == "SUB" || second == "FUNCTION") {
          routines.push_back({open, s.firstLine + s.lineCount - 1});
          open = -1;
        }
      }
    }
    if (open >= 0) routines.push_back({open, doc.lineCount() - 1});
  }
  const auto routineOf = [&](std::int64_t line) -> const Routine* {
    const auto it = std::upper_bound(routines.begin(), routines.end(), line,
                                     [](std::int64_t l, const Routine& r) { return l < r.first; });
    if (it == routines.begin()) return nullptr;
    const Routine& r = *(it - 1);
    return line <= r.last ? &r : nullptr;
  };

  const auto symbolFor = [&](language::OutlineGroup group, const language::OutlineEntry& entry,
                             std::int64_t lastLine) {
    const std::int64_t line = entry.line - 1;
    const std::string_view text = doc.line(line);
    std::string_view name = entry.name();
    // Include names keep their quotes; the name is found in the line as written, any case.
    const std::string upperLine = upperAscii(text);
    std::size_t at = upperLine.find(upperAscii(name));
    if (at == std::string::npos) at = 0, name = {};
    const Position nameStart = doc.position(line, static_cast<std::uint32_t>(at), encoding_);
    const Position nameEnd =
        doc.position(line, static_cast<std::uint32_t>(at + name.size()), encoding_);
    const Position end =
        doc.position(lastLine, static_cast<std::uint32_t>(doc.line(lastLine).size()), encoding_);
    std::string shown(entry.name());
    if (shown.empty()) shown = "?";
    return json{
        {"name", toUtf8(shown)},
        {"detail", std::string(language::kOutlineGroupNames[static_cast<std::size_t>(group)])},
        {"kind", symbolKind(group)},
        {"range",
         {{"start", {{"line", line}, {"character", 0}}},
          {"end", {{"line", end.line}, {"character", end.character}}}}},
        {"selectionRange",
         {{"start", {{"line", nameStart.line}, {"character", nameStart.character}}},
          {"end", {{"line", nameEnd.line}, {"character", nameEnd.character}}}}}};
  };

  // Routines first collect their children; everything is then put out in text order.
  std::map<std::int64_t, json> routineSymbols;  // by first line
  std::vector<std::pair<std::int64_t, json>> top;
  std::vector<std::pair<std::int64_t, json>> children;
  for (std::size_t g = 0; g < language::kOutlineGroups; ++g) {
    const auto group = static_cast<language::OutlineGroup>(g);
    for (const language::OutlineEntry& entry : outline.groups[g]) {
      const std::int64_t line = entry.line - 1;
      if (line < 0 || line >= doc.lineCount()) continue;
      if (group == language::OutlineGroup::Subs || group == language::OutlineGroup::Functions) {
        const Routine* r = routineOf(line);
        json symbol = symbolFor(group, entry, r ? r->last : line);
        symbol["children"] = json::array();
        routineSymbols[line] = std::move(symbol);
        continue;
      }
      const bool nests =
          group == language::OutlineGroup::Dim || group == language::OutlineGroup::Labels;
      if (nests && routineOf(line)) {
        children.emplace_back(line, symbolFor(group, entry, line));
        continue;
      }
      top.emplace_back(line, symbolFor(group, entry, line));
    }
  }
  std::sort(children.begin(), children.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [line, symbol] : children) {
    const Routine* r = routineOf(line);
    const auto it = routineSymbols.find(r->first);
    if (it != routineSymbols.end())
      it->second["children"].push_back(std::move(symbol));
    else
      top.emplace_back(line, std::move(symbol));
  }
  for (auto& [line, symbol] : routineSymbols) top.emplace_back(line, std::move(symbol));
  std::stable_sort(top.begin(), top.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  json result = json::array();
  for (auto& entry : top) result.push_back(std::move(entry.second));
  return result;
}

json LanguageServer::semanticTokens(const json& params) {
  TextDocument& doc = openDocument(params);
  std::vector<std::string> ownNames;
  std::vector<std::string> ownDefines;
  if (const auto path = uriToPath(doc.uri())) {
    using K = language::SymbolKind;
    for (const language::Completion& c : index_->completions(*path, 0, "", 100000)) {
      if (!c.inScope) continue;
      if (c.kind == K::Define)
        ownDefines.push_back(c.name);
      else if (c.kind == K::Sub || c.kind == K::Function || c.kind == K::DeclareSub ||
               c.kind == K::DeclareFunction)
        ownNames.push_back(c.name);
    }
  }
  return {{"data", encodeSemanticTokens(doc, data_, ownNames, ownDefines, encoding_)}};
}

// ---------------------------------------------------------------- answers from the index

std::optional<LanguageServer::WordAt> LanguageServer::wordAt(const json& params) {
  const At a = at(params);
  const auto path = uriToPath(a.document->uri());
  if (!path) return std::nullopt;
  const std::string_view line = a.document->line(a.place.line);
  const std::optional<Word> word = wordAround(line, a.place.column);
  if (!word) return std::nullopt;
  return WordAt{a.document, *path, a.place.line,
                std::string(line.substr(word->start, word->length))};
}

json LanguageServer::definition(const json& params) {
  json result = json::array();
  const std::optional<WordAt> word = wordAt(params);
  if (!word) return result;
  for (const language::Symbol& s : index_->goToTargets(word->file, word->line, word->name))
    result.push_back(location(s.file, s.line, s.column, s.name.size()));
  return result;
}

json LanguageServer::references(const json& params) {
  json result = json::array();
  const std::optional<WordAt> word = wordAt(params);
  if (!word) return result;
  for (const language::Reference& r : index_->references(word->file, word->line, word->name)) {
    const auto start = static_cast<std::uint32_t>(r.column);
    const auto stop = static_cast<std::uint32_t>(r.column + static_cast<std::int64_t>(r.length));
    result.push_back(
        {{"uri", uriFor(r.file)},
         {"range",
          {{"start", {{"line", r.line}, {"character", unitColumn(r.lineText, start, encoding_)}}},
           {"end", {{"line", r.line}, {"character", unitColumn(r.lineText, stop, encoding_)}}}}}});
  }
  return result;
}

json LanguageServer::workspaceSymbol(const json& params) {
  const json& query = member(params, "query");
  json result = json::array();
  for (const language::Symbol& s :
       index_->workspaceSymbols(query.is_string() ? query.get<std::string>() : "", 1000)) {
    json symbol = {{"name", toUtf8(s.name)},
                   {"kind", workspaceKind(s.kind)},
                   {"location", location(s.file, s.line, s.column, s.name.size())}};
    if (!s.container.empty()) symbol["containerName"] = toUtf8(s.container);
    result.push_back(std::move(symbol));
  }
  return result;
}

json LanguageServer::completion(const json& params) {
  const At a = at(params);
  const std::string_view line = a.document->line(a.place.line);
  std::size_t start = std::min<std::size_t>(a.place.column, line.size());
  while (start > 0 && language::isNameChar(line[start - 1])) --start;
  const std::string prefix(line.substr(start, a.place.column - start));
  const Position from =
      a.document->position(a.place.line, static_cast<std::uint32_t>(start), encoding_);
  const Position to = a.document->position(a.place.line, a.place.column, encoding_);
  const json range = {{"start", {{"line", from.line}, {"character", from.character}}},
                      {"end", {{"line", to.line}, {"character", to.character}}}};

  constexpr std::size_t kLimit = 500;
  json items = json::array();
  bool complete = true;
  std::unordered_set<std::string> seen;  // upper-cased, so a keyword does not repeat a name
  const auto add = [&](const std::string& text, int kind, const std::string& detail,
                       const std::string& sortGroup) {
    if (items.size() >= kLimit) {
      complete = false;
      return;
    }
    if (!seen.insert(upperAscii(text)).second) return;
    json item = {{"label", toUtf8(text)},
                 {"kind", kind},
                 {"sortText", sortGroup + std::to_string(100000 + items.size())},
                 {"textEdit", {{"range", range}, {"newText", toUtf8(text)}}}};
    if (!detail.empty()) item["detail"] = toUtf8(detail);
    items.push_back(std::move(item));
  };

  // The code's own names first, those in scope before the rest.
  if (const auto path = uriToPath(a.document->uri())) {
    for (const language::Completion& c : index_->completions(*path, a.place.line, prefix, kLimit)) {
      std::string detail(language::symbolKindName(c.kind));
      using K = language::SymbolKind;
      if (c.kind == K::Sub || c.kind == K::Function || c.kind == K::DeclareSub ||
          c.kind == K::DeclareFunction)
        if (auto params = index_->parameterText(*path, a.place.line, c.name);
            params && !params->empty())
          detail = c.name + *params;
      add(c.name, completionKind(c.kind), detail, c.inScope ? "0" : "1");
    }
  }
  // Then the word lists' keywords and defined names that begin with what is typed.
  const auto begins = [&](const std::string& word) {
    return word.size() >= prefix.size() &&
           language::sameWord(std::string_view(word).substr(0, prefix.size()), prefix);
  };
  if (!prefix.empty()) {
    std::vector<std::string> keys;
    for (const std::string& k : data_.lists().list(language::WordList::Key))
      if (begins(k)) keys.push_back(k);
    // The key list runs downwards; the client shows them upwards.
    std::reverse(keys.begin(), keys.end());
    for (const std::string& k : keys) add(k, 14, data_.helpLine(k), "2");
    for (const std::string& d : data_.lists().list(language::WordList::Def))
      if (begins(d)) add(d, 21, "", "3");
  }
  return {{"isIncomplete", !complete}, {"items", std::move(items)}};
}

namespace {

// The call the caret stands in: the name before the innermost parenthesis still open before
// it on its line, and how many commas of that call come before the caret.
struct OpenCall {
  std::string name;
  std::size_t nameStart = 0;
  int activeParameter = 0;
};

std::optional<OpenCall> openCallAt(std::string_view line, std::size_t column) {
  struct Open {
    std::size_t paren;
    int commas;
  };
  std::vector<Open> open;
  std::string code(line.substr(0, std::min(column, line.size())));
  // Strings and comments hold no parentheses that count.
  std::size_t pos = 0;
  language::scanLine(code, [&](const language::LineSegment& seg) {
    if (seg.kind != language::SegmentKind::Code)
      std::fill(code.begin() + pos, code.begin() + pos + seg.text.size(), ' ');
    pos += seg.text.size();
  });
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code[i] == '(')
      open.push_back({i, 0});
    else if (code[i] == ')' && !open.empty())
      open.pop_back();
    else if (code[i] == ',' && !open.empty())
      ++open.back().commas;
  }
  while (!open.empty()) {
    std::size_t end = open.back().paren;
    while (end > 0 && code[end - 1] == ' ') --end;
    std::size_t start = end;
    while (start > 0 && language::isNameChar(code[start - 1])) --start;
    if (start < end) return OpenCall{code.substr(start, end - start), start, open.back().commas};
    open.pop_back();  // a parenthesis that groups, not one that calls
  }
  return std::nullopt;
}

// The parameters of "(a As T, b As U) As V": the byte ranges of each within `text`.
std::vector<std::pair<std::size_t, std::size_t>> parameterRanges(std::string_view text) {
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  const std::size_t open = text.find('(');
  if (open == std::string_view::npos) return ranges;
  int depth = 0;
  std::size_t start = open + 1;
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '(' || c == '[')
      ++depth;
    else if ((c == ')' || c == ']') && depth > 0)
      --depth;
    else if ((c == ',' || c == ')') && depth == 0) {
      std::size_t a = start, b = i;
      while (a < b && text[a] == ' ') ++a;
      while (b > a && text[b - 1] == ' ') --b;
      if (b > a) ranges.emplace_back(a, b);
      if (c == ')') break;
      start = i + 1;
    }
  }
  return ranges;
}

}  // namespace

json LanguageServer::signatureHelp(const json& params) {
  const At a = at(params);
  const std::optional<OpenCall> call = openCallAt(a.document->line(a.place.line), a.place.column);
  if (!call) return nullptr;
  std::string label;
  std::string documentation;
  if (const auto path = uriToPath(a.document->uri())) {
    if (auto text = index_->parameterText(*path, a.place.line, call->name))
      label = call->name + *text;
  }
  if (label.empty()) {
    // A built-in function: its syntax form from the context file.
    const std::string help = data_.helpLine(call->name);
    const std::size_t dashes = help.find("  --");
    label = help.substr(0, dashes);
    if (dashes != std::string::npos) documentation = help.substr(std::min(help.size(), dashes + 5));
  }
  if (label.empty() || label.find('(') == std::string::npos) return nullptr;
  json parameters = json::array();
  const std::string utf8Label = toUtf8(label);
  for (const auto& [from, to] : parameterRanges(utf8Label))
    parameters.push_back(
        {{"label",
          {unitColumn(utf8Label, static_cast<std::uint32_t>(from), PositionEncoding::utf16),
           unitColumn(utf8Label, static_cast<std::uint32_t>(to), PositionEncoding::utf16)}}});
  json signature = {{"label", utf8Label}, {"parameters", parameters}};
  if (!documentation.empty()) signature["documentation"] = toUtf8(documentation);
  const int active = parameters.empty() ? 0
                                        : std::min<int>(call->activeParameter,
                                                        static_cast<int>(parameters.size()) - 1);
  return {{"signatures", json::array({signature})},
          {"activeSignature", 0},
          {"activeParameter", active}};
}

json LanguageServer::hover(const json& params) {
  const std::optional<WordAt> word = wordAt(params);
  if (!word) return nullptr;
  std::string text;
  const std::vector<language::Symbol> targets =
      index_->goToTargets(word->file, word->line, word->name);
  if (!targets.empty()) {
    const language::Symbol& s = targets.front();
    std::string definition = fileLine(s.file, s.line);
    const std::size_t first = definition.find_first_not_of(" \t");
    definition = first == std::string::npos ? std::string() : definition.substr(first);
    text = "```mapbasic\n" + toUtf8(definition) + "\n```";
    if (s.file != word->file)
      text += "\n" + toUtf8(s.file.filename().string()) + ", line " + std::to_string(s.line + 1);
  } else {
    const std::string help = data_.helpLine(word->name);
    if (help.empty()) return nullptr;
    const std::size_t dashes = help.find("  --");
    text = "```mapbasic\n" + toUtf8(help.substr(0, dashes)) + "\n```";
    if (dashes != std::string::npos)
      text += "\n" + toUtf8(help.substr(std::min(help.size(), dashes + 5)));
  }
  return {{"contents", {{"kind", "markdown"}, {"value", text}}}};
}

// ---------------------------------------------------------------- compiling

json LanguageServer::executeCommand(const json& params) {
  const std::string& command = stringMember(params, "command");
  if (command != "quillon.compile")
    throw RequestError{ErrorCode::kInvalidParams, "unknown command: " + command};
  const json& arguments = member(params, "arguments");
  std::string uri;
  if (arguments.is_array() && !arguments.empty()) {
    const json& first = arguments.front();
    if (first.is_string())
      uri = first.get<std::string>();
    else if (member(first, "uri").is_string())
      uri = member(first, "uri").get<std::string>();
  }
  const auto path = uriToPath(uri);
  if (!path)
    throw RequestError{ErrorCode::kInvalidParams, "quillon.compile takes the URI of a .mb file"};
  if (!isMbFile(*path))
    throw RequestError{ErrorCode::kInvalidParams, "only a .mb file compiles: " + uri};
  startCompile(*path);
  return nullptr;
}

void LanguageServer::startCompile(const fs::path& source) {
  const std::uint64_t generation = ++compiles_[source].generation;
  compiler_.compile(source, settings_, [this, source, generation](SourceCompiler::Outcome outcome) {
    compiled(source, generation, std::move(outcome));
  });
}

void LanguageServer::compiled(const fs::path& source, std::uint64_t generation,
                              SourceCompiler::Outcome outcome) {
  if (exited()) return;
  CompileState& state = compiles_[source];
  // A compile that a later one replaced tells nothing about the file as it is now.
  if (generation != state.generation || outcome.kind == SourceCompiler::Outcome::Kind::stopped)
    return;
  if (outcome.kind == SourceCompiler::Outcome::Kind::noCompiler) {
    if (!toldNoCompiler_) showMessage(2, outcome.message);
    toldNoCompiler_ = true;
    return;
  }
  std::map<std::string, json> byUri;
  byUri[uriFor(source)] = json::array();
  for (const SourceCompiler::Error& e : outcome.errors) {
    const fs::path file = e.file.empty() ? source : e.file;
    const std::int64_t line = std::max<std::int64_t>(0, e.line - 1);
    const std::string text = fileLine(file, line);
    json& list = byUri[uriFor(file)];
    if (!list.is_array()) list = json::array();
    list.push_back({{"range",
                     {{"start", {{"line", line}, {"character", 0}}},
                      {"end",
                       {{"line", line},
                        {"character",
                         unitColumn(text, static_cast<std::uint32_t>(text.size()), encoding_)}}}}},
                    {"severity", 1},
                    {"source", "mapbasic"},
                    {"message", toUtf8(e.message)}});
  }
  fileLines_.clear();
  if (outcome.kind == SourceCompiler::Outcome::Kind::failed && outcome.errors.empty() &&
      !outcome.message.empty())
    showMessage(1, outcome.message);
  for (const std::string& uri : state.marked)
    if (!byUri.count(uri)) byUri[uri] = json::array();
  state.marked.clear();
  for (auto& [uri, diagnostics] : byUri) {
    if (!diagnostics.empty()) state.marked.push_back(uri);
    publish(uri, std::move(diagnostics));
  }
}

void LanguageServer::publish(const std::string& uri, json diagnostics) {
  notify("textDocument/publishDiagnostics",
         {{"uri", uri}, {"diagnostics", std::move(diagnostics)}});
}

}  // namespace quillon::lsp
