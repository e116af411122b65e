// The language server's round trips through its dispatcher, and its start-up.
#include <chrono>
#include <fstream>
#include <malloc.h>
#include <nlohmann/json.hpp>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "bench_support.h"
#include "lsp/file_uri.h"
#include "lsp/language_server.h"
#include "lsp/message_framing.h"
#include "lsp/text_document.h"

namespace quillon::bench {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

class CountingSink final : public lsp::MessageSink {
public:
  void send(const json& message) override {
    last = message.dump();
    ++count;
  }
  std::string last;
  std::size_t count = 0;
};

class IdleCompiler final : public lsp::SourceCompiler {
public:
  void compile(const fs::path&, const lsp::ServerSettings&, Done) override {}
};

std::string request(int id, const std::string& method, const json& params) {
  return json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}}.dump();
}

json at(const std::string& uri, int line, int character) {
  return {{"textDocument", {{"uri", uri}}},
          {"position", {{"line", line}, {"character", character}}}};
}

// A project of 30 modules of about 2,000 lines each: every module defines Subs, Functions,
// Globals and Defines of its own and calls those of the next module.
class ThirtyModules {
public:
  ThirtyModules() {
    std::string tmpl = (fs::temp_directory_path() / "quillon-lsp-bench-XXXXXX").string();
    if (::mkdtemp(tmpl.data())) dir_ = tmpl;
    std::ofstream project(dir_ / "big.mbp", std::ios::binary);
    project << "[LINK]\r\nApplication=big.mbx\r\n";
    for (int m = 0; m < 30; ++m) {
      project << "Module=mod" << m << ".mbo\r\n";
      std::ostringstream text;
      text << "Include \"shared.def\"\r\n";
      for (int s = 0; s < 50; ++s)
        text << "Declare Sub Mod" << m << "_Step" << s << "(ByVal n As Integer, s As String)\r\n";
      for (int g = 0; g < 20; ++g) text << "Global g_mod" << m << "_" << g << " As Integer\r\n";
      for (int s = 0; s < 50; ++s) {
        text << "Sub Mod" << m << "_Step" << s << "(ByVal n As Integer, s As String)\r\n";
        text << "  Dim i, total As Integer\r\n";
        for (int l = 0; l < 30; ++l)
          text << "  total = total + g_mod" << m << "_" << (l % 20) << " * SHARED_" << (l % 40)
               << "  ' line " << l << "\r\n";
        text << "  Call Mod" << (m + 1) % 30 << "_Step" << s << "(i, \"x\")\r\n";
        text << "End Sub\r\n";
      }
      std::ofstream(dir_ / ("mod" + std::to_string(m) + ".mb"), std::ios::binary) << text.str();
      if (m == 0) first_ = text.str();
    }
    std::ofstream shared(dir_ / "shared.def", std::ios::binary);
    for (int d = 0; d < 40; ++d) shared << "Define SHARED_" << d << " " << d << "\r\n";
  }
  ~ThirtyModules() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  const fs::path& dir() const { return dir_; }
  const std::string& firstModule() const { return first_; }

private:
  fs::path dir_;
  std::string first_;
};

struct OpenServer {
  CountingSink sink;
  IdleCompiler compiler;
  lsp::LanguageServer server{{sink, compiler, fs::path(QUILLON_KEYFILE).parent_path()}};
};

void openProject(OpenServer& s, const ThirtyModules& project, const std::string& uri) {
  s.server.receive(
      request(1, "initialize",
              {{"rootUri", lsp::pathToUri(project.dir())}, {"capabilities", json::object()}}));
  s.server.receive(
      json{{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", json::object()}}.dump());
  s.server.receive(
      json{{"jsonrpc", "2.0"},
           {"method", "textDocument/didOpen"},
           {"params",
            {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", project.firstModule()}}}}}}
          .dump());
}

// Line 71 of module 0 calls Mod1_Step0 in the next module.
void BM_LspDefinition(benchmark::State& state) {
  ThirtyModules project;
  OpenServer s;
  const std::string uri = lsp::pathToUri(project.dir() / "mod0.mb");
  openProject(s, project, uri);
  const std::string body = request(9, "textDocument/definition", at(uri, 103, 10));
  s.server.receive(body);
  if (s.sink.last.find("mod1.mb") == std::string::npos)
    state.SkipWithError(("no definition: " + s.sink.last).c_str());
  for (auto _ : state) s.server.receive(body);
}
BENCHMARK(BM_LspDefinition)->Unit(benchmark::kMillisecond);

void BM_LspCompletion(benchmark::State& state) {
  ThirtyModules project;
  OpenServer s;
  const std::string uri = lsp::pathToUri(project.dir() / "mod0.mb");
  openProject(s, project, uri);
  // "  total = total + g_mod" typed so far on a body line.
  const std::string body = request(9, "textDocument/completion", at(uri, 73, 23));
  for (auto _ : state) s.server.receive(body);
  state.counters["items"] = static_cast<double>(json::parse(s.sink.last)["result"]["items"].size());
}
BENCHMARK(BM_LspCompletion)->Unit(benchmark::kMillisecond);

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One incremental change in the middle of the 2,000,000-line corpus, typed and taken back.
void BM_LspDidChange(benchmark::State& state, const std::string& corpusName) {
  const std::string text = readAll(corpus(corpusName));
  if (text.empty()) {
    state.SkipWithError("no corpus");
    return;
  }
  // What one open document costs, against its bytes.
  const auto inUse = [] {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
  };
  const std::size_t before = inUse();
  auto alone = std::make_unique<lsp::TextDocument>("file:///x.mb", 1, text);
  const std::size_t documentBytes = inUse() - before;
  alone.reset();

  OpenServer s;
  const std::string uri = "file:///bench/" + corpusName + ".mb";
  s.server.receive(request(1, "initialize", {{"capabilities", json::object()}}));
  s.server.receive(
      json{{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", json::object()}}.dump());
  s.server.receive(
      json{{"jsonrpc", "2.0"},
           {"method", "textDocument/didOpen"},
           {"params", {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", text}}}}}}
          .dump());
  const lsp::TextDocument* doc = s.server.document(uri);
  const std::int64_t line = doc->lineCount() / 2;
  const auto change = [&](int version, int from, int to, const char* newText) {
    return json{{"jsonrpc", "2.0"},
                {"method", "textDocument/didChange"},
                {"params",
                 {{"textDocument", {{"uri", uri}, {"version", version}}},
                  {"contentChanges",
                   {{{"range",
                      {{"start", {{"line", line}, {"character", from}}},
                       {"end", {{"line", line}, {"character", to}}}}},
                     {"text", newText}}}}}}}
        .dump();
  };
  const std::string type = change(2, 0, 0, "x"), undo = change(3, 0, 1, "");
  bool typed = false;
  for (auto _ : state) {
    s.server.receive(typed ? undo : type);
    typed = !typed;
  }
  state.counters["doc_bytes_per_text_byte"] =
      static_cast<double>(documentBytes) / static_cast<double>(text.size());
}

// Fork, exec and the initialize answer read back.
void BM_LspStartup(benchmark::State& state) {
  const std::string program = (fs::path(QUILLON_KEYFILE).parent_path() / "quillon-lsp").string();
  const std::string init =
      lsp::frameMessage(request(1, "initialize", {{"capabilities", json::object()}}));
  for (auto _ : state) {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) {
      state.SkipWithError("no pipe");
      return;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      ::close(in[1]);
      ::close(out[0]);
      ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    if (::write(in[1], init.data(), init.size()) != static_cast<ssize_t>(init.size()))
      state.SkipWithError("write");
    lsp::FrameReader reader;
    std::optional<lsp::FrameReader::Frame> frame;
    char buffer[65536];
    while (!frame) {
      const ssize_t n = ::read(out[0], buffer, sizeof buffer);
      if (n <= 0) break;
      reader.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
      frame = reader.next();
    }
    state.PauseTiming();
    if (!frame) state.SkipWithError("no answer");
    ::close(in[1]);
    ::close(out[0]);
    ::waitpid(pid, nullptr, 0);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LspStartup)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool registered =
    (registerPerCorpus({{"BM_LspDidChange", BM_LspDidChange}}, {"large"}), true);

}  // namespace
}  // namespace quillon::bench
