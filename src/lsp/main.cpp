// quillon-lsp: Quillon's MapBasic knowledge for any editor that speaks the Language Server
// Protocol, over standard input and output.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <unistd.h>

#include "lsp/event_queue.h"
#include "lsp/headless_compiler.h"
#include "lsp/language_server.h"
#include "lsp/message_framing.h"

namespace {

using namespace quillon::lsp;

class StdoutSink final : public MessageSink {
public:
  void send(const nlohmann::json& message) override {
    const std::string body = message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    const std::string frame = frameMessage(body);
    const char* p = frame.data();
    std::size_t left = frame.size();
    while (left > 0) {
      const ssize_t n = ::write(STDOUT_FILENO, p, left);
      if (n < 0 && errno == EINTR) continue;
      // The client is gone: nobody is left to answer.
      if (n <= 0) ::_exit(1);
      p += n;
      left -= static_cast<std::size_t>(n);
    }
  }
};

std::filesystem::path programDir(const char* argv0) {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return self.parent_path();
  return std::filesystem::absolute(argv0, ec).parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  (void)argc;
  std::signal(SIGPIPE, SIG_IGN);
  EventQueue queue;
  StdoutSink sink;
  HeadlessCompiler compiler(queue, programDir(argv[0]));
  LanguageServer server({sink, compiler, programDir(argv[0])});
  FrameReader reader;

  // Both run on the loop, posted by the reader thread.
  const auto takeInput = [&](const std::string& chunk) {
    reader.feed(chunk);
    while (!server.exited()) {
      std::optional<FrameReader::Frame> frame = reader.next();
      if (!frame) break;
      if (frame->malformed)
        server.receiveMalformed(frame->error);
      else
        server.receive(frame->body);
    }
  };
  std::thread input([&] {
    char buffer[65536];
    while (true) {
      const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      queue.post([&takeInput, chunk = std::string(buffer, static_cast<std::size_t>(n))] {
        takeInput(chunk);
      });
    }
    queue.post([&server] { server.inputClosed(); });
  });
  input.detach();

  while (!server.exited()) queue.take()();
  // The reader may still wait on standard input and a compile may still run: end at once.
  std::fflush(nullptr);
  ::_exit(server.exitCode());
}
