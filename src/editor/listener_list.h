#pragma once
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace quillon::editor {

class ListenerListBase {
public:
  virtual void unsubscribe(int id) = 0;

protected:
  ~ListenerListBase() = default;
};

// Ends one subscription when it goes. It must not outlive the list it came from.
class Subscription {
public:
  Subscription() = default;
  Subscription(ListenerListBase& list, int id) : list_(&list), id_(id) {}
  Subscription(Subscription&& other) noexcept
      : list_(std::exchange(other.list_, nullptr)), id_(other.id_) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      reset();
      list_ = std::exchange(other.list_, nullptr);
      id_ = other.id_;
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { reset(); }

  void reset() {
    if (list_) std::exchange(list_, nullptr)->unsubscribe(id_);
  }

private:
  ListenerListBase* list_ = nullptr;
  int id_ = 0;
};

// The listeners of one event, called in the order they subscribed.
//
// Invariant: `entries_` neither grows nor shrinks while a notification runs, so a listener may
// subscribe or unsubscribe anyone, itself included, from inside a call. One subscribed then
// first hears the next notification; one unsubscribed hears nothing more. `settle` is the one
// place that brings the list up to date once the outermost notification has ended.
//
// Muting is counted, so mutes nest. What is notified while muted goes to nobody and is not
// replayed later.
template <class... Args>
class ListenerList final : public ListenerListBase {
public:
  using Handler = std::function<void(Args...)>;

  ListenerList() = default;
  ListenerList(const ListenerList&) = delete;
  ListenerList& operator=(const ListenerList&) = delete;

  int subscribe(Handler handler) {
    const int id = ++lastId_;
    (dispatching_ > 0 ? added_ : entries_).push_back({id, std::move(handler)});
    return id;
  }
  void unsubscribe(int id) override {
    if (id <= 0) return;
    if (dispatching_ == 0) {
      std::erase_if(entries_, [id](const Entry& e) { return e.id == id; });
      return;
    }
    // The handler may be the one running: it is only marked, and goes in settle.
    for (Entry& e : entries_)
      if (e.id == id) {
        e.id = 0;
        removed_ = true;
      }
    std::erase_if(added_, [id](const Entry& e) { return e.id == id; });
  }
  [[nodiscard]] Subscription listen(Handler handler) {
    return Subscription(*this, subscribe(std::move(handler)));
  }

  std::size_t size() const {
    std::size_t n = added_.size();
    for (const Entry& e : entries_) n += e.id != 0;
    return n;
  }

  void mute() { ++muted_; }
  void unmute() {
    if (muted_ > 0) --muted_;
  }
  bool muted() const { return muted_ > 0; }
  // Whether a notification now would reach anyone; cheap enough to ask before work that only
  // listeners need.
  bool heard() const { return !entries_.empty() && muted_ == 0; }

  void notify(Args... args) {
    if (!heard()) return;
    Dispatch dispatch(*this);
    const std::size_t n = entries_.size();
    for (std::size_t i = 0; i < n && muted_ == 0; ++i)
      if (entries_[i].id != 0) entries_[i].handler(args...);
  }

private:
  struct Entry {
    int id;
    Handler handler;
  };
  // Counts nested notifications; the outermost one settles the list, even when a listener threw.
  struct Dispatch {
    explicit Dispatch(ListenerList& list) : list(list) { ++list.dispatching_; }
    ~Dispatch() {
      if (--list.dispatching_ == 0 && (list.removed_ || !list.added_.empty())) list.settle();
    }
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;
    ListenerList& list;
  };

  void settle() {
    if (removed_) std::erase_if(entries_, [](const Entry& e) { return e.id == 0; });
    removed_ = false;
    for (Entry& e : added_) entries_.push_back(std::move(e));
    added_.clear();
  }

  std::vector<Entry> entries_;
  std::vector<Entry> added_;  // subscribed while a notification ran
  int lastId_ = 0;
  int dispatching_ = 0;
  int muted_ = 0;
  bool removed_ = false;
};

// One event of an object as others see it: anyone subscribes, only the owner notifies and
// mutes, so no party can silence or fire another's listeners.
template <class Owner, class... Args>
class Event {
public:
  using Handler = typename ListenerList<Args...>::Handler;

  int subscribe(Handler handler) { return listeners_.subscribe(std::move(handler)); }
  void unsubscribe(int id) { listeners_.unsubscribe(id); }
  [[nodiscard]] Subscription listen(Handler handler) {
    return listeners_.listen(std::move(handler));
  }

private:
  friend Owner;
  // Listeners are not the owner's state: a const operation (a save) may still report.
  mutable ListenerList<Args...> listeners_;
};

}  // namespace quillon::editor
