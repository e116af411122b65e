// The program itself, started as a child and spoken to over pipes as an editor would.
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "lsp/file_uri.h"
#include "lsp/message_framing.h"
#include "support/temp_folder.h"

namespace quillon::lsp {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

class ServerProcess {
public:
  ServerProcess() {
    int in[2], out[2];
    EXPECT_EQ(::pipe(in), 0);
    EXPECT_EQ(::pipe(out), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      ::close(in[1]);
      ::close(out[0]);
      const std::string program = std::string(QUILLON_BINARY_DIR) + "/quillon-lsp";
      ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    toServer_ = in[1];
    fromServer_ = out[0];
  }
  ~ServerProcess() {
    closeInput();
    if (pid_ > 0 && !status_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(fromServer_);
  }

  void send(const json& message) { write(frameMessage(message.dump())); }
  void write(const std::string& bytes) {
    ASSERT_EQ(::write(toServer_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void closeInput() {
    if (toServer_ >= 0) ::close(toServer_);
    toServer_ = -1;
  }
  // The next message, or null after `timeout`.
  json next(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (true) {
      if (auto frame = reader_.next())
        return frame->malformed ? json("malformed") : json::parse(frame->body);
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          until - std::chrono::steady_clock::now());
      if (left.count() <= 0) return nullptr;
      pollfd p{fromServer_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return nullptr;
      char buffer[65536];
      const ssize_t n = ::read(fromServer_, buffer, sizeof buffer);
      if (n <= 0) return nullptr;
      reader_.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
  }
  // The response to request `id`, passing over notifications (kept in `notes`).
  json response(int id) {
    while (true) {
      json m = next();
      if (m.is_null()) return m;
      if (m.contains("id") && m["id"] == id && !m.contains("method")) return m;
      notes.push_back(m);
    }
  }
  json request(int id, const std::string& method, const json& params) {
    send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
    return response(id);
  }
  void notify(const std::string& method, const json& params) {
    send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
  }
  // The exit status once the program ends (-1 when it does not within the time).
  int exitStatus(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return *status_;
      }
      ::usleep(10000);
    }
    return -1;
  }

  std::vector<json> notes;

private:
  pid_t pid_ = -1;
  int toServer_ = -1;
  int fromServer_ = -1;
  FrameReader reader_;
  std::optional<int> status_;
};

json at(const std::string& uri, int line, int character) {
  return {{"textDocument", {{"uri", uri}}},
          {"position", {{"line", line}, {"character", character}}}};
}

TEST(QuillonLspTest, ServesTheSampleProjectAndCompilesOnSave) {
  testing::TempFolder folder;
  const fs::path dir = folder.path();
  const fs::path samples = fs::path(QUILLON_SOURCE_DIR) / "tests" / "data" / "project";
  for (const char* name : {"parcels.mbp", "report.mb"}) fs::copy_file(samples / name, dir / name);
  testing::writeFile(dir / "parcels.def", "Define PARCEL_TABLE \"Parcels\"\r\n");
  // The main module calls the report module's Sub; a stand-in comment makes its compile fail.
  std::string parcels = testing::readFile(samples / "parcels.mb");
  parcels.replace(parcels.find("\tExit Sub"), 0, "\tCall WriteReport(PARCEL_TABLE)\n");
  testing::writeFile(dir / "parcels.mb", parcels);
  fs::create_directories(dir / "mb");
  fs::copy_file(QUILLON_STANDIN_MAPBASIC, dir / "mb" / "MapBasic.exe");

  ServerProcess server;
  const json init =
      server.request(1, "initialize",
                     {{"processId", nullptr},
                      {"rootUri", pathToUri(dir)},
                      {"initializationOptions", {{"mapbasicFolder", (dir / "mb").string()}}},
                      {"capabilities", json::object()}});
  ASSERT_TRUE(init.contains("result")) << init;
  server.notify("initialized", json::object());
  const std::string uri = pathToUri(dir / "parcels.mb");
  server.notify("textDocument/didOpen",
                {{"textDocument",
                  {{"uri", uri}, {"languageId", "mapbasic"}, {"version", 1}, {"text", parcels}}}});

  int line = 0;
  for (std::size_t p = 0; p < parcels.find("\tCall WriteReport"); ++p) line += parcels[p] == '\n';
  // Across a module (from the project file) and into an include.
  const json sub = server.request(2, "textDocument/definition", at(uri, line, 8));
  ASSERT_EQ(sub["result"].size(), 1u) << sub;
  EXPECT_EQ(sub["result"][0]["uri"], pathToUri(dir / "report.mb"));
  const json define = server.request(3, "textDocument/definition", at(uri, line, 20));
  ASSERT_EQ(define["result"].size(), 1u) << define;
  EXPECT_EQ(define["result"][0]["uri"], pathToUri(dir / "parcels.def"));
  const json refs = server.request(4, "textDocument/references", at(uri, line, 20));
  EXPECT_GE(refs["result"].size(), 5u) << refs;
  const json completion = server.request(5, "textDocument/completion", at(uri, line, 7));
  ASSERT_FALSE(completion["result"]["items"].empty()) << completion;
  EXPECT_EQ(completion["result"]["items"][0]["label"], "WriteReport");

  // Saved with an error line for the stand-in compiler: a diagnostic on that line.
  parcels.insert(0, "'standin-error 3 Unrecognized command: Nott.\n");
  testing::writeFile(dir / "parcels.mb", parcels);
  server.notify("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", 2}}},
                                           {"contentChanges", {{{"text", parcels}}}}});
  server.notify("textDocument/didSave", {{"textDocument", {{"uri", uri}}}});
  // The loop answers while the compiler runs.
  EXPECT_TRUE(server.request(6, "textDocument/hover", at(uri, 0, 0)).contains("result"));
  json diagnostics;
  for (json m; diagnostics.is_null() && !(m = server.next()).is_null();)
    if (m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri)
      diagnostics = m["params"];
  for (const json& n : server.notes)
    if (n.value("method", "") == "textDocument/publishDiagnostics" && n["params"]["uri"] == uri)
      diagnostics = n["params"];
  ASSERT_FALSE(diagnostics.is_null());
  ASSERT_EQ(diagnostics["diagnostics"].size(), 1u) << diagnostics;
  EXPECT_EQ(diagnostics["diagnostics"][0]["range"]["start"]["line"], 2);

  EXPECT_TRUE(server.request(7, "shutdown", nullptr)["result"].is_null());
  server.notify("exit", nullptr);
  EXPECT_EQ(server.exitStatus(), 0);
}

TEST(QuillonLspTest, GarbageThenClosedInputEndsWithOne) {
  ServerProcess server;
  server.write("Content-Length: 3\r\n\r\n{x}");
  const json error = server.next();
  EXPECT_EQ(error["error"]["code"], -32700) << error;
  server.write("no header at all\r\n\r\n");
  EXPECT_EQ(server.next()["error"]["code"], -32700);
  server.closeInput();
  EXPECT_EQ(server.exitStatus(), 1);
}

}  // namespace
}  // namespace quillon::lsp
