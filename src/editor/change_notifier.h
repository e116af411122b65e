#pragma once
#include <functional>
#include <utility>
#include <vector>

namespace quillon::editor {

// A list of change handlers with a hold-back count: while held, changes are only remembered
// and one notification goes out when the last hold is released.
class ChangeNotifier {
public:
  using Handler = std::function<void()>;

  int subscribe(Handler handler) {
    handlers_.emplace_back(++lastId_, std::move(handler));
    return lastId_;
  }
  void unsubscribe(int id) {
    std::erase_if(handlers_, [id](const auto& h) { return h.first == id; });
  }

  void hold() { ++holds_; }
  void release() {
    if (holds_ > 0 && --holds_ == 0 && pending_) notify();
  }
  void notify() {
    if (holds_ > 0) {
      pending_ = true;
      return;
    }
    pending_ = false;
    // A handler may subscribe or unsubscribe; iterate over a copy.
    auto handlers = handlers_;
    for (auto& h : handlers) h.second();
  }

private:
  std::vector<std::pair<int, Handler>> handlers_;
  int lastId_ = 0;
  int holds_ = 0;
  bool pending_ = false;
};

}  // namespace quillon::editor
