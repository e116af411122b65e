#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace quillon::lsp {

// The message loop's one inbox: the reader of standard input and the compiles put work here
// from their threads; the loop runs it in order on its own. So the server itself is only ever
// touched by one thread.
class EventQueue {
public:
  void post(std::function<void()> work) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(std::move(work));
    }
    ready_.notify_one();
  }
  // Waits for the next piece of work.
  std::function<void()> take() {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [this] { return !queue_.empty(); });
    std::function<void()> work = std::move(queue_.front());
    queue_.pop_front();
    return work;
  }

private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace quillon::lsp
