#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "lsp/collecting_ui.h"
#include "lsp/language_data.h"
#include "lsp/position_codec.h"
#include "lsp/server_settings.h"
#include "lsp/source_compiler.h"
#include "lsp/text_document.h"

namespace quillon::language {
class SymbolIndex;
}

namespace quillon::lsp {

// Where the server's messages to the client go, each a whole JSON-RPC message.
class MessageSink {
public:
  virtual ~MessageSink() = default;
  virtual void send(const nlohmann::json& message) = 0;
};

// JSON-RPC error codes the server answers with.
namespace ErrorCode {
inline constexpr int kParseError = -32700;
inline constexpr int kInvalidRequest = -32600;
inline constexpr int kMethodNotFound = -32601;
inline constexpr int kInvalidParams = -32602;
inline constexpr int kInternalError = -32603;
inline constexpr int kServerNotInitialized = -32002;
inline constexpr int kRequestFailed = -32803;
}  // namespace ErrorCode

// The dispatcher: takes one message body at a time and answers through the sink. It never
// throws and never blocks: a compile runs in the SourceCompiler and reports back later.
//
// Lifecycle, kept by receive() alone: before "initialize" only "exit" and notifications are
// taken (requests get ServerNotInitialized); after "shutdown" every request is refused with
// InvalidRequest; "exit" ends it, with status 0 after shutdown and 1 without.
class LanguageServer {
public:
  struct Ports {
    MessageSink& out;
    SourceCompiler& compiler;
    std::filesystem::path programDir;  // where the default word lists are looked for
  };

  explicit LanguageServer(Ports ports);
  ~LanguageServer();
  LanguageServer(const LanguageServer&) = delete;
  LanguageServer& operator=(const LanguageServer&) = delete;

  // One message body as framed by the client.
  void receive(std::string_view body);
  // A frame whose header could not be read.
  void receiveMalformed(std::string_view why);
  // The client closed its end: the process ends as "exit" would end it now.
  void inputClosed();

  bool exited() const { return exitCode_.has_value(); }
  int exitCode() const { return exitCode_.value_or(1); }
  PositionEncoding positionEncoding() const { return encoding_; }
  const TextDocument* document(std::string_view uri) const;

private:
  using Handler = nlohmann::json (LanguageServer::*)(const nlohmann::json& params);
  struct Failure {
    int code;
    std::string message;
  };

  void dispatch(const nlohmann::json& message);
  void respond(const nlohmann::json& id, nlohmann::json result);
  void respondError(const nlohmann::json& id, int code, std::string_view message);
  void notify(std::string_view method, nlohmann::json params);
  void showMessage(int type, std::string_view text);
  void flushUiMessages();

  // Requests.
  nlohmann::json initialize(const nlohmann::json& params);
  nlohmann::json shutdown(const nlohmann::json& params);
  nlohmann::json documentSymbol(const nlohmann::json& params);
  nlohmann::json definition(const nlohmann::json& params);
  nlohmann::json references(const nlohmann::json& params);
  nlohmann::json completion(const nlohmann::json& params);
  nlohmann::json signatureHelp(const nlohmann::json& params);
  nlohmann::json hover(const nlohmann::json& params);
  nlohmann::json semanticTokens(const nlohmann::json& params);
  nlohmann::json workspaceSymbol(const nlohmann::json& params);
  nlohmann::json executeCommand(const nlohmann::json& params);
  // Notifications.
  nlohmann::json initialized(const nlohmann::json& params);
  nlohmann::json didOpen(const nlohmann::json& params);
  nlohmann::json didChange(const nlohmann::json& params);
  nlohmann::json didSave(const nlohmann::json& params);
  nlohmann::json didClose(const nlohmann::json& params);
  nlohmann::json didChangeConfiguration(const nlohmann::json& params);
  nlohmann::json ignore(const nlohmann::json& params);

  TextDocument& openDocument(const nlohmann::json& params);
  struct At {
    TextDocument* document;
    TextDocument::Place place;
  };
  At at(const nlohmann::json& params);
  nlohmann::json toPosition(const std::filesystem::path& file, std::int64_t line,
                            std::int64_t byteColumn);
  nlohmann::json location(const std::filesystem::path& file, std::int64_t line,
                          std::int64_t byteColumn, std::size_t byteLength);
  std::string fileLine(const std::filesystem::path& file, std::int64_t line);
  std::string uriFor(const std::filesystem::path& file) const;
  struct WordAt {
    TextDocument* document;
    std::filesystem::path file;
    std::int64_t line;
    std::string name;
  };
  std::optional<WordAt> wordAt(const nlohmann::json& params);

  void loadLanguageData();
  // Drops an open document and everything the index borrowed from it.
  void forget(const std::string& uri);
  void updateRoots();
  void startCompile(const std::filesystem::path& source);
  void compiled(const std::filesystem::path& source, std::uint64_t generation,
                SourceCompiler::Outcome outcome);
  void publish(const std::string& uri, nlohmann::json diagnostics);

  MessageSink& out_;
  SourceCompiler& compiler_;
  std::filesystem::path programDir_;
  const std::unordered_map<std::string, Handler> requests_;
  const std::unordered_map<std::string, Handler> notifications_;

  bool initialized_ = false;
  bool shutdown_ = false;
  std::optional<int> exitCode_;
  PositionEncoding encoding_ = PositionEncoding::utf16;
  std::vector<std::filesystem::path> workspaceFolders_;
  ServerSettings settings_;
  CollectingUi ui_;
  LanguageData data_;
  std::map<std::string, std::unique_ptr<TextDocument>, std::less<>> documents_;
  std::unique_ptr<language::SymbolIndex> index_;
  // Per source: the compile last started, so a late report of an older one is dropped, and
  // the URIs its last report marked, so the next one can clear them.
  struct CompileState {
    std::uint64_t generation = 0;
    std::vector<std::string> marked;
  };
  std::map<std::filesystem::path, CompileState> compiles_;
  bool toldNoCompiler_ = false;
  // Lines of files not open, read for one request and dropped after it.
  std::map<std::filesystem::path, std::vector<std::string>> fileLines_;
};

}  // namespace quillon::lsp
