#include "editor/listener_list.h"

#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon::editor {
namespace {

TEST(ListenerList, CallsInSubscriptionOrderAndForgetsByIdOrHandle) {
  ListenerList<int> list;
  std::vector<std::string> heard;
  const int a = list.subscribe([&](int v) { heard.push_back("a" + std::to_string(v)); });
  Subscription b = list.listen([&](int v) { heard.push_back("b" + std::to_string(v)); });
  list.subscribe([&](int v) { heard.push_back("c" + std::to_string(v)); });
  list.notify(1);
  list.unsubscribe(a);
  list.unsubscribe(a);  // twice: harmless
  list.unsubscribe(0);  // never issued
  b.reset();
  list.notify(2);
  EXPECT_EQ(heard, (std::vector<std::string>{"a1", "b1", "c1", "c2"}));

  // A handle that was moved from unsubscribes nothing; the one moved into does.
  Subscription moved = list.listen([&](int) { heard.push_back("d"); });
  Subscription target = std::move(moved);
  moved.reset();
  EXPECT_EQ(list.size(), 2u);
  target = Subscription();
  EXPECT_EQ(list.size(), 1u);
}

TEST(ListenerList, ListenersMayChangeTheListWhileTheyAreCalled) {
  ListenerList<> list;
  std::vector<std::string> heard;
  int self = 0, later = 0, victim = 0;
  self = list.subscribe([&] {
    heard.push_back("self");
    list.unsubscribe(self);  // its own std::function is running
  });
  list.subscribe([&] {
    heard.push_back("adder");
    if (later == 0) later = list.subscribe([&] { heard.push_back("later"); });
    list.unsubscribe(victim);
  });
  victim = list.subscribe([&] { heard.push_back("victim"); });
  // Many new listeners force the storage to grow while the list is being walked.
  std::vector<Subscription> many;
  list.subscribe([&] {
    for (int i = 0; i < 64 && many.size() < 64; ++i) many.push_back(list.listen([] {}));
  });

  list.notify();
  EXPECT_EQ(heard, (std::vector<std::string>{"self", "adder"}))
      << "the removed one is not called, the added one waits";
  heard.clear();
  list.notify();
  EXPECT_EQ(heard, (std::vector<std::string>{"adder", "later"}));
  EXPECT_EQ(list.size(), 3u + 64u);
}

TEST(ListenerList, NestedNotificationsReachEveryoneOnceEach) {
  ListenerList<int> list;
  std::vector<int> heard;
  list.subscribe([&](int depth) {
    heard.push_back(depth);
    if (depth < 2) list.notify(depth + 1);
  });
  std::optional<Subscription> added;
  list.subscribe([&](int depth) {
    heard.push_back(10 + depth);
    if (!added) added = list.listen([&](int d) { heard.push_back(100 + d); });
  });
  list.notify(0);
  EXPECT_EQ(heard, (std::vector<int>{0, 1, 2, 12, 11, 10}));
  heard.clear();
  list.notify(2);
  EXPECT_EQ(heard, (std::vector<int>{2, 12, 102}));
}

TEST(ListenerList, AThrowingListenerLeavesTheListUsable) {
  ListenerList<> list;
  int calls = 0;
  int first = list.subscribe([&] {
    list.unsubscribe(first);
    list.subscribe([&] { ++calls; });
    throw std::runtime_error("listener failed");
  });
  EXPECT_THROW(list.notify(), std::runtime_error);
  list.notify();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(list.size(), 1u);
}

}  // namespace
}  // namespace quillon::editor
