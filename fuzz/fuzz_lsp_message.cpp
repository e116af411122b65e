// Any bytes as what a client writes after initialize and one didOpen: the framing and the
// dispatcher must answer every request exactly once, never crash, and only ever send
// messages that serialise.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "lsp/language_server.h"
#include "lsp/message_framing.h"

namespace {

using namespace quillon::lsp;

class CheckingSink final : public MessageSink {
public:
  void send(const nlohmann::json& message) override {
    // Must not throw, whatever bytes the documents hold.
    (void)message.dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
  }
};

class HeldCompiler final : public SourceCompiler {
public:
  void compile(const std::filesystem::path& source, const ServerSettings&, Done done) override {
    calls.push_back({source, std::move(done)});
  }
  std::deque<std::pair<std::filesystem::path, Done>> calls;
};

std::string frame(const std::string& body) { return frameMessage(body); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckingSink sink;
  HeldCompiler compiler;
  LanguageServer server({sink, compiler, QUILLON_BINARY_DIR});
  FrameReader reader;
  reader.feed(
      frame(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":{}}})"));
  reader.feed(frame(R"({"jsonrpc":"2.0","method":"initialized","params":{}})"));
  reader.feed(frame(
      R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///f/a.mb","version":1,"text":"Include \"b.def\"\nDeclare Sub Main\nSub Main\n  Dim x As Integer\n  x = Str$(1) ' M\u00f8ller\nEnd Sub\n"}}})"));
  reader.feed(std::string_view(reinterpret_cast<const char*>(data), size));
  while (auto f = reader.next()) {
    if (f->malformed)
      server.receiveMalformed(f->error);
    else
      server.receive(f->body);
    if (server.exited()) break;
  }
  // Compiles end with errors on lines that may no longer exist.
  while (!compiler.calls.empty()) {
    auto [source, done] = std::move(compiler.calls.front());
    compiler.calls.pop_front();
    done(SourceCompiler::Outcome{
        SourceCompiler::Outcome::Kind::failed,
        "COMPILE FAILED....",
        {{{}, 3, "(a.mb:3) x"}, {{}, 999999, "(a.mb:999999) y"}, {"/f/b.def", 1, "\xff"}}});
  }
  server.inputClosed();
  if (!server.exited()) std::abort();
  return 0;
}
