#pragma once
// Drives a LanguageServer as a client would: framed requests in, every message it sends kept.
#include <deque>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "lsp/language_server.h"
#include "lsp/message_framing.h"

namespace quillon::testing {

class RecordingSink final : public lsp::MessageSink {
public:
  void send(const nlohmann::json& message) override {
    // As the program writes it, so a message that could not be written fails here too.
    sent.push_back(nlohmann::json::parse(
        message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)));
  }
  std::vector<nlohmann::json> sent;
};

// Keeps each compile asked for until the test finishes it.
class FakeCompiler final : public lsp::SourceCompiler {
public:
  struct Call {
    std::filesystem::path source;
    Done done;
  };
  void compile(const std::filesystem::path& source, const lsp::ServerSettings& settings,
               Done done) override {
    lastSettings = settings;
    calls.push_back({source, std::move(done)});
  }
  std::deque<Call> calls;
  lsp::ServerSettings lastSettings;
};

class LspClient {
public:
  explicit LspClient(const std::filesystem::path& programDir = QUILLON_BINARY_DIR)
      : server({sink, compiler, programDir}) {}

  // Feeds the message through the framing, as the program does.
  void raw(const std::string& bytes) {
    reader.feed(bytes);
    while (auto frame = reader.next()) {
      if (frame->malformed)
        server.receiveMalformed(frame->error);
      else
        server.receive(frame->body);
    }
  }
  void message(const nlohmann::json& m) { raw(lsp::frameMessage(m.dump())); }

  // Sends a request and returns the response to it (null when none came).
  nlohmann::json request(const std::string& method,
                         const nlohmann::json& params = nlohmann::json::object()) {
    const int id = ++lastId;
    message({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
    for (const nlohmann::json& m : sink.sent)
      if (m.contains("id") && m["id"] == id && !m.contains("method")) return m;
    return nullptr;
  }
  void notify(const std::string& method, const nlohmann::json& params = nlohmann::json::object()) {
    message({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
  }
  nlohmann::json initialize(const nlohmann::json& params = nlohmann::json::object()) {
    nlohmann::json r = request("initialize", params);
    notify("initialized");
    return r;
  }
  void open(const std::string& uri, const std::string& text, int version = 1) {
    notify("textDocument/didOpen",
           {{"textDocument",
             {{"uri", uri}, {"languageId", "mapbasic"}, {"version", version}, {"text", text}}}});
  }
  // The notifications of `method` sent so far, oldest first.
  std::vector<nlohmann::json> notifications(const std::string& method) const {
    std::vector<nlohmann::json> out;
    for (const nlohmann::json& m : sink.sent)
      if (m.value("method", "") == method && !m.contains("id")) out.push_back(m["params"]);
    return out;
  }

  RecordingSink sink;
  FakeCompiler compiler;
  lsp::LanguageServer server;
  lsp::FrameReader reader;
  int lastId = 0;
};

inline nlohmann::json at(const std::string& uri, int line, int character) {
  return {{"textDocument", {{"uri", uri}}},
          {"position", {{"line", line}, {"character", character}}}};
}

}  // namespace quillon::testing
