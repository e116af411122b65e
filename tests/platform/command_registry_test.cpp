#include "platform/command_registry.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace quillon::platform {
namespace {

// Two features that pick the same id would each lose half of their menu rows without a word.
TEST(CommandRegistry, AnIdNamesOneRowOrListAndEveryOneHasAHandler) {
  CommandRegistry registry;
  int saved = 0;
  registry.add({.id = "file.save", .caption = "&Save", .key = "Ctrl+S", .run = [&] { ++saved; }});
  registry.addList({.id = "recent.files", .pick = [](std::size_t) {}});
  EXPECT_THROW(registry.add({.id = "file.save", .run = [] {}}), std::logic_error);
  EXPECT_THROW(registry.add({.id = "recent.files", .run = [] {}}), std::logic_error);
  EXPECT_THROW(registry.addList({.id = "file.save", .pick = [](std::size_t) {}}), std::logic_error);
  EXPECT_THROW(registry.add({.id = "file.close"}), std::logic_error) << "no handler";
  EXPECT_THROW(registry.add({.caption = "Nameless", .run = [] {}}), std::logic_error);

  EXPECT_TRUE(registry.run("file.save"));
  EXPECT_FALSE(registry.run("file.close"));
  EXPECT_EQ(saved, 1) << "the first registration stands";
  EXPECT_EQ(registry.row("file.save")->key, "Ctrl+S");
  EXPECT_EQ(registry.row("recent.files"), nullptr);
  EXPECT_NE(registry.list("recent.files"), nullptr);
  EXPECT_EQ(registry.ids(), (std::vector<std::string>{"file.save", "recent.files"}));
}

// F8 moves in whichever list is in front; with none in front it falls to the error walk.
TEST(CommandRegistry, TheFirstWalkerWhoseListIsShownTakesTheStep) {
  CommandRegistry registry;
  EXPECT_FALSE(registry.walkShownList(true)) << "no list at all";
  std::vector<std::string> asked;
  bool referencesShown = false;
  registry.addListWalker([&](bool forward) {
    asked.push_back(forward ? "refs+" : "refs-");
    return referencesShown;
  });
  registry.addListWalker([&](bool) {
    asked.push_back("other");
    return true;
  });
  EXPECT_TRUE(registry.walkShownList(true));
  referencesShown = true;
  EXPECT_TRUE(registry.walkShownList(false));
  EXPECT_EQ(asked, (std::vector<std::string>{"refs+", "other", "refs-"}));
}

}  // namespace
}  // namespace quillon::platform
