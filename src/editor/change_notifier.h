#pragma once
#include <utility>

#include "editor/listener_list.h"

namespace quillon::editor {

// A list of change handlers with a hold-back count: while held, changes are only remembered
// and one notification goes out when the last hold is released.
class ChangeNotifier {
public:
  using Handler = ListenerList<>::Handler;

  int subscribe(Handler handler) { return handlers_.subscribe(std::move(handler)); }
  void unsubscribe(int id) { handlers_.unsubscribe(id); }

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
    handlers_.notify();
  }

private:
  ListenerList<> handlers_;
  int holds_ = 0;
  bool pending_ = false;
};

}  // namespace quillon::editor
